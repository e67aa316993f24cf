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
    dir.write("rules/common/base.yar", "private rule Base { condition: filesize > 0 }\n");
    const auto main = dir.write("rules/main.yar", "include \"common/base.yar\"\nrule Main { condition: Base }\n");
    const Validation v = validate(main.string());
    EXPECT_TRUE(v.ok);
    EXPECT_TRUE(v.errors.empty()) << v.errors.front();
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
