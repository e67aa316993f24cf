#include "yara/ConverterDocument.h"

#include "platform/LenientJson.h"

namespace tarnwick {
namespace {

// Calls `visit` for each element of a collection: an array in order, an object's values.
template <class Visit>
void forEachIn(const ConverterJson* collection, Visit&& visit) {
    if (!collection || !(collection->is_array() || collection->is_object())) return;
    for (const auto& element : *collection) visit(element);
}

const ConverterJson* member(const ConverterJson& object, const char* key) {
    if (!object.is_object()) return nullptr;
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

// The program's lenient readings, on a single value of the document. Only texts, numbers and
// booleans are read this way, so the copy is small.
nlohmann::json scalar(const ConverterJson* value) {
    if (!value || value->is_structured()) return nullptr;
    return nlohmann::json(*value);
}

std::string text(const ConverterJson* value) {
    const nlohmann::json v = scalar(value);
    return json::text(&v);
}

int64_t integer(const ConverterJson* value) {
    const nlohmann::json v = scalar(value);
    return json::integer(&v);
}

bool boolean(const ConverterJson* value) {
    if (!value) return false;
    if (value->is_boolean()) return value->get<bool>();
    if (value->is_number()) return value->get<double>() != 0;
    if (value->is_string()) return value->get_ref<const std::string&>() == "true";
    return false;
}

std::vector<std::string> textList(const ConverterJson* value) {
    std::vector<std::string> list;
    if (!value || !value->is_array()) return list;
    for (const auto& element : *value) list.push_back(text(&element));
    return list;
}

// Meta with a value that is not text is dropped whole.
YaraMeta metaOf(const ConverterJson* value) {
    YaraMeta meta;
    if (!value || !value->is_object()) return meta;
    for (const auto& [key, entry] : value->items()) {
        if (!entry.is_string()) return {};
        meta.emplace_back(key, entry.get<std::string>());
    }
    return meta;
}

YaraRuleFields ruleOf(const ConverterJson& object) {
    YaraRuleFields rule;
    rule.name = text(member(object, "name"));
    rule.meta = metaOf(member(object, "meta"));
    rule.tags = textList(member(object, "tags"));
    if (const ConverterJson* strings = member(object, "strings")) rule.strings = parseStrings(*strings);
    rule.condition = text(member(object, "condition"));
    rule.isPrivate = boolean(member(object, "private"));
    rule.isGlobal = boolean(member(object, "global"));
    return rule;
}

}  // namespace

std::vector<YaraString> parseStrings(const ConverterJson& collection) {
    std::vector<YaraString> list;
    if (!collection.is_array()) return list;
    for (const auto& object : collection) {
        if (!object.is_object()) continue;
        YaraString string;
        string.name = text(member(object, "name"));
        string.value = text(member(object, "value"));
        string.modifiers = textList(member(object, "modifers"));  // the format's own spelling
        string.type = integer(member(object, "type"));
        list.push_back(std::move(string));
    }
    return list;
}

std::vector<YaraRuleFields> readConverterDocument(const ConverterJson& document) {
    std::vector<YaraRuleFields> rules;
    forEachIn(member(document, "ruleset"), [&](const ConverterJson& entry) {
        forEachIn(member(entry, "rules"), [&](const ConverterJson& object) {
            if (object.is_object()) rules.push_back(ruleOf(object));
        });
    });
    return rules;
}

std::vector<YaraRuleFields> readConverterText(std::string_view text) {
    ConverterJson document = ConverterJson::parse(text, nullptr, false);
    if (document.is_discarded()) return {};
    return readConverterDocument(document);
}

}  // namespace tarnwick
