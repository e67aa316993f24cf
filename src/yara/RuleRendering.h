#pragma once
// A rule rebuilt as YARA text from its record, for the rule detail view and the rule's text form.
// RAW shows string values as delivered; ASCII also shows hex strings as readable text where it can.
#include "yara/YaraRule.h"
#include "yara/YaraString.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// How the rule detail view shows a rule: ASCII turns hex strings into readable text where it
// can, RAW shows every string as delivered.
enum class DisplayType { ASCII, RAW };

// The whole rule. Pieces are joined by single spaces, so entry lines start with eight spaces and
// end with one space before the line break.
std::string renderRule(DisplayType display, const YaraRule& rule);

// One string definition: name, " = ", the value, then each modifier after a space.
std::string stringLine(DisplayType display, const YaraString& string);

// A condition of 80 characters or more is broken after every " and ", then every " or ", except
// inside its text strings and regular expressions.
std::string breakCondition(const std::string& condition);

// Each run of hex digits between wildcards, alternatives, groups and jumps becomes its ASCII
// text (control characters dropped); jumps are copied. Absent when a run is not whole bytes.
std::optional<std::string> hexToAscii(std::string_view hex);

// Hex digit pairs as bytes, high digit first; absent on any other character or an odd count.
std::optional<std::string> hexBytes(std::string_view text);

}  // namespace tarnwick
