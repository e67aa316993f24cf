#include "platform/PlatformHelpers.h"
#include "platform/Process.h"
#include "platform/UserDefaults.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using test::ScopedEnv;
using test::TempDir;

TEST(PlatformHelpers, LaunchAndReturnStdOutAnswersOnlyUtf8Output) {
    EXPECT_EQ(launchAndReturnStdOut("/usr/bin/printf", {"%s", "Äpfel ✓"}), "Äpfel ✓");
    const auto empty = launchAndReturnStdOut("/bin/true", {});
    ASSERT_TRUE(empty.has_value()) << "no output is an empty answer";
    EXPECT_EQ(*empty, "");
    EXPECT_EQ(launchAndReturnStdOut("/usr/bin/printf", {"ok \\377 no"}), std::nullopt);
    EXPECT_EQ(launchAndReturnStdOut("/usr/bin/printf", {"cut short \\342\\202"}), std::nullopt);
    EXPECT_EQ(launchAndReturnStdOut("/no/such/program", {}), std::nullopt);
}

TEST(PlatformHelpers, RelaunchShellGetsDelayAndPathAsSeparateArguments) {
    EXPECT_EQ(relaunchShellArguments(0.5, "/opt/tarnwick/bin/tarnwick"),
              (std::vector<std::string>{"-c", "sleep \"$1\"; exec \"$2\"", "sh", "0.5", "/opt/tarnwick/bin/tarnwick"}));
    const auto odd = relaunchShellArguments(2, "/tmp/a b/$(x)/`y`/\"z\"");
    ASSERT_EQ(odd.size(), 5u);
    EXPECT_EQ(odd[1], "sleep \"$1\"; exec \"$2\"") << "the command text never changes";
    EXPECT_EQ(odd[3], "2.0");
    EXPECT_EQ(odd[4], "/tmp/a b/$(x)/`y`/\"z\"");
}

TEST(PlatformHelpers, RelaunchShellStartsAProgramWhosePathHoldsShellCharacters) {
    TempDir dir;
    ScopedEnv pwned("TW_PWNED", (dir / "pwned").string());
    // Should the path reach the shell as code, even inside double quotes, the $(...) or the
    // backquotes would create the "pwned" file; the quotes balance, so the shell would parse it.
    const std::string folder = "q\"$(touch \"$TW_PWNED\")\"`touch \"$TW_PWNED\"` b";
    const auto program = dir.write(folder + "/tarnwick", "#!/bin/sh\nprintf 'relaunched with %d arguments' \"$#\"\n");
    ASSERT_EQ(chmod(program.c_str(), 0755), 0);

    const auto output = process::runAndReadStdout("/bin/sh", relaunchShellArguments(0, program.string()));
    EXPECT_EQ(output, "relaunched with 0 arguments");
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned")) << "a part of the path ran as a command";
}

TEST(PlatformHelpers, ShortestDecimal) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0.5, "0.5"}, {1, "1.0"}, {0, "0.0"}, {2.25, "2.25"}, {0.1, "0.1"}, {-3, "-3.0"}, {1e21, "1e+21"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(shortestDecimal(c.value), c.text);
    }
}

TEST(PlatformHelpers, IsFirstLaunchIsTrueOnceAndRemembered) {
    TempDir dir;
    const auto file = dir / "tarnwick/defaults.json";
    UserDefaults defaults(file);
    EXPECT_TRUE(isFirstLaunch(defaults));
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_FALSE(isFirstLaunch(defaults));
    EXPECT_FALSE(isFirstLaunch(defaults));
    EXPECT_TRUE(UserDefaults(file).boolForKey("hasBeenLaunchedBeforeFlag")) << "persisted for the next run";
}

// A home that cannot be written: the flag is never stored, yet only the run's first call is a
// first launch (else the maker's popover would come back every time the sidebar shows).
TEST(PlatformHelpers, IsFirstLaunchIsFalseAfterTheFirstCallWhenTheFlagCannotBeStored) {
    TempDir dir;
    dir.write("blocker", "a file where the folder should be");
    UserDefaults defaults(dir / "blocker/defaults.json");
    EXPECT_TRUE(isFirstLaunch(defaults));
    EXPECT_FALSE(isFirstLaunch(defaults));
    EXPECT_FALSE(isFirstLaunch(defaults));
}

TEST(PlatformHelpers, RealHomeDirectoryHonoursTarnwickHome) {
    {
        ScopedEnv home("TARNWICK_HOME", "/mnt/mac/Users/alice");
        EXPECT_EQ(realHomeDirectoryForCurrentUser(), std::filesystem::path("/mnt/mac/Users/alice"));
        ScopedEnv root("TARNWICK_ROOT", "/mnt/mac");
        EXPECT_EQ(realHomeDirectoryForCurrentUser(), std::filesystem::path("/mnt/mac/Users/alice"))
            << "TARNWICK_HOME names the home on a mounted Mac too";
    }
    // Neither set, or both empty: the user database, not $HOME.
    ScopedEnv empty("TARNWICK_HOME", "");
    ScopedEnv noRoot("TARNWICK_ROOT", "");
    ScopedEnv misleading("HOME", "/somewhere/else");
    const passwd* user = getpwuid(getuid());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(realHomeDirectoryForCurrentUser(), std::filesystem::path(user->pw_dir));
}

// On a Mac read under TARNWICK_ROOT, the home is the Mac's own user's, never the Linux account's.
TEST(PlatformHelpers, RealHomeDirectoryOfAMountedMacIsItsOnlyUsersFolder) {
    const struct {
        const char* what;
        std::vector<std::string> folders;  // under Users/
        std::vector<std::string> files;    // under Users/
        std::vector<std::string> users;
        std::optional<std::string> home;
    } cases[] = {
        {"one user beside the system's folders", {"Shared", "Guest", ".localized.d", "alice"}, {".localized", "notes.txt"},
         {"alice"}, "alice"},
        {"no user", {"Shared", "Guest"}, {}, {}, std::nullopt},
        {"no Users folder at all", {}, {}, {}, std::nullopt},
        {"two users", {"bob", "Shared", "alice"}, {}, {"alice", "bob"}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir mac;
        for (const auto& folder : c.folders) std::filesystem::create_directories(mac / ("Users/" + folder));
        for (const auto& file : c.files) mac.write("Users/" + file, "");
        ScopedEnv root("TARNWICK_ROOT", mac.path().string());
        ScopedEnv home("TARNWICK_HOME", "");
        EXPECT_EQ(macUserFolders(), c.users);
        const auto expected = c.home ? std::optional(mac / ("Users/" + *c.home)) : std::nullopt;
        EXPECT_EQ(realHomeDirectoryForCurrentUser(), expected);
    }
}

// A link under Users/ is no user's folder: following it could lead off the Mac being read.
TEST(PlatformHelpers, ALinkUnderUsersIsNoUser) {
    TempDir mac;
    std::filesystem::create_directories(mac / "Users/alice");
    std::filesystem::create_directory_symlink("/root", mac / "Users/intruder");
    ScopedEnv root("TARNWICK_ROOT", mac.path().string());
    ScopedEnv home("TARNWICK_HOME", "");
    EXPECT_EQ(macUserFolders(), std::vector<std::string>{"alice"});
}

}  // namespace
}  // namespace tarnwick
