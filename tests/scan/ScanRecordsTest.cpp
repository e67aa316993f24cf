// Scan records and the scan history: identity, the order of a scan's stored states, the running
// count, and what the scans table shows.
#include "models/NotificationNames.h"
#include "scan/ScanHistory.h"
#include "scan/ScanTableCells.h"
#include "scan/YaraScan.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace tarnwick {
namespace {

using test::NotificationRecorder;

const std::string scanNote = name(TarnwickNotificationNames::yaraScanUpdateNotification);
const std::string countNote = name(TarnwickNotificationNames::yaraScanCountUpdateNotification);

class History : public ::testing::Test {
protected:
    ~History() override {
        model.scans();  // queued writes have run, and queued their notices
        test::drainMainQueue();
    }

    const YaraScan& stored(int64_t uid) {
        stored_ = model.scans();
        for (const YaraScan& s : stored_)
            if (s.uid == uid) return s;
        throw std::runtime_error("no scan " + std::to_string(uid));
    }

    ScanHistory model;
    std::vector<YaraScan> stored_;
};

TEST(YaraScanRecord, UidsCountUpAndAreTheIdentity) {
    YaraScan first("/a", {});
    YaraScan second("/b", {});
    EXPECT_GE(first.uid, 1);
    EXPECT_EQ(second.uid, first.uid + 1);
    EXPECT_FALSE(first.scanStatus);
    EXPECT_FALSE(first.scanEndTime);
    EXPECT_EQ(first.fileCount, 0);

    YaraScan twin = second;
    twin.scanTarget = "/elsewhere";
    twin.fileCount = 9;
    EXPECT_EQ(twin, second);
    EXPECT_EQ(YaraScanHash{}(twin), YaraScanHash{}(second));
    std::unordered_set<YaraScan, YaraScanHash> set{second};
    EXPECT_FALSE(set.insert(twin).second);
    EXPECT_EQ(set.begin()->scanTarget, "/b");
}

TEST_F(History, AScanGoesFromRunningThroughAStopToComplete) {
    NotificationRecorder recorder({scanNote, countNote});
    YaraScan scan = model.startScan("/target", {});
    EXPECT_EQ(scan.scanStatus, ScanStatusValues::running);
    EXPECT_EQ(stored(scan.uid).scanStatus, ScanStatusValues::running) << "listed as soon as startScan returns";
    EXPECT_FALSE(model.isScanAborted(scan));

    model.stopScan(scan);
    EXPECT_TRUE(model.isScanAborted(scan));
    EXPECT_EQ(stored(scan.uid).scanStatus, ScanStatusValues::shouldAbort);

    scan.fileCount = 42;
    model.finishScan(scan);
    const YaraScan& done = stored(scan.uid);
    EXPECT_EQ(done.scanStatus, ScanStatusValues::complete) << "an aborted scan still ends complete";
    EXPECT_EQ(done.fileCount, 42);
    ASSERT_TRUE(done.scanEndTime);
    EXPECT_GE(*done.scanEndTime, done.scanStartTime);
    EXPECT_FALSE(model.isScanAborted(scan));

    test::drainMainQueue();
    EXPECT_EQ(recorder.count(scanNote), 3u) << "added, stopped, finished";
    EXPECT_EQ(recorder.integers(countNote, "activeScanCount"), (std::vector<int64_t>{1, 0}));
}

TEST_F(History, AFinishedScanIsNeverOverwritten) {
    YaraScan scan = model.startScan("/target", {});
    model.finishScan(scan);
    const auto endTime = stored(scan.uid).scanEndTime;
    test::drainMainQueue();

    NotificationRecorder recorder({scanNote});
    model.stopScan(scan);    // the panel's stale copy, status running
    model.finishScan(scan);  // a second finish changes nothing stored either
    const YaraScan& after = stored(scan.uid);
    EXPECT_EQ(after.scanStatus, ScanStatusValues::complete);
    EXPECT_EQ(after.scanEndTime, endTime);
    test::drainMainQueue();
    EXPECT_EQ(recorder.count(scanNote), 0u);
}

TEST_F(History, RecordsNotStoredAreIgnored) {
    NotificationRecorder recorder({scanNote});
    YaraScan stranger("/never-started", {});
    stranger.scanStatus = ScanStatusValues::running;
    model.stopScan(stranger);
    EXPECT_FALSE(model.isScanAborted(stranger));
    EXPECT_TRUE(model.scans().empty());
    test::drainMainQueue();
    EXPECT_EQ(recorder.count(scanNote), 0u);
}

TEST_F(History, CountsRunningScansAndListsOldestFirst) {
    NotificationRecorder recorder({countNote});
    YaraScan older = model.startScan("/older", {});
    YaraScan newer = model.startScan("/newer", {});
    model.finishScan(older);
    EXPECT_EQ(model.activeScanCount(), 1);
    test::drainMainQueue();
    EXPECT_EQ(recorder.integers(countNote, "activeScanCount"), (std::vector<int64_t>{1, 2, 1}));

    const auto list = model.scans();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_LE(list[0].scanStartTime, list[1].scanStartTime);
    if (list[0].scanStartTime != list[1].scanStartTime) {
        EXPECT_EQ(list[0].uid, older.uid);
    }
    model.finishScan(newer);
}

TEST(ScanTable, CellsFollowTheRecord) {
    test::ScopedEnv zone("TZ", "UTC");
    using namespace std::chrono;
    YaraScan scan("/Volumes/Mac HD/Users", {});
    scan.scanStartTime = sys_days(year(2024) / March / 5) + hours(13) + minutes(4) + seconds(5);
    scan.fileCount = 1234;
    using Kind = ScanTableCell::Kind;
    const auto cell = [&](std::string_view column) { return scanTableCell(scan, column); };

    scan.scanStatus = ScanStatusValues::running;
    EXPECT_EQ(cell(scanColumns::resultImage), (ScanTableCell{Kind::image, "empty_dot"}));
    EXPECT_EQ(cell(scanColumns::startTime), (ScanTableCell{Kind::text, "2024-03-05 13:04:05"}));
    EXPECT_EQ(cell(scanColumns::endTime), (ScanTableCell{Kind::text, ""}));
    EXPECT_EQ(cell(scanColumns::hitCount), (ScanTableCell{Kind::text, ""}));
    EXPECT_EQ(cell(scanColumns::fileCount), (ScanTableCell{Kind::text, "1234"}));
    EXPECT_EQ(cell(scanColumns::target), (ScanTableCell{Kind::text, "/Volumes/Mac HD/Users"}));

    scan.scanStatus = ScanStatusValues::shouldAbort;  // a stop asked: no longer the running dot
    EXPECT_EQ(cell(scanColumns::resultImage)->value, "green_dot");

    scan.scanStatus = ScanStatusValues::complete;
    scan.scanEndTime = scan.scanStartTime + minutes(2);
    EXPECT_EQ(cell(scanColumns::resultImage)->value, "green_dot");
    EXPECT_EQ(cell(scanColumns::endTime)->value, "2024-03-05 13:06:05");
    EXPECT_EQ(cell(scanColumns::hitCount)->value, "0");

    scan.errors = {"/rules/broken.yar:1: undefined string identifier \"$nothing\""};
    EXPECT_EQ(cell(scanColumns::resultImage)->value, "error_dot") << "a scan that was not whole never looks clean";

    scan.matches = {{"MACOS.ADLOAD", "/a", "/rules.yar"}, {"EICAR", "/b", "/rules.yar"}};
    EXPECT_EQ(cell(scanColumns::resultImage)->value, "red_dot") << "what it found counts first";
    EXPECT_EQ(cell(scanColumns::hitCount)->value, "2");

    EXPECT_FALSE(cell("TableScanResultImageID")) << "the identifier is spelt Reult";
}

}  // namespace
}  // namespace tarnwick
