#include "yago/Lexer.h"

#include <algorithm>
#include <iterator>
#include <cstring>
#include <limits>
#include <vector>

namespace tarnwick::yago {
namespace {

constexpr size_t maxIdentifierLength = 128;
constexpr uint64_t maxInteger = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
constexpr uint64_t maxJump = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());

inline bool isLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
inline bool isIdentChar(unsigned char c) { return isLetter(c) || isDigit(c); }
inline bool isHexDigit(unsigned char c) {
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
inline bool isSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
inline unsigned hexValue(unsigned char c) {
    return isDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
}

std::string describe(unsigned char c) {
    if (c >= 0x20 && c < 0x7f) return std::string("'") + static_cast<char>(c) + "'";
    static const char digits[] = "0123456789ABCDEF";
    return std::string("byte 0x") + digits[c >> 4] + digits[c & 15];
}

// The words the engine reserves; sorted, for a binary search. "include" is missing on purpose:
// the engine reads it as a keyword only where an include statement begins.
constexpr std::string_view keywords[] = {
    "all", "and", "any", "ascii", "at", "base64", "base64wide", "condition", "contains", "defined",
    "endswith", "entrypoint", "false", "filesize", "for", "fullword", "global", "icontains",
    "iendswith", "iequals", "import", "in", "int16", "int16be", "int32", "int32be", "int8",
    "int8be", "istartswith", "matches", "meta", "nocase", "none", "not", "of", "or", "private",
    "rule", "startswith", "strings", "them", "true", "uint16", "uint16be", "uint32", "uint32be",
    "uint8", "uint8be", "wide", "xor",
};
static_assert(std::is_sorted(std::begin(keywords), std::end(keywords)));

}  // namespace

bool isKeyword(std::string_view word) {
    return std::binary_search(std::begin(keywords), std::end(keywords), word);
}

void Lexer::fail(size_t at, const std::string& message) const { throw SyntaxError(at, message); }

std::pair<size_t, size_t> Lexer::lineAndColumn(std::string_view source, size_t offset) {
    offset = std::min(offset, source.size());
    size_t line = 1;
    size_t lineStart = 0;
    for (size_t i = 0; i < offset; ++i) {
        if (source[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    }
    return {line, offset - lineStart + 1};
}

bool Lexer::skipComment() {
    const size_t n = src_.size();
    if (src_[pos_] != '/' || pos_ + 1 >= n) return false;
    if (src_[pos_ + 1] == '/') {
        const size_t eol = src_.find('\n', pos_ + 2);
        pos_ = eol == std::string_view::npos ? n : eol + 1;
        return true;
    }
    if (src_[pos_ + 1] == '*') {
        const size_t close = src_.find("*/", pos_ + 2);
        if (close == std::string_view::npos) fail(pos_, "unterminated comment");
        pos_ = close + 2;
        return true;
    }
    return false;
}

bool Lexer::skipTrivia() {
    const size_t start = pos_;
    const size_t n = src_.size();
    while (pos_ < n) {
        const unsigned char c = src_[pos_];
        if (isSpace(c)) {
            ++pos_;
        } else if (!skipComment()) {
            break;
        }
    }
    return pos_ != start;
}

Token Lexer::next() {
    Token t;
    t.spaceBefore = skipTrivia();
    t.begin = pos_;
    const size_t n = src_.size();
    if (pos_ >= n) {
        t.end = pos_;
        return t;
    }
    const unsigned char c = src_[pos_];
    if (isLetter(c)) {
        identifier(t);
    } else if (isDigit(c)) {
        number(t);
    } else {
        const unsigned char d = pos_ + 1 < n ? src_[pos_ + 1] : 0;
        size_t length = 1;
        t.kind = TokenKind::Punct;
        switch (c) {
        case '$':
        case '#':
        case '@':
        case '!':
            if (c == '!' && d == '=') {
                length = 2;
                break;
            }
            t.kind = c == '$' ? TokenKind::StringId
                     : c == '#' ? TokenKind::StringCount
                     : c == '@' ? TokenKind::StringOffset
                                : TokenKind::StringLength;
            while (pos_ + length < n && isIdentChar(src_[pos_ + length])) ++length;
            if (c == '$' && pos_ + length < n && src_[pos_ + length] == '*') ++length;
            break;
        case '"': textString(t); return t;
        case '/': regex(t); return t;
        case '.': length = d == '.' ? 2 : 1; break;
        case '<': length = d == '=' || d == '<' ? 2 : 1; break;
        case '>': length = d == '=' || d == '>' ? 2 : 1; break;
        case '=': length = d == '=' ? 2 : 1; break;
        case '(': case ')': case '[': case ']': case '{': case '}': case ',': case ':':
        case '+': case '-': case '*': case '\\': case '%': case '&': case '|': case '^': case '~':
            break;
        default:
            fail(pos_, c >= 0x80 ? "non-ASCII character outside a string" : "unexpected character " + describe(c));
        }
        pos_ += length;
    }
    t.end = pos_;
    return t;
}

void Lexer::identifier(Token& t) {
    const size_t n = src_.size();
    size_t i = pos_ + 1;
    while (i < n && isIdentChar(src_[i])) ++i;
    if (i - pos_ > maxIdentifierLength) fail(pos_, "identifier longer than 128 characters");
    t.kind = TokenKind::Identifier;
    pos_ = i;
}

void Lexer::number(Token& t) {
    const size_t n = src_.size();
    const size_t start = pos_;
    auto accumulate = [&](unsigned base, auto isDigitOfBase) {
        uint64_t value = 0;
        while (pos_ < n && isDigitOfBase(static_cast<unsigned char>(src_[pos_]))) {
            const unsigned digit = hexValue(src_[pos_]);
            if (value > (maxInteger - digit) / base) fail(start, "integer overflow");
            value = value * base + digit;
            ++pos_;
        }
        return value;
    };
    uint64_t value = 0;
    t.kind = TokenKind::Integer;
    if (src_[pos_] == '0' && pos_ + 2 < n && src_[pos_ + 1] == 'x' && isHexDigit(src_[pos_ + 2])) {
        pos_ += 2;
        value = accumulate(16, isHexDigit);
    } else if (src_[pos_] == '0' && pos_ + 2 < n && src_[pos_ + 1] == 'o' && src_[pos_ + 2] >= '0' &&
               src_[pos_ + 2] <= '7') {
        pos_ += 2;
        value = accumulate(8, [](unsigned char c) { return c >= '0' && c <= '7'; });
    } else {
        size_t i = pos_;
        while (i < n && isDigit(src_[i])) ++i;
        if (i + 1 < n && src_[i] == '.' && isDigit(src_[i + 1])) {
            // A real number; its value matters only to the engine.
            i += 2;
            while (i < n && isDigit(src_[i])) ++i;
            t.kind = TokenKind::Double;
            pos_ = i;
        } else {
            value = accumulate(10, isDigit);
            if (pos_ + 1 < n && (src_[pos_] == 'K' || src_[pos_] == 'M') && src_[pos_ + 1] == 'B') {
                const uint64_t factor = src_[pos_] == 'K' ? 1024 : 1024 * 1024;
                if (value > maxInteger / factor) fail(start, "integer overflow");
                value *= factor;
                pos_ += 2;
            }
        }
    }
    t.integer = static_cast<int64_t>(value);
}

void Lexer::textString(Token& t) {
    const size_t n = src_.size();
    const size_t start = pos_;
    size_t i = pos_ + 1;
    for (;;) {
        if (i >= n) fail(start, "unterminated string");
        const char c = src_[i];
        if (c == '"') {
            ++i;
            break;
        }
        if (c == '\n') fail(start, "unterminated string");
        if (c == '\\') {
            const char e = i + 1 < n ? src_[i + 1] : '\0';
            if (e == '"' || e == '\\' || e == 't' || e == 'n' || e == 'r') {
                i += 2;
            } else if (e == 'x' && i + 3 < n && isHexDigit(src_[i + 2]) && isHexDigit(src_[i + 3])) {
                i += 4;
            } else if (i + 1 >= n) {
                fail(start, "unterminated string");
            } else {
                fail(i, "illegal escape sequence in string");
            }
        } else {
            ++i;
        }
    }
    t.kind = TokenKind::Text;
    pos_ = i;
    t.end = i;
}

void Lexer::regex(Token& t) {
    const size_t n = src_.size();
    const size_t start = pos_;
    size_t i = pos_ + 1;
    for (;;) {
        if (i >= n || src_[i] == '\n') fail(start, "unterminated regular expression");
        const char c = src_[i];
        if (c == '/') {
            ++i;
            break;
        }
        if (c == '\\') {
            if (i + 1 >= n || src_[i + 1] == '\n') fail(start, "unterminated regular expression");
            i += 2;
        } else {
            ++i;
        }
    }
    // The engine's flags, in its order: case-insensitive, then dot-matches-all.
    if (i < n && src_[i] == 'i') ++i;
    if (i < n && src_[i] == 's') ++i;
    t.kind = TokenKind::Regex;
    pos_ = i;
    t.end = i;
}

void Lexer::hexString(std::string& out) {
    const size_t n = src_.size();
    const size_t open = pos_ == 0 ? 0 : pos_ - 1;
    // One frame per open alternative: whether its current sequence has anything yet, and
    // whether the last thing in it is a jump (a sequence may neither begin nor end with one).
    struct Frame {
        bool empty = true;
        bool lastIsJump = false;
    };
    Frame current;
    std::vector<Frame> outer;
    auto closeSequence = [&](size_t at) {
        if (current.empty) fail(at, outer.empty() ? "empty hex string" : "empty alternative in hex string");
        if (current.lastIsJump) fail(at, "a hex string or alternative cannot end with a jump");
    };
    out.push_back('{');
    for (;;) {
        if (pos_ >= n) fail(open, "unterminated hex string");
        const unsigned char c = src_[pos_];
        if (isSpace(c)) {
            ++pos_;
        } else if (isHexDigit(c) || c == '?') {
            const unsigned char d = pos_ + 1 < n ? src_[pos_ + 1] : 0;
            if (!isHexDigit(d) && d != '?') fail(pos_, "uneven number of digits in hex string");
            out.push_back(static_cast<char>(c));
            out.push_back(static_cast<char>(d));
            pos_ += 2;
            current.empty = false;
            current.lastIsJump = false;
        } else if (c == '[') {
            jump(out, current.empty, !outer.empty());
            current.lastIsJump = true;
        } else if (c == '(') {
            if (outer.size() >= maxHexNesting) fail(pos_, "hex string alternatives nested too deeply");
            outer.push_back(current);
            current = Frame{};
            out.push_back('(');
            ++pos_;
        } else if (c == '|') {
            if (outer.empty()) fail(pos_, "'|' outside an alternative in hex string");
            closeSequence(pos_);
            current = Frame{};
            out.push_back('|');
            ++pos_;
        } else if (c == ')') {
            if (outer.empty()) fail(pos_, "unbalanced ')' in hex string");
            closeSequence(pos_);
            current = outer.back();
            outer.pop_back();
            current.empty = false;
            current.lastIsJump = false;
            out.push_back(')');
            ++pos_;
        } else if (c == '}') {
            if (!outer.empty()) fail(pos_, "missing ')' in hex string");
            closeSequence(pos_);
            out.push_back('}');
            ++pos_;
            return;
        } else if (!skipComment()) {
            fail(pos_, "invalid character " + describe(c) + " in hex string");
        }
    }
}

// [N], [N-M], [N-] or [-]; white space may stand between the parts.
void Lexer::jump(std::string& out, bool atStart, bool inAlternative) {
    const size_t n = src_.size();
    const size_t open = pos_;
    if (atStart) fail(open, "a hex string or alternative cannot begin with a jump");
    ++pos_;
    auto skipSpace = [&] {
        while (pos_ < n && isSpace(src_[pos_])) ++pos_;
    };
    // Digits as written, their value, whether there were any.
    auto bound = [&](std::string_view& digits, uint64_t& value) {
        const size_t start = pos_;
        value = 0;
        while (pos_ < n && isDigit(src_[pos_])) {
            value = value * 10 + static_cast<unsigned>(src_[pos_] - '0');
            if (value > maxJump) fail(start, "jump length too large in hex string");
            ++pos_;
        }
        digits = src_.substr(start, pos_ - start);
        return !digits.empty();
    };
    std::string_view lowText, highText;
    uint64_t low = 0, high = 0;
    skipSpace();
    const bool hasLow = bound(lowText, low);
    skipSpace();
    bool hasDash = false;
    bool hasHigh = false;
    if (pos_ < n && src_[pos_] == '-') {
        hasDash = true;
        ++pos_;
        skipSpace();
        hasHigh = bound(highText, high);
        skipSpace();
    }
    if (pos_ >= n) fail(open, "unterminated jump in hex string");
    if (src_[pos_] != ']') fail(pos_, "invalid character " + describe(src_[pos_]) + " in hex string jump");
    if (!hasLow && (hasHigh || !hasDash)) fail(open, "invalid jump in hex string");
    if (hasHigh && low > high) fail(open, "invalid jump range in hex string");
    if (hasDash && !hasHigh && inAlternative) fail(open, "unbounded jump inside an alternative in hex string");
    ++pos_;
    out.push_back('[');
    out.append(lowText);
    if (hasDash) out.push_back('-');
    out.append(highText);
    out.push_back(']');
}

}  // namespace tarnwick::yago
