// End-to-end: tarnwick-dump on the sample Mac.
#include "platform/Process.h"
#include "platform/Resources.h"
#include "support/ProgramRun.h"
#include "support/TestSupport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <fstream>
#include <nlohmann/json.hpp>

namespace tarnwick {
namespace {

using test::ScopedEnv;

nlohmann::json dumpSample(const std::string& enrichURL, std::vector<std::string> args = {}) {
    const std::string sample = std::string(TARNWICK_SOURCE_DIR) + "/samples/mac";
    ScopedEnv root("TARNWICK_ROOT", sample);
    ScopedEnv home("TARNWICK_HOME", sample + "/Users/sample");
    ScopedEnv enrich("TARNWICK_ENRICH_URL", enrichURL);
    const auto dump = (resources::executablePath().parent_path() / "tarnwick-dump").string();
    args.insert(args.begin(), {"--timeout", "10"});
    auto output = process::runAndReadStdout(dump, args);
    EXPECT_TRUE(output);
    return nlohmann::json::parse(output->empty() ? "null" : *output);
}

const nlohmann::json& byKey(const nlohmann::json& list, const std::string& key, const std::string& value) {
    for (const auto& e : list)
        if (e.at(key) == value) return e;
    throw std::runtime_error("no " + value);
}

// An entry's "Date" and "Version" in one of the shipped data files, the files the dump reads too:
// the expectations follow a refresh of the data.
struct Shipped {
    std::string date;
    int64_t version = 0;
};
Shipped shipped(const std::string& file, const std::string& key) {
    const auto text = resources::read(file, "json");
    const auto all = nlohmann::json::parse(text.value_or("{}"));
    const auto entry = all.value(key, nlohmann::json::object());
    return {entry.value("Date", ""), entry.value("Version", int64_t{0})};
}

// Each list's order: `field` never rises from one element to the next.
void expectDescending(const nlohmann::json& list, const std::string& field) {
    for (size_t i = 1; i < list.size(); ++i) EXPECT_GE(list[i - 1][field], list[i][field]) << "at " << i;
}

TEST(Dump, SampleMacWithTheShippedDatesWhenTheServerIsUnreachable) {
    const auto doc = dumpSample(test::refusedURL());
    EXPECT_EQ(doc["xprotect"]["version"], 2158);
    EXPECT_EQ(doc["xprotect"]["JavaWebComponentVersionMinimum"], "1.6.0_45-b06");
    EXPECT_EQ(doc["xprotect"]["bundlePath"],
              std::string(TARNWICK_SOURCE_DIR) + "/samples/mac/System/Library/CoreServices/XProtect.bundle");

    const auto& plugins = doc["plugins"];
    ASSERT_EQ(plugins.size(), 4u);
    for (const auto& plugin : plugins) {
        const Shipped data = shipped("Plugins", plugin["plugin_id"]);
        EXPECT_EQ(plugin["version"], data.version) << plugin["plugin_id"];
        EXPECT_EQ(plugin["date"], data.date) << plugin["plugin_id"];
    }
    expectDescending(plugins, "version");
    const auto& flash = byKey(plugins, "plugin_id", "com.macromedia.Flash Player.plugin");
    EXPECT_EQ(flash["MinimumPluginBundleVersion"], "32.0.0.445");
    EXPECT_EQ(flash["PluginUpdateAvailable"], true);
    EXPECT_EQ(byKey(plugins, "plugin_id", "com.microsoft.SilverlightPlugin")["PluginUpdateAvailable"], false);

    const auto& extensions = doc["extensions"];
    ASSERT_EQ(extensions.size(), 3u);
    for (const auto& extension : extensions) {
        const Shipped data = shipped("Extensions", extension["CFBundleIdentifier"].get<std::string>() + "." +
                                                       extension["DeveloperIdentifier"].get<std::string>());
        EXPECT_EQ(extension["version"], data.version) << extension["CFBundleIdentifier"];
        EXPECT_EQ(extension["date"], data.date) << extension["CFBundleIdentifier"];
    }
    expectDescending(extensions, "version");
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

TEST(Dump, RulesOfTheSampleWithTheirEnrichmentAndText) {
    const auto doc = dumpSample(test::refusedURL());
    const auto& rules = doc["rules"];
    ASSERT_EQ(rules.size(), 8u);
    const auto& keRanger = byKey(rules, "name", "KeRangerA");
    EXPECT_EQ(keRanger["version"], shipped("MalwareList", "KeRangerA").version);
    EXPECT_EQ(keRanger["date"], shipped("MalwareList", "KeRangerA").date);
    EXPECT_EQ(keRanger["strings"][0]["value"], "{488B05????????488B00483B45F0}");
    EXPECT_EQ(keRanger["strings"][1]["modifiers"], nlohmann::json::array({"nocase"}));
    EXPECT_EQ(keRanger["condition"], "Macho and ($a or $b)");
    EXPECT_EQ(keRanger["text"].get<std::string>().rfind("rule KeRangerA \n{\n    meta:\n", 0), 0u);
    expectDescending(rules, "version");
    EXPECT_EQ(byKey(rules, "name", "Macho")["isPrivate"], true);
    ASSERT_EQ(doc["ruleFiles"].size(), 1u);
    EXPECT_EQ(doc["ruleFiles"][0]["ruleCount"], 8);
}

TEST(Dump, AddsRuleFilesAfterXProtectsOwnWithoutEnrichment) {
    test::TempDir dir;
    const auto extra = dir.write("extra.yar", "rule KeRangerA { condition: true }\nrule Mine : t { condition: false }\n");
    const auto doc = dumpSample(test::refusedURL(), {"--add", extra.string()});
    ASSERT_EQ(doc["ruleFiles"].size(), 2u);
    EXPECT_EQ(doc["ruleFiles"][1]["filepath"], extra.string());
    EXPECT_EQ(doc["ruleFiles"][1]["rules"], nlohmann::json::array({"KeRangerA", "Mine"}));
    ASSERT_EQ(doc["rules"].size(), 10u);
    for (const auto& rule : doc["rules"])
        if (rule["filepath"] == extra.string()) {
            EXPECT_EQ(rule["version"], 0) << "user files are not enriched";
        }
}

// A mounted Mac without TARNWICK_HOME: the user lists are read from the Mac's only user, and when
// the Mac has none or several the dump says so, naming them, and leaves the user lists empty.
TEST(Dump, SaysWhenTheMacHasNoSingleUser) {
    const struct {
        const char* what;
        std::vector<std::string> users;
        std::string inError;
        size_t extensions;
    } cases[] = {
        {"one user", {"alice"}, "", 1},
        {"two users", {"alice", "bob"}, "Users/ holds alice, bob", 0},
        {"none", {}, "Users/ holds no user's folder", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir mac;
        std::filesystem::create_directories(mac / "Users/Shared");
        for (const auto& user : c.users)
            mac.writeXmlPlist("Users/" + user + "/Library/Safari/Extensions/Extensions.plist",
                              PlistValue::Dictionary{{"Installed Extensions",
                                                      PlistValue::Array{PlistValue::Dictionary{{"Bundle Identifier", user}}}}});
        ScopedEnv root("TARNWICK_ROOT", mac.path().string());
        ScopedEnv home("TARNWICK_HOME", "");
        ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
        const auto run = test::runProgram(test::builtProgram("tarnwick-dump"), {"--timeout", "5"});
        EXPECT_EQ(run.status, 0) << run.err;
        const auto doc = nlohmann::json::parse(run.out);
        EXPECT_EQ(doc["installedExtensions"].size(), c.extensions);
        if (c.inError.empty()) {
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_NE(run.err.find(c.inError), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("TARNWICK_HOME"), std::string::npos) << run.err;
        }
    }
}

// An upgraded Mac keeps its old bundle at the classic place: the live one, the newer, is read.
TEST(Dump, ReadsTheNewerOfTwoBundlesAndSaysWhichOne) {
    test::TempDir mac;
    const std::string classic = "System/Library/CoreServices/XProtect.bundle";
    const std::string modern = "Library/Apple/System/Library/CoreServices/XProtect.bundle";
    const auto meta = [](double version, const char* check) {
        return PlistValue::Dictionary{{"Version", version},
                                      {"GKChecks", PlistValue::Dictionary{{"CodeSignatureIDs", PlistValue::Array{check}}}}};
    };
    mac.writeXmlPlist(classic + "/Contents/Resources/XProtect.meta.plist", meta(2100, "stale"));
    mac.write(classic + "/Contents/Resources/XProtect.yara", "rule Stale { condition: false }\n");
    mac.writeXmlPlist(modern + "/Contents/Resources/XProtect.meta.plist", meta(2158, "live"));
    mac.write(modern + "/Contents/Resources/XProtect.yara", "rule Live { condition: false }\n");
    ScopedEnv root("TARNWICK_ROOT", mac.path().string());
    ScopedEnv home("TARNWICK_HOME", (mac / "Users/nobody").string());
    ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
    const auto run = test::runProgram(test::builtProgram("tarnwick-dump"), {"--timeout", "5"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto doc = nlohmann::json::parse(run.out);
    EXPECT_EQ(doc["xprotect"]["version"], 2158);
    EXPECT_EQ(doc["xprotect"]["bundlePath"], (mac / modern).string());
    EXPECT_EQ(doc["gkChecks"], nlohmann::json::parse(R"([{"codeSigID": "live"}])"));
    ASSERT_EQ(doc["rules"].size(), 1u);
    EXPECT_EQ(doc["rules"][0]["name"], "Live");
}

// An enrichment server that takes the connection and never answers: the dump prints what it has
// when its time-out passes, stops the transfers still waiting, and ends.
TEST(Dump, EndsAtItsTimeOutWhenTheServerNeverAnswers) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 16), 0);  // connections complete in the backlog; none is ever answered
    ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

    const std::string sample = std::string(TARNWICK_SOURCE_DIR) + "/samples/mac";
    ScopedEnv root("TARNWICK_ROOT", sample);
    ScopedEnv home("TARNWICK_HOME", sample + "/Users/sample");
    ScopedEnv enrich("TARNWICK_ENRICH_URL", "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
    const auto run = test::runProgram(test::builtProgram("tarnwick-dump"), {"--timeout", "2"}, std::chrono::seconds(30));
    close(listener);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_LT(run.elapsed, std::chrono::seconds(3)) << "the time-out plus a second";
    const auto doc = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_FALSE(doc.is_discarded()) << run.out;
    EXPECT_EQ(doc["rules"].size(), 8u) << "the rules were loaded all the same";
}

TEST(Dump, ARuleFileThatFailsToLoadIsReportedWithStatus2) {
    test::TempDir dir;
    const auto bad = dir.write("bad.yar", "rule Broken { condition: $nothing }\n");
    const std::string sample = std::string(TARNWICK_SOURCE_DIR) + "/samples/mac";
    ScopedEnv root("TARNWICK_ROOT", sample);
    ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
    const auto dump = (resources::executablePath().parent_path() / "tarnwick-dump").string();
    const auto errors = dir / "stderr";
    auto status = process::runAndReadStdout("/bin/sh", {"-c", "\"$0\" --add \"$1\" --add \"$2\" 2>\"$3\"; echo \"status $?\"",
                                                        dump, bad.string(), (dir / "gone.yar").string(), errors.string()});
    ASSERT_TRUE(status);
    EXPECT_EQ(*status, "status 2\n") << "nothing is printed on standard output";
    std::ifstream in(errors);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(bad.string() + ": Error loading file " + bad.string()), std::string::npos) << text;
    EXPECT_NE(text.find("gone.yar: File does not exist"), std::string::npos) << text;
}

}  // namespace
}  // namespace tarnwick
