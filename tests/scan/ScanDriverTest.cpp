// The scan driver: progress every 100 files, stops honoured at those points, exact file counts,
// and a finished record whatever the engine does.
#include "scan/YaraScans.h"

#include "app/TarnwickModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace tarnwick {
namespace {

using test::NotificationRecorder;
using test::TempDir;

const std::string progressNote = name(TarnwickNotificationNames::scanUpdateFileCountNotification);
const std::string countNote = name(TarnwickNotificationNames::yaraScanCountUpdateNotification);

void writeTree(const TempDir& dir, const std::string& folder, int files) {
    for (int i = 0; i < files; ++i)
        dir.write(folder + "/d" + std::to_string(i % 10) + "/f" + std::to_string(i) + ".txt",
                  i == 7 ? "TARNWICK-MARKER" : "plain text " + std::to_string(i));
}

class ScanDriver : public ::testing::Test {
protected:
    ScanDriver() : model({}, TarnwickNotificationNames::yaraRulesUpdateNotification, "") {}
    ~ScanDriver() override {
        model.scans();  // queued writes have run, and queued their notices
        test::drainMainQueue();
    }

    void addRuleFile(const std::string& source) {
        const std::string path = dir.write("rules" + std::to_string(model.ruleFiles().size()) + ".yar", source).string();
        model.concurrentQueue.barrierSync([&] { model._ruleFiles.push_back(YaraFile{path, {}}); });
    }

    YaraScan onlyScan() {
        const auto scans = model.scans();
        EXPECT_EQ(scans.size(), 1u);
        return scans.empty() ? YaraScan("", {}) : scans.front();
    }

    TempDir dir;
    YaraModel model;
};

TEST_F(ScanDriver, DirectoryScanReportsEveryHundredthFileAndCountsAll) {
    addRuleFile("rule Marker { strings: $a = \"TARNWICK-MARKER\" condition: $a }\n");
    writeTree(dir, "tree", 250);
    NotificationRecorder recorder({progressNote, countNote});
    scanOperations::dirScan(model, (dir / "tree").string());
    test::drainMainQueue();

    const YaraScan scan = onlyScan();
    EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete);
    EXPECT_EQ(scan.fileCount, 250);
    EXPECT_EQ(scan.scanTarget, (dir / "tree").string());
    ASSERT_EQ(scan.matches.size(), 1u);
    EXPECT_EQ(scan.matches[0].identifier, "Marker");
    EXPECT_EQ(recorder.integers(progressNote, "fileCount"), (std::vector<int64_t>{100, 200}));
    EXPECT_EQ(recorder.integers(progressNote, "uid"), (std::vector<int64_t>{scan.uid, scan.uid}));
    EXPECT_EQ(recorder.integers(countNote, "activeScanCount"), (std::vector<int64_t>{1, 0}));
}

TEST_F(ScanDriver, FileScanCountsOneAndReportsNoProgress) {
    addRuleFile("rule Marker { strings: $a = \"TARNWICK-MARKER\" condition: $a }\n");
    const auto target = dir.write("one.txt", "xx TARNWICK-MARKER");
    NotificationRecorder recorder({progressNote});
    scanOperations::fileScan(model, target.string());
    test::drainMainQueue();

    const YaraScan scan = onlyScan();
    EXPECT_EQ(scan.fileCount, 1);
    EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete);
    ASSERT_EQ(scan.matches.size(), 1u);
    EXPECT_EQ(scan.matches[0].filepath, target.string());
    EXPECT_EQ(recorder.count(progressNote), 0u);
}

TEST_F(ScanDriver, WithoutRuleFilesTheScanStillStartsAndFinishes) {
    writeTree(dir, "tree", 3);
    NotificationRecorder recorder({countNote});
    scanOperations::dirScan(model, (dir / "tree").string());
    test::drainMainQueue();

    const YaraScan scan = onlyScan();
    EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete);
    EXPECT_EQ(scan.fileCount, 3);
    EXPECT_TRUE(scan.matches.empty());
    EXPECT_TRUE(scan.ruleFiles.empty());
    EXPECT_EQ(recorder.integers(countNote, "activeScanCount"), (std::vector<int64_t>{1, 0}));
}

// An engine of our own that walks 150 made-up files, asking for a stop at the 50th.
class StoppingEngine : public YaraEngine {
public:
    explicit StoppingEngine(YaraModel& model) : model_(model) {}
    std::vector<RuleMatch> simpleScanDirAtPath(const std::string& path, const RuleFiles& ruleFiles,
                                               const std::vector<std::string>* ruleStrings, int timeout, bool fastMode,
                                               std::vector<std::string>&, std::vector<std::string>&,
                                               const FileCallback& callback) override {
        given = {ruleFiles, ruleStrings != nullptr, timeout, fastMode};
        std::vector<RuleMatch> found;
        for (int i = 1; i <= 150; ++i) {
            if (i == 50) model_.stopScan(model_.scans().at(0));
            const std::string file = path + "/f" + std::to_string(i);
            if (i % 40 == 0) found.push_back({"Marker", file});
            ++called;
            if (!callback(file)) break;
        }
        return found;
    }
    int called = 0;
    struct Arguments {
        RuleFiles ruleFiles;
        bool ruleStrings = true;
        int timeout = 0;
        bool fastMode = true;
    } given;

private:
    YaraModel& model_;
};

