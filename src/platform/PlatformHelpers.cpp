#include "platform/PlatformHelpers.h"

#include "platform/MacFileSystem.h"
#include "platform/Process.h"
#include "platform/Resources.h"
#include "platform/UnicodeText.h"
#include "platform/UserDefaults.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <mutex>
#include <set>
#include <vector>

namespace tarnwick {

std::optional<std::string> launchAndReturnStdOut(const std::string& command, const std::vector<std::string>& args) {
    auto output = process::runAndReadStdout(command, args);
    if (!output || !unicode::isValidUtf8(*output)) return std::nullopt;
    return output;
}

std::string shortestDecimal(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (std::isfinite(value) && text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

std::vector<std::string> relaunchShellArguments(double delay, const std::string& program) {
    return {"-c", "sleep \"$1\"; exec \"$2\"", "sh", shortestDecimal(delay), program};
}

void relaunchAfterDelay(double delay, const std::function<void()>& terminate) {
    process::spawnDetached("/bin/sh", relaunchShellArguments(delay, resources::executablePath().string()));
    if (terminate) terminate();
}

bool isFirstLaunch() { return isFirstLaunch(UserDefaults::standard()); }

bool isFirstLaunch(UserDefaults& defaults) {
    static const std::string key = "hasBeenLaunchedBeforeFlag";
    // The defaults files asked about in this run. Once asked, the answer is false even when the
    // flag could not be stored (a read-only home), for the rest of the run.
    static std::mutex mutex;
    static auto* asked = new std::set<std::filesystem::path>;
    {
        std::lock_guard guard(mutex);
        if (!asked->insert(defaults.file()).second) return false;
    }
    if (defaults.boolForKey(key)) return false;
    defaults.setBool(key, true);
    return true;
}

std::vector<std::string> macUserFolders() {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(macfs::resolve("/Users"), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name.front() == '.' || name == "Shared" || name == "Guest") continue;
        std::error_code typeError;
        if (it->symlink_status(typeError).type() == fs::file_type::directory) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::filesystem::path> realHomeDirectoryForCurrentUser() {
    if (auto home = macfs::homeOverride()) return *home;
    if (macfs::rootGiven()) {
        const auto users = macUserFolders();
        if (users.size() != 1) return std::nullopt;
        return macfs::resolve("/Users") / users.front();
    }
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        *found->pw_dir)
        return unicode::repairUtf8(found->pw_dir);
    const char* home = std::getenv("HOME");
    return home ? std::filesystem::path(home) : std::filesystem::path("/");
}

}  // namespace tarnwick
