#include "platform/MacFileSystem.h"
#include "platform/Resources.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tarnwick {
namespace {

using test::ScopedEnv;
using test::TempDir;

TEST(MacFileSystem, ResolvesMacPathsUnderTheRoot) {
    const struct {
        const char* root;  // nullptr: TARNWICK_ROOT unset
        const char* macPath;
        const char* resolved;
    } cases[] = {
        {"/mnt/mac", "/System/Library/CoreServices/XProtect.bundle", "/mnt/mac/System/Library/CoreServices/XProtect.bundle"},
        {"/mnt/mac", "//Library/Safari", "/mnt/mac/Library/Safari"},
        {"/mnt/mac", "Library/Safari", "/mnt/mac/Library/Safari"},
        {"/mnt/mac/", "/Library/Internet Plug-Ins/", "/mnt/mac/Library/Internet Plug-Ins/"},
        {"/mnt/mac", "/", "/mnt/mac/"},
        {nullptr, "/Library/Safari", "/Library/Safari"},
        {"", "/Library/Safari", "/Library/Safari"},
    };
    const char* previous = std::getenv("TARNWICK_ROOT");
    const std::string saved = previous ? previous : "";
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.root ? c.root : "(unset)") + " " + c.macPath);
        if (c.root)
            setenv("TARNWICK_ROOT", c.root, 1);
        else
            unsetenv("TARNWICK_ROOT");
        EXPECT_EQ(macfs::resolve(c.macPath), std::filesystem::path(c.resolved));
    }
    if (previous)
        setenv("TARNWICK_ROOT", saved.c_str(), 1);
    else
        unsetenv("TARNWICK_ROOT");
}

TEST(MacFileSystem, HomeOverrideOnlyWhenSetAndNotEmpty) {
    {
        ScopedEnv home("TARNWICK_HOME", "/mnt/mac/Users/alice");
        EXPECT_EQ(macfs::homeOverride(), std::filesystem::path("/mnt/mac/Users/alice"));
    }
    ScopedEnv empty("TARNWICK_HOME", "");
    EXPECT_EQ(macfs::homeOverride(), std::nullopt);
}

TEST(Resources, FoundBesideTheRunningExecutable) {
    const auto exe = resources::executablePath();
    EXPECT_TRUE(exe.is_absolute());
    EXPECT_EQ(exe.filename(), "tarnwick_tests");
    EXPECT_EQ(resources::resourceDirectory(), exe.parent_path().parent_path() / "share" / "tarnwick");

    // The build copies the shipped data there, as installation does.
    const auto plugins = resources::path("Plugins", "json");
    ASSERT_TRUE(plugins.has_value());
    EXPECT_EQ(*plugins, resources::resourceDirectory() / "Plugins.json");
    const auto text = resources::read("Plugins", "json");
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("com.apple.java.JavaAppletPlugin"), std::string::npos);

    EXPECT_EQ(resources::path("NoSuchResource", "json"), std::nullopt);
    EXPECT_EQ(resources::read("NoSuchResource", "json"), std::nullopt);
    EXPECT_EQ(resources::path("", ""), std::nullopt) << "the folder itself is no resource";
    EXPECT_EQ(resources::image("no-such-image"), std::nullopt);
}

TEST(Resources, DoNotDependOnTheWorkingDirectory) {
    TempDir dir;
    dir.write("share/tarnwick/Plugins.json", "decoy");
    dir.write("Plugins.json", "decoy");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const auto text = resources::read("Plugins", "json");
    std::filesystem::current_path(previous);
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(*text, "decoy");
}

}  // namespace
}  // namespace tarnwick
