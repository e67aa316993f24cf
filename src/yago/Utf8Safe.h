#pragma once
// Keeping the converter's output valid UTF-8 whatever bytes a rule file holds.
//
// Rule files are byte strings: a text string or regular expression may hold any byte, for
// example a Latin-1 "é" (0xE9), which is no valid UTF-8 and cannot stand in a JSON document. Such
// a byte is written as the YARA escape \xE9 instead, which the engine reads as the very same
// byte, so the literal keeps its meaning when the rule is rendered back to source. Valid UTF-8
// sequences are kept as they are.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick::yago {

// Length of the valid UTF-8 sequence at the start of `bytes` (1 for ASCII), or 0 when it is not
// one: stray continuation bytes, overlong forms, surrogates and code points above U+10FFFF are
// not valid.
size_t utf8SequenceLength(std::string_view bytes);

// Appends a text string or regular expression to `out`, writing each byte that is not part of
// valid UTF-8 as \xHH. In a regular expression a backslash may escape such a byte; the pair
// becomes \xHH, which means the same. (Text strings admit no such escape.)
void appendLiteral(std::string& out, std::string_view literal);

}  // namespace tarnwick::yago
