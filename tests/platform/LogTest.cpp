#include "platform/Log.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tarnwick {
namespace {

// Log reads TARNWICK_LOG once per process, so each setting is tried in a freshly started copy of
// this test program: the "threadsafe" death-test style starts the child by exec, not by fork.

// Sets or removes an environment variable for the life of the object.
class EnvSetting {
public:
    EnvSetting(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvSetting() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

constexpr int infoLine = __LINE__ + 2;
void logScanStarted() {
    TW_LOG_INFO("scan started");
}

// Exit code of a child: bit 0 for the info channel, bit 1 for error, bit 2 when anything was
// written for a channel that is absent.
[[noreturn]] void reportChannels() {
    testing::internal::CaptureStderr();
    if (!log::enabled(log::Channel::info)) TW_LOG_INFO("must not appear");
    if (!log::enabled(log::Channel::error)) TW_LOG_ERROR("must not appear");
    const bool leaked = !testing::internal::GetCapturedStderr().empty();
    std::exit((log::enabled(log::Channel::info) ? 1 : 0) | (log::enabled(log::Channel::error) ? 2 : 0) |
              (leaked ? 4 : 0));
}

TEST(LogDeathTest, TarnwickLogNamesTheChannels) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const struct {
        const char* setting;  // nullptr: unset
        int channels;
    } cases[] = {
        {nullptr, 0}, {"", 0}, {"info", 1}, {"error", 2}, {"info,error", 3}, {"error,info", 3},
        {"info,,error", 3}, {"verbose", 0}, {"verbose,error", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting ? c.setting : "(unset)");
        EnvSetting setting("TARNWICK_LOG", c.setting);
        EXPECT_EXIT(reportChannels(), testing::ExitedWithCode(c.channels), "");
    }
}

TEST(LogDeathTest, InfoLineNamesFunctionFileAndLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EnvSetting setting("TARNWICK_LOG", "info");
    const std::string line = "\\[info\\] scan started \\(logScanStarted, [^)]*LogTest\\.cpp:" + std::to_string(infoLine) + "\\)";
    EXPECT_EXIT(
        {
            logScanStarted();
            std::exit(0);
        },
        testing::ExitedWithCode(0), line);
}

TEST(Log, DisableAllSilencesEveryChannel) {
    log::disableAll();
    EXPECT_FALSE(log::enabled(log::Channel::info));
    EXPECT_FALSE(log::enabled(log::Channel::error));
    testing::internal::CaptureStderr();
    TW_LOG_INFO("hidden");
    TW_LOG_ERROR("hidden");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace tarnwick
