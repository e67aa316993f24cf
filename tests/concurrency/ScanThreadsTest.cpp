// Scans running side by side: each on its own thread, with the rules model, the scan history, the
// running count and the compiled-rules cache shared between them.
#include "engine/CompiledRulesCache.h"
#include "scan/YaraScans.h"

#include "support/RuleFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

namespace tarnwick {
namespace {

using test::NotificationRecorder;
using test::TempDir;

const std::string countNote = name(TarnwickNotificationNames::yaraScanCountUpdateNotification);

void writeTree(const TempDir& dir, const std::string& folder, int files) {
    for (int i = 0; i < files; ++i)
        dir.write(folder + "/d" + std::to_string(i % 8) + "/f" + std::to_string(i),
                  i % 50 == 0 ? "TARNWICK-MARKER" : "plain " + std::to_string(i));
}

TEST(ScanThreads, ScansSideBySideAllFinishWithTheirOwnRecords) {
    TempDir dir;
    writeTree(dir, "tree", 300);
    const auto single = dir.write("single.txt", "TARNWICK-MARKER");
    // A rule file no scan has seen: the scans that start together share one compilation.
    const std::string rules =
        dir.write("rules.yar", "rule Marker { strings: $a = \"TARNWICK-MARKER\" condition: $a }\n// " +
                                   dir.path().string() + "\n")
            .string();
    YaraModel model({}, TarnwickNotificationNames::yaraRulesUpdateNotification, "");
    ScanHistory history;
    const YaraScans driver(model, history, 10000);
    test::addRuleFiles(model, {rules});
    NotificationRecorder recorder({countNote});
    const uint64_t compilationsBefore = CompiledRulesCache::shared().compilations();

    std::atomic<bool> done{false};
    std::thread reader([&] {  // the scanner panel reading the history meanwhile
        while (!done) {
            for (const YaraScan& scan : history.scans()) (void)scan.fileCount;
            (void)history.activeScanCount();
        }
    });
    std::vector<std::thread> scans;
    for (int i = 0; i < 4; ++i) {
        scans.emplace_back([&, i] {
            YaraEngine engine;
            if (i % 2 == 0)
                driver.dirScan((dir / "tree").string(), engine);
            else
                driver.fileScan(single.string(), engine);
        });
    }
    for (auto& scan : scans) scan.join();
    done = true;
    reader.join();
    ASSERT_TRUE(test::runMainUntil([&] { return recorder.count(countNote) == 8; }));

    EXPECT_EQ(CompiledRulesCache::shared().compilations(), compilationsBefore + 1);
    EXPECT_EQ(history.activeScanCount(), 0);
    EXPECT_EQ(recorder.integers(countNote, "activeScanCount").back(), 0);
    const auto records = history.scans();
    ASSERT_EQ(records.size(), 4u);
    std::set<int64_t> uids;
    for (const YaraScan& scan : records) {
        uids.insert(scan.uid);
        EXPECT_EQ(scan.scanStatus, ScanStatusValues::complete);
        if (scan.scanTarget == single.string()) {
            EXPECT_EQ(scan.fileCount, 1);
            EXPECT_EQ(scan.matches.size(), 1u);
        } else {
            EXPECT_EQ(scan.fileCount, 300);
            EXPECT_EQ(scan.matches.size(), 6u);
        }
    }
    EXPECT_EQ(uids.size(), 4u);
    test::drainMainQueue();
}

TEST(ScanThreads, AStopFromAnotherThreadEndsTheScanAtAHundredsMark) {
    TempDir dir;
    writeTree(dir, "tree", 2000);
    const std::string rules = dir.write("rules.yar", "rule Any { condition: true }\n").string();
    YaraModel model({}, TarnwickNotificationNames::yaraRulesUpdateNotification, "");
    ScanHistory history;
    test::addRuleFiles(model, {rules});
    std::thread scan([&] {
        YaraEngine engine;
        YaraScans(model, history, 10000).dirScan((dir / "tree").string(), engine);
    });
    // The panel's stop button, pressed as soon as the scan is listed while it runs. A scan that
    // ended before it could be pressed leaves the stop unsent, which the test reports.
    bool sent = false;
    for (bool listed = false; !listed;) {
        for (const YaraScan& record : history.scans()) {
            listed = true;
            if (record.scanStatus == ScanStatusValues::complete) continue;
            history.stopScan(record);
            sent = true;
        }
    }
    scan.join();
    ASSERT_TRUE(sent) << "the scan ended before the stop could be sent";
    const YaraScan record = history.scans().at(0);
    EXPECT_EQ(record.scanStatus, ScanStatusValues::complete);
    EXPECT_EQ(record.fileCount % 100, 0) << record.fileCount;
    EXPECT_GE(record.fileCount, 100);
    EXPECT_LE(record.fileCount, 1000) << "the scan went on well past the stop";
    test::drainMainQueue();
}

TEST(ScanThreads, CacheCompilesOnceForScansAskingTogether) {
    TempDir dir;
    const std::string rules = dir.write("r.yar", "include \"inc.yar\"\nrule A { condition: I }\n").string();
    dir.write("inc.yar", "private rule I { condition: true }\n");
    CompiledRulesCache cache;
    const auto askTogether = [&] {
        std::vector<std::shared_ptr<const CompiledRules>> got(6);
        std::vector<std::thread> threads;
        for (size_t i = 0; i < got.size(); ++i)
            threads.emplace_back([&, i] { got[i] = cache.rulesFor({{rules, rules}}, {}); });
        for (auto& t : threads) t.join();
        for (const auto& rules : got) EXPECT_EQ(rules.get(), got[0].get());
        return got[0];
    };
    const auto first = askTogether();
    EXPECT_EQ(cache.compilations(), 1u);
    // All of them find the entry stale; one compiles it again, the others wait for that.
    dir.write("inc.yar", "private rule I { condition: false }\n");
    const auto second = askTogether();
    EXPECT_EQ(cache.compilations(), 2u);
    EXPECT_NE(second.get(), first.get());
}

}  // namespace
}  // namespace tarnwick
