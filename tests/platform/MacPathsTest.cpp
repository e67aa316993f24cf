#include "platform/MacPaths.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using test::ScopedEnv;
using test::TempDir;

const std::string classicResources = "System/Library/CoreServices/XProtect.bundle/Contents/Resources";
const std::string modernResources = "Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources";

// What one of the two places holds: a meta property list of that version (absent: none), a rule
// file, or a bare folder.
struct Place {
    std::optional<double> version;
    bool rules = false;
    bool folder = false;
};

void lay(const TempDir& mac, const std::string& resources, const Place& place) {
    if (place.folder) std::filesystem::create_directories(mac / resources);
    if (place.version) mac.writeXmlPlist(resources + "/XProtect.meta.plist", PlistValue::Dictionary{{"Version", *place.version}});
    if (place.rules) mac.write(resources + "/XProtect.yara", "rule A { condition: true }\n");
}

TEST(MacPaths, XProtectBundleIsChosenByItsFiles) {
    const struct {
        const char* what;
        Place classic;
        Place modern;
        std::string expected;
    } cases[] = {
        {"classic place only", {2100.0, true}, {}, classicResources},
        {"macOS 10.15 place only", {}, {2158.0, true}, modernResources},
        {"an upgraded Mac: a stale classic bundle beside the live one", {2100.0, true}, {2158.0, true}, modernResources},
        {"the classic bundle is the newer", {2160.0, true}, {2158.0, true}, classicResources},
        {"the same version: the 10.15 place", {2158.0, true}, {2158.0, true}, modernResources},
        {"an empty classic folder", {std::nullopt, false, true}, {2158.0, true}, modernResources},
        {"a rule file alone still makes a bundle", {}, {std::nullopt, true}, modernResources},
        {"a meta list without a version loses to one with", {1.0, true}, {std::nullopt, true}, classicResources},
        {"neither: the classic path", {}, {std::nullopt, false, true}, classicResources},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir mac;
        lay(mac, classicResources, c.classic);
        lay(mac, modernResources, c.modern);
        ScopedEnv root("TARNWICK_ROOT", mac.path().string());
        EXPECT_EQ(macpaths::xprotectResource("XProtect.meta.plist"), mac / c.expected / "XProtect.meta.plist");
        EXPECT_EQ(macpaths::xprotectResource("XProtect.yara"), mac / c.expected / "XProtect.yara");
        EXPECT_EQ(macpaths::xprotectBundlePath(), (mac / c.expected).parent_path().parent_path());
    }
}

TEST(MacPaths, XProtectResourceWantsFilesNotFolders) {
    TempDir mac;
    std::filesystem::create_directories(mac / classicResources / "XProtect.meta.plist");
    std::filesystem::create_directories(mac / classicResources / "XProtect.yara");
    lay(mac, modernResources, {2158.0, true});
    ScopedEnv root("TARNWICK_ROOT", mac.path().string());
    EXPECT_EQ(macpaths::xprotectResource("XProtect.yara"), mac / modernResources / "XProtect.yara");
}

}  // namespace
}  // namespace tarnwick
