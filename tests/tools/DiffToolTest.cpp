// End-to-end: the built `tarnwick-diff` on two small releases of our own.
#include "support/ProgramRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace tarnwick {
namespace {

using test::ProgramRun;
using test::TempDir;
using Dict = PlistValue::Dictionary;
using Array = PlistValue::Array;
using Json = nlohmann::json;

const std::string classicResources = "System/Library/CoreServices/XProtect.bundle/Contents/Resources";
const std::string modernResources = "Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources";

const std::string oldRules = R"(rule Kept { strings: $a = "kept" condition: $a }
rule Removed { condition: filesize == 0 }
rule Changed : adware
{
    meta:
        description = "OSX.Changed"
    strings:
        $magic = { 4D 5A ?? 90 }
        $text = "old text"
    condition:
        $magic at 0 and $text
}
)";

// Kept is laid out anew, which is no change; Changed has another string and condition.
const std::string newRules = R"(rule Kept
{
    strings: $a = "kept"   // the same rule
    condition: $a
}
rule Changed : adware
{
    meta:
        description = "OSX.Changed"
    strings:
        $magic = { 4D 5A ?? 90 }
        $text = "new text"
    condition:
        $magic at 0 or $text
}
rule Added { condition: filesize < 10 }
)";

Dict plugin(const std::string& minimum, bool update) {
    return Dict{{"MinimumPlugInBundleVersion", minimum}, {"PlugInUpdateAvailable", update}};
}

Dict extension(const std::string& id, const std::string& developer) {
    return Dict{{"CFBundleIdentifier", id}, {"Developer Identifier", developer}};
}

Dict meta(int64_t version, Dict plugins, Array extensions, Array checks, const std::string& java = "1.6.0_45-b06") {
    return Dict{{"Version", static_cast<double>(version)},  // a real, as Apple writes it
                {"JavaWebComponentVersionMinimum", java},
                {"PlugInBlacklist", Dict{{"10", std::move(plugins)}}},
                {"ExtensionBlacklist", Dict{{"Extensions", std::move(extensions)}}},
                {"GKChecks", Dict{{"CodeSignatureIDs", std::move(checks)}}}};
}

const Dict oldMeta = meta(2158, {{"com.example.kept", plugin("1.0", true)}, {"com.example.raised", plugin("2.0", false)}},
                          {extension("com.example.ext", "DEV1"), extension("com.example.gone", "DEV2")},
                          {"com.example.Updater"});
const Dict newMeta = meta(2159,
                          {{"com.example.kept", plugin("1.0", true)},
                           {"com.example.raised", plugin("2.5", false)},
                           {"com.example.added", plugin("3.0", true)}},
                          {extension("com.example.ext", "DEV1")}, {"com.example.Updater", "com.example.Dropper"});

// Writes a release's two files into `resources` under the folder; answers the resources folder.
std::filesystem::path writeRelease(const TempDir& dir, const std::string& resources, const std::string& rules,
                                   const Dict& metaPlist) {
    dir.write(resources + "/XProtect.yara", rules);
    dir.writeXmlPlist(resources + "/XProtect.meta.plist", metaPlist);
    return dir / resources;
}

ProgramRun diffTool(const std::vector<std::string>& arguments) {
    return test::runProgram(test::builtProgram("tarnwick-diff"), arguments);
}

// The two fixture releases: OLD as a Mac root, NEW as a bundle folder.
struct Releases {
    TempDir dir;
    std::filesystem::path oldRoot = dir / "old-mac";
    std::filesystem::path newBundle = dir / "new/XProtect.bundle";
    std::filesystem::path oldResources = writeRelease(dir, "old-mac/" + classicResources, oldRules, oldMeta);
    std::filesystem::path newResources = writeRelease(dir, "new/XProtect.bundle/Contents/Resources", newRules, newMeta);
};

const std::string changedOld =
    "rule Changed : adware \n{\n    meta:\n        description = \"OSX.Changed\" \n    strings:\n"
    "        $magic = {4D5A??90} \n        $text = \"old text\" \n    condition:\n        $magic at 0 and $text \n}";
const std::string changedNew =
    "rule Changed : adware \n{\n    meta:\n        description = \"OSX.Changed\" \n    strings:\n"
    "        $magic = {4D5A??90} \n        $text = \"new text\" \n    condition:\n        $magic at 0 or $text \n}";

