// End-to-end: the built `tarnwick` program against a loopback software-update catalog, a Mac
// folder of our own and a fake software-update command.
#include "support/ProgramRun.h"
#include "support/TestSupport.h"
#include "support/UpdateFixtures.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <csignal>
#include <map>

namespace tarnwick {
namespace {

using test::CatalogServer;
using test::FakeSoftwareUpdate;
using test::FixtureMac;
using test::ProgramRun;
using test::ScopedEnv;
using Json = nlohmann::json;
using Calls = std::vector<std::vector<std::string>>;

const std::string usage = "\nUsage: tarnwick [options]\n"
                          "Options:\n"
                          "-g, --getVersions    Get the currently installed and available XProtect Versions\n"
                          "-f, --forceUpdate    Force an update to the latest available version\n"
                          "-h, --help           Show this help message and exit\n\n";
const std::string modernListing = "Software Update Tool\n\nFinding available software\n"
                                  "Software Update found the following new or updated software:\n"
                                  "* Label: XProtectPlistConfigData_10_15-2166\n"
                                  "\tTitle: XProtectPlistConfigData, Version: 2166, Size: 2786KiB, Recommended: YES,\n";

class TarnwickCommandLine : public ::testing::Test {
protected:
    TarnwickCommandLine() : mac(2158) {
        server.setCatalog(test::typicalCatalog(server));
        server.setPackage("xprotect-a.pkm", test::packageInfoDocument("2166"));
        server.setPackage("xprotect-b.pkm", test::packageInfoDocument("2170"));
    }

    ProgramRun tarnwick(const std::vector<std::string>& arguments) {
        ScopedEnv root("TARNWICK_ROOT", mac.root().string());
        ScopedEnv home("TARNWICK_HOME", (mac.root() / "Users/u").string());
        ScopedEnv enrich("TARNWICK_ENRICH_URL", enrichURL.empty() ? test::refusedURL() : enrichURL);
        ScopedEnv catalog("TARNWICK_CATALOG_URL", catalogURL.empty() ? server.catalogURL() : catalogURL);
        ScopedEnv command("TARNWICK_SOFTWAREUPDATE", softwareUpdate);
        return test::runProgram(test::builtProgram("tarnwick"), arguments);
    }

    static Json parse(const ProgramRun& run) {
        auto value = Json::parse(run.out, nullptr, false);
        EXPECT_FALSE(value.is_discarded()) << run.out;
        return value;
    }

