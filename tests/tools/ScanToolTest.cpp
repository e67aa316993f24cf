// End-to-end: the built `tarnwick-scan` on trees and rule files of our own, and with the rules of
// the sample Mac's XProtect.
#include "support/ProgramRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>

#include <set>

namespace tarnwick {
namespace {

using test::ProgramRun;
using test::ScopedEnv;
using test::TempDir;
using Json = nlohmann::json;

const std::string sampleMac = std::string(TARNWICK_SOURCE_DIR) + "/samples/mac";
const std::string eicar = "X5O!P%@AP[4\\PZX54(P^)7CC)7}$EICAR-STANDARD-ANTIVIRUS-TEST-FILE!$H+H*";

ProgramRun scanTool(const std::string& root, const std::vector<std::string>& arguments) {
    ScopedEnv rootEnv("TARNWICK_ROOT", root);
    ScopedEnv home("TARNWICK_HOME", root + "/Users/nobody");
    ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
    return test::runProgram(test::builtProgram("tarnwick-scan"), arguments);
}

std::set<std::pair<std::string, std::string>> matchPairs(const Json& record) {
    std::set<std::pair<std::string, std::string>> out;
    for (const Json& m : record.at("matches")) out.emplace(m.at("identifier"), m.at("filepath"));
    return out;
}

TEST(ScanTool, ScansATreeWithTheGivenRuleFilesAndPrintsTheRecord) {
    TempDir dir;
    const auto first = dir.write("first.yar", "rule Marker { strings: $a = \"TARNWICK-MARKER\" condition: $a }\n");
    const auto second = dir.write("second.yar", "rule Marker { strings: $a = \"SECOND\" condition: $a }\n");
    for (int i = 0; i < 250; ++i) dir.write("tree/d" + std::to_string(i % 4) + "/f" + std::to_string(i), "plain");
    const auto hit = dir.write("tree/d1/hit.bin", "TARNWICK-MARKER and SECOND");

    const ProgramRun run = scanTool(sampleMac, {"-r", first.string(), "-r", second.string(), (dir / "tree").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json record = Json::parse(run.out);
    EXPECT_EQ(record.at("uid"), 1) << "the first scan of the run";
    EXPECT_EQ(record.at("scanTarget"), (dir / "tree").string());
    EXPECT_EQ(record.at("fileCount"), 251);
    EXPECT_EQ(record.at("scanStatus"), "complete");
    EXPECT_EQ(record.at("ruleFiles"), Json::array({first.string(), second.string()}))
        << "the given files in place of XProtect's";
    EXPECT_TRUE(record.at("scanStartTime").is_string());
    EXPECT_TRUE(record.at("scanEndTime").is_string());
    EXPECT_EQ(matchPairs(record), (std::set<std::pair<std::string, std::string>>{{"Marker", hit.string()}}));
    EXPECT_EQ(record.at("matches").size(), 2u) << "one match per rule file";
    std::set<std::string> ruleFiles;
    for (const Json& m : record.at("matches")) ruleFiles.insert(m.at("ruleFile"));
    EXPECT_EQ(ruleFiles, (std::set<std::string>{first.string(), second.string()})) << "each match names its rule file";
    EXPECT_EQ(record.at("errors"), Json::array());
    EXPECT_EQ(run.err, "tarnwick-scan: 100 files scanned\ntarnwick-scan: 200 files scanned\n");
}

TEST(ScanTool, WithoutRuleFilesItScansWithXProtectsOwn) {
    TempDir dir;
    const auto infected = dir.write("eicar.com", eicar);
    const ProgramRun run = scanTool(sampleMac, {infected.string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json record = Json::parse(run.out);
    EXPECT_EQ(record.at("fileCount"), 1);
    EXPECT_EQ(matchPairs(record), (std::set<std::pair<std::string, std::string>>{{"EICAR", infected.string()}}));
}

// The files given with -r are exactly the files scanned, XProtect's own among them when named.
TEST(ScanTool, RuleFilesGivenAreTheOnesScannedXProtectsOwnIncluded) {
    TempDir dir;
    const auto infected = dir.write("tree/eicar.com", eicar);
    const std::string xprotect = sampleMac + "/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.yara";
    const ProgramRun run = scanTool(sampleMac, {"-r", xprotect, (dir / "tree").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const Json record = Json::parse(run.out);
    EXPECT_EQ(record.at("ruleFiles"), Json::array({xprotect}));
    EXPECT_EQ(record.at("scanStatus"), "complete");
    EXPECT_EQ(matchPairs(record), (std::set<std::pair<std::string, std::string>>{{"EICAR", infected.string()}}));
}

// A scan uses no enrichment: the tool sends none of its requests.
TEST(ScanTool, SendsNoEnrichmentRequests) {
    TempDir dir;
    const auto rules = dir.write("rules.yar", "rule Any { condition: true }\n");
    const auto target = dir.write("target.txt", "x");
    test::LoopbackServer server;
    server.server().Get(R"(/vantor/.*)", [](const httplib::Request&, httplib::Response& r) { r.set_content("{}", "application/json"); });
    server.start();
    ScopedEnv enrich("TARNWICK_ENRICH_URL", server.url());
    for (const auto& arguments : {std::vector<std::string>{"-r", rules.string(), target.string()},
                                  std::vector<std::string>{target.string()}}) {
        ScopedEnv root("TARNWICK_ROOT", sampleMac);
        ScopedEnv home("TARNWICK_HOME", sampleMac + "/Users/nobody");
        const ProgramRun run = test::runProgram(test::builtProgram("tarnwick-scan"), arguments);
        EXPECT_EQ(run.status, 0) << run.err;
    }
    EXPECT_TRUE(server.requests().empty()) << server.requests().front().path;
}

TEST(ScanTool, RefusesBadRuleFilesAndMissingTargets) {
    TempDir dir;
    const auto good = dir.write("good.yar", "rule Good { condition: true }\n");
    const auto bad = dir.write("bad.yar", "rule Bad { condition: $nothing }\n");
    const auto target = dir.write("target.txt", "x");
    struct Case {
        std::vector<std::string> arguments;
        int status;
        std::string inError;
    } cases[] = {
        {{"-r", good.string(), "-r", bad.string(), target.string()}, 2, bad.string() + ": Error loading file"},
        {{"-r", (dir / "none.yar").string(), target.string()}, 2, "none.yar: File does not exist"},
        {{(dir / "missing").string()}, 1, "missing: does not exist"},
        {{}, 2, "Usage"},
        {{"-r"}, 2, "Usage"},
        {{target.string(), target.string()}, 2, "Usage"},
    };
    for (const Case& c : cases) {
        const ProgramRun run = scanTool(sampleMac, c.arguments);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.inError), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// A scan that could not run whole still prints its record, with the reasons in "errors", says
// them on stderr and ends with 2: scripts must not take it for a clean result.
TEST(ScanTool, AScanThatCannotRunWholeEndsWithStatusTwo) {
    TempDir dir;
    const auto good = dir.write("good.yar", "rule Good { condition: true }\n");
    const auto fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    TempDir emptyMac;  // no XProtect: no rule file at all
    struct Case {
        const char* what;
        std::string root;
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        {"no rule file", emptyMac.path().string(), {good.string()}, "No rule files to scan with"},
        {"a target that cannot be read", sampleMac, {"-r", good.string(), fifo.string()}, fifo.string()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ProgramRun run = scanTool(c.root, c.arguments);
        EXPECT_EQ(run.status, 2) << run.err;
        const Json record = Json::parse(run.out);
        EXPECT_EQ(record.at("scanStatus"), "complete");
        ASSERT_FALSE(record.at("errors").empty());
        EXPECT_NE(record.at("errors")[0].get<std::string>().find(c.error), std::string::npos) << record.at("errors");
        EXPECT_NE(run.err.find("tarnwick-scan: " + record.at("errors")[0].get<std::string>()), std::string::npos)
            << run.err;
        EXPECT_TRUE(record.at("matches").empty());
    }
}

}  // namespace
}  // namespace tarnwick
