#pragma once
// Unicode helpers on UTF-8 text: validation, full lower-casing and ordering.
#include <string>
#include <string_view>

namespace tarnwick::unicode {

bool isValidUtf8(std::string_view bytes);

// Replaces every invalid sequence with U+FFFD.
std::string repairUtf8(std::string_view bytes);

// Full Unicode lower-casing (İ becomes i̇, Σ becomes σ or ς by position).
std::string lowercase(std::string_view text);

// Whether `needle`, lower-cased, occurs inside `haystack`, lower-cased.
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

// Text order: two plain ASCII texts compare by byte value (upper case before lower case); when
// either holds another character, by the Unicode collation order. Answers <0, 0 or >0.
int compare(std::string_view a, std::string_view b);

}  // namespace tarnwick::unicode
