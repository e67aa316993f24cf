// Comparing two releases: which differences count, and how entries are paired by key.
#include "diff/ReleaseDiff.h"
#include "diff/XProtectRelease.h"
#include "support/TestSupport.h"
#include "yara/RuleConverter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

using test::TempDir;
using Dict = PlistValue::Dictionary;

std::vector<std::string> names(const std::vector<ReleaseRule>& rules) {
    std::vector<std::string> out;
    for (const ReleaseRule& rule : rules) out.push_back(rule.name);
    return out;
}

// The rules of a Resources folder holding this rule file and an empty meta plist.
XProtectRelease releaseWithRules(const TempDir& dir, const std::string& folder, const std::string& rules) {
    dir.write(folder + "/XProtect.yara", rules);
    dir.writeXmlPlist(folder + "/XProtect.meta.plist", Dict{{"Version", 1}});
    const ReleaseReading reading = readRelease(dir / folder, shippedConverterPath().value());
    EXPECT_TRUE(reading.release) << reading.error;
    return reading.release.value_or(XProtectRelease{});
}

TEST(ReleaseDiff, ARuleHasChangedWhenItsRawTextHas) {
    const std::string base = "rule R : t1 { meta: a = \"1\" strings: $s = \"x\" ascii $h = { 4D 5A } "
                             "condition: all of them }\n";
    // Each case writes the new rule as the old one with one piece replaced.
    const struct {
        const char* what;
        std::string from;
        std::string to;
        bool changed;
    } cases[] = {
        {"same rule, other layout and comments", base,
         "// a comment\nrule R : t1\n{\n  meta:\n    a = \"1\"\n  strings:\n    $s = \"x\" ascii /* why */\n"
         "    $h = {4D5A}\n  condition:\n    all of\n    them\n}\n",
         false},
        {"a string's value", "\"x\"", "\"y\"", true},
        {"a hex string's bytes", "5A", "5B", true},
        {"a modifier", "ascii", "ascii wide", true},
        {"the condition", "all of", "any of", true},
        {"a meta value", "\"1\"", "\"2\"", true},
        {"a tag", "t1", "t1 t2", true},
        {"private", "rule", "private rule", true},
        {"global", "rule", "global rule", true},
    };
    TempDir dir;
    const XProtectRelease before = releaseWithRules(dir, "old", base);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string after = base;
        after.replace(after.find(c.from), c.from.size(), c.to);
        const ReleaseDiff diff = compareReleases(before, releaseWithRules(dir, "new", after));
        EXPECT_TRUE(diff.rules.added.empty());
        EXPECT_TRUE(diff.rules.removed.empty());
        ASSERT_EQ(diff.rules.changed.size(), c.changed ? 1u : 0u);
        if (c.changed) {
            EXPECT_NE(diff.rules.changed[0].before.text, diff.rules.changed[0].after.text);
        }
    }
}

TEST(ReleaseDiff, RulesAreKnownByName) {
    TempDir dir;
    auto rules = [](const std::vector<std::string>& names) {
        std::string out;
        for (const std::string& name : names) out += "rule " + name + " { condition: true }\n";
        return out;
    };
    const XProtectRelease before = releaseWithRules(dir, "old", rules({"A", "B", "C"}));
    const XProtectRelease after = releaseWithRules(dir, "new", rules({"Z", "C", "B2", "A"}));
    const ReleaseDiff diff = compareReleases(before, after);
    EXPECT_EQ(names(diff.rules.added), (std::vector<std::string>{"Z", "B2"}))
        << "a renamed rule is a new rule; in the new file's order";
    EXPECT_EQ(names(diff.rules.removed), (std::vector<std::string>{"B"}));
    EXPECT_TRUE(diff.rules.changed.empty()) << "moving a rule in the file changes nothing";
}

BlacklistedPlugin plugin(const std::string& id, const std::string& minimum, bool update = false) {
    BlacklistedPlugin out;
    out.plugin_id = id;
    out.MinimumPluginBundleVersion = minimum;
    out.PluginUpdateAvailable = update;
    return out;
}

BlacklistedExtension extension(const std::string& id, const std::string& developer) {
    BlacklistedExtension out;
    out.CFBundleIdentifier = id;
    out.DeveloperIdentifier = developer;
    return out;
}

