#include "engine/YaraEngine.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::TempDir;

struct Validation {
    bool ok = false;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
};

Validation validate(const std::string& path) {
    Validation v;
    v.ok = YaraEngine().validateRulesAtPath(path, v.errors, v.warnings);
    return v;
}

TEST(YaraEngine, AcceptsARuleFileAndItsIncludesRelativeToIt) {
    TempDir dir;
    // Each include is found beside the file that includes it; a wrong guess would read the
    // broken file beside the rule file.
    dir.write("rules/common/base.yar", "include \"more.yar\"\nprivate rule Base { condition: More }\n");
    dir.write("rules/common/more.yar", "private rule More { condition: filesize > 0 }\n");
    dir.write("rules/more.yar", "rule { broken\n");
    const auto main = dir.write("rules/main.yar", "include \"common/base.yar\"\nrule Main { condition: Base }\n");
    const Validation v = validate(main.string());
    EXPECT_TRUE(v.ok);
    EXPECT_TRUE(v.errors.empty()) << v.errors.front();
}

TEST(YaraEngine, ErrorsInAnIncludedFileNameItsPath) {
    TempDir dir;
    const auto inner = dir.write("rules/sub/inner.yar", "private rule Inner { condition: true }\n\nrule Bad { condition: $x }\n");
    const auto outer = dir.write("rules/sub/outer.yar", "include \"none.yar\"\ninclude \"inner.yar\"\n");
    const auto main = dir.write("rules/main.yar", "include \"sub/outer.yar\"\n");
    const Validation v = validate(main.string());
    EXPECT_FALSE(v.ok);
    ASSERT_EQ(v.errors.size(), 2u) << v.errors.front();
    EXPECT_EQ(v.errors[0].rfind(outer.string() + ":1: ", 0), 0u) << v.errors[0];
    EXPECT_NE(v.errors[0].find("none.yar"), std::string::npos) << v.errors[0];
    EXPECT_EQ(v.errors[1].rfind(inner.string() + ":3: ", 0), 0u) << v.errors[1];
}

TEST(YaraEngine, ReportsErrorsWithFileAndLine) {
    TempDir dir;
    const auto bad = dir.write("bad.yar", "rule Good { condition: true }\n\nrule Bad { condition: $missing }\n");
    const Validation v = validate(bad.string());
    EXPECT_FALSE(v.ok);
    ASSERT_FALSE(v.errors.empty());
    EXPECT_NE(v.errors[0].find(bad.string() + ":3: "), std::string::npos) << v.errors[0];

    for (const std::string& path : {(dir / "missing.yar").string(), dir.path().string()}) {
        const Validation missing = validate(path);
        EXPECT_FALSE(missing.ok) << path;
        EXPECT_FALSE(missing.errors.empty()) << path;
    }
}

TEST(YaraEngine, WarningsAloneLeaveTheFileUsable) {
    TempDir dir;
    const auto slow = dir.write("slow.yar", "rule Slow { strings: $a = { 00 ?? } condition: $a }\n");
    const Validation v = validate(slow.string());
    EXPECT_TRUE(v.ok);
    EXPECT_TRUE(v.errors.empty());
    EXPECT_FALSE(v.warnings.empty()) << "libyara warns that this string slows scanning";
}

}  // namespace
}  // namespace tarnwick
