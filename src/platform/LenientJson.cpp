#include "platform/LenientJson.h"

#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <limits>

namespace tarnwick::json {
namespace {

std::string decimalText(double value) {
    if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < 1e15)
        return std::to_string(static_cast<int64_t>(value));
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

int64_t clampToInteger(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
    if (value <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(value);  // truncates toward zero
}

}  // namespace

const Json* at(const Json& document, std::initializer_list<std::string_view> path) {
    const Json* current = &document;
    for (std::string_view key : path) {
        if (!current->is_object()) return nullptr;
        auto it = current->find(key);
        if (it == current->end()) return nullptr;
        current = &*it;
    }
    return current;
}

std::string text(const Json* value) {
    if (!value) return "";
    switch (value->type()) {
    case Json::value_t::string: return value->get_ref<const std::string&>();
    case Json::value_t::number_integer: return std::to_string(value->get<int64_t>());
    case Json::value_t::number_unsigned: return std::to_string(value->get<uint64_t>());
    case Json::value_t::number_float: return decimalText(value->get<double>());
    case Json::value_t::boolean: return value->get<bool>() ? "true" : "false";
    default: return "";
    }
}

std::string text(const Json& document, std::initializer_list<std::string_view> path) {
    return text(at(document, path));
}

int64_t integer(const Json* value) {
    if (!value) return 0;
    switch (value->type()) {
    case Json::value_t::number_integer: return value->get<int64_t>();
    case Json::value_t::number_unsigned: {
        const uint64_t v = value->get<uint64_t>();
        return v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ? std::numeric_limits<int64_t>::max()
                                                                             : static_cast<int64_t>(v);
    }
    case Json::value_t::number_float: return clampToInteger(value->get<double>());
    case Json::value_t::boolean: return value->get<bool>() ? 1 : 0;
    case Json::value_t::string: {
        const std::string& s = value->get_ref<const std::string&>();
        const char* begin = s.c_str();
        while (*begin == ' ' || *begin == '\t') ++begin;
        // Only a decimal number counts: strtod alone would also read "inf", "nan" and "0x10".
        const char* digits = begin + (*begin == '+' || *begin == '-');
        const bool decimal = std::isdigit(static_cast<unsigned char>(digits[0])) ||
                             (digits[0] == '.' && std::isdigit(static_cast<unsigned char>(digits[1])));
        if (!decimal) return 0;
        if (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) return 0;
        // The C locale's decimal point, whatever locale the window has set.
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
        char* end = nullptr;
        const double parsed = strtod_l(begin, &end, cLocale);
        return end == begin ? 0 : clampToInteger(parsed);
    }
    default: return 0;
    }
}

int64_t integer(const Json& document, std::initializer_list<std::string_view> path) {
    return integer(at(document, path));
}

std::optional<Json> parse(std::string_view text) {
    Json value = Json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
    if (value.is_discarded()) return std::nullopt;
    return value;
}

}  // namespace tarnwick::json
