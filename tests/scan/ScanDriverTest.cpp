// The scan driver: progress every 100 files, stops honoured at those points, exact file counts,
// and a finished record whatever the engine does, with the reasons when the scan was not whole.
#include "scan/YaraScans.h"

#include "app/TarnwickModel.h"
#include "platform/ThreadPriority.h"
#include "scan/ScanTableCells.h"
#include "support/RuleFiles.h"
#include "support/TestSupport.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <linux/ioprio.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace tarnwick {
namespace {

using test::NotificationRecorder;
using test::TempDir;

const std::string progressNote = name(TarnwickNotificationNames::scanUpdateFileCountNotification);
const std::string countNote = name(TarnwickNotificationNames::yaraScanCountUpdateNotification);
constexpr const char* markerRule = "rule Marker { strings: $a = \"TARNWICK-MARKER\" condition: $a }\n";

void writeTree(const TempDir& dir, const std::string& folder, int files) {
    for (int i = 0; i < files; ++i)
        dir.write(folder + "/d" + std::to_string(i % 10) + "/f" + std::to_string(i) + ".txt",
                  i == 7 ? "TARNWICK-MARKER" : "plain text " + std::to_string(i));
}

class ScanDriver : public ::testing::Test {
protected:
    ScanDriver() : model({}, TarnwickNotificationNames::yaraRulesUpdateNotification, "") {}
    ~ScanDriver() override {
        history.scans();  // queued writes have run, and queued their notices
        test::drainMainQueue();
    }

    // A rule file with this source, loaded into the rules model; answers its path.
    std::string addRuleFile(const std::string& source) {
        const std::string path = dir.write("rules" + std::to_string(model.ruleFiles().size()) + ".yar", source).string();
        EXPECT_EQ(test::addRuleFiles(model, {path}), std::vector<std::string>{""});
        return path;
    }

    YaraScan onlyScan() {
        const auto scans = history.scans();
        EXPECT_EQ(scans.size(), 1u);
        return scans.empty() ? YaraScan("", {}) : scans.front();
    }

    TempDir dir;
    YaraModel model;
    ScanHistory history;
    YaraScans scans{model, history, 10000};
    YaraEngine engine;
};

TEST_F(ScanDriver, DirectoryScanReportsEveryHundredthFileAndCountsAll) {
    const std::string rules = addRuleFile(markerRule);
    writeTree(dir, "tree", 250);
    NotificationRecorder recorder({progressNote, countNote});
    scans.dirScan((dir / "tree").string(), engine);
    test::drainMainQueue();

    const YaraScan scan = onlyScan();
    EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete);
    EXPECT_EQ(scan.fileCount, 250);
    EXPECT_EQ(scan.scanTarget, (dir / "tree").string());
    EXPECT_TRUE(scan.errors.empty()) << scan.errors.front();
    ASSERT_EQ(scan.matches.size(), 1u);
    EXPECT_EQ(scan.matches[0].identifier, "Marker");
    EXPECT_EQ(scan.matches[0].ruleFile, rules);
    EXPECT_EQ(recorder.integers(progressNote, "fileCount"), (std::vector<int64_t>{100, 200}));
    EXPECT_EQ(recorder.integers(progressNote, "uid"), (std::vector<int64_t>{scan.uid, scan.uid}));
    EXPECT_EQ(recorder.integers(countNote, "activeScanCount"), (std::vector<int64_t>{1, 0}));
}

TEST_F(ScanDriver, FileScanCountsOneAndReportsNoProgress) {
    addRuleFile(markerRule);
    const auto target = dir.write("one.txt", "xx TARNWICK-MARKER");
    NotificationRecorder recorder({progressNote});
    scans.fileScan(target.string(), engine);
    test::drainMainQueue();

    const YaraScan scan = onlyScan();
    EXPECT_EQ(scan.fileCount, 1);
    EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete);
    ASSERT_EQ(scan.matches.size(), 1u);
    EXPECT_EQ(scan.matches[0].filepath, target.string());
    EXPECT_EQ(recorder.count(progressNote), 0u);
}

