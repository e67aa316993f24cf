#include "yara/YaraRule.h"

#include "platform/LenientJson.h"
#include "platform/UnicodeText.h"
#include "yara/RuleRendering.h"

namespace tarnwick {
namespace {

std::vector<std::string> textList(const nlohmann::json* value) {
    std::vector<std::string> list;
    if (!value || !value->is_array()) return list;
    list.reserve(value->size());
    for (const auto& element : *value) list.push_back(json::text(&element));
    return list;
}

// Shared by every rule made empty, so an empty list entry costs no allocation of its own.
const std::shared_ptr<YaraRuleFields>& emptyFields() {
    static const auto empty = std::make_shared<YaraRuleFields>();
    return empty;
}

}  // namespace

YaraRule::YaraRule() : fields_(emptyFields()) {}

YaraRule::YaraRule(YaraRuleFields fields) : fields_(std::make_shared<YaraRuleFields>(std::move(fields))) {}

YaraRuleFields& YaraRule::edit() {
    fields_ = std::make_shared<YaraRuleFields>(*fields_);
    return *fields_;
}

std::string YaraRule::text() const { return renderRule(DisplayType::RAW, *this); }

bool YaraRule::matchesFilter(const std::string& filter) const {
    return unicode::containsIgnoringCase(fields_->name, filter);
}

void YaraRule::enrichFromIndex(const nlohmann::json& index) {
    if (!index.is_object() || !index.contains(fields_->name)) return;
    enrichFrom(index);
}

void enrichFields(YaraRuleFields& f, const nlohmann::json& document) {
    const nlohmann::json* entry = json::at(document, {f.name});
    f.summary = json::text(entry ? json::at(*entry, {"Description"}) : nullptr);
    f.links = textList(entry ? json::at(*entry, {"Links"}) : nullptr);
    f.otherNames = textList(entry ? json::at(*entry, {"Aka"}) : nullptr);
    f.date = json::text(entry ? json::at(*entry, {"Date"}) : nullptr);
    f.version = json::integer(entry ? json::at(*entry, {"Version"}) : nullptr);
    f.hashes = textList(entry ? json::at(*entry, {"Hashes"}) : nullptr);
}

}  // namespace tarnwick
