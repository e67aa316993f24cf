#include "yara/YaraEngine.h"

#include <yara.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>

namespace tarnwick {
namespace {

// libyara's own start-up; it is never undone, since engines may be in use on other threads
// until the process ends.
bool libyaraReady() {
    static const bool ready = yr_initialize() == ERROR_SUCCESS;
    return ready;
}

struct Messages {
    std::vector<std::string>& errors;
    std::vector<std::string>& warnings;
};

void collectMessage(int level, const char* file, int line, const YR_RULE*, const char* message, void* user) {
    auto* messages = static_cast<Messages*>(user);
    std::string text = std::string(file ? file : "") + ":" + std::to_string(line) + ": " + (message ? message : "");
    (level == YARA_ERROR_LEVEL_WARNING ? messages->warnings : messages->errors).push_back(std::move(text));
}

struct CompilerDeleter {
    void operator()(YR_COMPILER* compiler) const { yr_compiler_destroy(compiler); }
};
struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

YaraEngine::YaraEngine() { libyaraReady(); }

bool YaraEngine::validateRulesAtPath(const std::string& path, std::vector<std::string>& errors,
                                     std::vector<std::string>& warnings) {
    if (!libyaraReady()) {
        errors.push_back(path + ": the YARA engine could not be started");
        return false;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        errors.push_back(path + ": not a regular file");
        return false;
    }
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) {
        errors.push_back(path + ": cannot be opened");
        return false;
    }
    YR_COMPILER* raw = nullptr;
    if (yr_compiler_create(&raw) != ERROR_SUCCESS) {
        errors.push_back(path + ": the YARA compiler could not be created");
        return false;
    }
    std::unique_ptr<YR_COMPILER, CompilerDeleter> compiler(raw);
    Messages messages{errors, warnings};
    yr_compiler_set_callback(compiler.get(), collectMessage, &messages);
    const int errorCount = yr_compiler_add_file(compiler.get(), file.get(), nullptr, path.c_str());
    if (errorCount > 0 && errors.empty()) errors.push_back(path + ": " + std::to_string(errorCount) + " errors");
    return errorCount == 0;
}

}  // namespace tarnwick