// A scan that could not run whole ends complete all the same, with its reasons, and never looks
// like a clean scan that found nothing.
TEST_F(ScanDriver, AScanThatCannotRunWholeEndsWithItsErrors) {
    writeTree(dir, "tree", 3);
    const std::string tree = (dir / "tree").string();
    {
        SCOPED_TRACE("no rule file at all");
        NotificationRecorder recorder({countNote});
        scans.dirScan(tree, engine);
        test::drainMainQueue();
        const YaraScan scan = onlyScan();
        EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete);
        EXPECT_EQ(scan.errors, std::vector<std::string>{YaraScans::noRuleFilesError});
        EXPECT_EQ(scan.fileCount, 0) << "nothing was scanned";
        EXPECT_EQ(scanResultImageName(scan), "error_dot");
        EXPECT_EQ(recorder.integers(countNote, "activeScanCount"), (std::vector<int64_t>{1, 0}));
    }
    // Loaded while it compiled, broken before the scan: no rule is left to scan with.
    const std::string rules = addRuleFile(markerRule);
    dir.write(std::filesystem::path(rules).filename().string(), "rule Broken { condition: $nothing }\n");
    for (const std::string& target : {tree, (dir / "tree/d1/f1.txt").string()}) {
        SCOPED_TRACE(target);
        const size_t before = history.scans().size();
        if (target == tree)
            scans.dirScan(target, engine);
        else
            scans.fileScan(target, engine);
        const YaraScan scan = history.scans().at(before);
        EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete);
        ASSERT_FALSE(scan.errors.empty());
        EXPECT_NE(scan.errors.front().find(rules), std::string::npos) << scan.errors.front();
        EXPECT_EQ(scanResultImageName(scan), "error_dot");
    }
}

