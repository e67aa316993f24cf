#pragma once
// The user's defaults: a few values kept between runs in a JSON file under the user's XDG config
// directory ($XDG_CONFIG_HOME/tarnwick/defaults.json, or ~/.config/...). Every write replaces the
// file atomically (a temporary file in the same folder, then a rename), so a crash never leaves a
// half-written file behind.
#include <filesystem>
#include <mutex>
#include <string>

namespace tarnwick {

class UserDefaults {
public:
    static UserDefaults& standard();

    explicit UserDefaults(std::filesystem::path file);

    // False when the key is absent, not a boolean, or the file cannot be read.
    bool boolForKey(const std::string& key);
    // Stores the value and writes the file at once; answers whether the write succeeded.
    bool setBool(const std::string& key, bool value);

    const std::filesystem::path& file() const { return file_; }

    static std::filesystem::path defaultFile();

private:
    std::filesystem::path file_;
    std::mutex mutex_;
};

}  // namespace tarnwick
