#include "app/Constants.h"
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

TEST(Constants, XProtectResourceFindsTheBundleWhereTheMacKeepsIt) {
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
        EXPECT_EQ(constants::xprotectResource("XProtect.meta.plist"), mac / c.expected / "XProtect.meta.plist");
    }
}

TEST(Constants, XProtectResourceWantsAFolderNotAFile) {
    TempDir mac;
    mac.write(classicResources, "a file, not the bundle's folder");
    std::filesystem::create_directories(mac / modernResources);
    ScopedEnv root("TARNWICK_ROOT", mac.path().string());
    EXPECT_EQ(constants::xprotectResource("XProtect.yara"), mac / modernResources / "XProtect.yara");
}

TEST(Constants, EnrichmentAddressesFollowTarnwickEnrichUrl) {
    const struct {
        const char* setting;
        std::string server;
    } cases[] = {
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"http://127.0.0.1:8080//", "http://127.0.0.1:8080"},
        {"https://lab.example/mirror", "https://lab.example/mirror"},
        {"", "https://xprotect.velmora.io"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        ScopedEnv enrich("TARNWICK_ENRICH_URL", c.setting);
        EXPECT_EQ(constants::enrichmentServer(), c.server);
        EXPECT_EQ(constants::signatureIndexURL(), c.server + "/vantor/signatures/index.json");
        EXPECT_EQ(constants::pluginIndexURL(), c.server + "/vantor/plugins/index.json");
        EXPECT_EQ(constants::extensionIndexURL(), c.server + "/vantor/extensions/index.json");
    }
}

TEST(Constants, CatalogUrlFollowsTarnwickCatalogUrl) {
    {
        ScopedEnv catalog("TARNWICK_CATALOG_URL", "http://127.0.0.1:9000/catalog.sucatalog.gz");
        EXPECT_EQ(constants::softwareUpdateCatalogURL(), "http://127.0.0.1:9000/catalog.sucatalog.gz");
    }
    ScopedEnv unset("TARNWICK_CATALOG_URL", "");
    const std::string url = constants::softwareUpdateCatalogURL();
    EXPECT_EQ(url.rfind("https://swscan.apple.com/", 0), 0u) << url;
    EXPECT_TRUE(url.ends_with(".sucatalog.gz")) << url;
}

}  // namespace
}  // namespace tarnwick
