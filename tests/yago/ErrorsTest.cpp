// Files the converter refuses: where it says the fault is, and what the executable does then.
#include "yago/Parser.h"
#include "yago/YagoRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwick {
namespace {

using yago::Source;

TEST(YagoErrors, BrokenStructureIsRefusedAtTheFault) {
    struct Case {
        const char* what;
        std::string text;
        size_t line, column;
        const char* message;  // the start of the message
    };
    const Case cases[] = {
        {"unterminated string", "rule r {\n strings: $a = \"abc\n condition: $a }", 2, 16, "unterminated string"},
        {"string cut by the end", "rule r { strings: $a = \"abc\\", 1, 24, "unterminated string"},
        {"illegal escape", R"(rule r { strings: $a = "a\qb" condition: $a })", 1, 26, "illegal escape sequence"},
        {"short hex escape", R"(rule r { strings: $a = "\x4" condition: $a })", 1, 25, "illegal escape sequence"},
        {"unterminated comment", "rule r { condition: true }\n/* never closed", 2, 1, "unterminated comment"},
        {"unterminated comment in a rule", "rule r { /* condition: true }", 1, 10, "unterminated comment"},
        {"unterminated comment in hex", "rule r { strings: $a = { 41 /* 42 } condition: $a }", 1, 29,
         "unterminated comment"},
        {"unterminated hex", "rule r { strings: $a = { 41 42", 1, 24, "unterminated hex string"},
        {"unterminated regex", "rule r { strings: $a = /abc\n/ condition: $a }", 1, 24,
         "unterminated regular expression"},
        {"regex cut after a backslash", "rule r { strings: $a = /abc\\", 1, 24, "unterminated regular expression"},
        {"missing brace at the end", "rule r { condition: true", 1, 25, "missing '}' at the end of rule 'r'"},
        {"missing brace before a rule", "rule r { condition: true\nrule s { condition: true }", 2, 1,
         "missing '}' at the end of rule 'r'"},
        {"missing brace before strings", "rule r { condition: true\n strings: $a = \"x\" }", 2, 2, "missing '}'"},
        {"empty condition", "rule r { condition: }", 1, 21, "empty condition"},
        {"no condition", "rule r { strings: $a = \"x\" }", 1, 28, "expected 'condition'"},
        {"empty meta section", "rule r { meta: condition: true }", 1, 16, "expected a meta identifier"},
        {"empty strings section", "rule r { strings: condition: true }", 1, 19, "expected a string identifier"},
        {"sections out of order", "rule r { strings: $a = \"x\" meta: a = 1 condition: $a }", 1, 28,
         "expected 'condition'"},
        {"unbalanced parenthesis", "rule r { condition: (true }", 1, 27, "missing ')' in condition"},
        {"stray parenthesis", "rule r { condition: true) }", 1, 25, "unbalanced ')' in condition"},
        {"crossed brackets", "rule r { condition: @a[(1]) }", 1, 26, "unbalanced ']' in condition"},
        {"brace in a condition", "rule r { condition: { 41 } }", 1, 21, "unexpected '{' in condition"},
        {"keyword as rule name", "rule condition { condition: true }", 1, 6, "expected a rule name, not a keyword"},
        {"keyword as tag", "rule r : all { condition: true }", 1, 10, "expected a tag, not a keyword"},
        {"colon without tags", "rule r : { condition: true }", 1, 10, "expected a tag after ':'"},
        {"name too long", "rule " + std::string(129, 'n') + " { condition: true }", 1, 6,
         "identifier longer than 128 characters"},
        {"integer overflow", "rule r { meta: a = 9223372036854775808 condition: true }", 1, 20, "integer overflow"},
        {"hex overflow", "rule r { condition: 0x8000000000000000 }", 1, 21, "integer overflow"},
        {"kilobyte overflow", "rule r { condition: 9007199254740992KB > 1 }", 1, 21, "integer overflow"},
        {"upper-case hex prefix", "rule r { meta: a = 0X10 condition: true }", 1, 25,
         "expected '=' after the meta identifier"},
        {"meta value of a wrong kind", "rule r { meta: a = b condition: true }", 1, 20, "expected a meta value"},
        {"odd hex digits", "rule r { strings: $a = { 414 } condition: $a }", 1, 28,
         "uneven number of digits in hex string"},
        {"split hex byte", "rule r { strings: $a = { 4 1 } condition: $a }", 1, 26,
         "uneven number of digits in hex string"},
        {"empty hex", "rule r { strings: $a = { } condition: $a }", 1, 26, "empty hex string"},
        {"hex beginning with a jump", "rule r { strings: $a = { [2] 41 } condition: $a }", 1, 26, "a hex string or"},
        {"hex ending with a jump", "rule r { strings: $a = { 41 [2] } condition: $a }", 1, 33, "a hex string or"},
        {"empty alternative", "rule r { strings: $a = { 41 ( | 42 ) } condition: $a }", 1, 31, "empty alternative"},
        {"unclosed alternative", "rule r { strings: $a = { 41 ( 42 } condition: $a }", 1, 34, "missing ')'"},
        {"bar outside an alternative", "rule r { strings: $a = { 41 | 42 } condition: $a }", 1, 29, "'|' outside"},
        {"reversed jump", "rule r { strings: $a = { 41 [4-2] 42 } condition: $a }", 1, 29, "invalid jump range"},
        {"jump with a hex number", "rule r { strings: $a = { 41 [0x4] 42 } condition: $a }", 1, 31,
         "invalid character 'x' in hex string jump"},
        {"unbounded jump in an alternative", "rule r { strings: $a = { 41 ( 42 [2-] 43 | 44 ) } condition: $a }",
         1, 34, "unbounded jump inside an alternative"},
        {"letter in hex", "rule r { strings: $a = { 41 G2 } condition: $a }", 1, 29, "invalid character 'G'"},
        {"modifier on hex", "rule r { strings: $a = { 41 } nocase condition: $a }", 1, 31,
         "modifier not allowed on hex strings"},
        {"xor on a regex", "rule r { strings: $a = /a/ xor condition: $a }", 1, 28,
         "modifier not allowed on regular expressions"},
        {"modifier twice", "rule r { strings: $a = \"x\" wide wide condition: $a }", 1, 33, "modifier written twice"},
        {"xor twice", "rule r { strings: $a = \"x\" xor xor(1) condition: $a }", 1, 32, "modifier written twice"},
        {"xor without a number", "rule r { strings: $a = \"x\" xor() condition: $a }", 1, 32, "expected a number"},
        {"base64 without a text", "rule r { strings: $a = \"x\" base64(1) condition: $a }", 1, 35,
         "expected an alphabet"},
        {"empty text string", "rule r { strings: $a = \"\" condition: $a }", 1, 24, "empty text string"},
        {"wildcard declared", "rule r { strings: $a* = \"x\" condition: $a* }", 1, 19, "a string identifier cannot"},
        {"string without value", "rule r { strings: $a = condition: $a }", 1, 24, "expected a text string"},
        {"non-ASCII outside strings", "rule r\xC3\xA9 { condition: true }", 1, 7, "non-ASCII character"},
        {"byte order mark", "\xEF\xBB\xBFrule r { condition: true }", 1, 1, "non-ASCII character"},
        {"unexpected character", "rule r { condition: true ? }", 1, 26, "unexpected character '?'"},
        {"control character", "rule r {\f condition: true }", 1, 9, "unexpected character byte 0x0C"},
        {"junk between rules", "rule r { condition: true } junk", 1, 28, "expected a rule"},
        {"import without a name", "import pe\nrule r { condition: true }", 1, 8, "expected a module name"},
        {"include without a name", "include\nrule r { condition: true }", 2, 1, "expected a file name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto result = yago::parseSource(Source{"bad.yar", "bad.yar", c.text}, nullptr);
        ASSERT_FALSE(result.ok());
        EXPECT_TRUE(result.rules.empty());
        EXPECT_EQ(result.error->file, "bad.yar");
        EXPECT_EQ(result.error->line, c.line);
        EXPECT_EQ(result.error->column, c.column);
        EXPECT_EQ(result.error->message.rfind(c.message, 0), 0u) << result.error->message;
    }
}

TEST(YagoErrors, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    // Far deeper than any rule needs, and deeper than a recursive parser could take.
    const std::string open(200000, '('), close(200000, ')');
    const auto hex = yago::parseSource(
        Source{"deep.yar", "deep.yar", "rule r { strings: $a = { 41 " + open + "42" + close + " } condition: $a }"},
        nullptr);
    ASSERT_FALSE(hex.ok());
    EXPECT_EQ(hex.error->message, "hex string alternatives nested too deeply");

    // Conditions are only checked for balance, so depth costs nothing but memory.
    const auto condition =
        yago::parseSource(Source{"deep.yar", "deep.yar", "rule r { condition: " + open + "true" + close + " }"}, nullptr);
    EXPECT_TRUE(condition.ok());
    const auto unbalanced =
        yago::parseSource(Source{"deep.yar", "deep.yar", "rule r { condition: " + open + "true }"}, nullptr);
    EXPECT_FALSE(unbalanced.ok());
}

TEST(YagoErrors, IncludeFaultsAreReportedAtTheInclude) {
    test::TempDir dir;
    dir.write("cycle/a.yar", "rule A { condition: true }\ninclude \"b.yar\"\n");
    dir.write("cycle/b.yar", "rule B { condition: true }\n  include \"../cycle/a.yar\"\n");
    dir.write("self.yar", "include \"self.yar\"\n");
    dir.write("missing.yar", "rule M { condition: true }\ninclude \"sub/none.yar\"\n");
    dir.write("bad/outer.yar", "include \"inner.yar\"\n");
    dir.write("bad/inner.yar", "rule I {\n condition: \"x }\n");
    for (int i = 0; i < 20; ++i)
        dir.write("chain/" + std::to_string(i) + ".yar", "include \"" + std::to_string(i + 1) + ".yar\"\n");
    dir.write("chain/20.yar", "rule End { condition: true }\n");

    const struct {
        std::string file, expected;
    } cases[] = {
        {"cycle/a.yar", (dir / "cycle/b.yar").string() + ":2:11: include cycle: \"../cycle/a.yar\" is already being read"},
        {"self.yar", (dir / "self.yar").string() + ":1:9: include cycle: \"self.yar\" is already being read"},
        {"missing.yar", (dir / "missing.yar").string() + ":2:9: cannot open included file \"sub/none.yar\": no such file"},
        {"bad/outer.yar", (dir / "bad/inner.yar").string() + ":2:13: unterminated string"},
        {"chain/0.yar", (dir / "chain/15.yar").string() + ":1:9: includes nested more than 16 deep"},
        {"chain/4.yar", (dir / "chain/19.yar").string() + ":1:9: includes nested more than 16 deep"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto result = yago::parseFile((dir / c.file).string());
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error->text(), c.expected);
    }
    // Sixteen levels are allowed, as in the engine.
    EXPECT_TRUE(yago::parseFile((dir / "chain/5.yar").string()).ok());
}

TEST(YagoErrors, ManyIncludesOfOneFileAreCapped) {
    // Ten includes per level, four levels: 11110 includes in all, none of them a cycle.
    test::TempDir dir;
    for (int level = 0; level < 4; ++level) {
        std::string text;
        for (int i = 0; i < 10; ++i) text += "include \"" + std::to_string(level + 1) + ".yar\"\n";
        dir.write(std::to_string(level) + ".yar", text);
    }
    dir.write("4.yar", "// empty\n");
    const auto result = yago::parseFile((dir / "0.yar").string());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->message, "more than 10000 includes in one conversion");
}

TEST(YagoErrors, TheExecutableSaysItOnStandardErrorOnly) {
    test::TempDir dir;
    const auto bad = dir.write("bad.yar", "rule ok { condition: true }\nrule r { strings: $a = \"abc\n condition: $a }\n");
    auto run = test::convert(bad);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, bad.string() + ":2:24: unterminated string\n");

    dir.write("a.yar", "include \"b.yar\"\n");
    dir.write("b.yar", "include \"a.yar\"\n");
    run = test::convert(dir / "a.yar");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, (dir / "b.yar").string() + ":1:9: include cycle: \"a.yar\" is already being read\n");

    run = test::convert(dir / "none.yar");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, (dir / "none.yar").string() + ": cannot read the file: no such file\n");

    run = test::convert(dir.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, dir.path().string() + ": cannot read the file: not a regular file\n");
}

TEST(YagoErrors, WrongArgumentsGiveTheUsage) {
    test::TempDir dir;
    const auto good = dir.write("good.yar", "rule r { condition: true }");
    const std::vector<std::vector<std::string>> calls = {
        {},
        {"fileName", good.string()},
        {good.string()},
        {"file", good.string(), "--validJSON"},
        {"fileName", good.string(), "--json"},
        {"fileName", good.string(), "--validJSON", "extra"},
    };
    for (const auto& args : calls) {
        const auto run = test::runYago(args);
        EXPECT_EQ(run.status, 2) << args.size();
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "usage: yago fileName <rule file> --validJSON\n");
    }
    EXPECT_EQ(test::convert(good).status, 0);
}

}  // namespace
}  // namespace tarnwick
