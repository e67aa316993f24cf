#include "models/BlacklistedExtension.h"
#include "models/InstalledExtension.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::TempDir;
using Dict = PlistValue::Dictionary;
using Array = PlistValue::Array;
using nlohmann::json;

TEST(BlacklistedExtensions, RecordsAreKeyedByIdentifierAndDeveloper) {
    const PlistValue meta = Dict{{"ExtensionBlacklist",
                                  Dict{{"Extensions", Array{
                                      Dict{{"CFBundleIdentifier", "com.adobe.flash"}, {"Developer Identifier", "E728F995AB"}},
                                      Dict{{"CFBundleIdentifier", "com.nodev"}},
                                      "not a dictionary",
                                      Dict{{"Developer Identifier", int64_t{3}}},
                                  }}}}};
    const json descriptions = {{"com.adobe.flash.E728F995AB", {{"Date", "2016-07-07"}, {"Version", 2081}}},
                               {"com.nodev.N/A", {{"Date", "2017-01-01"}, {"Version", 2090}}}};
    TempDir dir;
    for (bool binary : {false, true}) {
        const auto file = binary ? dir.writeBinaryPlist("meta.plist", meta) : dir.writeXmlPlist("meta.plist", meta);
        const auto list = loadBlacklistedExtensions(file, descriptions);
        ASSERT_EQ(list.size(), 3u);
        EXPECT_EQ(list[0].CFBundleIdentifier, "com.adobe.flash");
        EXPECT_EQ(list[0].DeveloperIdentifier, "E728F995AB");
        EXPECT_EQ(list[0].date, "2016-07-07");
        EXPECT_EQ(list[0].version, 2081);
        EXPECT_EQ(list[1].DeveloperIdentifier, "N/A");
        EXPECT_EQ(list[1].version, 2090) << "looked up under the identifier, a full stop and N/A";
        EXPECT_EQ(list[2].CFBundleIdentifier, "N/A");
        EXPECT_EQ(list[2].DeveloperIdentifier, "N/A");
    }
}

TEST(BlacklistedExtensions, MissingOrMistypedContainersGiveAnEmptyList) {
    TempDir dir;
    const PlistValue cases[] = {
        Dict{{"ExtensionBlacklist", Dict{{"Extensions", Dict{}}}}},
        Dict{{"ExtensionBlacklist", Array{}}},
        Dict{},
    };
    for (const auto& meta : cases)
        EXPECT_TRUE(loadBlacklistedExtensions(dir.writeXmlPlist("meta.plist", meta), json()).empty());
    EXPECT_TRUE(loadBlacklistedExtensions(dir / "missing.plist", json()).empty());
}

TEST(BlacklistedExtensions, EnrichmentUsesTheDescriptionKey) {
    BlacklistedExtension e{"com.example.ext", "ABCDE12345", "old", 9};
    e.enrichFromIndex(json{{"com.example.ext.ABCDE12345", {{"Date", "2021-02-03"}, {"Version", 2140.7}}}});
    EXPECT_EQ(e.date, "2021-02-03");
    EXPECT_EQ(e.version, 2140);
    e.enrichFromIndex(json{{"com.example.ext", {{"Date", "x"}, {"Version", 1}}}});
    EXPECT_EQ(e.date, "");
    EXPECT_EQ(e.version, 0);
}

TEST(InstalledExtensions, EntriesTakeTheirKeysOrDefaults) {
    const PlistValue list = Dict{{"Installed Extensions", Array{
        Dict{{"Archive File Name", "A.safariextz"}, {"Bundle Directory Name", "A.safariextension"},
             {"Bundle Identifier", "com.a"}, {"Developer Identifier", "DEV"}, {"Enabled", true}, {"Apple-signed", true}},
        Dict{{"Bundle Identifier", "com.b"}},
        Dict{{"Enabled", "yes"}, {"Apple-signed", int64_t{1}}},
        int64_t{12},
    }}};
    TempDir dir;
    for (bool binary : {true, false}) {
        const auto file = binary ? dir.writeBinaryPlist("Extensions.plist", list) : dir.writeXmlPlist("Extensions.plist", list);
        const auto records = loadInstalledExtensions(file);
        ASSERT_EQ(records.size(), 3u);
        EXPECT_FALSE(records[0].disabled);
        EXPECT_TRUE(records[0].signed_);
        EXPECT_EQ(records[0].archiveFileName, "A.safariextz");
        EXPECT_EQ(records[0].bundleDirectoryName, "A.safariextension");
        EXPECT_EQ(records[0].developerID, "DEV");
        EXPECT_TRUE(records[1].disabled) << "without Enabled an extension is listed as disabled";
        EXPECT_FALSE(records[1].signed_);
        EXPECT_EQ(records[1].archiveFileName, "N/A");
        EXPECT_TRUE(records[2].disabled);
        EXPECT_FALSE(records[2].signed_);
        EXPECT_EQ(records[2].bundleID, "N/A");
        for (const auto& r : records) EXPECT_EQ(r.fullPath, file.string());
    }
}

TEST(InstalledExtensions, NoListGivesNoRecords) {
    TempDir dir;
    EXPECT_TRUE(loadInstalledExtensions(dir / "Library/Safari/Extensions/Extensions.plist").empty());
    EXPECT_TRUE(loadInstalledExtensions(dir.writeXmlPlist("e.plist", Dict{{"Installed Extensions", Dict{}}})).empty());
}

}  // namespace
}  // namespace tarnwick
