// Exact output of the converter for the constructs where "as written" is easy to get wrong.
#include "yago/Parser.h"
#include "yago/RuleDocument.h"
#include "yago/Utf8Safe.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using yago::Rule;
using yago::Source;
using yago::StringType;

// Includes answered from a table of in-memory files.
yago::IncludeResolver memoryFiles(std::map<std::string, std::string> files) {
    return [files = std::move(files)](const Source&, const std::string& path, Source& found, std::string& reason) {
        auto it = files.find(path);
        if (it == files.end()) {
            reason = "no file " + path;
            return false;
        }
        found = Source{path, path, it->second};
        return true;
    };
}

std::vector<Rule> parse(const std::string& text, const yago::IncludeResolver& includes = nullptr) {
    const auto result = yago::parseSource(Source{"test.yar", "test.yar", text}, includes);
    EXPECT_TRUE(result.ok()) << (result.error ? result.error->text() : "") << "\n" << text;
    return result.rules;
}

Rule onlyRule(const std::string& text) {
    auto rules = parse(text);
    if (rules.size() != 1) {
        ADD_FAILURE() << "expected one rule in\n" << text;
        return {};
    }
    return rules[0];
}

std::string join(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& i : items) out += (out.empty() ? "" : "|") + i;
    return out;
}

TEST(YagoOutput, StringValuesAndModifiersAsWritten) {
    struct Case {
        const char* declaration;
        StringType type;
        const char* value;
        const char* modifiers;  // joined with |
    };
    const Case cases[] = {
        // Hex strings lose every white space and comment, nothing else.
        {R"($a = { 4D 5A [2-4] ( 41 | 42 ) // c
            })", StringType::Hex, "{4D5A[2-4](41|42)}", ""},
        {"$a = { 4d  5A\t?? 4? ?a }", StringType::Hex, "{4d5A??4??a}", ""},
        {"$a = { 41 [ 2 - 4 ] 42 [ - ] 43 [3 -] 44 [ 5 ] 45 }", StringType::Hex, "{41[2-4]42[-]43[3-]44[5]45}", ""},
        {"$a = { 41 ( 42 ( 43 | 44 ) | 45 [1-2] 46 ) 47 }", StringType::Hex, "{41(42(43|44)|45[1-2]46)47}", ""},
        {"$a = { 41 /* } | ( */ 42 // ) }\n 43 }", StringType::Hex, "{414243}", ""},
        {"$a = {41} private", StringType::Hex, "{41}", "private"},
        // Text strings keep their escapes and inner white space.
        {R"($a = "a \"b\" \\ \x41\n  c")", StringType::Text, R"(a \"b\" \\ \x41\n  c)", ""},
        {"$a = \"x\" xor ( 0x01 - 0xff ) wide", StringType::Text, "x", "xor(0x01-0xff)|wide"},
        {"$a = \"x\" xor(3) ascii", StringType::Text, "x", "xor(3)|ascii"},
        {"$a = \"x\" xor nocase", StringType::Text, "x", "xor|nocase"},
        {R"($a = "x" base64 ( "ab\"c" ) base64wide)", StringType::Text, "x", R"(base64("ab\"c")|base64wide)"},
        {R"($a = "x" base64wide("  spaced  "))", StringType::Text, "x", R"(base64wide("  spaced  "))"},
        {"$a = \"x\" /* c */ fullword // c\n private", StringType::Text, "x", "fullword|private"},
        // Regular expressions keep slashes, flags, braces and escapes.
        {R"($a = /a\/b{2,3}[}]  c/is nocase)", StringType::Regex, R"(/a\/b{2,3}[}]  c/is)", "nocase"},
        {R"($a = /x"y/i wide ascii)", StringType::Regex, R"(/x"y/i)", "wide|ascii"},
        {"$a = /abc/iwide", StringType::Regex, "/abc/i", "wide"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.declaration);
        const auto rule = onlyRule(std::string("rule r { strings: ") + c.declaration + " condition: any of them }");
        ASSERT_EQ(rule.strings.size(), 1u);
        EXPECT_EQ(rule.strings[0].name, "$a");
        EXPECT_EQ(rule.strings[0].type, c.type);
        EXPECT_EQ(rule.strings[0].value, c.value);
        EXPECT_EQ(join(rule.strings[0].modifiers), c.modifiers);
    }
}

