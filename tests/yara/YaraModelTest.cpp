#include "yara/YaraModel.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <future>

namespace tarnwick {
namespace {

using test::LoopbackServer;
using test::NotificationRecorder;
using test::TempDir;
using test::drainMainQueue;
using test::runMainUntil;

const std::string filesNote = name(TarnwickNotificationNames::yaraFilesUpdateNotification);
const std::string rulesNote = name(TarnwickNotificationNames::yaraRulesUpdateNotification);

// Rule files with a converter of our own beside them: it prints the JSON document written next
// to each rule file (rule.yar.json), so each test says exactly what the converter answers, and
// waits as long as a file rule.yar.hold exists (saying so with rule.yar.waiting).
class RulesFixture : public ::testing::Test {
protected:
    RulesFixture() : model({}, TarnwickNotificationNames::yaraRulesUpdateNotification, "") {
        const auto converter = dir.write("converter",
                                         "#!/bin/sh\n"
                                         "[ \"$1\" = fileName ] && [ \"$3\" = --validJSON ] && [ $# -eq 3 ] || exit 2\n"
                                         "[ -e \"$2.hold\" ] && : > \"$2.waiting\"\n"
                                         "while [ -e \"$2.hold\" ]; do sleep 0.01; done\n"
                                         "[ -f \"$2.json\" ] && cat \"$2.json\"\n"
                                         "exit 0\n");
        std::filesystem::permissions(converter, std::filesystem::perms::owner_all);
        model.setConverterPath(converter.string());
    }
    ~RulesFixture() override { drainMainQueue(); }

    // A rule file that compiles, and the converter's answer for it naming these rules.
    std::string ruleFile(const std::string& name, const std::vector<std::string>& rules) {
        std::string source;
        nlohmann::json list = nlohmann::json::array();
        for (const std::string& rule : rules) {
            source += "rule " + rule + " { condition: true }\n";
            list.push_back({{"name", rule}, {"condition", "true"}});
        }
        const auto path = dir.write(name, source);
        dir.write(name + ".json", nlohmann::json{{"ruleset", {{{"rules", list}}}}}.dump());
        return path.string();
    }

    // Asks for one operation as the rules panel does and answers its "error" text.
    std::string run(const std::function<void()>& queueOperation) {
        const size_t before = recorder.count(filesNote);
        queueOperation();
        EXPECT_TRUE(runMainUntil([&] { return recorder.count(filesNote) > before; }));
        drainMainQueue();
        EXPECT_EQ(recorder.count(filesNote), before + 1) << "one announcement per operation";
        return recorder.texts(filesNote, "error").back();
    }
    std::string add(const std::string& path) {
        return run([&] { model.queueAddRuleFile(path, false); });
    }
    std::string remove(const std::string& path) {
        return run([&] { model.queueRemoveRuleFile(path); });
    }

    std::vector<std::string> filePaths() {
        std::vector<std::string> paths;
        for (const YaraFile& file : model.ruleFiles()) paths.push_back(file.filepath);
        return paths;
    }
    std::vector<std::string> ruleNames() {
        std::vector<std::string> names;
        for (const YaraRule& rule : model.read()) names.push_back(rule->name + "@" + std::filesystem::path(rule->filepath).filename().string());
        return names;
    }

