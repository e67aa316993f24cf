#include "yago/Parser.h"

#include "yago/Lexer.h"
#include "yago/Utf8Safe.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <unordered_map>

namespace tarnwick::yago {
namespace {

// A refusal already placed in its file, travelling out through the includes.
struct Refusal {
    ParseError error;
};

// String modifiers, one bit each, so a modifier written twice is found.
enum Modifier : unsigned {
    Ascii = 1u << 0,
    Wide = 1u << 1,
    Nocase = 1u << 2,
    Fullword = 1u << 3,
    Private = 1u << 4,
    Xor = 1u << 5,
    Base64 = 1u << 6,
    Base64Wide = 1u << 7,
};

unsigned modifierBit(std::string_view word) {
    if (word == "ascii") return Ascii;
    if (word == "wide") return Wide;
    if (word == "nocase") return Nocase;
    if (word == "fullword") return Fullword;
    if (word == "private") return Private;
    if (word == "xor") return Xor;
    if (word == "base64") return Base64;
    if (word == "base64wide") return Base64Wide;
    return 0;
}

unsigned allowedModifiers(StringType type) {
    switch (type) {
    case StringType::Text: return Ascii | Wide | Nocase | Fullword | Private | Xor | Base64 | Base64Wide;
    case StringType::Regex: return Ascii | Wide | Nocase | Fullword | Private;
    case StringType::Hex: return Private;
    }
    return 0;
}

const char* typeName(StringType type) {
    switch (type) {
    case StringType::Text: return "text strings";
    case StringType::Regex: return "regular expressions";
    case StringType::Hex: return "hex strings";
    }
    return "strings";
}

// Words that begin a section or a rule: met inside a condition they mean its "}" is missing.
bool isStructureWord(std::string_view word) {
    return word == "rule" || word == "meta" || word == "strings" || word == "condition" || word == "import" ||
           word == "private" || word == "global";
}

// Meta keys of one rule, for keeping a key written twice in one place. The keys are views of
// the source text. Few keys are searched directly; a map is built only for a rule with many.
class MetaKeys {
public:
    explicit MetaKeys(std::vector<std::pair<std::string, std::string>>& meta) : meta_(meta) {}

    void put(std::string_view key, std::string value) {
        const size_t at = find(key);
        if (at < meta_.size()) {
            meta_[at].second = std::move(value);
            return;
        }
        if (!index_.empty()) index_.emplace(key, keys_.size());
        keys_.push_back(key);
        meta_.emplace_back(std::string(key), std::move(value));
    }

private:
    std::vector<std::pair<std::string, std::string>>& meta_;
    std::vector<std::string_view> keys_;
    std::unordered_map<std::string_view, size_t> index_;

    size_t find(std::string_view key) {
        if (keys_.size() < 16) {
            for (size_t i = 0; i < keys_.size(); ++i)
                if (keys_[i] == key) return i;
            return keys_.size();
        }
        if (index_.empty())
            for (size_t i = 0; i < keys_.size(); ++i) index_.emplace(keys_[i], i);
        const auto found = index_.find(key);
        return found == index_.end() ? keys_.size() : found->second;
    }
};

class Parser {
public:
    Parser(const IncludeResolver& includes, const RuleSink& sink) : includes_(includes), sink_(sink) {}

    // Parses one file and, through its includes, the files it names.
    void parse(const Source& source) {
        active_.push_back(&source);
        try {
            FileParser(*this, source).run();
        } catch (const SyntaxError& e) {
            const auto [line, column] = Lexer::lineAndColumn(source.content(), e.offset);
            throw Refusal{ParseError{source.name, line, column, e.what()}};
        }
        active_.pop_back();
    }

private:
    class FileParser {
    public:
        FileParser(Parser& owner, const Source& source) : owner_(owner), source_(source), lexer_(source.content()) {}

        void run() {
            for (;;) {
                const Token t = peek();
                if (t.kind == TokenKind::End) return;
                if (t.kind != TokenKind::Identifier) fail(t, "expected a rule, an import or an include");
                const std::string_view word = text(t);
                if (word == "import") {
                    take();
                    expectKind(TokenKind::Text, "expected a module name in double quotes after 'import'");
                } else if (word == "include") {
                    take();
                    include(expectKind(TokenKind::Text, "expected a file name in double quotes after 'include'"));
                } else if (word == "rule" || word == "private" || word == "global") {
                    rule();
                } else {
                    fail(t, "expected a rule, an import or an include");
                }
            }
        }

    private:
        Token peek() {
            if (!peeked_) {
                lookahead_ = lexer_.next();
                peeked_ = true;
            }
            return lookahead_;
        }

        Token take() {
            if (peeked_) {
                peeked_ = false;
                return lookahead_;
            }
            return lexer_.next();
        }

        std::string_view text(const Token& t) const { return lexer_.text(t); }

        bool isPunct(const Token& t, char c) const {
            return t.kind == TokenKind::Punct && t.end - t.begin == 1 && source_.content()[t.begin] == c;
        }

        bool isWord(const Token& t, std::string_view word) const {
            return t.kind == TokenKind::Identifier && text(t) == word;
        }

