#include "app/TarnwickModel.h"
#include "platform/Resources.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::LoopbackServer;
using test::NotificationRecorder;
using test::ScopedEnv;
using test::TempDir;
using Dict = PlistValue::Dictionary;
using Array = PlistValue::Array;

// A Mac of macOS 10.15 or later: XProtect lives only under /Library/Apple.
struct ModernMac {
    ModernMac() {
        root.writeBinaryPlist("Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.meta.plist",
                              Dict{{"Version", 2158.0},
                                   {"PlugInBlacklist", Dict{{"10", Dict{{"com.oracle.java.JavaAppletPlugin", Dict{}},
                                                                       {"com.example.new", Dict{}}}}}},
                                   {"ExtensionBlacklist", Dict{{"Extensions", Array{Dict{{"CFBundleIdentifier", "com.adobe.flash"},
                                                                                        {"Developer Identifier", "E728F995AB"}}}}}},
                                   {"GKChecks", Dict{{"CodeSignatureIDs", Array{"com.b", "com.a"}}}}});
        root.write("Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.yara",
                   "rule KeRangerA { strings: $a = \"README_FOR_DECRYPT\" condition: $a }\n"
                   "rule FlashbackA : trojan { condition: filesize < 10 }\n"
                   "rule LocalRule { condition: false }\n");
        root.writeXmlPlist("Library/Internet Plug-Ins/A.plugin/Contents/Info.plist", Dict{{"CFBundleIdentifier", "com.a"}});
        root.writeXmlPlist("Users/u/Library/Internet Plug-Ins/B.plugin/Contents/Info.plist", Dict{{"CFBundleIdentifier", "com.b"}});
        root.writeBinaryPlist("Users/u/Library/Safari/Extensions/Extensions.plist",
                              Dict{{"Installed Extensions", Array{Dict{{"Bundle Identifier", "com.x"}, {"Enabled", true}}}}});
    }
    TempDir root;
};

// A value of one of the shipped data files (the file the model reads), so that the expectations
// follow a refresh of the data.
nlohmann::json shippedEntry(const std::string& file, const std::string& key) {
    const auto all = nlohmann::json::parse(resources::read(file, "json").value_or("{}"));
    return all.value(key, nlohmann::json::object());
}
int64_t shippedVersion(const std::string& file, const std::string& key) {
    return shippedEntry(file, key).value("Version", int64_t{0});
}
std::string shippedText(const std::string& file, const std::string& key, const std::string& field) {
    return shippedEntry(file, key).value(field, "");
}

// Waits for XProtect's rule file and every enrichment answer: queued work refers to the model.
void settle(TarnwickModel& model) {
    ASSERT_TRUE(test::runMainUntil([&] {
        return model._yara.pendingRuleFileOperations() == 0 && model._yara.pendingEnrichments() == 0 &&
               model._plugins.pendingEnrichments() == 0 &&
               model._extensions.pendingEnrichments() == 0;
    }));
    test::drainMainQueue();
}