TEST_F(ScanDriver, AStopBeforeTheHundredthFileEndsTheScanThere) {
    addRuleFile("rule A { condition: true }\n");
    const std::string ruleFile = model.ruleFiles().at(0).filepath;
    StoppingEngine engine(model);
    NotificationRecorder recorder({progressNote});
    scanOperations::dirScan(model, "/tree", engine);
    test::drainMainQueue();

    EXPECT_EQ(engine.called, 100) << "the stop is looked at on the 100th file only";
    const YaraScan scan = onlyScan();
    EXPECT_EQ(scan.fileCount, 100);
    EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete);
    EXPECT_EQ(scan.matches, (std::vector<RuleMatch>{{"Marker", "/tree/f40"}, {"Marker", "/tree/f80"}}));
    EXPECT_EQ(recorder.integers(progressNote, "fileCount"), (std::vector<int64_t>{100}));
    EXPECT_EQ(engine.given.ruleFiles, (YaraEngine::RuleFiles{{ruleFile, ruleFile}}));
    EXPECT_FALSE(engine.given.ruleStrings);
    EXPECT_EQ(engine.given.timeout, 10000);
    EXPECT_FALSE(engine.given.fastMode);
}

class FailingEngine : public YaraEngine {
public:
    std::vector<RuleMatch> simpleScanFileAtPath(const std::string&, const RuleFiles&, const std::vector<std::string>*,
                                                int, bool, std::vector<std::string>&, std::vector<std::string>&) override {
        throw std::runtime_error("out of memory");
    }
    std::vector<RuleMatch> simpleScanDirAtPath(const std::string&, const RuleFiles&, const std::vector<std::string>*,
                                               int, bool, std::vector<std::string>&, std::vector<std::string>&,
                                               const FileCallback& callback) override {
        callback("/tree/first");
        throw std::bad_alloc();
    }
};

TEST_F(ScanDriver, AnEngineThatFailsStillLeavesAFinishedRecord) {
    FailingEngine engine;
    scanOperations::fileScan(model, "/file", engine);
    scanOperations::dirScan(model, "/tree", engine);
    const auto scans = model.scans();
    ASSERT_EQ(scans.size(), 2u);
    for (const YaraScan& scan : scans) {
        EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete) << scan.scanTarget;
        EXPECT_TRUE(scan.matches.empty()) << scan.scanTarget;
        EXPECT_EQ(scan.fileCount, 1) << scan.scanTarget;
    }
    EXPECT_EQ(model.activeScanCount(), 0);
}

// The program's way in: `doScan` on the shared central model, on a thread of its own.
void useEmptyMac(const TempDir& mac) {
    setenv("TARNWICK_ROOT", mac.path().c_str(), 1);
    setenv("TARNWICK_HOME", (mac / "Users/nobody").c_str(), 1);
    setenv("TARNWICK_ENRICH_URL", test::refusedURL().c_str(), 1);
}

TEST(YaraScans, DoScanRunsOnItsOwnThreadAndSkipsMissingTargets) {
    TempDir mac;
    useEmptyMac(mac);
    YaraModel& model = sharedModel()._yara;
    const size_t before = model.scans().size();
    const auto target = mac.write("target.txt", "anything");
    NotificationRecorder recorder({countNote});

    YaraScans scans;
    scans.doScan((mac / "missing").string());
    scans.doScan(target.string());
    ASSERT_TRUE(test::runMainUntil([&] {
        const auto counts = recorder.integers(countNote, "activeScanCount");
        return !counts.empty() && counts.back() == 0;
    }));
    const auto after = model.scans();
    ASSERT_EQ(after.size(), before + 1) << "no record for the missing target";
    EXPECT_EQ(after.back().scanTarget, target.string());
    EXPECT_EQ(after.back().fileCount, 1);
    test::drainMainQueue();
}

TEST(YaraScansDeathTest, QuittingWhileScansRunDoesNotCrash) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir mac;
    writeTree(mac, "tree", 3000);
    mac.write("rules.yar", "rule Marker { strings: $a = \"TARNWICK-MARKER\" condition: $a }\n");
    EXPECT_EXIT(
        {
            useEmptyMac(mac);
            TarnwickModel& central = sharedModel();
            central._yara.concurrentQueue.barrierSync(
                [&] { central._yara._ruleFiles.push_back(YaraFile{(mac / "rules.yar").string(), {}}); });
            NotificationRecorder recorder({progressNote});
            YaraScans scans;
            for (int i = 0; i < 3; ++i) scans.doScan((mac / "tree").string());
            test::runMainUntil([&] { return recorder.count(progressNote) > 0; });
            std::exit(central._yara.activeScanCount() > 0 ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tarnwick
