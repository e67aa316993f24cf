#include "yara/RuleRendering.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tarnwick {
namespace {

YaraRule demoRule() {
    YaraRuleFields rule;
    rule.name = "Demo";
    rule.isPrivate = true;
    rule.tags = {"t1"};
    rule.meta = {{"description", "x"}};
    rule.strings = {YaraString{"$a", "abc", {"ascii", "wide"}, YaraString::textType}};
    rule.condition = "$a";
    return YaraRule(rule);
}

TEST(RenderRule, LaysOutEverySectionWithJoiningSpaces) {
    EXPECT_EQ(renderRule(DisplayType::RAW, demoRule()),
              "private rule Demo : t1 \n"
              "{\n"
              "    meta:\n"
              "        description = \"x\" \n"
              "    strings:\n"
              "        $a = \"abc\" ascii wide \n"
              "    condition:\n"
              "        $a \n"
              "}");
    EXPECT_EQ(demoRule().text(), renderRule(DisplayType::RAW, demoRule())) << "a rule's text form is its raw rendering";
}

TEST(RenderRule, LeavesOutWhatTheRuleDoesNotHave) {
    YaraRuleFields rule;
    rule.name = "Demo";
    EXPECT_EQ(renderRule(DisplayType::RAW, YaraRule(rule)), "rule Demo \n{\n    condition:\n         \n}")
        << "no colon without tags; the empty condition leaves nine spaces";

    rule.isGlobal = true;
    rule.meta = {{"note", "say \"hi\""}};
    rule.condition = "true";
    EXPECT_EQ(renderRule(DisplayType::RAW, YaraRule(rule)), "global rule Demo \n{\n    meta:\n        note = \"say \"hi\"\" \n"
                                       "    condition:\n        true \n}")
        << "meta values are not escaped";
}

TEST(RenderRule, AsciiViewConvertsHexStringsOnly) {
    YaraRuleFields fields;
    fields.name = "Hex";
    fields.strings = {YaraString{"$h", "{4D5A}", {}, YaraString::hexType},
                      YaraString{"$r", "/ab+c/i", {"nocase"}, YaraString::regexType}};
    fields.condition = "any of them";
    const YaraRule rule(fields);
    const std::string ascii = renderRule(DisplayType::ASCII, rule);
    EXPECT_NE(ascii.find("        $h = \"MZ\" \n"), std::string::npos) << ascii;
    EXPECT_NE(ascii.find("        $r = /ab+c/i nocase \n"), std::string::npos) << ascii;
    EXPECT_NE(renderRule(DisplayType::RAW, rule).find("        $h = {4D5A} \n"), std::string::npos);
}

TEST(StringLine, ShowsEachKindAsDelivered) {
    struct Case {
        YaraString string;
        DisplayType display;
        std::string line;
    };
    const Case cases[] = {
        {{"$a", "abc", {}, YaraString::textType}, DisplayType::RAW, "$a = \"abc\""},
        {{"$a", "a\\\"b", {"xor(1-255)"}, YaraString::textType}, DisplayType::ASCII, "$a = \"a\\\"b\" xor(1-255)"},
        {{"$h", "{4D5A}", {}, YaraString::hexType}, DisplayType::RAW, "$h = {4D5A}"},
        {{"$h", "{4D5A}", {"private"}, YaraString::hexType}, DisplayType::ASCII, "$h = \"MZ\" private"},
        {{"$h", "{{41}}", {}, YaraString::hexType}, DisplayType::ASCII, "$h = \"A\""},
        {{"$h", "{4D 5A}", {}, YaraString::hexType}, DisplayType::ASCII, "$h = {4D 5A}"},
        {{"$h", "{4?}", {}, YaraString::hexType}, DisplayType::ASCII, "$h = {4?}"},
        {{"$", "/x/", {}, YaraString::regexType}, DisplayType::ASCII, "$ = /x/"},
        {{"$z", "raw", {}, 7}, DisplayType::ASCII, "$z = raw"},
    };
    for (const Case& c : cases) EXPECT_EQ(stringLine(c.display, c.string), c.line) << c.string.value;
}

TEST(BreakCondition, BreaksLongConditionsAtAndThenOr) {
    const std::string seventyNine = "$a and " + std::string(72, 'b');
    ASSERT_EQ(seventyNine.size(), 79u);
    EXPECT_EQ(breakCondition(seventyNine), seventyNine);

    const std::string eighty = "$a and " + std::string(73, 'b');
    EXPECT_EQ(breakCondition(eighty), "$a and\n        " + std::string(73, 'b'));

    const std::string orOnly = "$a or $b or " + std::string(70, 'c');
    EXPECT_EQ(breakCondition(orOnly), "$a or\n        $b or\n        " + std::string(70, 'c'));

    const std::string both = "($a and $b) or $sand or $bandit " + std::string(60, 'd');
    EXPECT_EQ(breakCondition(both), "($a and\n        $b) or\n        $sand or\n        $bandit " + std::string(60, 'd'))
        << "and inside a word is no break point";

    const std::string literals = "pe.x == \"a and \\\" or b\" and $r matches /x or y/ or " + std::string(40, 'e');
    EXPECT_EQ(breakCondition(literals), "pe.x == \"a and \\\" or b\" and\n        $r matches /x or y/ or\n        " +
                                            std::string(40, 'e'))
        << "text strings and regular expressions are left whole, or the rule would match other text";
}

TEST(HexToAscii, ConvertsRunsBetweenWildcardsJumpsAndAlternatives) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"4D5A??90", "MZ??"},          // 0x90 is a control character
        {"41[2-4]42", "A[2-4]B"},      // the jump is copied
        {"41[-]42", "A[-]B"},
        {"(41|42)", "(A|B)"},
        {"(41|(42|4344))", "(A|(B|CD))"},
        {"410D0A42", "AB"},            // control characters vanish
        {"", ""},
        {"e9", "\xC3\xA9"},            // é
        {"4D 5A", std::nullopt},       // the space enters the hex buffer
        {"414", std::nullopt},         // odd number of digits
        {"4?", std::nullopt},          // a nibble wildcard leaves half a byte
        {"GG", std::nullopt},
    };
    for (const auto& [hex, ascii] : cases) EXPECT_EQ(hexToAscii(hex), ascii) << hex;
}

TEST(HexBytes, ReadsDigitPairsOnly) {
    EXPECT_EQ(hexBytes("4d5A00ff"), std::string("\x4d\x5a\x00\xff", 4));
    EXPECT_EQ(hexBytes(""), std::string());
    EXPECT_EQ(hexBytes("4"), std::nullopt);
    EXPECT_EQ(hexBytes("4g"), std::nullopt);
    EXPECT_EQ(hexBytes("0x41"), std::nullopt);
}

}  // namespace
}  // namespace tarnwick
