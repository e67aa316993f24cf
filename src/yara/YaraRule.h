#pragma once
// One YARA rule: what the rule converter read from its file, and what the malware list and the
// remote signature index tell about the malware it detects.
//
// A rule is a value with shared, copy-on-write storage: the rules list is copied whole on every
// read (every keystroke in the search field does one), so a copy must cost a reference count,
// not the rule's strings and meta. Read the fields through `->`; change them through `edit()`.
#include <nlohmann/json.hpp>

#include "yara/YaraString.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tarnwick {

// Meta entries in the order the rule file wrote them; keys are unique.
using YaraMeta = std::vector<std::pair<std::string, std::string>>;

struct YaraRuleFields {
    // From the converter.
    std::string name;
    YaraMeta meta;
    std::vector<std::string> tags;
    std::vector<YaraString> strings;
    std::string condition;
    std::string filepath;  // the rule file it came from
    bool isPrivate = false;
    bool isGlobal = false;

    // From the enrichment.
    std::string summary;
    std::vector<std::string> links;
    std::vector<std::string> otherNames;
    std::string date;
    int64_t version = 0;
    std::vector<std::string> hashes;
};

// Sets the six enrichment fields from the entry under the rule's name in the document, whether or
// not there is one: a rule the document does not name gets empty fields and version 0.
void enrichFields(YaraRuleFields& fields, const nlohmann::json& document);

class YaraRule {
public:
    static constexpr const char* typeName = "YaraRule";

    YaraRule();
    explicit YaraRule(YaraRuleFields fields);

    const YaraRuleFields& operator*() const { return *fields_; }
    const YaraRuleFields* operator->() const { return fields_.get(); }

    // The fields for changing. Each edit gives this rule fields of its own, so copies handed out
    // earlier (lists read from other threads) never see them change.
    YaraRuleFields& edit();

    // A rule is known by its file and its name; the newer the version, the greater.
    bool operator==(const YaraRule& o) const { return fields_->filepath == o->filepath && fields_->name == o->name; }
    bool operator<(const YaraRule& o) const { return fields_->version < o->version; }
    // The list sorts by this key instead of comparing rules (see XPArrayModel).
    int64_t sortKey() const { return fields_->version; }
    // Asks the processor for what the search reads of this rule, ahead of reading it: stage 0
    // the fields, stage 1 (once the fields are in) the name's characters.
    void prefetch(int stage) const {
        if (stage == 0) __builtin_prefetch(fields_.get());
        else __builtin_prefetch(fields_->name.data());
    }

    // The rule as YARA text, hex strings as written.
    std::string text() const;

    // True when the name holds the filter text, letter case ignored.
    bool matchesFilter(const std::string& filter) const;

    // Sets the six enrichment fields from the entry under this rule's name in an index document
    // (a missing key clears its field). A rule the document does not name keeps what it has.
    void enrichFromIndex(const nlohmann::json& index);

    // `enrichFields` on this rule.
    void enrichFrom(const nlohmann::json& document) { enrichFields(edit(), document); }

private:
    std::shared_ptr<YaraRuleFields> fields_;  // shared by copies, never changed once shared
};

}  // namespace tarnwick

template <>
struct std::hash<tarnwick::YaraRule> {
    size_t operator()(const tarnwick::YaraRule& rule) const noexcept {
        return std::hash<std::string>{}(rule->filepath + rule->name);
    }
};
