#pragma once
// Reading the rule converter's JSON document:
//   {"ruleset": [{"rules": [{"name", "meta", "tags", "strings", "condition", "private", "global"}]}]}
// Collections are arrays visited in order; an object in their place has its values visited; any
// other value gives nothing, and so does an entry that is not an object. Missing keys and values of other kinds give defaults.
#include "yara/YaraRule.h"
#include "yara/YaraString.h"

#include <nlohmann/json.hpp>

#include <string_view>
#include <vector>

namespace tarnwick {

// The document as parsed, keeping object members in the order written (the order of meta).
using ConverterJson = nlohmann::ordered_json;

// The rules of the document in document order, `filepath` and enrichment left empty. Text that
// does not parse gives no rules.
std::vector<YaraRuleFields> readConverterText(std::string_view text);

// The rules of a parsed document.
std::vector<YaraRuleFields> readConverterDocument(const ConverterJson& document);

// The string definitions of one rule's "strings" collection.
std::vector<YaraString> parseStrings(const ConverterJson& collection);

}  // namespace tarnwick