TEST(ReleaseDiff, PluginsChangeInTheirMinimumAndUpdateFlagOnly) {
    XProtectRelease before;
    XProtectRelease after;
    before.plugins = {plugin("same", "1.0"), plugin("raised", "1.0"), plugin("flagged", "2.0"), plugin("dated", "3.0")};
    after.plugins = {plugin("dated", "3.0"), plugin("flagged", "2.0", true), plugin("raised", "1.1"),
                     plugin("same", "1.0")};
    // Dates and revisions come from our descriptions, not from the release.
    after.plugins[0].date = "2024-01-01";
    after.plugins[0].version = 7;
    const ReleaseDiff diff = compareReleases(before, after);
    ASSERT_EQ(diff.plugins.changed.size(), 2u);
    EXPECT_EQ(diff.plugins.changed[0].after.plugin_id, "flagged");
    EXPECT_EQ(diff.plugins.changed[1].before.MinimumPluginBundleVersion, "1.0");
    EXPECT_EQ(diff.plugins.changed[1].after.MinimumPluginBundleVersion, "1.1");
    EXPECT_TRUE(diff.plugins.added.empty() && diff.plugins.removed.empty());
}

TEST(ReleaseDiff, ExtensionsAndChecksPairedByKeyEvenWhenAKeyRepeats) {
    XProtectRelease before;
    XProtectRelease after;
    // One extension blocked under two developers; a new developer for one, the other kept.
    before.extensions = {extension("a.ext", "DEV1"), extension("a.ext", "DEV2"), extension("b.ext", "DEV3"),
                         extension("gone.ext", "DEV4")};
    after.extensions = {extension("a.ext", "DEV2"), extension("a.ext", "DEV9"), extension("b.ext", "DEV5"),
                        extension("c.ext", "DEV6")};
    before.gkChecks = {GKCheck{"one"}, GKCheck{"one"}, GKCheck{"two"}};
    after.gkChecks = {GKCheck{"two"}, GKCheck{"one"}, GKCheck{"two"}, GKCheck{"three"}};
    const ReleaseDiff diff = compareReleases(before, after);

    ASSERT_EQ(diff.extensions.changed.size(), 2u);
    EXPECT_EQ(diff.extensions.changed[0].before.DeveloperIdentifier, "DEV1") << "DEV2 is in both, so DEV1 became DEV9";
    EXPECT_EQ(diff.extensions.changed[0].after.DeveloperIdentifier, "DEV9");
    EXPECT_EQ(diff.extensions.changed[1].after.CFBundleIdentifier, "b.ext");
    ASSERT_EQ(diff.extensions.added.size(), 1u);
    EXPECT_EQ(diff.extensions.added[0].CFBundleIdentifier, "c.ext");
    ASSERT_EQ(diff.extensions.removed.size(), 1u);
    EXPECT_EQ(diff.extensions.removed[0].CFBundleIdentifier, "gone.ext");

    std::vector<std::string> added;
    for (const GKCheck& check : diff.gkChecks.added) added.push_back(check.codeSigID);
    EXPECT_EQ(added, (std::vector<std::string>{"two", "three"})) << "counted: a second \"two\", in the new order";
    ASSERT_EQ(diff.gkChecks.removed.size(), 1u);
    EXPECT_EQ(diff.gkChecks.removed[0].codeSigID, "one");
    EXPECT_TRUE(diff.gkChecks.changed.empty());
}

TEST(ReleaseDiff, TheJavaMinimumCountsOnlyWhenItDiffers) {
    XProtectRelease before;
    XProtectRelease after;
    EXPECT_TRUE(compareReleases(before, after).empty());
    after.meta.JavaWebComponentVersionMinimum = "1.8.0";
    const ReleaseDiff diff = compareReleases(before, after);
    ASSERT_TRUE(diff.javaMinimum);
    EXPECT_EQ(diff.javaMinimum->before, "N/A");
    EXPECT_EQ(diff.javaMinimum->after, "1.8.0");
    EXPECT_FALSE(diff.empty());
    after.meta.version = 9;
    after.meta.JavaWebComponentVersionMinimum = "N/A";
    EXPECT_TRUE(compareReleases(before, after).empty()) << "the version alone is no difference";
}

}  // namespace
}  // namespace tarnwick
