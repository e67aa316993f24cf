#include "platform/LenientJson.h"
#include "platform/UserDefaults.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using test::ScopedEnv;
using test::TempDir;

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(UserDefaults, ValuesPersistInTheFileAndSurviveANewInstance) {
    TempDir dir;
    const auto file = dir / "config/tarnwick/defaults.json";  // the folders do not exist yet
    {
        UserDefaults defaults(file);
        EXPECT_FALSE(defaults.boolForKey("hasBeenLaunchedBeforeFlag"));
        EXPECT_TRUE(defaults.setBool("hasBeenLaunchedBeforeFlag", true));
        EXPECT_TRUE(defaults.setBool("other", false));
        EXPECT_TRUE(defaults.boolForKey("hasBeenLaunchedBeforeFlag"));
    }
    UserDefaults reopened(file);
    EXPECT_TRUE(reopened.boolForKey("hasBeenLaunchedBeforeFlag"));
    EXPECT_FALSE(reopened.boolForKey("other"));

    const auto stored = json::parse(readFile(file));
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(*stored, (nlohmann::json{{"hasBeenLaunchedBeforeFlag", true}, {"other", false}}));

    EXPECT_TRUE(reopened.setBool("hasBeenLaunchedBeforeFlag", false));
    EXPECT_FALSE(UserDefaults(file).boolForKey("hasBeenLaunchedBeforeFlag"));
}

TEST(UserDefaults, WritesReplaceTheFileAndLeaveNoTemporaryFileBehind) {
    TempDir dir;
    const auto file = dir / "defaults.json";
    UserDefaults defaults(file);
    ASSERT_TRUE(defaults.setBool("first", true));

    // A second name for the old file: a write in place would change what it shows, a rename does not.
    const auto oldVersion = dir / "old-version";
    std::filesystem::create_hard_link(file, oldVersion);
    const std::string before = readFile(oldVersion);

    ASSERT_TRUE(defaults.setBool("second", true));
    EXPECT_EQ(readFile(oldVersion), before) << "the file was rewritten in place";
    EXPECT_NE(readFile(file), before);
    EXPECT_TRUE(defaults.boolForKey("first"));
    EXPECT_TRUE(defaults.boolForKey("second"));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"defaults.json", "old-version"}));
}

TEST(UserDefaults, DamagedFilesReadAsDefaultsAndAreRepairedByTheNextWrite) {
    const struct {
        const char* what;
        std::string contents;
        bool keepsOther;  // the file's other keys survive a write
    } cases[] = {
        {"empty file", "", false},
        {"not JSON", "hasBeenLaunchedBeforeFlag = YES", false},
        {"truncated", R"({"flag": tru)", false},
        {"array at the top", "[true, false]", false},
        {"binary junk", std::string("\0\xff\xfe{", 4), false},
        {"flag as text", R"({"flag": "true", "other": true})", true},
        {"flag as number", R"({"flag": 1, "other": true})", true},
        {"flag null", R"({"flag": null, "other": true})", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto file = dir.write("defaults.json", c.contents);
        UserDefaults defaults(file);
        EXPECT_FALSE(defaults.boolForKey("flag"));
        EXPECT_TRUE(defaults.setBool("flag", true));
        EXPECT_TRUE(defaults.boolForKey("flag"));
        EXPECT_EQ(defaults.boolForKey("other"), c.keepsOther);
        EXPECT_TRUE(json::parse(readFile(file)).has_value());
    }
}

TEST(UserDefaults, FailedWriteAnswersFalseAndLeavesNothingBehind) {
    TempDir dir;
    dir.write("blocker", "a file where the folder should be");
    UserDefaults defaults(dir / "blocker/defaults.json");
    EXPECT_FALSE(defaults.setBool("flag", true));
    EXPECT_FALSE(defaults.boolForKey("flag"));
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"blocker"}));
}

TEST(UserDefaults, DefaultFileLivesUnderTheXdgConfigFolder) {
    TempDir dir;
    ScopedEnv home("HOME", (dir / "home").string());
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", (dir / "xdg").string());
        EXPECT_EQ(UserDefaults::defaultFile(), dir / "xdg/tarnwick/defaults.json");
    }
    // A relative or empty XDG_CONFIG_HOME is to be ignored.
    for (const char* value : {"relative/config", ""}) {
        SCOPED_TRACE(value);
        ScopedEnv xdg("XDG_CONFIG_HOME", value);
        EXPECT_EQ(UserDefaults::defaultFile(), dir / "home/.config/tarnwick/defaults.json");
    }
}

}  // namespace
}  // namespace tarnwick
