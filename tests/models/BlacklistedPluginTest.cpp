#include "models/BlacklistedPlugin.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::TempDir;
using Dict = PlistValue::Dictionary;
using nlohmann::json;

PlistValue metaWithPlugins(PlistValue blacklist) { return Dict{{"PlugInBlacklist", std::move(blacklist)}}; }

const BlacklistedPlugin* find(const std::vector<BlacklistedPlugin>& list, const std::string& id) {
    for (const auto& p : list)
        if (p.plugin_id == id) return &p;
    return nullptr;
}

TEST(BlacklistedPlugins, EntriesTakeTheirFieldsOrTheirDefaults) {
    const PlistValue meta = metaWithPlugins(Dict{{"10",
        Dict{
            {"com.macromedia.Flash Player.plugin",
             Dict{{"MinimumPlugInBundleVersion", "32.0.0.445"}, {"PlugInUpdateAvailable", true}}},
            {"com.example.bare", Dict{}},
            {"com.example.oddtypes", Dict{{"MinimumPlugInBundleVersion", int64_t{5}}, {"PlugInUpdateAvailable", "yes"}}},
            {"com.example.notadict", "skipped"},
        }}});
    const json descriptions = {{"com.macromedia.Flash Player.plugin", {{"Date", "2016-07-07"}, {"Version", 2081}}},
                               {"com.example.oddtypes", {{"Date", 20160707}, {"Version", 12.9}}}};
    TempDir dir;
    for (bool binary : {false, true}) {
        const auto file = binary ? dir.writeBinaryPlist("meta.plist", meta) : dir.writeXmlPlist("meta.plist", meta);
        const auto list = loadBlacklistedPlugins(file, descriptions);
        ASSERT_EQ(list.size(), 3u) << "the non-dictionary entry is skipped";

        const auto* flash = find(list, "com.macromedia.Flash Player.plugin");
        ASSERT_TRUE(flash);
        EXPECT_EQ(flash->MinimumPluginBundleVersion, "32.0.0.445");
        EXPECT_TRUE(flash->PluginUpdateAvailable);
        EXPECT_EQ(flash->date, "2016-07-07");
        EXPECT_EQ(flash->version, 2081);

        const auto* bare = find(list, "com.example.bare");
        ASSERT_TRUE(bare);
        EXPECT_EQ(bare->MinimumPluginBundleVersion, "N/A");
        EXPECT_FALSE(bare->PluginUpdateAvailable);
        EXPECT_EQ(bare->date, "");
        EXPECT_EQ(bare->version, 0);

        const auto* odd = find(list, "com.example.oddtypes");
        ASSERT_TRUE(odd);
        EXPECT_EQ(odd->MinimumPluginBundleVersion, "N/A");
        EXPECT_FALSE(odd->PluginUpdateAvailable) << "a string is no boolean";
        EXPECT_EQ(odd->date, "20160707") << "a number read as text gives its decimal text";
        EXPECT_EQ(odd->version, 12) << "a real read as an integer is truncated";
    }
}

TEST(BlacklistedPlugins, MissingOrMistypedContainersGiveAnEmptyList) {
    const struct {
        const char* what;
        PlistValue meta;
    } cases[] = {
        {"entries under another key than 10", metaWithPlugins(Dict{{"11", Dict{{"com.a", Dict{}}}}})},
        {"blacklist is an array", metaWithPlugins(PlistValue::Array{"com.a"})},
        {"10 is an array", metaWithPlugins(Dict{{"10", PlistValue::Array{Dict{}}}})},
        {"no blacklist at all", Dict{{"Version", int64_t{1}}}},
    };
    TempDir dir;
    for (const auto& c : cases)
        EXPECT_TRUE(loadBlacklistedPlugins(dir.writeXmlPlist("meta.plist", c.meta), json::object()).empty()) << c.what;
    EXPECT_TRUE(loadBlacklistedPlugins(dir / "missing.plist", json::object()).empty());
}

TEST(BlacklistedPlugins, WithoutDescriptionsDatesAreEmpty) {
    TempDir dir;
    const auto file = dir.writeXmlPlist("meta.plist", metaWithPlugins(Dict{{"10", Dict{{"com.a", Dict{}}}}}));
    for (const json& descriptions : {json(), json::array({1, 2}), json("text")}) {
        const auto list = loadBlacklistedPlugins(file, descriptions);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].date, "");
        EXPECT_EQ(list[0].version, 0);
    }
}

TEST(BlacklistedPlugins, EnrichmentOverwritesEveryRecord) {
    BlacklistedPlugin listed{"com.a", "1", false, "old", 5};
    BlacklistedPlugin unlisted{"com.b", "1", false, "old", 5};
    const json index = {{"com.a", {{"Date", "2020-01-02"}, {"Version", 2120}}}};
    listed.enrichFromIndex(index);
    unlisted.enrichFromIndex(index);
    EXPECT_EQ(listed.date, "2020-01-02");
    EXPECT_EQ(listed.version, 2120);
    EXPECT_EQ(unlisted.date, "") << "an entry the index lacks is cleared";
    EXPECT_EQ(unlisted.version, 0);
}

}  // namespace
}  // namespace tarnwick