    CatalogServer server;
    FixtureMac mac;
    std::string catalogURL;                // empty: the server's
    std::string enrichURL;                 // empty: one that refuses
    std::string softwareUpdate = "/nonexistent/softwareupdate";
};

TEST_F(TarnwickCommandLine, GetVersionsPrintsTheInstalledAndTheOfferedVersion) {
    for (const char* option : {"-g", "--getVersions"}) {
        SCOPED_TRACE(option);
        const auto run = tarnwick({option});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(parse(run), (Json{{"current", 2158}, {"available", 2166}}));
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4) << "pretty-printed, one key per line:\n" << run.out;
    }
    EXPECT_EQ(server.packageRequests(), (std::vector<std::string>{"/pkg/xprotect-a.pkm", "/pkg/xprotect-a.pkm"}))
        << "the first XProtect product of the catalog";
}

// The options need the versions only: no enrichment request goes out.
TEST_F(TarnwickCommandLine, OptionsSendNoEnrichmentRequests) {
    test::LoopbackServer enrichment;
    enrichment.server().Get(R"(/vantor/.*)", [](const httplib::Request&, httplib::Response& r) {
        r.set_content("{}", "application/json");
    });
    enrichment.start();
    enrichURL = enrichment.url();
    for (const char* option : {"-g", "-h", "-f"}) {
        SCOPED_TRACE(option);
        EXPECT_EQ(tarnwick({option}).status, 0);
    }
    EXPECT_TRUE(enrichment.requests().empty()) << enrichment.requests().front().path;
}

TEST_F(TarnwickCommandLine, OfferedVersionsThatAreNoNumber) {
    const struct {
        const char* what;
        std::string document;
        std::string out;
    } cases[] = {
        {"document without a version: available 0", test::packageInfoDocument(std::nullopt),
         Json{{"current", 2158}, {"available", 0}}.dump(2) + "\n"},
        {"a version that is not an integer: nothing printed", test::packageInfoDocument("2166b"), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server.setPackage("xprotect-a.pkm", c.document);
        const auto run = tarnwick({"-g"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, c.out);
    }
}

TEST_F(TarnwickCommandLine, HelpPrintsTheUsageAfterTheVersionCheck) {
    const auto run = tarnwick({"--help"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, usage);
    EXPECT_EQ(server.catalogRequests(), 1u);
    EXPECT_EQ(server.packageRequests().size(), 1u);
}

TEST_F(TarnwickCommandLine, ForceUpdateReportsTheOutcome) {
    const auto offered = mac.writeSpareMeta("offered.plist", 2166);
    const auto higher = mac.writeSpareMeta("higher.plist", 2170);
    const struct {
        const char* what;
        std::optional<std::filesystem::path> installs;
        int64_t post;
        const char* msg;
    } cases[] = {
        {"installs the offered version", offered, 2166, "Successfully updated"},
        {"installs nothing", std::nullopt, 2158, "Failed to update properly"},
        {"installs a higher version", higher, 2170, "Failed to update properly"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        mac.dir().writeXmlPlist("Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.meta.plist",
                                PlistValue::Dictionary{{"Version", 2158.0}});
        FakeSoftwareUpdate command(modernListing, c.installs, mac.metaPlist());
        softwareUpdate = command.path();
        const auto run = tarnwick({"-f"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(parse(run), (Json{{"pre", 2158}, {"post", c.post}, {"msg", c.msg}}));
        EXPECT_EQ(command.calls(), (Calls{{"-l", "--include-config-data"},
                                          {"-i", "XProtectPlistConfigData_10_15-2166", "--include-config-data"}}));
    }
}

TEST_F(TarnwickCommandLine, ForceUpdateWhenUpToDateRunsNoCommand) {
    for (const int64_t installed : {2166, 2200}) {
        SCOPED_TRACE(installed);
        mac.dir().writeXmlPlist("Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.meta.plist",
                                PlistValue::Dictionary{{"Version", static_cast<double>(installed)}});
        FakeSoftwareUpdate command(modernListing);
        softwareUpdate = command.path();
        const auto run = tarnwick({"--forceUpdate"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(parse(run), (Json{{"pre", installed}, {"post", installed}, {"msg", "Already up to date"}}));
        EXPECT_TRUE(command.calls().empty());
    }
}

// Any other argument list opens the window (offscreen here); SIGTERM ends it cleanly, with no
// leak report under the address sanitizer.
TEST_F(TarnwickCommandLine, OtherArgumentListsOpenTheWindowAndSigtermQuitsIt) {
    const std::vector<std::vector<std::string>> cases = {{}, {"-g", "-h"}, {"-x"}, {"--getversions"}, {"-psn_0_4711"}};
    test::TempDir config;
    ScopedEnv platform("QT_QPA_PLATFORM", "offscreen");
    ScopedEnv xdg("XDG_CONFIG_HOME", config.path().string());
    ScopedEnv logs("TARNWICK_LOG", "info");
    ScopedEnv leaks("LSAN_OPTIONS", "suppressions=" + std::string(TARNWICK_SOURCE_DIR) + "/tests/lsan.supp");
    for (const auto& arguments : cases) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        ScopedEnv root("TARNWICK_ROOT", mac.root().string());
        ScopedEnv home("TARNWICK_HOME", (mac.root() / "Users/u").string());
        ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
        ScopedEnv catalog("TARNWICK_CATALOG_URL", server.catalogURL());
        // The strip's update check is the window's first visible act.
        const auto run = test::runProgram(test::builtProgram("tarnwick"), arguments,
                                          test::SignalWhen{"Latest xProtect Bundle Version", SIGTERM},
                                          std::chrono::seconds(60));
        EXPECT_FALSE(run.timedOut) << run.err;
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("windowWillLoad"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("LeakSanitizer"), std::string::npos) << run.err;
    }
}

TEST_F(TarnwickCommandLine, FailedVersionCheckSaysWhichStepFailedAndEndsWithStatusOne) {
    using Dict = PlistValue::Dictionary;
    const struct {
        const char* what;
        std::string catalogURL;
        std::optional<PlistValue> catalog;
        std::string line;
    } cases[] = {
        {"unreachable catalog", test::refusedURL("/catalog.sucatalog.gz"), std::nullopt, "no catalog"},
        {"no XProtect product", "", test::catalog(Dict{{"041-1", test::catalogProduct("https://x/Safari.smd", PlistValue::Array{})}}),
         "no XProtect product"},
        {"package info missing", "",
         test::catalog(Dict{{"061-1", test::catalogProduct("https://x/XProtectPlistConfigData.smd",
                                                            PlistValue::Array{test::catalogPackage(test::refusedURL("/x.pkm"))})}}),
         "no package info"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        catalogURL = c.catalogURL;
        if (c.catalog) server.setCatalog(*c.catalog);
        for (const char* option : {"-g", "-f", "-h"}) {
            SCOPED_TRACE(option);
            const auto run = tarnwick({option});
            const bool help = std::string(option) == "-h";
            EXPECT_EQ(run.status, help ? 0 : 1);
            EXPECT_EQ(run.out, help ? usage : "") << "the usage needs no version";
            EXPECT_EQ(run.err, "tarnwick: XProtect version check failed: " + c.line + "\n");
            EXPECT_LT(run.elapsed, std::chrono::seconds(60)) << "inside the bound";
        }
    }
}

TEST_F(TarnwickCommandLine, HelpPrintsTheUsageWhenTheOfferedVersionIsNoNumber) {
    server.setPackage("xprotect-a.pkm", test::packageInfoDocument("2166b"));
    const auto run = tarnwick({"-h"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, usage);
}

// Each Mac is checked against the catalog Apple serves its macOS version: a mirror answers each
// catalog's path with an XProtect product of its own.
TEST(TarnwickCatalogChoice, EachMacVersionReadsItsOwnCatalog) {
    const std::string others = "/content/catalogs/others/index-";
    const std::string legacy = "10.13-10.12-10.11-10.10-10.9-mountainlion-lion-snowleopard-leopard.merged-1.sucatalog.gz";
    test::LoopbackServer mirror;
    const std::map<std::string, std::string> offered = {
        {others + legacy, "2100"},
        {others + "10.15-10.14-" + legacy, "2166"},
        {others + "26-15-14-13-12-10.16-10.15-10.14-" + legacy, "5310"},
    };
    const std::string withoutXProtect = others + "14-13-12-10.16-10.15-10.14-" + legacy;
    for (const auto& [path, version] : offered) {
        const std::string package = "/pkg/" + version + ".pkm";
        const std::string catalog = test::gzip(plist::toXml(test::catalog(PlistValue::Dictionary{
            {"061-" + version, test::catalogProduct("https://swdist.example/" + version + "/XProtectPlistConfigData.smd",
                                                    PlistValue::Array{test::catalogPackage(mirror.url(package))})}})));
        mirror.server().Get(path, [catalog](const httplib::Request&, httplib::Response& r) {
            r.set_content(catalog, "application/x-gzip");
        });
        mirror.server().Get(package, [version](const httplib::Request&, httplib::Response& r) {
            r.set_content(test::packageInfoDocument(version), "text/xml");
        });
    }
    const std::string noProduct = test::gzip(plist::toXml(test::catalog(PlistValue::Dictionary{
        {"041-1", test::catalogProduct("https://swdist.example/Safari.smd", PlistValue::Array{})}})));
    mirror.server().Get(withoutXProtect, [noProduct](const httplib::Request&, httplib::Response& r) {
        r.set_content(noProduct, "application/x-gzip");
    });
    mirror.start();

    const struct {
        const char* productVersion;
        int status;
        std::string out;
        std::string err;
    } cases[] = {
        {"10.13.6", 0, Json{{"current", 2158}, {"available", 2100}}.dump(2) + "\n", ""},
        {"10.15.7", 0, Json{{"current", 2158}, {"available", 2166}}.dump(2) + "\n", ""},
        {"26.0.1", 0, Json{{"current", 2158}, {"available", 5310}}.dump(2) + "\n", ""},
        {"14.7", 1, "", "tarnwick: XProtect version check failed: no XProtect product\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.productVersion);
        FixtureMac mac(2158);
        mac.dir().writeXmlPlist("System/Library/CoreServices/SystemVersion.plist",
                                PlistValue::Dictionary{{"ProductName", "macOS"}, {"ProductVersion", c.productVersion}});
        ScopedEnv root("TARNWICK_ROOT", mac.root().string());
        ScopedEnv home("TARNWICK_HOME", (mac.root() / "Users/u").string());
        ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
        ScopedEnv catalog("TARNWICK_CATALOG_URL", "");
        ScopedEnv server("TARNWICK_CATALOG_SERVER", mirror.url());
        const auto run = test::runProgram(test::builtProgram("tarnwick"), {"-g"});
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, c.out);
        EXPECT_EQ(run.err, c.err);
    }
}

}  // namespace
}  // namespace tarnwick
