#pragma once
// YARA source at the level of its structure: imports, includes and rules with their modifiers,
// tags, meta entries, strings and condition. What the strings and the condition mean is the
// engine's business; the parser checks only that the file is built right and keeps every value
// as written.
#include "yago/Rule.h"
#include "yago/Source.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::yago {

// Include statements may nest this deep (as in the engine), and one conversion follows at most
// this many of them, so a file that includes others many times over cannot make it run for ever.
inline constexpr size_t maxIncludeDepth = 16;
inline constexpr size_t maxIncludes = 10000;

struct ParseError {
    std::string file;
    size_t line = 0;
    size_t column = 0;
    std::string message;

    // "file:line:column: message"
    std::string text() const;
};

struct ParseResult {
    std::vector<Rule> rules;  // in file order, those of included files where the include stands
    std::optional<ParseError> error;  // set when the file was refused; `rules` is then empty

    bool ok() const { return !error; }
};

// Receives each rule as soon as it has been read, in file order.
using RuleSink = std::function<void(Rule&&)>;

// Parses `source`; include statements are handed to `includes`. Never throws.
ParseResult parseSource(const Source& source, const IncludeResolver& includes);

// The same, handing each rule to `sink` instead of keeping it, so a large file needs the memory
// of one rule at a time. Rules already handed over stay valid output only if no error follows.
std::optional<ParseError> parseSource(const Source& source, const IncludeResolver& includes, const RuleSink& sink);

// Reads and parses the rule file at `path`, following includes on disk. Never throws.
ParseResult parseFile(const std::string& path);
std::optional<ParseError> parseFile(const std::string& path, const RuleSink& sink);

}  // namespace tarnwick::yago
