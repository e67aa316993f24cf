#include "platform/MacPaths.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

using test::ScopedEnv;
using test::TempDir;

const std::string classicResources = "System/Library/CoreServices/XProtect.bundle/Contents/Resources";
const std::string modernResources = "Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources";

TEST(MacPaths, XProtectResourceFindsTheBundleWhereTheMacKeepsIt) {
    const struct {
        const char* what;
        std::vector<std::string> folders;
        std::string expected;
    } cases[] = {
        {"classic place only", {classicResources}, classicResources},
        {"macOS 10.15 place only", {modernResources}, modernResources},
        {"both: the classic place wins", {classicResources, modernResources}, classicResources},
        {"neither: the classic path", {}, classicResources},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir mac;
        for (const auto& folder : c.folders) std::filesystem::create_directories(mac / folder);
        ScopedEnv root("TARNWICK_ROOT", mac.path().string());
        EXPECT_EQ(macpaths::xprotectResource("XProtect.meta.plist"), mac / c.expected / "XProtect.meta.plist");
    }
}

TEST(MacPaths, XProtectResourceWantsAFolderNotAFile) {
    TempDir mac;
    mac.write(classicResources, "a file, not the bundle's folder");
    std::filesystem::create_directories(mac / modernResources);
    ScopedEnv root("TARNWICK_ROOT", mac.path().string());
    EXPECT_EQ(macpaths::xprotectResource("XProtect.yara"), mac / modernResources / "XProtect.yara");
}

}  // namespace
}  // namespace tarnwick
