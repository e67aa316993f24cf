// Stopping HTTP transfers from another thread: a transfer that waits on a server that never
// answers ends soon after its stop, as a failure.
#include "platform/HttpClient.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace tarnwick {
namespace {

using Clock = std::chrono::steady_clock;

// A port on 127.0.0.1 that takes connections into its backlog and never answers them.
class SilentServer {
public:
    SilentServer() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        EXPECT_EQ(bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_EQ(listen(fd_, 16), 0);
        EXPECT_EQ(getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length), 0);
        port_ = ntohs(address.sin_port);
    }
    ~SilentServer() { close(fd_); }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/index.json"; }

private:
    int fd_;
    int port_ = 0;
};

TEST(TransferStop, AStopFromAnotherThreadEndsATransferThatWaits) {
    SilentServer server;
    auto stop = std::make_shared<std::atomic<bool>>(false);
    std::optional<std::optional<http::Response>> result;
    std::atomic<bool> ended{false};
    Clock::time_point endedAt;
    std::thread transfer([&] {
        result = http::fetch(server.url(), http::Options{.stop = stop});
        endedAt = Clock::now();
        ended = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(ended) << "the server never answers: the transfer must still be waiting";
    const auto stoppedAt = Clock::now();
    stop->store(true);
    transfer.join();
    ASSERT_TRUE(result.has_value());
    EXPECT_FALSE(result->has_value()) << "a stopped transfer is a failure";
    EXPECT_LT(endedAt - stoppedAt, std::chrono::milliseconds(500));
}

TEST(TransferStop, ATransferAskedForAfterItsStopFailsAtOnce) {
    SilentServer server;
    auto stop = std::make_shared<std::atomic<bool>>(true);
    const auto start = Clock::now();
    EXPECT_FALSE(http::fetch(server.url(), http::Options{.stop = stop}).has_value());
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200));
}

}  // namespace
}  // namespace tarnwick
