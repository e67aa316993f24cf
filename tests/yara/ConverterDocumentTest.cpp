#include "yara/ConverterDocument.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(ConverterDocument, ReadsEveryKeyOfRulesAndStrings) {
    const auto rules = readConverterText(R"({"ruleset": [{"rules": [
        {"name": "First", "tags": ["a", "b"], "private": true, "global": true, "condition": "$x and $",
         "meta": {"zeta": "1", "alpha": "two", "mid": "3"},
         "strings": [{"name": "$x", "value": "{4D5A}", "type": 3, "modifers": ["private"]},
                     {"name": "$", "value": "abc", "type": 1, "modifers": ["ascii", "wide"]}]},
        {"name": "Second"}]},
      {"rules": [{"name": "Third"}]}]})");
    ASSERT_EQ(rules.size(), 3u);
    const YaraRuleFields& first = rules[0];
    EXPECT_EQ(first.name, "First");
    EXPECT_EQ(first.tags, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(first.isPrivate);
    EXPECT_TRUE(first.isGlobal);
    EXPECT_EQ(first.condition, "$x and $");
    EXPECT_EQ(first.meta, (YaraMeta{{"zeta", "1"}, {"alpha", "two"}, {"mid", "3"}})) << "in the order written";
    ASSERT_EQ(first.strings.size(), 2u);
    EXPECT_EQ(first.strings[0], (YaraString{"$x", "{4D5A}", {"private"}, 3}));
    EXPECT_EQ(first.strings[1], (YaraString{"$", "abc", {"ascii", "wide"}, 1}));
    EXPECT_EQ(rules[1].name, "Second");
    EXPECT_TRUE(rules[1].meta.empty() && rules[1].strings.empty() && rules[1].tags.empty());
    EXPECT_FALSE(rules[1].isPrivate || rules[1].isGlobal);
    EXPECT_EQ(rules[2].name, "Third") << "every ruleset entry, in order";
}

TEST(ConverterDocument, OddShapesGiveDefaults) {
    const auto rules = readConverterText(R"({"ruleset": [{"rules": [
        {"name": "NumberMeta", "meta": {"description": "x", "score": 70}},
        {"name": "BoolMeta", "meta": {"on": true}},
        {"name": "Spelling", "strings": [{"name": "$a", "value": "v", "modifiers": ["wide"]}]},
        {"name": null, "tags": null, "strings": {"$a": {}}, "condition": 5, "private": null}]}]})");
    ASSERT_EQ(rules.size(), 4u);
    EXPECT_TRUE(rules[0].meta.empty()) << "one value that is not text empties the whole meta";
    EXPECT_TRUE(rules[1].meta.empty());
    ASSERT_EQ(rules[2].strings.size(), 1u);
    EXPECT_TRUE(rules[2].strings[0].modifiers.empty()) << "modifiers are read under the format's own key only";
    EXPECT_EQ(rules[2].strings[0].type, 0);
    EXPECT_EQ(rules[3].name, "");
    EXPECT_TRUE(rules[3].strings.empty());
    EXPECT_EQ(rules[3].condition, "5");
}

TEST(ConverterDocument, CollectionsMayBeObjectsAndAnythingElseIsNothing) {
    EXPECT_EQ(readConverterText(R"({"ruleset": {"x": {"rules": {"r": {"name": "InObject"}}}}})").size(), 1u);
    for (const char* text : {"", "not json", "[]", "null", R"({"ruleset": "x"})", R"({"ruleset": [{"rules": 3}]})",
                             R"({"ruleset": [1, null, {"rules": [7, "x"]}]})"}) {
        EXPECT_TRUE(readConverterText(text).empty()) << text;
    }
    EXPECT_TRUE(readConverterText("{\"ruleset\": [").empty());
}

}  // namespace
}  // namespace tarnwick