TEST(TarnwickModel, ReadsAModernMacAndMergesTheRemoteIndexes) {
    ModernMac mac;
    LoopbackServer server;
    server.server().Get("/vantor/plugins/index.json", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"({"com.oracle.java.JavaAppletPlugin": {"Date": "2015-01-01", "Version": 2060}})", "application/json");
    });
    server.server().Get("/vantor/extensions/index.json", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"({"com.adobe.flash.E728F995AB": {"Date": "2016-07-07", "Version": 2081}})", "application/json");
    });
    server.start();
    ScopedEnv root("TARNWICK_ROOT", mac.root.path().string());
    ScopedEnv home("TARNWICK_HOME", (mac.root / "Users/u").string());
    ScopedEnv enrich("TARNWICK_ENRICH_URL", server.url());
    NotificationRecorder recorder({"pluginsUpdateNotification", "extensionsUpdateNotification"});

    auto* model = new TarnwickModel;
    // Before any answer: the shipped descriptions' values.
    const auto early = model->plugins();
    ASSERT_EQ(early.size(), 2u);
    for (const auto& plugin : early)
        EXPECT_EQ(plugin.version, shippedVersion("Plugins", plugin.plugin_id)) << plugin.plugin_id;

    ASSERT_TRUE(test::runMainUntil([&] {
        return model->_plugins.pendingEnrichments() == 0 && model->_extensions.pendingEnrichments() == 0;
    }));
    test::drainMainQueue();
    EXPECT_EQ(recorder.texts("pluginsUpdateNotification", "reason"), (std::vector<std::string>{"Enriched", "Enriched"}));
    EXPECT_EQ(recorder.texts("extensionsUpdateNotification", "reason"), (std::vector<std::string>{"Enriched", "Enriched"}));

    EXPECT_EQ(model->_xprotectMeta.meta.version, 2158);
    const auto plugins = model->plugins();
    EXPECT_EQ(plugins[0].date, "2015-01-01");
    EXPECT_EQ(plugins[0].version, 2060);
    EXPECT_EQ(plugins[1].version, 0) << "the index does not list it";
    EXPECT_EQ(model->extensions().at(0).version, 2081);
    ASSERT_EQ(model->gkChecks().size(), 2u);
    EXPECT_EQ(model->gkChecks()[0].codeSigID, "com.a");
    ASSERT_EQ(model->installedPlugins().size(), 2u);
    EXPECT_TRUE(model->installedPlugins()[0].systemInstall);
    EXPECT_FALSE(model->installedPlugins()[1].systemInstall);
    ASSERT_EQ(model->installedExtensions().size(), 1u);
    EXPECT_FALSE(model->installedExtensions()[0].disabled);

    model->setPluginsFilter("JAVA");
    ASSERT_TRUE(test::runMainUntil([&] { return recorder.count("pluginsUpdateNotification") == 3; }));
    EXPECT_EQ(recorder.texts("pluginsUpdateNotification", "reason").back(), "Filter");
    ASSERT_EQ(model->plugins().size(), 1u);
    settle(*model);
    delete model;
}

// Without TARNWICK_HOME the user's lists come from the Mac's own user, or from nobody: never from
// the home of the account running the program.
TEST(TarnwickModel, UserListsComeFromTheMacsOwnUser) {
    ModernMac mac;
    ScopedEnv root("TARNWICK_ROOT", mac.root.path().string());
    ScopedEnv home("TARNWICK_HOME", "");
    ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
    std::filesystem::create_directories(mac.root / "Users/Shared");
    {
        auto* model = new TarnwickModel;
        ASSERT_EQ(model->installedPlugins().size(), 2u);
        EXPECT_EQ(model->installedPlugins()[1].bundlePath,
                  (mac.root / "Users/u/Library/Internet Plug-Ins/B.plugin/Contents/Info.plist").string());
        ASSERT_EQ(model->installedExtensions().size(), 1u);
        EXPECT_EQ(model->installedExtensions()[0].bundleID, "com.x");
        settle(*model);
        delete model;
    }
    std::filesystem::create_directories(mac.root / "Users/v");  // a second user: which one is meant?
    auto* model = new TarnwickModel;
    ASSERT_EQ(model->installedPlugins().size(), 1u);
    EXPECT_TRUE(model->installedPlugins()[0].systemInstall);
    EXPECT_TRUE(model->installedExtensions().empty());
    settle(*model);
    delete model;
}

// The tools that show neither XProtect's rules nor the enrichment start the model without them.
TEST(TarnwickModel, StartsWithoutXProtectsRulesOrTheEnrichmentWhenAsked) {
    ModernMac mac;
    LoopbackServer server;
    server.server().Get(R"(/vantor/.*)", [](const httplib::Request&, httplib::Response& r) { r.set_content("{}", "application/json"); });
    server.start();
    ScopedEnv root("TARNWICK_ROOT", mac.root.path().string());
    ScopedEnv home("TARNWICK_HOME", (mac.root / "Users/u").string());
    ScopedEnv enrich("TARNWICK_ENRICH_URL", server.url());
    {
        auto* model = new TarnwickModel(ModelStart{.xprotectRules = false, .enrichment = false});
        settle(*model);
        EXPECT_TRUE(model->_yara.ruleFiles().empty());
        EXPECT_EQ(model->plugins().size(), 2u) << "the lists are read all the same";
        EXPECT_EQ(model->_xprotectMeta.meta.version, 2158);
        delete model;
    }
    auto* model = new TarnwickModel(ModelStart{.xprotectRules = true, .enrichment = false});
    settle(*model);
    ASSERT_EQ(model->_yara.ruleFiles().size(), 1u);
    EXPECT_EQ(model->yaraRules().size(), 3u);
    delete model;
    EXPECT_TRUE(server.requests().empty()) << server.requests().front().path;
}

