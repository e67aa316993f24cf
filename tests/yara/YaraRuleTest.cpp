#include "yara/YaraModel.h"
#include "yara/YaraRule.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <unordered_set>

namespace tarnwick {
namespace {

YaraRule rule(const std::string& name, const std::string& file = "/r.yara", int64_t version = 0) {
    YaraRuleFields r;
    r.name = name;
    r.filepath = file;
    r.version = version;
    return YaraRule(r);
}

TEST(YaraRuleRecord, KnownByFileAndNameOrderedByVersion) {
    YaraRule a = rule("Same", "/one.yara", 1);
    YaraRule b = rule("Same", "/one.yara", 9);
    b.edit().condition = "false";
    EXPECT_EQ(a, b) << "only the file and the name take part";
    EXPECT_NE(a, rule("Same", "/two.yara"));
    EXPECT_EQ(std::hash<YaraRule>{}(a), std::hash<YaraRule>{}(b));
    EXPECT_EQ(std::unordered_set<YaraRule>({a, b, rule("Same", "/two.yara")}).size(), 2u);
    EXPECT_LT(a, b);
    EXPECT_FALSE(b < a);
}

TEST(YaraRuleRecord, SearchLooksAtTheNameOnly) {
    YaraRule r = rule("XProtect_MACOS_1");
    r.edit().tags = {"adware"};
    r.edit().summary = "adware";
    EXPECT_TRUE(r.matchesFilter("macos"));
    EXPECT_TRUE(r.matchesFilter("_1"));
    EXPECT_FALSE(r.matchesFilter("adware"));
    EXPECT_FALSE(r.matchesFilter(" "));
    EXPECT_FALSE(r.matchesFilter("macos "));
    EXPECT_TRUE(rule("Odd Name").matchesFilter(" "));
}

const nlohmann::json malwareList = nlohmann::json::parse(R"({
  "FlashbackA": {"Description": "Trojan.", "Links": ["https://example.org/a"], "Aka": ["Flashfake"],
                 "Date": "2016-07-07", "Version": 2081, "Hashes": ["abc"]},
  "OddTypes":   {"Description": 5, "Links": "one", "Version": "2099", "Aka": [1, true]}
})");

TEST(Enrichment, MalwareListFillsEveryRuleAtLoad) {
    YaraRule named = rule("FlashbackA");
    named.enrichFrom(malwareList);
    EXPECT_EQ(named->summary, "Trojan.");
    EXPECT_EQ(named->links, std::vector<std::string>{"https://example.org/a"});
    EXPECT_EQ(named->otherNames, std::vector<std::string>{"Flashfake"});
    EXPECT_EQ(named->date, "2016-07-07");
    EXPECT_EQ(named->version, 2081);
    EXPECT_EQ(named->hashes, std::vector<std::string>{"abc"});

    YaraRule odd = rule("OddTypes");
    odd.enrichFrom(malwareList);
    EXPECT_EQ(odd->summary, "5");
    EXPECT_TRUE(odd->links.empty()) << "a text in place of a list gives no links";
    EXPECT_EQ(odd->version, 2099);
    EXPECT_EQ(odd->otherNames, (std::vector<std::string>{"1", "true"}));

    YaraRule unnamed = rule("Unknown");
    unnamed.edit().version = 5;
    unnamed.edit().summary = "stale";
    unnamed.enrichFrom(malwareList);
    EXPECT_EQ(unnamed->summary, "");
    EXPECT_EQ(unnamed->version, 0);
    YaraRule nothing = rule("FlashbackA");
    nothing.enrichFrom(nullptr);
    EXPECT_EQ(nothing->version, 0);
}

TEST(Enrichment, RemoteEntryReplacesEveryFieldAndOnlyForItsExactName) {
    const auto index = nlohmann::json::parse(R"({"FlashbackA": {"Description": "Remote.", "Version": 2100},
                                                 "flashbackb": {"Description": "wrong case"}})");
    YaraRule both = rule("FlashbackA");
    both.enrichFrom(malwareList);
    both.enrichFromIndex(index);
    EXPECT_EQ(both->summary, "Remote.");
    EXPECT_EQ(both->version, 2100);
    EXPECT_TRUE(both->hashes.empty()) << "a key the remote entry lacks is cleared";
    EXPECT_TRUE(both->links.empty());
    EXPECT_EQ(both->date, "");

    YaraRule localOnly = rule("FlashbackB");
    localOnly.edit().summary = "local";
    localOnly.edit().version = 2081;
    localOnly.enrichFromIndex(index);
    EXPECT_EQ(localOnly->summary, "local") << "an entry keyed in another letter case does not apply";
    EXPECT_EQ(localOnly->version, 2081);

    localOnly.enrichFromIndex(nlohmann::json::array({1, 2}));
    EXPECT_EQ(localOnly->summary, "local") << "an index that is not an object changes nothing";
}

}  // namespace
}  // namespace tarnwick
