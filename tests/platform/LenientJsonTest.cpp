#include "platform/LenientJson.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using json::Json;

constexpr int64_t int64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t int64Min = std::numeric_limits<int64_t>::min();

const Json& document() {
    static const Json doc = *json::parse(R"({
        "null": null,
        "word": "abc",
        "digits": "42",
        "leading": "  17 apples",
        "negativeText": "-3.9",
        "hexText": "0x10",
        "infText": "inf",
        "nanText": "nan",
        "minusInfText": "-infinity",
        "plusText": "+5",
        "int": 2103,
        "negative": -7,
        "unsigned": 18446744073709551615,
        "real": 3.9,
        "negativeReal": -3.9,
        "wholeReal": 2158.0,
        "hugeReal": 1e300,
        "tinyReal": -1e300,
        "yes": true,
        "no": false,
        "array": [1, 2],
        "object": {"inner": {"Version": 114, "Date": "2019-01-01"}}
    })");
    return doc;
}

struct Case {
    const char* what;
    std::vector<std::string_view> path;
    std::string text;
    int64_t integer;
};

TEST(LenientJson, ReadsEveryKindOfValueAsTextAndInteger) {
    const std::vector<Case> cases = {
        {"missing member", {"nope"}, "", 0},
        {"null", {"null"}, "", 0},
        {"plain text", {"word"}, "abc", 0},
        {"text of digits", {"digits"}, "42", 42},
        {"text with a leading number", {"leading"}, "  17 apples", 17},
        {"text of a negative real", {"negativeText"}, "-3.9", -3},
        {"text in hexadecimal is no decimal number", {"hexText"}, "0x10", 0},
        {"text inf is no decimal number", {"infText"}, "inf", 0},
        {"text nan is no decimal number", {"nanText"}, "nan", 0},
        {"text -infinity is no decimal number", {"minusInfText"}, "-infinity", 0},
        {"text with a plus sign", {"plusText"}, "+5", 5},
        {"integer", {"int"}, "2103", 2103},
        {"negative integer", {"negative"}, "-7", -7},
        {"unsigned beyond the signed range", {"unsigned"}, "18446744073709551615", int64Max},
        {"real is truncated", {"real"}, "3.9", 3},
        {"negative real truncates toward zero", {"negativeReal"}, "-3.9", -3},
        {"whole real reads as its integer text", {"wholeReal"}, "2158", 2158},
        {"real above the range is held at the top", {"hugeReal"}, "1e+300", int64Max},
        {"real below the range is held at the bottom", {"tinyReal"}, "-1e+300", int64Min},
        {"true", {"yes"}, "true", 1},
        {"false", {"no"}, "false", 0},
        {"array", {"array"}, "", 0},
        {"object", {"object"}, "", 0},
        {"nested path", {"object", "inner", "Version"}, "114", 114},
        {"nested text", {"object", "inner", "Date"}, "2019-01-01", 2019},
        {"missing step in a nested path", {"object", "nope", "Version"}, "", 0},
        {"step through text", {"word", "inner"}, "", 0},
        {"step through an array", {"array", "0"}, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // at() takes an initializer list; rebuild the path from the table by walking it.
        const Json* value = &document();
        for (std::string_view key : c.path) {
            value = value ? json::at(*value, {key}) : nullptr;
        }
        EXPECT_EQ(json::text(value), c.text);
        EXPECT_EQ(json::integer(value), c.integer);
    }
}

TEST(LenientJson, PathOverloadsWalkTheWholePath) {
    const Json& doc = document();
    EXPECT_EQ(json::text(doc, {"object", "inner", "Date"}), "2019-01-01");
    EXPECT_EQ(json::integer(doc, {"object", "inner", "Version"}), 114);
    EXPECT_EQ(json::text(doc, {"object", "inner", "Missing"}), "");
    EXPECT_EQ(json::integer(doc, {"word", "deeper"}), 0);
    EXPECT_EQ(json::at(doc, {}), &doc);
    EXPECT_EQ(json::at(doc, {"object", "inner"}), &doc["object"]["inner"]);
    EXPECT_EQ(json::at(Json::array({1}), {"0"}), nullptr);
}

TEST(LenientJson, ParseAnswersAbsentInsteadOfThrowing) {
    const struct {
        const char* what;
        std::string text;
        bool parses;
    } cases[] = {
        {"object", R"({"a": 1})", true},
        {"bare number", "12", true},
        {"empty text", "", false},
        {"truncated object", R"({"a": )", false},
        {"trailing garbage", R"({"a": 1} x)", false},
        {"HTML error page", "<html><body>404</body></html>", false},
        {"invalid UTF-8 in a string", "\"\xff\"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<Json> value;
        EXPECT_NO_THROW(value = json::parse(c.text));
        EXPECT_EQ(value.has_value(), c.parses);
    }
}

}  // namespace
}  // namespace tarnwick
