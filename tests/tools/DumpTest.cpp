// End-to-end: tarnwick-dump on the sample Mac.
#include "platform/Process.h"
#include "platform/Resources.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace tarnwick {
namespace {

using test::ScopedEnv;

nlohmann::json dumpSample(const std::string& enrichURL) {
    const std::string sample = std::string(TARNWICK_SOURCE_DIR) + "/samples/mac";
    ScopedEnv root("TARNWICK_ROOT", sample);
    ScopedEnv home("TARNWICK_HOME", sample + "/Users/sample");
    ScopedEnv enrich("TARNWICK_ENRICH_URL", enrichURL);
    const auto dump = (resources::executablePath().parent_path() / "tarnwick-dump").string();
    auto output = process::runAndReadStdout(dump, {"--timeout", "10"});
    EXPECT_TRUE(output);
    return nlohmann::json::parse(output.value_or("null"));
}

const nlohmann::json& byKey(const nlohmann::json& list, const std::string& key, const std::string& value) {
    for (const auto& e : list)
        if (e.at(key) == value) return e;
    throw std::runtime_error("no " + value);
}

TEST(Dump, SampleMacWithTheShippedDatesWhenTheServerIsUnreachable) {
    const auto doc = dumpSample(test::refusedURL());
    EXPECT_EQ(doc["xprotect"]["version"], 2158);
    EXPECT_EQ(doc["xprotect"]["JavaWebComponentVersionMinimum"], "1.6.0_45-b06");

    const auto& plugins = doc["plugins"];
    ASSERT_EQ(plugins.size(), 4u);
    EXPECT_EQ(plugins[0]["plugin_id"], "com.oracle.java.JavaAppletPlugin") << "highest version first";
    EXPECT_EQ(plugins[0]["version"], 1102);
    const auto& flash = byKey(plugins, "plugin_id", "com.macromedia.Flash Player.plugin");
    EXPECT_EQ(flash["MinimumPluginBundleVersion"], "32.0.0.445");
    EXPECT_EQ(flash["PluginUpdateAvailable"], true);
    EXPECT_EQ(byKey(plugins, "plugin_id", "com.microsoft.SilverlightPlugin")["PluginUpdateAvailable"], false);

    const auto& extensions = doc["extensions"];
    ASSERT_EQ(extensions.size(), 3u);
    EXPECT_EQ(extensions[0]["CFBundleIdentifier"], "com.anysearchair");
    EXPECT_EQ(extensions[0]["date"], "2019-10-29");
    EXPECT_EQ(byKey(extensions, "CFBundleIdentifier", "com.example.nodeveloper")["DeveloperIdentifier"], "N/A");

    ASSERT_EQ(doc["gkChecks"].size(), 4u);
    EXPECT_EQ(doc["gkChecks"][0]["codeSigID"], "Unknown");

    const auto& installed = doc["installedPlugins"];
    ASSERT_EQ(installed.size(), 3u);
    const auto& java = byKey(installed, "bundleID", "com.oracle.java.JavaAppletPlugin");
    EXPECT_EQ(java["disabled"], true) << "read from a binary Info.plist under Disabled Plug-Ins";
    EXPECT_EQ(java["systemInstall"], true);
    EXPECT_EQ(byKey(installed, "bundleID", "com.microsoft.SilverlightPlugin")["systemInstall"], false);

    const auto& safari = doc["installedExtensions"];
    ASSERT_EQ(safari.size(), 2u);
    EXPECT_EQ(safari[0]["bundleID"], "com.example.translate") << "descending";
    EXPECT_EQ(safari[0]["disabled"], true);
    EXPECT_EQ(safari[1]["signed"], false);
}

TEST(Dump, WaitsForTheEnrichmentAnswers) {
    test::LoopbackServer server;
    server.server().Get("/vantor/plugins/index.json", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"({"com.microsoft.SilverlightPlugin": {"Date": "2013-05-01", "Version": 2040}})", "application/json");
    });
    server.server().Get("/vantor/extensions/index.json", [](const httplib::Request&, httplib::Response& r) {
        r.set_content("{}", "application/json");
    });
    server.start();
    const auto doc = dumpSample(server.url());
    EXPECT_EQ(doc["plugins"][0]["plugin_id"], "com.microsoft.SilverlightPlugin");
    EXPECT_EQ(doc["plugins"][0]["date"], "2013-05-01");
    for (const auto& e : doc["extensions"]) EXPECT_EQ(e["version"], 0);
}

}  // namespace
}  // namespace tarnwick