    TempDir dir;
    NotificationRecorder recorder{{filesNote, rulesNote}};
    YaraModel model;
};

TEST_F(RulesFixture, AddingAgainReplacesTheEarlierLoadAtTheEnd) {
    const auto a = ruleFile("a.yar", {"A1", "A2"});
    const auto b = ruleFile("b.yar", {"B1"});
    EXPECT_EQ(add(a), "");
    EXPECT_EQ(add(b), "");
    EXPECT_EQ(add(a), "");
    EXPECT_EQ(filePaths(), (std::vector<std::string>{b, a}));
    EXPECT_EQ(ruleNames(), (std::vector<std::string>{"B1@b.yar", "A1@a.yar", "A2@a.yar"}));
    EXPECT_EQ(model.ruleFiles().back().rules.size(), 2u);
    EXPECT_EQ(model.ruleFiles().back().rules[0]->filepath, a);
    EXPECT_EQ(recorder.count(rulesNote), 0u) << "rule files are announced on their own notification only";
}

TEST_F(RulesFixture, FailuresKeepOrDropAsTheirKindSays) {
    const auto path = ruleFile("r.yar", {"Kept"});
    ASSERT_EQ(add(path), "");

    EXPECT_EQ(add((dir / "nowhere.yar").string()), "File does not exist");

    dir.write("broken.yar", "rule { condition: }");
    EXPECT_EQ(add((dir / "broken.yar").string()), "Error loading file " + (dir / "broken.yar").string());

    // The same path, now failing validation: its earlier load stays.
    dir.write("r.yar", "rule Kept { condition: $nothing }");
    EXPECT_EQ(add(path), "Error loading file " + path);
    EXPECT_EQ(ruleNames(), std::vector<std::string>{"Kept@r.yar"});

    // Deleted meanwhile: the earlier load stays too.
    std::filesystem::remove(path);
    EXPECT_EQ(add(path), "File does not exist");
    EXPECT_EQ(filePaths(), std::vector<std::string>{path});
    EXPECT_EQ(ruleNames(), std::vector<std::string>{"Kept@r.yar"});
}

TEST_F(RulesFixture, AConverterThatGivesNothingLeavesTheFileWithoutRules) {
    const auto path = ruleFile("r.yar", {"Old"});
    ASSERT_EQ(add(path), "");
    ASSERT_EQ(ruleNames().size(), 1u);

    struct Case {
        const char* what;
        std::function<void()> arrange;
    };
    const Case cases[] = {
        {"no output", [&] { std::filesystem::remove(path + ".json"); }},
        {"not JSON", [&] { dir.write("r.yar.json", "<html>"); }},
        {"JSON of another shape", [&] { dir.write("r.yar.json", R"({"rules": [{"name": "Old"}]})"); }},
        {"converter missing", [&] { model.setConverterPath((dir / "no-converter").string()); }},
    };
    for (const Case& c : cases) {
        ruleFile("r.yar", {"Old"});
        model.setConverterPath((dir / "converter").string());
        ASSERT_EQ(add(path), "");
        ASSERT_EQ(ruleNames().size(), 1u);
        c.arrange();
        EXPECT_EQ(add(path), "") << c.what;
        EXPECT_EQ(filePaths(), std::vector<std::string>{path}) << c.what;
        EXPECT_TRUE(ruleNames().empty()) << c.what << ": the earlier rules of the path are gone";
        EXPECT_TRUE(model.ruleFiles()[0].rules.empty()) << c.what;
    }
}

TEST_F(RulesFixture, RemovingTakesTheFileAndItsRulesAndAlwaysAnnounces) {
    const auto a = ruleFile("a.yar", {"Same", "OnlyA"});
    const auto b = ruleFile("b.yar", {"Same"});
    add(a);
    add(b);
    EXPECT_EQ(ruleNames().size(), 3u) << "rules of the same name in two files are two rules";

    EXPECT_EQ(remove("/not/loaded.yar"), "");
    EXPECT_EQ(ruleNames().size(), 3u);
    EXPECT_EQ(remove(a), "");
    EXPECT_EQ(filePaths(), std::vector<std::string>{b});
    EXPECT_EQ(ruleNames(), std::vector<std::string>{"Same@b.yar"});
    EXPECT_EQ(remove(b + "/"), "") << "paths are compared as text";
    EXPECT_EQ(filePaths(), std::vector<std::string>{b});
}

TEST_F(RulesFixture, TheFilterSearchesNamesAndClearingItShowsAllInVersionOrder) {
    const auto path = ruleFile("a.yar", {"XProtect_MACOS_1", "FlashbackA", "Other"});
    add(path);
    model.concurrentQueue.barrierAsync([this] { model.setFilter("macos"); });
    EXPECT_EQ(ruleNames(), std::vector<std::string>{"XProtect_MACOS_1@a.yar"});
    EXPECT_TRUE(runMainUntil([&] { return recorder.count(rulesNote) == 1; }));
    EXPECT_EQ(recorder.texts(rulesNote, "reason"), std::vector<std::string>{"Filter"});
    model.concurrentQueue.barrierAsync([this] { model.setFilter(""); });
    EXPECT_EQ(ruleNames().size(), 3u);
}

// The slow part of an add runs with nothing held: the rules panel and the scans read on while a
// large file is checked and converted, and only the swap waits for readers.
TEST_F(RulesFixture, ReadsGoOnWhileAFileIsConverted) {
    const auto kept = ruleFile("kept.yar", {"Kept"});
    ASSERT_EQ(add(kept), "");
    const auto slow = ruleFile("slow.yar", {"Slow"});
    dir.write("slow.yar.hold", "");
    model.queueAddRuleFile(slow, false);
    ASSERT_TRUE(runMainUntil([&] { return std::filesystem::exists(dir / "slow.yar.waiting"); }));

    auto reads = std::async(std::launch::async, [&] { return std::make_pair(ruleNames(), filePaths()); });
    ASSERT_EQ(reads.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "a read waited for the converter";
    EXPECT_EQ(reads.get(), std::make_pair(std::vector<std::string>{"Kept@kept.yar"}, std::vector<std::string>{kept}));
    EXPECT_EQ(recorder.count(filesNote), 1u) << "not announced before it is in";

    std::filesystem::remove(dir / "slow.yar.hold");
    ASSERT_TRUE(runMainUntil([&] { return recorder.count(filesNote) == 2; }));
    EXPECT_EQ(recorder.texts(filesNote, "error").back(), "");
    EXPECT_EQ(filePaths(), (std::vector<std::string>{kept, slow}));
}

// Operations take effect, and are announced, in the order they were asked for, however long
// each one's conversion takes.
TEST_F(RulesFixture, OperationsEndInTheOrderTheyWereAskedFor) {
    const auto a = ruleFile("a.yar", {"First"});
    const auto b = ruleFile("b.yar", {"B"});
    dir.write("a.yar.hold", "");
    model.queueAddRuleFile(a, false);
    ruleFile("a.yar", {"Second"});  // what the second add of the same path reads
    model.queueAddRuleFile(a, false);
    model.queueRemoveRuleFile(b);
    model.queueAddRuleFile(b, false);
    model.queueAddRuleFile((dir / "nowhere.yar").string(), false);
    std::filesystem::remove(dir / "a.yar.hold");

    ASSERT_TRUE(runMainUntil([&] { return recorder.count(filesNote) == 5; }));
    EXPECT_EQ(recorder.texts(filesNote, "error"), (std::vector<std::string>{"", "", "", "", "File does not exist"}));
    EXPECT_EQ(filePaths(), (std::vector<std::string>{a, b}));
    EXPECT_EQ(ruleNames(), (std::vector<std::string>{"Second@a.yar", "B@b.yar"}));
}

// A model that goes while its work is still on the way: queued loads finish first, and their
// announcements, due after it is gone, are dropped.
TEST_F(RulesFixture, AModelDestroyedWithWorkQueuedIsSafe) {
    const auto path = ruleFile("a.yar", {"A"});
    {
        YaraModel doomed({}, TarnwickNotificationNames::yaraRulesUpdateNotification, "");
        doomed.setConverterPath((dir / "converter").string());
        doomed.queueAddRuleFile(path, false);
        doomed.queueRemoveRuleFile(path);
    }
    drainMainQueue();
    EXPECT_EQ(recorder.count(filesNote), 0u);
}

// XProtect's own rule file: the shipped malware list at load, then the remote index.
TEST_F(RulesFixture, EnrichmentFromTheShippedListThenTheRemoteIndex) {
    LoopbackServer server;
    server.server().Get("/vantor/signatures/index.json", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"FlashbackA": {"Description": "From the index.", "Version": 3000},
                            "UserRule": {"Description": "Named by the index too.", "Version": 1}})",
                        "application/json");
    });
    server.start();
    YaraModel enriched({}, TarnwickNotificationNames::yaraRulesUpdateNotification,
                       server.url("/vantor/signatures/index.json"));
    enriched.setConverterPath((dir / "converter").string());
    const auto system = ruleFile("XProtect.yara", {"FlashbackA", "KeRangerA", "NotInTheList"});
    const auto user = ruleFile("user.yar", {"UserRule"});

    enriched.queueAddRuleFile(user, false);
    enriched.queueAddRuleFile(system, true);
    ASSERT_TRUE(runMainUntil([&] { return recorder.count(filesNote) == 2; }));
    const std::vector<YaraRule> atLoad = enriched.ruleFiles()[1].rules;
    ASSERT_EQ(atLoad.size(), 3u);
    EXPECT_EQ(atLoad[1]->name, "KeRangerA");
    EXPECT_GT(atLoad[1]->version, 2000) << "the shipped malware list names KeRangerA";
    EXPECT_FALSE(atLoad[1]->date.empty());
    EXPECT_EQ(atLoad[2]->version, 0);

    ASSERT_TRUE(runMainUntil([&] { return enriched.pendingEnrichments() == 0 && recorder.count(rulesNote) == 2; }));
    const auto rules = enriched.read();
    ASSERT_EQ(rules.size(), 4u);
    EXPECT_EQ(rules[0]->name, "FlashbackA") << "highest version first";
    EXPECT_EQ(rules[0]->summary, "From the index.");
    EXPECT_EQ(rules[0]->date, "") << "the remote entry replaces every field";
    EXPECT_EQ(rules[1]->name, "KeRangerA");
    EXPECT_EQ(rules[1]->version, atLoad[1]->version) << "a rule the index does not name keeps the list's values";
    EXPECT_EQ(rules[2]->name, "UserRule");
    EXPECT_EQ(rules[2]->summary, "Named by the index too.") << "user rules loaded before the index take it too";
    EXPECT_EQ(enriched.ruleFiles()[1].rules[0]->summary, atLoad[0]->summary) << "file records keep their load-time copies";
    EXPECT_EQ(recorder.texts(rulesNote, "reason"), (std::vector<std::string>{"Enriched", "Enriched"}));
    drainMainQueue();
}

}  // namespace
}  // namespace tarnwick