        [[noreturn]] void fail(const Token& t, const std::string& message) const {
            throw SyntaxError(t.begin, message + found(t));
        }

        std::string found(const Token& t) const {
            if (t.kind == TokenKind::End) return ", found the end of the file";
            std::string_view shown = text(t).substr(0, 40);
            std::string quoted;
            appendLiteral(quoted, shown);
            return ", found '" + quoted + (t.end - t.begin > 40 ? "...'" : "'");
        }

        Token expectKind(TokenKind kind, const char* message) {
            const Token t = take();
            if (t.kind != kind) fail(t, message);
            return t;
        }

        void expectPunct(char c, const char* message) {
            const Token t = take();
            if (!isPunct(t, c)) fail(t, message);
        }

        // A rule name, tag or meta key: an identifier that is no keyword.
        std::string_view name(const Token& t, const char* what) const {
            if (t.kind != TokenKind::Identifier) fail(t, std::string("expected ") + what);
            const std::string_view word = text(t);
            if (isKeyword(word)) fail(t, std::string("expected ") + what + ", not a keyword");
            return word;
        }

        // The text between the quotes of a text-string token, escapes kept.
        void appendInner(std::string& out, const Token& t) const {
            appendLiteral(out, source_.content().substr(t.begin + 1, t.end - t.begin - 2));
        }

        void include(const Token& pathToken) {
            const std::string path(source_.content().substr(pathToken.begin + 1, pathToken.end - pathToken.begin - 2));
            if (owner_.active_.size() >= maxIncludeDepth)
                throw SyntaxError(pathToken.begin, "includes nested more than " + std::to_string(maxIncludeDepth) + " deep");
            if (++owner_.includeCount_ > maxIncludes)
                throw SyntaxError(pathToken.begin, "more than " + std::to_string(maxIncludes) + " includes in one conversion");
            Source included;
            std::string reason;
            if (!owner_.includes_ || !owner_.includes_(source_, path, included, reason))
                throw SyntaxError(pathToken.begin, reason.empty() ? "cannot open included file \"" + path + "\"" : reason);
            for (const Source* open : owner_.active_) {
                if (open->key == included.key)
                    throw SyntaxError(pathToken.begin, "include cycle: \"" + path + "\" is already being read");
            }
            owner_.parse(included);
        }

        void rule() {
            Rule r;
            for (;;) {
                const Token t = take();
                if (isWord(t, "private")) {
                    r.isPrivate = true;
                } else if (isWord(t, "global")) {
                    r.isGlobal = true;
                } else if (isWord(t, "rule")) {
                    break;
                } else {
                    fail(t, "expected 'rule'");
                }
            }
            r.name = name(take(), "a rule name");
            Token t = take();
            if (isPunct(t, ':')) {
                while (peek().kind == TokenKind::Identifier) r.tags.emplace_back(name(take(), "a tag"));
                if (r.tags.empty()) fail(peek(), "expected a tag after ':'");
                t = take();
            }
            if (!isPunct(t, '{')) fail(t, "expected '{' after the rule name or tags");

            t = take();
            if (isWord(t, "meta")) {
                expectPunct(':', "expected ':' after 'meta'");
                meta(r);
                t = take();
            }
            if (isWord(t, "strings")) {
                expectPunct(':', "expected ':' after 'strings'");
                strings(r);
                t = take();
            }
            if (!isWord(t, "condition")) fail(t, "expected 'condition'");
            expectPunct(':', "expected ':' after 'condition'");
            condition(r);
            owner_.sink_(std::move(r));
        }

        void meta(Rule& r) {
            MetaKeys keys(r.meta);
            do {
                const std::string_view key = name(take(), "a meta identifier");
                expectPunct('=', "expected '=' after the meta identifier");
                const Token v = take();
                std::string value;
                if (v.kind == TokenKind::Text) {
                    appendInner(value, v);
                } else if (v.kind == TokenKind::Integer) {
                    value = std::to_string(v.integer);
                } else if (isPunct(v, '-')) {
                    const Token number = expectKind(TokenKind::Integer, "expected a number after '-'");
                    value = std::to_string(-number.integer);
                } else if (isWord(v, "true") || isWord(v, "false")) {
                    value = text(v);
                } else {
                    fail(v, "expected a meta value: a text in double quotes, a number, true or false");
                }
                keys.put(key, std::move(value));
                const Token next = peek();
                if (next.kind != TokenKind::Identifier || isKeyword(text(next))) return;
            } while (true);
        }

        void strings(Rule& r) {
            do {
                const Token id = take();
                if (id.kind != TokenKind::StringId) fail(id, "expected a string identifier such as $a");
                if (source_.content()[id.end - 1] == '*') fail(id, "a string identifier cannot end in '*'");
                expectPunct('=', "expected '=' after the string identifier");
                RuleString s;
                s.name = text(id);
                const Token v = take();
                if (v.kind == TokenKind::Text) {
                    if (v.end - v.begin == 2) fail(v, "empty text string");
                    s.type = StringType::Text;
                    appendInner(s.value, v);
                } else if (v.kind == TokenKind::Regex) {
                    s.type = StringType::Regex;
                    appendLiteral(s.value, text(v));
                } else if (isPunct(v, '{')) {
                    s.type = StringType::Hex;
                    lexer_.hexString(s.value);
                } else {
                    fail(v, "expected a text string, a hex string or a regular expression");
                }
                modifiers(s);
                r.strings.push_back(std::move(s));
            } while (peek().kind == TokenKind::StringId);
        }

