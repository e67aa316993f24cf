#include "platform/Resources.h"

#include <fstream>
#include <sstream>

namespace tarnwick::resources {

std::filesystem::path executablePath() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe;
}

std::filesystem::path resourceDirectory() {
    return executablePath().parent_path().parent_path() / "share" / "tarnwick";
}

std::optional<std::filesystem::path> path(const std::string& name, const std::string& type) {
    auto file = resourceDirectory() / (type.empty() ? name : name + "." + type);
    std::error_code ec;
    if (std::filesystem::is_regular_file(file, ec)) return file;
    return std::nullopt;
}

std::optional<std::filesystem::path> image(const std::string& name) {
    for (const char* type : {"png", "svg"}) {
        auto file = resourceDirectory() / "images" / (name + "." + type);
        std::error_code ec;
        if (std::filesystem::is_regular_file(file, ec)) return file;
    }
    return std::nullopt;
}

std::optional<std::string> read(const std::string& name, const std::string& type) {
    auto file = path(name, type);
    if (!file) return std::nullopt;
    std::ifstream in(*file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace tarnwick::resources
