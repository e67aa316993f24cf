#pragma once
// What the converter keeps of one YARA rule: its structure, with every value as written in the
// source, ready to become one rule object of the converter's JSON document.
#include <string>
#include <utility>
#include <vector>

namespace tarnwick::yago {

// The numbers are the document's "type" values.
enum class StringType : int { Text = 1, Regex = 2, Hex = 3 };

struct RuleString {
    std::string name;  // "$a", or "$" for an anonymous string
    StringType type = StringType::Text;
    // Text: between the quotes, escapes kept. Regex: "/body/flags". Hex: "{...}" without white
    // space or comments.
    std::string value;
    std::vector<std::string> modifiers;  // as written, arguments included, white space dropped
};

struct Rule {
    std::string name;
    std::vector<std::string> tags;
    bool isPrivate = false;
    bool isGlobal = false;
    // Key and value text in the order written; a key written twice keeps its first place and its
    // last value.
    std::vector<std::pair<std::string, std::string>> meta;
    std::vector<RuleString> strings;
    std::string condition;  // comments dropped, white space folded, literals as written
};

}  // namespace tarnwick::yago
