#pragma once
// Property lists (XML and binary, read through libplist) as a small value tree. Look-ups are typed
// and answer "absent" when a key is missing or holds another type, so callers fall back to their
// defaults without checking types themselves.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tarnwick {

class PlistValue {
public:
    // Dictionaries keep the order of the file.
    using Dictionary = std::vector<std::pair<std::string, PlistValue>>;
    using Array = std::vector<PlistValue>;
    struct Date {
        double secondsSince2001 = 0;  // the property-list epoch, 2001-01-01 00:00:00 UTC
        bool operator==(const Date&) const = default;
    };
    struct Data {
        std::string bytes;
        bool operator==(const Data&) const = default;
    };

    PlistValue() : value_(std::string()) {}
    PlistValue(Dictionary v) : value_(std::move(v)) {}
    PlistValue(Array v) : value_(std::move(v)) {}
    PlistValue(std::string v) : value_(std::move(v)) {}
    PlistValue(const char* v) : value_(std::string(v)) {}
    PlistValue(int64_t v) : value_(v) {}
    PlistValue(int v) : value_(int64_t{v}) {}
    PlistValue(double v) : value_(v) {}
    PlistValue(bool v) : value_(v) {}
    PlistValue(Date v) : value_(v) {}
    PlistValue(Data v) : value_(std::move(v)) {}

    const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&value_); }
    const Array* asArray() const { return std::get_if<Array>(&value_); }
    const std::string* asString() const { return std::get_if<std::string>(&value_); }
    std::optional<int64_t> asInteger() const;
    std::optional<double> asReal() const;
    std::optional<bool> asBoolean() const;
    const Date* asDate() const { return std::get_if<Date>(&value_); }
    const Data* asData() const { return std::get_if<Data>(&value_); }

    // A number that is exactly an integer: an integer, or a real without fraction in range.
    std::optional<int64_t> asWholeNumber() const;

    // Dictionary look-ups: absent when this is no dictionary, the key is missing or the type differs.
    const PlistValue* find(std::string_view key) const;
    const Dictionary* dictionaryAt(std::string_view key) const;
    const Array* arrayAt(std::string_view key) const;
    std::optional<std::string> stringAt(std::string_view key) const;
    std::optional<int64_t> integerAt(std::string_view key) const;
    std::optional<bool> booleanAt(std::string_view key) const;

    bool operator==(const PlistValue&) const = default;

private:
    std::variant<Dictionary, Array, std::string, int64_t, double, bool, Date, Data> value_;
};

namespace plist {

// Files larger than this are not property lists we read.
constexpr std::uintmax_t maxFileSize = 64u * 1024 * 1024;

// Parses XML or binary property-list bytes; absent when they are not a property list.
std::optional<PlistValue> parse(std::string_view bytes);

// Reads a property-list file; absent when it is missing, unreadable, too large or not a plist.
std::optional<PlistValue> readFile(const std::filesystem::path& path);

// Reads a property-list file whose top level must be a dictionary.
std::optional<PlistValue> readDictionaryFile(const std::filesystem::path& path);

// Writes a value as a binary or XML property list (fixtures, tools).
std::string toBinary(const PlistValue& value);
std::string toXml(const PlistValue& value);

}  // namespace plist
}  // namespace tarnwick
