#include "platform/Log.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

namespace tarnwick::log {
namespace {

constexpr unsigned bit(Channel c) { return c == Channel::info ? 1u : 2u; }

unsigned channelsFromEnvironment() {
    const char* value = std::getenv("TARNWICK_LOG");
    if (!value) return 0;
    unsigned mask = 0;
    std::string list(value);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        std::string name = list.substr(start, end - start);
        if (name == "info") mask |= bit(Channel::info);
        if (name == "error") mask |= bit(Channel::error);
        start = end + 1;
    }
    return mask;
}

std::atomic<unsigned>& channels() {
    static std::atomic<unsigned> mask{channelsFromEnvironment()};
    return mask;
}

}  // namespace

bool enabled(Channel channel) { return (channels().load(std::memory_order_relaxed) & bit(channel)) != 0; }

void disableAll() { channels().store(0); }

void write(Channel channel, std::string_view message, const char* function, const char* file, int line) {
    static std::mutex lock;
    std::lock_guard guard(lock);
    std::fprintf(stderr, "[%s] %.*s (%s, %s:%d)\n", channel == Channel::info ? "info" : "error",
                 static_cast<int>(message.size()), message.data(), function, file, line);
}

}  // namespace tarnwick::log
