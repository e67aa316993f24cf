#include "platform/UserDefaults.h"

#include "platform/LenientJson.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tarnwick {
namespace {

nlohmann::json readObject(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return nlohmann::json::object();
    std::ostringstream text;
    text << in.rdbuf();
    auto value = json::parse(text.str());
    return value && value->is_object() ? *value : nlohmann::json::object();
}

std::filesystem::path homeDirectory() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/";
}

}  // namespace

UserDefaults& UserDefaults::standard() {
    static UserDefaults* defaults = new UserDefaults(defaultFile());
    return *defaults;
}

UserDefaults::UserDefaults(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path UserDefaults::defaultFile() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path base = (xdg && *xdg == '/') ? std::filesystem::path(xdg) : homeDirectory() / ".config";
    return base / "tarnwick" / "defaults.json";
}

bool UserDefaults::boolForKey(const std::string& key) {
    std::lock_guard guard(mutex_);
    const auto object = readObject(file_);
    auto it = object.find(key);
    return it != object.end() && it->is_boolean() && it->get<bool>();
}

bool UserDefaults::setBool(const std::string& key, bool value) {
    std::lock_guard guard(mutex_);
    auto object = readObject(file_);
    object[key] = value;
    const std::string text = object.dump(2) + "\n";

    std::error_code ec;
    std::filesystem::create_directories(file_.parent_path(), ec);
    // Appended piece by piece: g++ 12 warns falsely (-Wrestrict) on the chain of + at -O3.
    std::string tempName = ".";
    tempName += file_.filename().string();
    tempName += ".XXXXXX";
    std::string temp = (file_.parent_path() / tempName).string();
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = true;
    size_t written = 0;
    while (ok && written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n > 0)
            written += static_cast<size_t>(n);
        else if (n < 0 && errno != EINTR)
            ok = false;
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok) ok = std::rename(temp.c_str(), file_.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace tarnwick
