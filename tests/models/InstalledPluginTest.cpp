#include "models/InstalledPlugin.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using test::TempDir;
using Dict = PlistValue::Dictionary;

PlistValue info(const std::string& id, const std::string& version = "1.0") {
    return Dict{{"CFBundleIdentifier", id}, {"CFBundleVersion", version}, {"CFBundleShortVersionString", "v" + version}};
}

TEST(InstalledPlugins, SystemFolderFirstThenTheUsers) {
    TempDir dir;
    dir.writeXmlPlist("system/Flash.plugin/Contents/Info.plist", info("com.flash", "32"));
    dir.writeBinaryPlist("system/Disabled Plug-Ins/Java.plugin/Contents/Info.plist", info("com.java", "8"));
    dir.writeXmlPlist("user/Mine.plugin/Contents/Info.plist", info("com.mine"));
    dir.write("system/Flash.plugin/Contents/Resources/readme.txt", "not a bundle file");

    const auto list = loadInstalledPlugins(dir / "system/", dir / "user");
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(list[0].systemInstall);
    EXPECT_TRUE(list[1].systemInstall);
    EXPECT_EQ(list[2].bundleID, "com.mine");
    EXPECT_FALSE(list[2].systemInstall) << "user plug-ins come after every machine-wide one";

    for (const auto& p : list) {
        if (p.bundleID == "com.java") {
            EXPECT_TRUE(p.disabled);
            EXPECT_EQ(p.bundleVersion, "8");
            EXPECT_EQ(p.bundleShortVersion, "v8");
            EXPECT_EQ(p.bundlePath, (dir / "system/Disabled Plug-Ins/Java.plugin/Contents/Info.plist").string());
        } else {
            EXPECT_FALSE(p.disabled) << p.bundleID;
        }
    }
}

TEST(InstalledPlugins, OddBundlesAreSkippedOrDefaulted) {
    TempDir dir;
    // A nested bundle's Info.plist counts as well: the test is a plain suffix test.
    dir.writeXmlPlist("system/Outer.plugin/Contents/PlugIns/Inner.plugin/Contents/Info.plist", info("com.inner"));
    dir.writeXmlPlist("system/NoKeys.plugin/Contents/Info.plist", Dict{{"CFBundleIdentifier", int64_t{5}}});
    dir.write("system/Broken.plugin/Contents/Info.plist", "<plist><dict><key>CFBundle");
    dir.writeXmlPlist("system/Array.plugin/Contents/Info.plist", PlistValue::Array{"x"});

    const auto list = loadInstalledPlugins(dir / "system", dir / "no-such-user-folder");
    ASSERT_EQ(list.size(), 2u);
    bool sawInner = false, sawDefaults = false;
    for (const auto& p : list) {
        sawInner |= p.bundleID == "com.inner";
        if (p.bundleID == "N/A") {
            sawDefaults = true;
            EXPECT_EQ(p.bundleVersion, "N/A");
            EXPECT_EQ(p.bundleShortVersion, "N/A");
        }
    }
    EXPECT_TRUE(sawInner);
    EXPECT_TRUE(sawDefaults);
}

TEST(InstalledPlugins, LinkLoopsAndMissingFoldersEndTheWalk) {
    TempDir dir;
    dir.writeXmlPlist("system/A.plugin/Contents/Info.plist", info("com.a"));
    std::filesystem::create_directory_symlink(dir / "system", dir / "system/loop");
    EXPECT_EQ(loadPluginsInFolder(dir / "system", true).size(), 1u);
    EXPECT_TRUE(loadPluginsInFolder(dir / "missing", true).empty());
}

// Leaves the process `count` free file descriptors, so that the walk can open only so many folders
// at once: deeper folders then fail to open with EMFILE, as a damaged volume's fail with EIO.
void leaveFreeDescriptors(int count) {
    int limit = 0;
    for (int free = 0; free < count; ++limit)
        if (fcntl(limit, F_GETFD) == -1) ++free;
    const rlimit r{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
    setrlimit(RLIMIT_NOFILE, &r);
}

// An entry the walk cannot enter for another reason than permissions (a damaged volume, an entry
// that vanished) is passed by: the plug-ins around it are still listed.
TEST(InstalledPlugins, AnEntryThatCannotBeEnteredDoesNotEndTheWalk) {
    TempDir dir;
    std::string expected;
    for (int i = 0; i < 6; ++i) {
        const std::string bundle = "system/P" + std::to_string(i) + ".plugin";
        dir.writeXmlPlist(bundle + "/Contents/Info.plist", info("com.p" + std::to_string(i)));
        // Opening b would take a fifth descriptor: system, P.plugin, Deep, a, b.
        std::filesystem::create_directories(dir / (bundle + "/Deep/a/b/c"));
        expected += "com.p" + std::to_string(i) + "\n";
    }
    test::openUp((dir / "system").string());
    const auto found = test::runUnprivileged([&] {
        leaveFreeDescriptors(4);  // system, P.plugin, Contents and the Info.plist
        std::vector<std::string> ids;
        for (const InstalledPlugin& plugin : loadPluginsInFolder(dir / "system", true)) ids.push_back(plugin.bundleID);
        std::sort(ids.begin(), ids.end());
        std::string text;
        for (const auto& id : ids) text += id + "\n";
        return text;
    });
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, expected);
}

TEST(InstalledPlugins, UnreadableFolderIsSkipped) {
    TempDir dir;
    dir.writeXmlPlist("system/A.plugin/Contents/Info.plist", info("com.a"));
    dir.writeXmlPlist("system/Locked/B.plugin/Contents/Info.plist", info("com.b"));
    chmod((dir / "system/Locked").c_str(), 0);
    test::openUp((dir / "system").string());
    // Unprivileged, since root reads every folder.
    const auto found = test::runUnprivileged([&] {
        std::string ids;
        for (const InstalledPlugin& plugin : loadPluginsInFolder(dir / "system", true)) ids += plugin.bundleID + "\n";
        return ids;
    });
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, "com.a\n");
}

}  // namespace
}  // namespace tarnwick