TEST(DiffTool, ListsExactlyWhatChangedAsJson) {
    Releases releases;
    const ProgramRun run = diffTool({releases.oldRoot.string(), releases.newBundle.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const Json expected = {
        {"old", {{"path", releases.oldResources.string()}, {"version", 2158}}},
        {"new", {{"path", releases.newResources.string()}, {"version", 2159}}},
        {"rules",
         {{"added", {"Added"}},
          {"removed", {"Removed"}},
          {"changed", {{{"name", "Changed"}, {"old", changedOld}, {"new", changedNew}}}}}},
        {"plugins",
         {{"added",
           {{{"plugin_id", "com.example.added"}, {"MinimumPluginBundleVersion", "3.0"}, {"PluginUpdateAvailable", true}}}},
          {"removed", Json::array()},
          {"changed",
           {{{"old",
              {{"plugin_id", "com.example.raised"},
               {"MinimumPluginBundleVersion", "2.0"},
               {"PluginUpdateAvailable", false}}},
             {"new",
              {{"plugin_id", "com.example.raised"},
               {"MinimumPluginBundleVersion", "2.5"},
               {"PluginUpdateAvailable", false}}}}}}}},
        {"extensions",
         {{"added", Json::array()},
          {"removed", {{{"CFBundleIdentifier", "com.example.gone"}, {"DeveloperIdentifier", "DEV2"}}}},
          {"changed", Json::array()}}},
        {"gkChecks", {{"added", {"com.example.Dropper"}}, {"removed", Json::array()}}},
    };
    EXPECT_EQ(Json::parse(run.out), expected) << run.out;
}

TEST(DiffTool, TextIsAChangeLogWithADiffOfEachChangedRule) {
    Releases releases;
    const ProgramRun run = diffTool({releases.oldRoot.string(), releases.newBundle.string(), "--text"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "XProtect 2158 -> 2159\n"
                       "old: " + releases.oldResources.string() + "\n"
                       "new: " + releases.newResources.string() + "\n"
                       "\n"
                       "Rules: 1 added, 1 removed, 1 changed\n"
                       "+ Added\n"
                       "- Removed\n"
                       "~ Changed\n"
                       "--- old/Changed\n"
                       "+++ new/Changed\n"
                       "@@ -4,7 +4,7 @@\n"
                       "         description = \"OSX.Changed\" \n"
                       "     strings:\n"
                       "         $magic = {4D5A??90} \n"
                       "-        $text = \"old text\" \n"
                       "+        $text = \"new text\" \n"
                       "     condition:\n"
                       "-        $magic at 0 and $text \n"
                       "+        $magic at 0 or $text \n"
                       " }\n"
                       "\n"
                       "Plug-ins: 1 added, 1 changed\n"
                       "+ com.example.added (minimum 3.0, update available)\n"
                       "~ com.example.raised: minimum 2.0 -> 2.5\n"
                       "\n"
                       "Extensions: 1 removed\n"
                       "- com.example.gone (developer DEV2)\n"
                       "\n"
                       "Gatekeeper checks: 1 added\n"
                       "+ com.example.Dropper\n");
}

TEST(DiffTool, FindsTheBundleFromEachFormOfPath) {
    TempDir dir;
    const struct {
        const char* what;
        std::string given;      // relative to the folder
        std::string resources;  // where the files are written
    } cases[] = {
        {"a Mac root, classic place", "mac1", "mac1/" + classicResources},
        {"a Mac root, macOS 10.15 place", "mac2", "mac2/" + modernResources},
        {"a bundle folder", "copy/XProtect.bundle", "copy/XProtect.bundle/Contents/Resources"},
        {"a Resources folder", "flat", "flat"},
    };
    const auto reference = writeRelease(dir, "reference", newRules, newMeta);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeRelease(dir, c.resources, oldRules, oldMeta);
        const ProgramRun run = diffTool({(dir / c.given).string(), reference.string()});
        ASSERT_EQ(run.status, 0) << run.err;
        const Json out = Json::parse(run.out);
        EXPECT_EQ(out.at("old").at("path"), (dir / c.resources).string());
        EXPECT_EQ(out.at("old").at("version"), 2158);
        EXPECT_EQ(out.at("rules").at("removed"), Json::array({"Removed"}));
    }
}

TEST(DiffTool, ASideThatCannotBeReadIsNamedAndEndsWithTwo) {
    TempDir dir;
    const auto good = writeRelease(dir, "good", oldRules, oldMeta);
    const auto invalid = writeRelease(dir, "invalid", "rule Broken { condition: $nothing }\n", oldMeta);
    const auto junkMeta = writeRelease(dir, "junk-meta", oldRules, oldMeta);
    dir.write("junk-meta/XProtect.meta.plist", "not a property list");
    const auto arrayMeta = writeRelease(dir, "array-meta", oldRules, oldMeta);
    dir.writeXmlPlist("array-meta/XProtect.meta.plist", Array{"a dictionary it is not"});
    dir.write("no-meta/XProtect.yara", oldRules);
    dir.writeXmlPlist("no-rules/XProtect.meta.plist", oldMeta);
    std::filesystem::create_directories(dir / "empty");
    const std::string missing = (dir / "missing").string();
    const struct {
        const char* what;
        std::vector<std::string> arguments;
        std::string err;  // the whole of stderr
    } cases[] = {
        {"a path that does not exist", {missing, good.string()}, "tarnwick-diff: old: " + missing + ": no XProtect bundle found\n"},
        {"a folder with no bundle",
         {good.string(), (dir / "empty").string()},
         "tarnwick-diff: new: " + (dir / "empty").string() + ": no XProtect bundle found\n"},
        {"rules that do not validate",
         {invalid.string(), good.string()},
         "tarnwick-diff: old: " + (invalid / "XProtect.yara").string() + ": does not validate: " +
             (invalid / "XProtect.yara").string() + ":1: undefined string \"$nothing\"\n"},
        {"no rule file",
         {good.string(), (dir / "no-rules").string()},
         "tarnwick-diff: new: " + (dir / "no-rules/XProtect.yara").string() + ": does not exist\n"},
        {"a meta plist that is no property list",
         {good.string(), junkMeta.string()},
         "tarnwick-diff: new: " + (junkMeta / "XProtect.meta.plist").string() +
             ": missing, or not a property list holding a dictionary\n"},
        {"a meta plist that is no dictionary",
         {arrayMeta.string(), good.string()},
         "tarnwick-diff: old: " + (arrayMeta / "XProtect.meta.plist").string() +
             ": missing, or not a property list holding a dictionary\n"},
        {"no meta plist",
         {(dir / "no-meta").string(), good.string()},
         "tarnwick-diff: old: " + (dir / "no-meta/XProtect.meta.plist").string() +
             ": missing, or not a property list holding a dictionary\n"},
        {"both sides: a line each, old first",
         {missing, missing},
         "tarnwick-diff: old: " + missing + ": no XProtect bundle found\ntarnwick-diff: new: " + missing +
             ": no XProtect bundle found\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ProgramRun run = diffTool(c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, c.err);
    }
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{}, {good.string()}, {good.string(), good.string(), good.string()},
                                               {good.string(), good.string(), "--json"}}) {
        const ProgramRun run = diffTool(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("Usage: ", 0), 0u) << run.err;
    }
}

TEST(DiffTool, EqualSidesGiveEmptyLists) {
    TempDir dir;
    const auto first = writeRelease(dir, "first", oldRules, oldMeta);
    const auto second = writeRelease(dir, "second", oldRules, oldMeta);
    const ProgramRun run = diffTool({first.string(), second.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json out = Json::parse(run.out);
    for (const char* list : {"rules", "plugins", "extensions", "gkChecks"})
        for (const auto& [name, entries] : out.at(list).items()) EXPECT_EQ(entries, Json::array()) << list << "." << name;
    EXPECT_FALSE(out.contains("javaMinimum"));

    const ProgramRun text = diffTool({first.string(), second.string(), "--text"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, "XProtect 2158 -> 2158\nold: " + first.string() + "\nnew: " + second.string() +
                            "\n\nNo differences.\n");
}

TEST(DiffTool, AChangedJavaMinimumIsReported) {
    TempDir dir;
    const auto before = writeRelease(dir, "before", oldRules, oldMeta);
    Dict raised = oldMeta;
    for (auto& [key, value] : raised)
        if (key == "JavaWebComponentVersionMinimum") value = "1.8.0_20";
    const auto after = writeRelease(dir, "after", oldRules, raised);
    const ProgramRun run = diffTool({before.string(), after.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Json::parse(run.out).at("javaMinimum"), (Json{{"old", "1.6.0_45-b06"}, {"new", "1.8.0_20"}}));
    const ProgramRun text = diffTool({before.string(), after.string(), "--text"});
    EXPECT_NE(text.out.find("\nJava web components: minimum 1.6.0_45-b06 -> 1.8.0_20\n"), std::string::npos) << text.out;
}

}  // namespace
}  // namespace tarnwick