        void modifiers(RuleString& s) {
            unsigned seen = 0;
            for (;;) {
                const Token t = peek();
                if (t.kind != TokenKind::Identifier) return;
                const unsigned bit = modifierBit(text(t));
                if (bit == 0) return;
                take();
                if (!(allowedModifiers(s.type) & bit))
                    fail(t, "modifier not allowed on " + std::string(typeName(s.type)));
                if (seen & bit) fail(t, "modifier written twice");
                seen |= bit;
                std::string modifier(text(t));
                if (bit == Xor && isPunct(peek(), '(')) {
                    take();
                    modifier += '(';
                    modifier += text(expectKind(TokenKind::Integer, "expected a number in xor( )"));
                    if (isPunct(peek(), '-')) {
                        take();
                        modifier += '-';
                        modifier += text(expectKind(TokenKind::Integer, "expected a number after '-' in xor( )"));
                    }
                    expectPunct(')', "expected ')' to close xor(");
                    modifier += ')';
                } else if ((bit == Base64 || bit == Base64Wide) && isPunct(peek(), '(')) {
                    take();
                    modifier += '(';
                    const Token alphabet =
                        expectKind(TokenKind::Text, "expected an alphabet in double quotes in base64( )");
                    appendLiteral(modifier, text(alphabet));
                    expectPunct(')', "expected ')' to close base64(");
                    modifier += ')';
                }
                s.modifiers.push_back(std::move(modifier));
            }
        }

        // Up to and including the rule's closing "}". Brackets must pair up; a "{" or the word
        // that starts a section or rule is a sign of a missing "}".
        void condition(Rule& r) {
            std::string& out = r.condition;
            std::string open;
            for (;;) {
                const Token t = take();
                if (t.kind == TokenKind::End) fail(t, "missing '}' at the end of rule '" + r.name + "'");
                if (t.kind == TokenKind::Punct) {
                    const char c = source_.content()[t.begin];
                    if (t.end - t.begin == 1) {
                        if (c == '}') {
                            if (!open.empty())
                                fail(t, std::string("missing '") + (open.back() == '(' ? ')' : ']') + "' in condition");
                            if (out.empty()) fail(t, "empty condition");
                            return;
                        }
                        if (c == '{') fail(t, "unexpected '{' in condition");
                        if (c == '(' || c == '[') open.push_back(c);
                        if (c == ')' || c == ']') {
                            if (open.empty() || open.back() != (c == ')' ? '(' : '['))
                                fail(t, std::string("unbalanced '") + c + "' in condition");
                            open.pop_back();
                        }
                    }
                } else if (t.kind == TokenKind::Identifier && isStructureWord(text(t))) {
                    fail(t, "missing '}' at the end of rule '" + r.name + "'");
                }
                if (!out.empty() && t.spaceBefore) out.push_back(' ');
                if (t.kind == TokenKind::Text || t.kind == TokenKind::Regex) {
                    appendLiteral(out, text(t));
                } else {
                    out.append(text(t));
                }
            }
        }

        Parser& owner_;
        const Source& source_;
        Lexer lexer_;
        Token lookahead_;
        bool peeked_ = false;
    };

    const IncludeResolver& includes_;
    const RuleSink& sink_;
    std::vector<const Source*> active_;  // the files being read, outermost first
    size_t includeCount_ = 0;
};

}  // namespace

std::string ParseError::text() const {
    if (line == 0) return file + ": " + message;
    return file + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " + message;
}

std::optional<ParseError> parseSource(const Source& source, const IncludeResolver& includes, const RuleSink& sink) {
    try {
        Parser(includes, sink).parse(source);
    } catch (const Refusal& refusal) {
        return refusal.error;
    } catch (const std::bad_alloc&) {
        return ParseError{source.name, 0, 0, "out of memory"};
    }
    return std::nullopt;
}

ParseResult parseSource(const Source& source, const IncludeResolver& includes) {
    ParseResult result;
    result.error = parseSource(source, includes, [&](Rule&& rule) { result.rules.push_back(std::move(rule)); });
    if (result.error) result.rules.clear();
    return result;
}

std::optional<ParseError> parseFile(const std::string& path, const RuleSink& sink) {
    Source source;
    std::string reason;
    if (!readSource(path, source, reason)) return ParseError{path, 0, 0, "cannot read the file: " + reason};
    return parseSource(source, resolveFromDisk, sink);
}

ParseResult parseFile(const std::string& path) {
    ParseResult result;
    result.error = parseFile(path, [&](Rule&& rule) { result.rules.push_back(std::move(rule)); });
    if (result.error) result.rules.clear();
    return result;
}

}  // namespace tarnwick::yago
