#include "platform/PropertyList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarnwick {
namespace {

using Dict = PlistValue::Dictionary;
using Array = PlistValue::Array;

std::string fromBase64(std::string_view text) {
    static const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    uint32_t buffer = 0;
    int bits = 0;
    for (char c : text) {
        const auto value = alphabet.find(c);
        if (value == std::string::npos) continue;  // padding
        buffer = (buffer << 6) | static_cast<uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<char>((buffer >> bits) & 0xFF));
        }
    }
    return out;
}

// XML of `levels` arrays, each holding the next.
std::string nestedXml(int levels) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    for (int i = 0; i < levels; ++i) xml += "<array>";
    for (int i = 0; i < levels; ++i) xml += "</array>";
    return xml + "</plist>\n";
}

// A binary list of `levels` arrays written by hand: object i holds `refs` references to object
// i + 1 (the last is empty). With `cycle`, the last refers back to the first instead.
std::string nestedBinary(uint32_t levels, uint32_t refs = 1, bool cycle = false) {
    std::string bytes = "bplist00";
    const auto put = [&bytes](uint64_t value, int width) {
        for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
    };
    std::vector<uint64_t> offsets;
    for (uint32_t i = 0; i < levels; ++i) {
        offsets.push_back(bytes.size());
        const bool last = i + 1 == levels;
        if (last && !cycle) {
            bytes.push_back(static_cast<char>(0xA0));
            continue;
        }
        bytes.push_back(static_cast<char>(0xA0 | refs));
        for (uint32_t r = 0; r < refs; ++r) put(last ? 0 : i + 1, 4);
    }
    const uint64_t table = bytes.size();
    for (uint64_t offset : offsets) put(offset, 4);
    bytes.append(6, '\0');
    bytes.push_back(4);  // offset size
    bytes.push_back(4);  // reference size
    put(levels, 8);      // object count
    put(0, 8);           // top object
    put(table, 8);
    return bytes;
}

TEST(PropertyList, XmlAndBinaryKeepEveryTypeAndTheKeyOrder) {
    const PlistValue value = Dict{
        {"zeta", "first key written"},
        {"Name", "Zoë — 日本"},
        {"Count", int64_t{-42}},
        {"Big", std::numeric_limits<int64_t>::max()},
        {"Ratio", 0.25},
        {"Enabled", true},
        {"When", PlistValue::Date{600000000.0}},
        {"Blob", PlistValue::Data{std::string("\x00\x01\xff", 3)}},
        {"List", Array{"a", int64_t{1}, Dict{{"inner", false}}}},
        {"Empty", Dict{}},
    };
    for (const auto& [format, bytes] : {std::pair{"xml", plist::toXml(value)}, std::pair{"binary", plist::toBinary(value)}}) {
        SCOPED_TRACE(format);
        const auto parsed = plist::parse(bytes);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(*parsed, value);
        EXPECT_EQ(parsed->asDictionary()->front().first, "zeta");
    }
}

TEST(PropertyList, TypedLookupsAnswerAbsentForMissingKeysAndOtherTypes) {
    const PlistValue dict = Dict{{"text", "1"}, {"number", int64_t{1}}, {"flag", true}, {"list", Array{}}, {"map", Dict{}}};
    EXPECT_EQ(dict.stringAt("text"), "1");
    EXPECT_EQ(dict.integerAt("number"), 1);
    EXPECT_EQ(dict.booleanAt("flag"), true);
    EXPECT_NE(dict.arrayAt("list"), nullptr);
    EXPECT_NE(dict.dictionaryAt("map"), nullptr);

    EXPECT_FALSE(dict.stringAt("number"));
    EXPECT_FALSE(dict.integerAt("text"));
    EXPECT_FALSE(dict.integerAt("flag"));  // a boolean is no integer
    EXPECT_FALSE(dict.booleanAt("number"));
    EXPECT_EQ(dict.arrayAt("map"), nullptr);
    EXPECT_EQ(dict.dictionaryAt("list"), nullptr);
    EXPECT_FALSE(dict.stringAt("missing"));

    const PlistValue notADictionary = Array{"text"};
    EXPECT_EQ(notADictionary.find("text"), nullptr);
    EXPECT_FALSE(notADictionary.stringAt("text"));
}

TEST(PropertyList, WholeNumbersAreIntegersOrRealsWithoutFraction) {
    const struct {
        PlistValue value;
        std::optional<int64_t> expected;
    } cases[] = {
        {int64_t{2158}, 2158},
        {2158.0, 2158},
        {-3.0, -3},
        {2158.5, std::nullopt},
        {std::nan(""), std::nullopt},
        {std::numeric_limits<double>::infinity(), std::nullopt},
        {9223372036854775808.0, std::nullopt},  // 2^63: one past the integer range
        {-9223372036854775808.0, std::numeric_limits<int64_t>::min()},
        {"2158", std::nullopt},
        {true, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(plist::toXml(c.value));
        EXPECT_EQ(c.value.asWholeNumber(), c.expected);
    }
}

// Every one of these once crashed or would crash a reader that trusted libplist with it; each
// must come back absent.
TEST(PropertyList, HostileOrBrokenBytesAreRefused) {
    std::string truncated = plist::toBinary(Dict{{"Version", int64_t{2158}}, {"Name", "XProtect"}});
    truncated.resize(truncated.size() / 2);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"not a property list", "hello, world"},
        {"binary header alone", "bplist00"},
        {"truncated binary", truncated},
        {"unterminated XML", "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>a</key>"},
        {"XML holding a NUL byte", std::string("<plist version=\"1.0\"><string>a\0b</string></plist>", 48)},
        // libplist asserts (and aborts) when asked for a UTF-16 text that holds U+0000.
        {"binary UTF-16 string with U+0000", fromBase64("YnBsaXN0MDDRAQJRa2IA6QAACAsNAAAAAAAAAQEAAAAAAAAAAwAAAAAAAAAAAAAAAAAAABI=")},
        {"binary array holding itself", nestedBinary(3, 1, true)},
        {"XML nested past the limit", nestedXml(258)},
        {"binary nested past the limit", nestedBinary(258)},
        // libplist recurses without bound: these overflowed the stack inside the library.
        {"XML nested a million deep", nestedXml(1'000'000)},
        {"binary nested 300,000 deep", nestedBinary(300'000)},
        // 60 objects, each array referring twice to the next: a tree of 2^60 nodes.
        {"binary arrays that each refer twice to the next", nestedBinary(60, 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(plist::parse(c.bytes));
    }
}

TEST(PropertyList, NestingUpToTheLimitIsRead) {
    EXPECT_TRUE(plist::parse(nestedXml(257)));
    EXPECT_TRUE(plist::parse(nestedBinary(257)));
}

TEST(PropertyList, SharedTextsInABinaryListAreRead) {
    // Writers store an equal text once and refer to it from every place that holds it.
    const PlistValue value = Array(5000, Dict{{"Name", "same"}, {"Version", "same"}});
    const auto parsed = plist::parse(plist::toBinary(value));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, value);
}

}  // namespace
}  // namespace tarnwick