// An engine of our own that walks 150 made-up files, asking for a stop at the 50th.
class StoppingEngine : public YaraEngine {
public:
    explicit StoppingEngine(ScanHistory& history) : history_(history) {}
    std::vector<RuleMatch> simpleScanDirAtPath(const std::string& path, const RuleFiles& ruleFiles,
                                               const std::vector<std::string>* ruleStrings, int timeout, bool fastMode,
                                               std::vector<std::string>&, std::vector<std::string>&,
                                               const FileCallback& callback) override {
        given = {ruleFiles, ruleStrings != nullptr, timeout, fastMode};
        std::vector<RuleMatch> found;
        for (int i = 1; i <= 150; ++i) {
            if (i == 50) history_.stopScan(history_.scans().at(0));
            const std::string file = path + "/f" + std::to_string(i);
            if (i % 40 == 0) found.push_back({"Marker", file, "rules.yar"});
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
    ScanHistory& history_;
};

TEST_F(ScanDriver, AStopBeforeTheHundredthFileEndsTheScanThere) {
    const std::string ruleFile = addRuleFile("rule A { condition: true }\n");
    StoppingEngine stopping(history);
    NotificationRecorder recorder({progressNote});
    YaraScans(model, history, 1234).dirScan("/tree", stopping);
    test::drainMainQueue();

    EXPECT_EQ(stopping.called, 100) << "the stop is looked at on the 100th file only";
    const YaraScan scan = onlyScan();
    EXPECT_EQ(scan.fileCount, 100);
    EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete);
    EXPECT_EQ(scan.matches,
              (std::vector<RuleMatch>{{"Marker", "/tree/f40", "rules.yar"}, {"Marker", "/tree/f80", "rules.yar"}}));
    EXPECT_EQ(recorder.integers(progressNote, "fileCount"), (std::vector<int64_t>{100}));
    EXPECT_EQ(stopping.given.ruleFiles, (YaraEngine::RuleFiles{{ruleFile, ruleFile}}));
    EXPECT_FALSE(stopping.given.ruleStrings);
    EXPECT_EQ(stopping.given.timeout, 1234) << "the time-out the driver was made with";
    EXPECT_FALSE(stopping.given.fastMode);
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

TEST_F(ScanDriver, AnEngineThatFailsStillLeavesAFinishedRecordWithTheFailure) {
    addRuleFile("rule A { condition: true }\n");
    FailingEngine failing;
    scans.fileScan("/file", failing);
    scans.dirScan("/tree", failing);
    const auto records = history.scans();
    ASSERT_EQ(records.size(), 2u);
    for (const YaraScan& scan : records) {
        EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete) << scan.scanTarget;
        EXPECT_TRUE(scan.matches.empty()) << scan.scanTarget;
        EXPECT_EQ(scan.fileCount, 1) << scan.scanTarget;
        ASSERT_EQ(scan.errors.size(), 1u) << scan.scanTarget;
        EXPECT_NE(scan.errors[0].find(" of " + scan.scanTarget + " failed"), std::string::npos) << scan.errors[0];
    }
    EXPECT_NE(records[0].errors[0].find("out of memory"), std::string::npos);
    EXPECT_EQ(history.activeScanCount(), 0);
}

// Where the engine runs: on a thread of the scan's own, at background priority.
class WhereEngine : public YaraEngine {
public:
    struct Seen {
        std::thread::id thread;
        int nice = 0;
        long ioPriority = 0;
    };
    explicit WhereEngine(std::shared_ptr<Seen> seen) : seen_(std::move(seen)) {}
    std::vector<RuleMatch> simpleScanFileAtPath(const std::string&, const RuleFiles&, const std::vector<std::string>*,
                                                int, bool, std::vector<std::string>&, std::vector<std::string>&) override {
        const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
        seen_->thread = std::this_thread::get_id();
        seen_->nice = ::getpriority(PRIO_PROCESS, thread);
        seen_->ioPriority = ::syscall(SYS_ioprio_get, IOPRIO_WHO_PROCESS, thread);
        return {};
    }

private:
    std::shared_ptr<Seen> seen_;
};

TEST_F(ScanDriver, DoScanRunsInTheBackgroundOnAThreadOfItsOwnAndSkipsMissingTargets) {
    addRuleFile("rule A { condition: true }\n");
    auto seen = std::make_shared<WhereEngine::Seen>();
    const YaraScans background(model, history, 10000, [seen] { return std::make_unique<WhereEngine>(seen); });
    const auto target = dir.write("target.txt", "anything");
    NotificationRecorder recorder({countNote});

    background.doScan((dir / "missing").string());
    background.doScan(target.string());
    ASSERT_TRUE(test::runMainUntil([&] {
        const auto counts = recorder.integers(countNote, "activeScanCount");
        return !counts.empty() && counts.back() == 0;
    }));
    const YaraScan scan = onlyScan();  // none for the missing target
    EXPECT_EQ(scan.scanTarget, target.string());
    EXPECT_EQ(scan.fileCount, 1);
    EXPECT_NE(seen->thread, std::this_thread::get_id());
    EXPECT_EQ(seen->nice, std::max(threadPriority::backgroundNice, ::getpriority(PRIO_PROCESS, 0)));
    EXPECT_EQ(seen->ioPriority, IOPRIO_PRIO_VALUE(IOPRIO_CLASS_BE, threadPriority::backgroundIoLevel));
    EXPECT_LT(::getpriority(PRIO_PROCESS, 0), threadPriority::backgroundNice) << "the caller's thread is left alone";
}

TEST_F(ScanDriver, DoScanNeverThrowsEvenWhenNoThreadCanBeStarted) {
    const auto target = dir.write("target.txt", "anything");
    test::openUp(dir.path().string());
    const auto answer = test::runUnprivileged([&] {
        const rlimit none{0, 0};
        if (::setrlimit(RLIMIT_NPROC, &none) != 0) return std::string("no limit");
        try {
            std::thread([] {}).join();
            return std::string("threads still start");
        } catch (const std::system_error&) {
        }
        try {
            scans.doScan(target.string());
        } catch (...) {
            return std::string("threw");
        }
        return std::string("returned");
    });
    EXPECT_EQ(answer.value_or("child failed"), "returned");
}

void useEmptyMac(const TempDir& mac) {
    setenv("TARNWICK_ROOT", mac.path().c_str(), 1);
    setenv("TARNWICK_HOME", (mac / "Users/nobody").c_str(), 1);
    setenv("TARNWICK_ENRICH_URL", test::refusedURL().c_str(), 1);
}

TEST(YaraScansDeathTest, QuittingWhileScansRunDoesNotCrash) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir mac;
    writeTree(mac, "tree", 3000);
    mac.write("rules.yar", markerRule);
    EXPECT_EXIT(
        {
            useEmptyMac(mac);
            NotificationRecorder loads({name(TarnwickNotificationNames::yaraFilesUpdateNotification)});
            TarnwickModel& central = sharedModel();
            test::runMainUntil([&] { return loads.received().size() == 1; });  // XProtect's (missing) file
            test::addRuleFiles(central._yara, {(mac / "rules.yar").string()});
            NotificationRecorder recorder({progressNote});
            for (int i = 0; i < 3; ++i) central._yaraScans.doScan((mac / "tree").string());
            test::runMainUntil([&] { return recorder.count(progressNote) > 0; });
            std::exit(central._scanHistory.activeScanCount() > 0 ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tarnwick