TEST(YagoOutput, MetaValuesAsText) {
    const std::pair<const char*, const char*> cases[] = {
        {"0x10", "16"},
        {"-5", "-5"},
        {"- 0x10", "-16"},
        {"-0", "0"},
        {"1KB", "1024"},
        {"2MB", "2097152"},
        {"0o17", "15"},
        {"007", "7"},
        {"9223372036854775807", "9223372036854775807"},
        {"-9223372036854775807", "-9223372036854775807"},
        {"true", "true"},
        {"false", "false"},
        {R"("with \"escapes\" \x41\\")", R"(with \"escapes\" \x41\\)"},
        {R"("")", ""},
        {R"("  inner   space ")", "  inner   space "},
    };
    for (const auto& [written, expected] : cases) {
        SCOPED_TRACE(written);
        const auto rule = onlyRule(std::string("rule r { meta: k = ") + written + " condition: true }");
        ASSERT_EQ(rule.meta.size(), 1u);
        EXPECT_EQ(rule.meta[0].first, "k");
        EXPECT_EQ(rule.meta[0].second, expected);
    }
}

TEST(YagoOutput, RepeatedMetaKeyKeepsItsFirstPlaceAndLastValue) {
    const auto rule = onlyRule(R"(rule r { meta: a = "1" b = "2" a = "3" c = 4 condition: true })");
    const std::vector<std::pair<std::string, std::string>> expected{{"a", "3"}, {"b", "2"}, {"c", "4"}};
    EXPECT_EQ(rule.meta, expected);

    // Past the point where keys are looked up in a map, the same holds.
    std::string many = "rule r { meta: ";
    for (int i = 0; i < 40; ++i) many += "k" + std::to_string(i) + " = " + std::to_string(i) + " ";
    many += "k3 = \"again\" k39 = \"last\" k40 = 40 condition: true }";
    const auto big = onlyRule(many);
    ASSERT_EQ(big.meta.size(), 41u);
    EXPECT_EQ(big.meta[3], (std::pair<std::string, std::string>{"k3", "again"}));
    EXPECT_EQ(big.meta[39], (std::pair<std::string, std::string>{"k39", "last"}));
    EXPECT_EQ(big.meta[40].first, "k40");
}

TEST(YagoOutput, ConditionFoldsWhiteSpaceButNotLiterals) {
    const std::pair<const char*, const char*> cases[] = {
        {"  true  ", "true"},
        {"$a\n\tand\r\n   $b", "$a and $b"},
        {"$a /* one */ and // two\n $b", "$a and $b"},
        {"$a/**/and$b", "$a and$b"},  // a comment separates like white space
        {R"("a  b" == "a  b")", R"("a  b" == "a  b")"},
        {R"("}" contains "{ }" and "\"}" == "x")", R"("}" contains "{ }" and "\"}" == "x")"},
        {"\"x\" matches /a  }\\/ {2}/is", "\"x\" matches /a  }\\/ {2}/is"},
        {"\"a /* not a comment */ b\" == \"// nor this\"", "\"a /* not a comment */ b\" == \"// nor this\""},
        {"filesize\\2>1", "filesize\\2>1"},
        {"for any i in ( 1 .. #a ) : ( @a[i] > 0 )", "for any i in ( 1 .. #a ) : ( @a[i] > 0 )"},
        {"pe.sections[0].name==\".text\"", "pe.sections[0].name==\".text\""},
    };
    for (const auto& [written, expected] : cases) {
        SCOPED_TRACE(written);
        EXPECT_EQ(onlyRule(std::string("rule r { condition: ") + written + "}").condition, expected);
    }
}

TEST(YagoOutput, RuleHeader) {
    const auto rules = parse(R"(
        import "pe"
        rule plain { condition: true }
        global private rule both : t1 t2 { condition: true }
        private private rule twice { condition: true }
        rule include : include { condition: true }
    )");
    ASSERT_EQ(rules.size(), 4u);
    EXPECT_EQ(rules[0].name, "plain");
    EXPECT_FALSE(rules[0].isPrivate || rules[0].isGlobal);
    EXPECT_TRUE(rules[1].tags.size() == 2 && rules[1].tags[0] == "t1" && rules[1].tags[1] == "t2");
    EXPECT_TRUE(rules[1].isPrivate && rules[1].isGlobal);
    EXPECT_TRUE(rules[2].isPrivate && !rules[2].isGlobal);
    // "include" begins an include statement only where a file name follows it.
    EXPECT_EQ(rules[3].name, "include");
    EXPECT_EQ(rules[3].tags, std::vector<std::string>{"include"});
}