TEST(TarnwickModel, EmptyMacGivesEmptyListsAndDefaults) {
    TempDir empty;
    ScopedEnv root("TARNWICK_ROOT", empty.path().string());
    ScopedEnv home("TARNWICK_HOME", (empty / "Users/nobody").string());
    ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
    auto* model = new TarnwickModel;
    EXPECT_EQ(model->_xprotectMeta.meta.version, 0);
    EXPECT_EQ(model->_xprotectMeta.meta.JavaWebComponentVersionMinimum, "N/A");
    EXPECT_TRUE(model->plugins().empty());
    EXPECT_TRUE(model->extensions().empty());
    EXPECT_TRUE(model->gkChecks().empty());
    EXPECT_TRUE(model->installedPlugins().empty());
    EXPECT_TRUE(model->installedExtensions().empty());
    settle(*model);
    delete model;
}

TEST(TarnwickModel, LoadsXProtectsRuleFileEnrichedFromTheListAndTheIndex) {
    ModernMac mac;
    LoopbackServer server;
    server.server().Get("/vantor/signatures/index.json", [](const httplib::Request&, httplib::Response& r) {
        r.set_content(R"({"FlashbackA": {"Description": "From the index.", "Aka": ["Flashfake"], "Version": 999999}})",
                      "application/json");
    });
    server.start();
    ScopedEnv root("TARNWICK_ROOT", mac.root.path().string());
    ScopedEnv home("TARNWICK_HOME", (mac.root / "Users/u").string());
    ScopedEnv enrich("TARNWICK_ENRICH_URL", server.url());
    NotificationRecorder recorder({"yaraRulesUpdateNotification", "yaraFilesUpdateNotification"});

    auto* model = new TarnwickModel;
    settle(*model);
    EXPECT_EQ(recorder.texts("yaraFilesUpdateNotification", "error"), std::vector<std::string>{""});
    EXPECT_EQ(recorder.texts("yaraRulesUpdateNotification", "reason"), (std::vector<std::string>{"Enriched", "Enriched"}));

    const auto rules = model->yaraRules();
    ASSERT_EQ(rules.size(), 3u);
    const auto named = [&rules](const std::string& name) {
        for (const auto& rule : rules)
            if (rule->name == name) return rule;
        throw std::runtime_error("no rule " + name);
    };
    EXPECT_EQ(rules[0]->name, "FlashbackA") << "the index's version, above the shipped ones";
    EXPECT_EQ(rules[0]->summary, "From the index.");
    EXPECT_EQ(rules[0]->tags, std::vector<std::string>{"trojan"});
    EXPECT_EQ(named("KeRangerA")->date, shippedText("MalwareList", "KeRangerA", "Date")) << "from the shipped malware list";
    EXPECT_EQ(named("LocalRule")->version, 0);
    EXPECT_EQ(named("KeRangerA")->filepath,
              (mac.root / "Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.yara").string());

    model->setYaraFilter("RANGER");
    ASSERT_TRUE(test::runMainUntil([&] { return recorder.count("yaraRulesUpdateNotification") == 3; }));
    ASSERT_EQ(model->yaraRules().size(), 1u);
    EXPECT_EQ(model->yaraRules()[0]->name, "KeRangerA");
    EXPECT_EQ(model->_yara.ruleFiles().size(), 1u);
    settle(*model);
    delete model;
}

}  // namespace
}  // namespace tarnwick
