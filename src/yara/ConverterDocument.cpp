#include "yara/ConverterDocument.h"

#include <charconv>
#include <cmath>
#include <limits>

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

std::string text(const ConverterJson* value) {
    if (!value) return "";
    if (value->is_string()) return value->get<std::string>();
    if (value->is_boolean()) return value->get<bool>() ? "true" : "false";
    if (value->is_number()) return value->dump();
    return "";
}

bool boolean(const ConverterJson* value) {
    if (!value) return false;
    if (value->is_boolean()) return value->get<bool>();
    if (value->is_number()) return value->get<double>() != 0;
    if (value->is_string()) return value->get<std::string>() == "true";
    return false;
}

int64_t integer(const ConverterJson* value) {
    if (!value) return 0;
    if (value->is_number_integer()) return value->get<int64_t>();
    if (value->is_number_unsigned()) {
        const auto u = value->get<uint64_t>();
        return u > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ? std::numeric_limits<int64_t>::max()
                                                                               : static_cast<int64_t>(u);
    }
    if (value->is_number_float()) {
        const double d = value->get<double>();
        if (std::isnan(d)) return 0;
        if (d >= 9.2e18) return std::numeric_limits<int64_t>::max();
        if (d <= -9.2e18) return std::numeric_limits<int64_t>::min();
        return static_cast<int64_t>(d);
    }
    if (value->is_boolean()) return value->get<bool>() ? 1 : 0;
    if (value->is_string()) {
        const std::string& s = value->get_ref<const std::string&>();
        int64_t n = 0;
        std::from_chars(s.data(), s.data() + s.size(), n);
        return n;
    }
    return 0;
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
