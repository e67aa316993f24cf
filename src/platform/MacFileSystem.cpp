#include "platform/MacFileSystem.h"

#include <cstdlib>

namespace tarnwick::macfs {

std::filesystem::path root() {
    const char* value = std::getenv("TARNWICK_ROOT");
    return (value && *value) ? std::filesystem::path(value) : std::filesystem::path("/");
}

bool rootGiven() {
    const char* value = std::getenv("TARNWICK_ROOT");
    return value && *value;
}

std::filesystem::path resolve(const std::string& macPath) {
    std::string relative = macPath;
    while (!relative.empty() && relative.front() == '/') relative.erase(relative.begin());
    return root() / relative;
}

std::optional<std::filesystem::path> homeOverride() {
    const char* value = std::getenv("TARNWICK_HOME");
    if (value && *value) return std::filesystem::path(value);
    return std::nullopt;
}

}  // namespace tarnwick::macfs
