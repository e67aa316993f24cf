#pragma once
// The tokens of YARA source. A token is a span of the source buffer, so lexing a large rule file
// costs no allocation per token. White space and comments between tokens are skipped and only
// remembered as "something stood here".
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarnwick::yago {

enum class TokenKind : uint8_t {
    End,           // end of the source
    Identifier,    // keywords too: rule, condition, pe, my_rule ...
    StringId,      // $a, $, $a*, $*
    StringCount,   // #a, #
    StringOffset,  // @a, @
    StringLength,  // !a, !
    Text,          // "..." including its quotes
    Regex,         // /.../is including its slashes and flags
    Integer,       // 12, 0x1f, 0o17, 2KB, 1MB
    Double,        // 1.5
    Punct,         // operators and ( ) [ ] { } , . : =
};

struct Token {
    TokenKind kind = TokenKind::End;
    bool spaceBefore = false;  // white space or a comment separates it from the token before
    size_t begin = 0;
    size_t end = 0;
    int64_t integer = 0;  // the value of an Integer
};

// A fault in the source, at a byte offset of the buffer being read.
class SyntaxError : public std::runtime_error {
public:
    SyntaxError(size_t at, const std::string& message) : std::runtime_error(message), offset(at) {}
    size_t offset;
};

// Hex strings may nest alternatives this deep; the reader keeps its own stack, so the limit
// guards memory, not the call stack.
inline constexpr size_t maxHexNesting = 10000;

class Lexer {
public:
    explicit Lexer(std::string_view source) : src_(source) {}

    // The next token; End at the end of the source. Throws SyntaxError.
    Token next();

    // Reads the rest of a hex string whose "{" was the last token and appends its compact form
    // to `out`: "{", the bytes, wildcards, jumps and alternatives without white space or
    // comments, "}". Checks its structure. Throws SyntaxError.
    void hexString(std::string& out);

    std::string_view text(const Token& t) const { return src_.substr(t.begin, t.end - t.begin); }
    std::string_view source() const { return src_; }

    // 1-based line and byte column of an offset.
    static std::pair<size_t, size_t> lineAndColumn(std::string_view source, size_t offset);

private:
    bool skipTrivia();
    // Skips a comment of either kind at the current position; false when none starts there.
    bool skipComment();
    void identifier(Token& t);
    void number(Token& t);
    void textString(Token& t);
    void regex(Token& t);
    void jump(std::string& out, bool atStart, bool inAlternative);
    [[noreturn]] void fail(size_t at, const std::string& message) const;

    std::string_view src_;
    size_t pos_ = 0;
};

// Keywords of the YARA language: they can name no rule, tag or meta entry.
bool isKeyword(std::string_view word);

}  // namespace tarnwick::yago
