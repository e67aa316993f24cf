// Rule files load and unload, with an enrichment merge among them, while other threads read the
// rules and the file list: every read sees whole files only, and the operations take effect in
// the order they were asked for.
#include "yara/YaraModel.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <thread>

namespace tarnwick {
namespace {

constexpr int rulesPerFile = 30;

// A rule file of `rulesPerFile` rules named <stem>_<n>.
std::string writeRuleFile(const test::TempDir& dir, const std::string& stem) {
    std::string source;
    for (int i = 0; i < rulesPerFile; ++i) source += "rule " + stem + "_" + std::to_string(i) + " { condition: true }\n";
    return dir.write(stem + ".yar", source).string();
}

TEST(RulesModelThreads, ReadersSeeWholeFilesWhileFilesComeAndGo) {
    test::TempDir dir;
    const std::vector<std::string> files = {writeRuleFile(dir, "Alpha"), writeRuleFile(dir, "Beta"),
                                            writeRuleFile(dir, "Gamma")};
    test::LoopbackServer server;
    server.server().Get("/index.json", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"Alpha_0": {"Version": 7}, "Beta_0": {"Version": 7}, "Gamma_0": {"Version": 7}})",
                        "application/json");
    });
    server.start();
    YaraModel model({}, TarnwickNotificationNames::yaraRulesUpdateNotification, server.url("/index.json"));
    test::NotificationRecorder recorder({name(TarnwickNotificationNames::yaraFilesUpdateNotification)});

    std::atomic<bool> stop{false};
    std::atomic<int> broken{0};
    std::vector<std::thread> readers;
    for (int r = 0; r < 3; ++r) {
        readers.emplace_back([&] {
            while (!stop) {
                const auto rules = model.read();
                const auto loaded = model.ruleFiles();
                std::map<std::string, int> perFile;
                for (const YaraRule& rule : rules) ++perFile[rule->filepath];
                for (const auto& [file, count] : perFile)
                    if (count != rulesPerFile) ++broken;
                if (loaded.size() > files.size()) ++broken;
            }
        });
    }

    constexpr int rounds = 20;
    int operations = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const std::string& file : files) {
            model.queueAddRuleFile(file, false);
            ++operations;
        }
        if (round == rounds / 2) model.concurrentQueue.barrierAsync([&model] { model.enrich(); });
        model.queueRemoveRuleFile(files[round % 3]);
        ++operations;
    }
    const std::string filesNote = name(TarnwickNotificationNames::yaraFilesUpdateNotification);
    ASSERT_TRUE(test::runMainUntil(
        [&] { return recorder.count(filesNote) == static_cast<size_t>(operations) && model.pendingEnrichments() == 0; },
        std::chrono::seconds(60)));
    stop = true;
    for (auto& reader : readers) reader.join();
    test::drainMainQueue();

    EXPECT_EQ(broken.load(), 0);
    for (const std::string& error : recorder.texts(filesNote, "error")) EXPECT_EQ(error, "");
    // The last round removed Beta (round 19 % 3 == 1) after adding all three.
    const auto loaded = model.ruleFiles();
    ASSERT_EQ(loaded.size(), 2u);
    EXPECT_EQ(loaded[0].filepath, files[0]);
    EXPECT_EQ(loaded[1].filepath, files[2]);
    EXPECT_EQ(model.read().size(), 2u * rulesPerFile);
}

}  // namespace
}  // namespace tarnwick
