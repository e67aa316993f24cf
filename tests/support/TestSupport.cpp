#include "support/TestSupport.h"

#include "platform/MainQueue.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace tarnwick::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Restore permissions a test may have taken away, so removal succeeds.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::write(const std::string& relative, const std::string& bytes) const {
    const auto file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::filesystem::path TempDir::writeXmlPlist(const std::string& relative, const PlistValue& value) const {
    return write(relative, plist::toXml(value));
}

std::filesystem::path TempDir::writeBinaryPlist(const std::string& relative, const PlistValue& value) const {
    return write(relative, plist::toBinary(value));
}

ScopedEnv::ScopedEnv(const std::string& name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name.c_str())) {
        had_ = true;
        old_ = old;
    }
    setenv(name.c_str(), value.c_str(), 1);
}

ScopedEnv::~ScopedEnv() {
    if (had_)
        setenv(name_.c_str(), old_.c_str(), 1);
    else
        unsetenv(name_.c_str());
}

bool runMainUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    return MainQueue::runUntil(done, timeout);
}

void drainMainQueue() {
    // A marker queued behind everything queued so far; tasks queued by those tasks queue behind
    // the marker, so go round until a marker comes back with nothing new in between.
    for (int round = 0; round < 3; ++round) {
        std::atomic<bool> reached{false};
        MainQueue::async([&reached] { reached = true; });
        MainQueue::runUntil([&reached] { return reached.load(); }, std::chrono::seconds(10));
    }
}

NotificationRecorder::NotificationRecorder(std::vector<std::string> names) {
    for (const auto& name : names) {
        tokens_.push_back(NotificationCenter::defaultCenter().addObserver(name, [this](const Notification& n) {
            std::lock_guard guard(mutex_);
            received_.push_back(n);
        }));
    }
}

NotificationRecorder::~NotificationRecorder() {
    for (auto token : tokens_) NotificationCenter::defaultCenter().removeObserver(token);
}

std::vector<Notification> NotificationRecorder::received() const {
    std::lock_guard guard(mutex_);
    return received_;
}

size_t NotificationRecorder::count(const std::string& name) const {
    std::lock_guard guard(mutex_);
    size_t n = 0;
    for (const auto& r : received_) n += r.name == name;
    return n;
}

std::vector<std::string> NotificationRecorder::texts(const std::string& name, const std::string& key) const {
    std::lock_guard guard(mutex_);
    std::vector<std::string> out;
    for (const auto& r : received_)
        if (r.name == name)
            if (auto v = r.info<std::string>(key)) out.push_back(*v);
    return out;
}

std::vector<int64_t> NotificationRecorder::integers(const std::string& name, const std::string& key) const {
    std::lock_guard guard(mutex_);
    std::vector<int64_t> out;
    for (const auto& r : received_)
        if (r.name == name)
            if (auto v = r.info<int64_t>(key)) out.push_back(*v);
    return out;
}

LoopbackServer::LoopbackServer() {
    // Recorded before the answer goes out (a logger would run after it), so a client that has
    // its answer always finds its request in the record.
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
        std::lock_guard guard(mutex_);
        requests_.push_back(Request{request.path, request.headers});
        return httplib::Server::HandlerResponse::Unhandled;
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("cannot bind a loopback port");
}

void LoopbackServer::start() {
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

LoopbackServer::~LoopbackServer() {
    // httplib closes the listening socket only when it has run; give it that chance.
    if (!thread_.joinable()) start();
    server_.stop();
    if (thread_.joinable()) thread_.join();
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<LoopbackServer::Request> LoopbackServer::requests() const {
    std::lock_guard guard(mutex_);
    return requests_;
}

std::string refusedURL(const std::string& path) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + path;
}

std::string gzip(const std::string& bytes) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, bytes.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace tarnwick::test
