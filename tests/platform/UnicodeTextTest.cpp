#include "platform/UnicodeText.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwick {
namespace {

TEST(UnicodeText, LowercaseIsFullUnicodeLowerCasing) {
    const struct {
        const char* what;
        std::string text;
        std::string lower;
    } cases[] = {
        {"ASCII", "HeLLo World 42", "hello world 42"},
        {"umlauts", "ÄÖÜ", "äöü"},
        {"ASCII beside non-ASCII", "XProtect ÄRGER", "xprotect ärger"},
        {"dotted capital I becomes i and a combining dot", "İ", "i\xCC\x87"},
        {"dotless small i stays", "ı", "ı"},
        {"sigma at the end of a word is final", "ΟΔΟΣ", "οδος"},
        {"sigma inside a word is not", "ΣΑΣ ΟΣΑ", "σας οσα"},
        {"sharp s stays one letter", "STRAßE", "straße"},
        {"capital sharp s", "ẞ", "ß"},
        {"Cyrillic", "ПРИВЕТ", "привет"},
        {"letters outside the basic plane", "\xF0\x90\x90\x80", "\xF0\x90\x90\xA8"},  // Deseret
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(unicode::lowercase(c.text), c.lower);
    }
}

TEST(UnicodeText, ContainsIgnoringCaseLowercasesBothSides) {
    const struct {
        std::string haystack;
        std::string needle;
        bool contains;
    } cases[] = {
        {"Adobe Flash Player", "FLASH", true},
        {"ÜBER ALLES", "über", true},
        {"über alles", "ÜBER", true},
        {"ΟΔΟΣ", "οδος", true},
        {"Java Plugin", "javascript", false},
        // Lower-casing does not fold ß to ss, nor drop the dot that İ brings.
        {"Straße", "STRASSE", false},
        {"İstanbul", "istanbul", false},
        {"anything", "", true},
        {"", "a", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.haystack + " / " + c.needle);
        EXPECT_EQ(unicode::containsIgnoringCase(c.haystack, c.needle), c.contains);
    }
}

int sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

TEST(UnicodeText, CompareUsesByteOrderForAsciiAndCollationOtherwise) {
    const struct {
        const char* what;
        std::string a;
        std::string b;
        int order;
    } cases[] = {
        {"equal ASCII", "XProtect", "XProtect", 0},
        {"ASCII upper case before lower case", "Zebra", "apple", -1},
        {"ASCII byte order, not dictionary order", "a", "B", 1},
        {"ASCII prefix first", "ab", "abc", -1},
        {"equal non-ASCII", "Äpfel", "Äpfel", 0},
        {"accented letter among its base letters", "é", "f", -1},
        {"umlaut sorts with A, not after Z", "Zebra", "Äpfel", 1},
        {"one side non-ASCII switches both to collation", "B", "ä", 1},
        {"accents come after the plain letter", "a", "ä", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(unicode::compare(c.a, c.b), c.order);
        EXPECT_EQ(unicode::compare(c.b, c.a), -c.order);
        EXPECT_EQ(sign(unicode::compare(c.a, c.b)), unicode::compare(c.a, c.b)) << "answers -1, 0 or 1";
    }
}

TEST(UnicodeText, InvalidBytesAreFoundAndReplaced) {
    const std::string replacement = "\xEF\xBF\xBD";
    const struct {
        const char* what;
        std::string bytes;
        bool valid;
        std::string repaired;
    } cases[] = {
        {"empty", "", true, ""},
        {"ASCII", "abc", true, "abc"},
        {"two-byte letters", "Ä ö", true, "Ä ö"},
        {"four-byte character", "\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},
        {"embedded NUL", std::string("a\0b", 3), true, std::string("a\0b", 3)},
        {"byte FF between letters", "a\xff" "b", false, "a" + replacement + "b"},
        {"lone continuation byte", "\x80", false, replacement},
        {"sequence cut short at the end", "ok\xE2\x82", false, "ok" + replacement},
        {"overlong slash", "\xC0\xAF", false, replacement + replacement},
        {"UTF-16 surrogate", "\xED\xA0\x80", false, replacement + replacement + replacement},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", false, replacement + replacement + replacement + replacement},
        {"Latin-1 text", "Stra\xDF" "e", false, "Stra" + replacement + "e"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(unicode::isValidUtf8(c.bytes), c.valid);
        const std::string repaired = unicode::repairUtf8(c.bytes);
        EXPECT_EQ(repaired, c.repaired);
        EXPECT_TRUE(unicode::isValidUtf8(repaired));
    }
}

}  // namespace
}  // namespace tarnwick
