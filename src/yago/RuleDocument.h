#pragma once
// The converter's JSON document: {"ruleset":[{"rules":[ rule objects ]}]}, one ruleset holding
// every rule in file order. Each rule object has the keys "name", "tags", "private", "global",
// "meta" (every value a string), "strings" (objects with "name", "type", "value" and the
// format's own spelling "modifers") and "condition".
#include "yago/Rule.h"

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::yago {

std::string renderDocument(const std::vector<Rule>& rules);

// The document built one rule at a time, for rules handed over as they are read.
class DocumentWriter {
public:
    explicit DocumentWriter(size_t expectedLength = 0);
    void add(const Rule& rule);
    // The finished document; the writer is spent afterwards.
    std::string finish();

private:
    std::string out_;
    bool first_ = true;
};

// Appends `text` as a JSON string. The parser hands over valid UTF-8 only; should anything else
// arrive, each stray byte becomes U+FFFD, so the document stays valid JSON.
void appendJsonString(std::string& out, std::string_view text);

}  // namespace tarnwick::yago