TEST(YagoOutput, IncludedRulesStandWhereTheIncludeIs) {
    const auto includes = memoryFiles({
        {"first.yar", "rule F1 { condition: true } include \"nested.yar\" rule F2 { condition: true }"},
        {"nested.yar", "rule N { condition: true }"},
        {"empty.yar", "// nothing but a comment"},
    });
    const auto rules = parse(R"(rule A { condition: true }
        include "first.yar"
        rule B { condition: true }
        include "empty.yar"
        rule C { condition: true })",
                             includes);
    std::vector<std::string> names;
    for (const auto& r : rules) names.push_back(r.name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "F1", "N", "F2", "B", "C"}));
}

TEST(YagoOutput, TheDocumentExactly) {
    const auto rules = parse(R"(private rule Demo : t1 {
        meta: description = "x"
        strings: $a = "abc" ascii wide
        condition: $a
    } rule Empty { condition: true })");
    EXPECT_EQ(yago::renderDocument(rules),
              R"({"ruleset":[{"rules":[)"
              R"({"name":"Demo","tags":["t1"],"private":true,"global":false,"meta":{"description":"x"},)"
              R"("strings":[{"name":"$a","type":1,"value":"abc","modifers":["ascii","wide"]}],"condition":"$a"},)"
              R"({"name":"Empty","tags":[],"private":false,"global":false,"meta":{},"strings":[],"condition":"true"})"
              "]}]}\n");
    EXPECT_EQ(yago::renderDocument({}), "{\"ruleset\":[{\"rules\":[]}]}\n");
}

TEST(YagoOutput, BytesThatAreNoUtf8BecomeEscapesWithTheSameMeaning) {
    const struct {
        std::string literal, expected;
    } cases[] = {
        {"caf\xE9", "caf\\xE9"},
        {"Z\xC3\xBCrich \xE2\x82\xAC", "Z\xC3\xBCrich \xE2\x82\xAC"},  // valid UTF-8 stays
        {"\xC3", "\\xC3"},                                              // cut-off sequence
        {"\xC0\xAF", "\\xC0\\xAF"},                                     // overlong
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},                            // surrogate
        {"\xF4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},                   // above U+10FFFF
        {"/a\\\xE9/", "/a\\xE9/"},                                      // an escaped byte in a regex
        {"/a\\\\\xE9/", "/a\\\\\\xE9/"},                                // after an escaped backslash
    };
    for (const auto& c : cases) {
        std::string out;
        yago::appendLiteral(out, c.literal);
        EXPECT_EQ(out, c.expected) << c.literal;
    }

    // Whole rules: the document parses as JSON, and the values are as above.
    const auto rules = parse("rule r { meta: m = \"Ren\xE9\" strings: $a = \"\xFF\xFE\" $b = /\\\xE9x/ "
                             "condition: $a and \"\xE9\" == \"\xE9\" }");
    const auto document = nlohmann::json::parse(yago::renderDocument(rules));
    const auto& rule = document["ruleset"][0]["rules"][0];
    EXPECT_EQ(rule["meta"]["m"], "Ren\\xE9");
    EXPECT_EQ(rule["strings"][0]["value"], "\\xFF\\xFE");
    EXPECT_EQ(rule["strings"][1]["value"], "/\\xE9x/");
    EXPECT_EQ(rule["condition"], "$a and \"\\xE9\" == \"\\xE9\"");
}

TEST(YagoOutput, JsonStringsEscapeControlsAndReplaceStrayBytes) {
    std::string out;
    yago::appendJsonString(out, std::string("a\"b\\c\n\t\x01\x7f\0z\xE9\xC3\xBC", 14));
    EXPECT_EQ(out, std::string("\"a\\\"b\\\\c\\n\\t\\u0001\x7f\\u0000z\xEF\xBF\xBD\xC3\xBC\""));
    EXPECT_TRUE(nlohmann::json::accept(out));
}

}  // namespace
}  // namespace tarnwick
