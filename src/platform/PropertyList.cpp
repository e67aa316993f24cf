#include "platform/PropertyList.h"

#include "platform/PlistBounds.h"

#include <plist/plist.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>

namespace tarnwick {

std::optional<int64_t> PlistValue::asInteger() const {
    if (auto v = std::get_if<int64_t>(&value_)) return *v;
    return std::nullopt;
}

std::optional<double> PlistValue::asReal() const {
    if (auto v = std::get_if<double>(&value_)) return *v;
    return std::nullopt;
}

std::optional<bool> PlistValue::asBoolean() const {
    if (auto v = std::get_if<bool>(&value_)) return *v;
    return std::nullopt;
}

std::optional<int64_t> PlistValue::asWholeNumber() const {
    if (auto v = asInteger()) return v;
    if (auto r = asReal()) {
        // 2^63 is the first real past the integer range.
        if (std::isfinite(*r) && std::trunc(*r) == *r && *r >= -9223372036854775808.0 && *r < 9223372036854775808.0)
            return static_cast<int64_t>(*r);
    }
    return std::nullopt;
}

const PlistValue* PlistValue::find(std::string_view key) const {
    const Dictionary* dict = asDictionary();
    if (!dict) return nullptr;
    for (const auto& [k, v] : *dict)
        if (k == key) return &v;
    return nullptr;
}

const PlistValue::Dictionary* PlistValue::dictionaryAt(std::string_view key) const {
    const PlistValue* v = find(key);
    return v ? v->asDictionary() : nullptr;
}

const PlistValue::Array* PlistValue::arrayAt(std::string_view key) const {
    const PlistValue* v = find(key);
    return v ? v->asArray() : nullptr;
}

std::optional<std::string> PlistValue::stringAt(std::string_view key) const {
    const PlistValue* v = find(key);
    if (v && v->asString()) return *v->asString();
    return std::nullopt;
}

std::optional<int64_t> PlistValue::integerAt(std::string_view key) const {
    const PlistValue* v = find(key);
    return v ? v->asInteger() : std::nullopt;
}

std::optional<bool> PlistValue::booleanAt(std::string_view key) const {
    const PlistValue* v = find(key);
    return v ? v->asBoolean() : std::nullopt;
}

namespace plist {
namespace {

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using Node = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistFree>;

// Deeper trees than this are refused rather than walked (a hostile file could nest without end).
constexpr int maxDepth = 256;

std::optional<PlistValue> convert(plist_t node, int depth) {
    if (!node || depth > maxDepth) return std::nullopt;
    switch (plist_get_node_type(node)) {
    case PLIST_DICT: {
        PlistValue::Dictionary dict;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        if (!it) return PlistValue(std::move(dict));
        for (;;) {
            char* key = nullptr;
            plist_t child = nullptr;
            plist_dict_next_item(node, it, &key, &child);
            if (!child) {
                std::free(key);
                break;
            }
            auto value = convert(child, depth + 1);
            std::string name = key ? key : "";
            std::free(key);
            if (!value) {
                std::free(it);
                return std::nullopt;
            }
            dict.emplace_back(std::move(name), std::move(*value));
        }
        std::free(it);
        return PlistValue(std::move(dict));
    }
    case PLIST_ARRAY: {
        PlistValue::Array array;
        const uint32_t count = plist_array_get_size(node);
        array.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            auto value = convert(plist_array_get_item(node, i), depth + 1);
            if (!value) return std::nullopt;
            array.push_back(std::move(*value));
        }
        return PlistValue(std::move(array));
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        char* text = nullptr;
        if (plist_get_node_type(node) == PLIST_KEY)
            plist_get_key_val(node, &text);
        else
            plist_get_string_val(node, &text);
        std::string value = text ? text : "";
        std::free(text);
        return PlistValue(std::move(value));
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        // Negative integers arrive as their two's-complement bit pattern.
        return PlistValue(static_cast<int64_t>(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return PlistValue(value);
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return PlistValue(value != 0);
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        return PlistValue(PlistValue::Date{sec + usec / 1e6});
    }
    case PLIST_DATA: {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(node, &bytes, &length);
        std::string value(bytes ? bytes : "", bytes ? length : 0);
        std::free(bytes);
        return PlistValue(PlistValue::Data{std::move(value)});
    }
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return PlistValue(static_cast<int64_t>(value));
    }
    default:
        return std::nullopt;
    }
}

plist_t toNode(const PlistValue& value) {
    if (auto dict = value.asDictionary()) {
        plist_t node = plist_new_dict();
        for (const auto& [k, v] : *dict) plist_dict_set_item(node, k.c_str(), toNode(v));
        return node;
    }
    if (auto array = value.asArray()) {
        plist_t node = plist_new_array();
        for (const auto& v : *array) plist_array_append_item(node, toNode(v));
        return node;
    }
    if (auto s = value.asString()) return plist_new_string(s->c_str());
    if (auto i = value.asInteger()) return plist_new_uint(static_cast<uint64_t>(*i));
    if (auto r = value.asReal()) return plist_new_real(*r);
    if (auto b = value.asBoolean()) return plist_new_bool(*b ? 1 : 0);
    if (auto d = value.asDate()) {
        const double whole = std::floor(d->secondsSince2001);
        return plist_new_date(static_cast<int32_t>(whole), static_cast<int32_t>((d->secondsSince2001 - whole) * 1e6));
    }
    const auto* data = value.asData();
    return plist_new_data(data->bytes.data(), data->bytes.size());
}

// libplist aborts the process (an assertion) when it is asked for a string or key that holds a
// NUL character, which a binary property list can carry. Such a list is not one we read: refuse it
// before looking at any string. Its XML rendering writes strings byte for byte, so a NUL anywhere
// in it betrays one.
bool holdsNulCharacters(plist_t root) {
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    if (!xml) return true;
    const bool found = std::memchr(xml, '\0', length) != nullptr;
    std::free(xml);
    return found;
}

}  // namespace

std::optional<PlistValue> parse(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > maxFileSize) return std::nullopt;
    // An XML document never holds a NUL byte.
    const bool binary = bytes.substr(0, 8) == "bplist00";
    if (!binary && bytes.find('\0') != std::string_view::npos) return std::nullopt;
    // Refuse what nests deeper than we convert before libplist recurses into it. The root is level
    // one; an XML document wraps it in one more, the plist element. A binary list written by any
    // real writer refers to each array and dictionary once, so its tree has fewer nodes than the
    // file has bytes; one that stands for a larger tree is built to exhaust the reader.
    if (binary ? !binaryTreeWithin(bytes, maxDepth + 1, bytes.size()) : !xmlNestingWithin(bytes, maxDepth + 2))
        return std::nullopt;
    // libplist reads XML as a C string; give it a terminated copy.
    const std::string copy(bytes);
    plist_t raw = nullptr;
    plist_from_memory(copy.data(), static_cast<uint32_t>(copy.size()), &raw);
    Node root(raw);
    if (!root || (binary && holdsNulCharacters(root.get()))) return std::nullopt;
    return convert(root.get(), 0);
}

std::optional<PlistValue> readFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > maxFileSize) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    bytes.resize(static_cast<size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return parse(bytes);
}

std::optional<PlistValue> readDictionaryFile(const std::filesystem::path& path) {
    auto value = readFile(path);
    if (!value || !value->asDictionary()) return std::nullopt;
    return value;
}

std::string toBinary(const PlistValue& value) {
    Node node(toNode(value));
    char* out = nullptr;
    uint32_t length = 0;
    plist_to_bin(node.get(), &out, &length);
    std::string bytes(out ? out : "", out ? length : 0);
    std::free(out);
    return bytes;
}

std::string toXml(const PlistValue& value) {
    Node node(toNode(value));
    char* out = nullptr;
    uint32_t length = 0;
    plist_to_xml(node.get(), &out, &length);
    std::string bytes(out ? out : "", out ? length : 0);
    std::free(out);
    return bytes;
}

}  // namespace plist
}  // namespace tarnwick
