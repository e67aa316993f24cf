#pragma once
// One string definition of a rule, as the rule converter gives it.
#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick {

struct YaraString {
    // Kinds of string, from the converter's "type".
    static constexpr int64_t textType = 1;
    static constexpr int64_t regexType = 2;
    static constexpr int64_t hexType = 3;

    std::string name;                    // "$a", or "$" for an anonymous string
    std::string value;                   // as written: text between its quotes, /regex/flags, {hex}
    std::vector<std::string> modifiers;  // in the order written
    int64_t type = 0;

    bool operator==(const YaraString&) const = default;

    // The string-definition line, hex strings as written.
    std::string text() const;
};

}  // namespace tarnwick
