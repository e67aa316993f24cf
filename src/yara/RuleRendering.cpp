#include "yara/RuleRendering.h"

#include <cstdint>
#include <vector>

namespace tarnwick {
namespace {

std::string inQuotes(const std::string& text) { return "\"" + text + "\""; }

std::string join(const std::vector<std::string>& pieces, const std::string& separator) {
    std::string out;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i) out += separator;
        out += pieces[i];
    }
    return out;
}

// Replaces `from` wherever it stands outside the condition's text strings ("...") and regular
// expressions (/.../): a break inside a literal would change what the rule matches.
std::string replaceOutsideLiterals(const std::string& text, const std::string& from, const std::string& to) {
    std::string out;
    char literal = 0;  // the quote or slash of the literal we are in
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (literal) {
            out += c;
            if (c == '\\' && i + 1 < text.size()) {
                out += text[i + 1];
                i += 2;
                continue;
            }
            if (c == literal) literal = 0;
            ++i;
        } else if (c == '"' || c == '/') {
            literal = c;
            out += c;
            ++i;
        } else if (text.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// Code points of UTF-8 text: continuation bytes do not count.
size_t characterCount(const std::string& text) {
    size_t count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Bytes decoded one character each (0x80 and above as their Latin-1 characters), leaving out the
// control and format characters (C0, DEL, C1 and the soft hyphen).
std::string readableText(const std::string& bytes) {
    std::string out;
    for (unsigned char b : bytes) {
        if (b < 0x20 || (b >= 0x7F && b <= 0x9F) || b == 0xAD) continue;
        if (b < 0x80) {
            out += static_cast<char>(b);
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

}  // namespace

std::string renderRule(DisplayType display, const YaraRule& rule) {
    std::vector<std::string> pieces;
    if (rule->isPrivate) pieces.push_back("private");
    if (rule->isGlobal) pieces.push_back("global");
    pieces.push_back("rule");
    pieces.push_back(rule->name);
    if (!rule->tags.empty()) {
        pieces.push_back(":");
        pieces.insert(pieces.end(), rule->tags.begin(), rule->tags.end());
    }
    pieces.push_back("\n{\n");
    if (!rule->meta.empty()) {
        pieces.push_back("  ");
        pieces.push_back("meta:\n");
        for (const auto& [key, value] : rule->meta) {
            pieces.insert(pieces.end(), {"      ", key, "=", inQuotes(value), "\n"});
        }
    }
    if (!rule->strings.empty()) {
        pieces.push_back("  ");
        pieces.push_back("strings:\n");
        for (const YaraString& string : rule->strings) {
            pieces.insert(pieces.end(), {"      ", stringLine(display, string), "\n"});
        }
    }
    pieces.insert(pieces.end(), {"  ", "condition:\n", "      ", breakCondition(rule->condition), "\n}"});
    return join(pieces, " ");
}

std::string stringLine(DisplayType display, const YaraString& string) {
    std::string shown = string.value;
    if (string.type == YaraString::textType) {
        shown = inQuotes(string.value);
    } else if (string.type == YaraString::hexType && display == DisplayType::ASCII) {
        const size_t first = string.value.find_first_not_of("{}");
        const size_t last = string.value.find_last_not_of("{}");
        const std::string inner = first == std::string::npos ? "" : string.value.substr(first, last - first + 1);
        if (auto ascii = hexToAscii(inner)) shown = inQuotes(*ascii);
    }
    std::string line = string.name + " = " + shown;
    for (const std::string& modifier : string.modifiers) line += " " + modifier;
    return line;
}

std::string breakCondition(const std::string& condition) {
    if (characterCount(condition) < 80) return condition;
    const std::string broken = replaceOutsideLiterals(condition, " and ", " and\n        ");
    return replaceOutsideLiterals(broken, " or ", " or\n        ");
}

std::optional<std::string> hexToAscii(std::string_view hex) {
    std::string result;
    std::string buffer;
    bool inJump = false;
    auto flush = [&]() -> bool {
        auto bytes = hexBytes(buffer);
        if (!bytes) return false;
        result += readableText(*bytes);
        buffer.clear();
        return true;
    };
    for (char c : hex) {
        if (c == ']') {
            result += ']';
            inJump = false;
        } else if (c == '?' || c == '|' || c == '(' || c == ')' || c == '[') {
            if (!flush()) return std::nullopt;
            result += c;
            if (c == '[') inJump = true;
        } else if (inJump) {
            result += c;
        } else {
            buffer += c;
        }
    }
    if (!flush()) return std::nullopt;
    return result;
}

std::optional<std::string> hexBytes(std::string_view text) {
    if (text.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 2);
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = hexDigit(text[i]);
        const int low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes += static_cast<char>(static_cast<uint8_t>(high << 4 | low));
    }
    return bytes;
}

}  // namespace tarnwick
