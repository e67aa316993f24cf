#pragma once
// Forgiving reads of JSON documents: a path of member names leads to a value, and a missing
// member, a null or a value of another kind gives "" or 0 instead of an error.
#include <nlohmann/json.hpp>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick::json {

using Json = nlohmann::json;

// The value at the path of object members, or nullptr when a step is missing or not an object.
const Json* at(const Json& document, std::initializer_list<std::string_view> path);

// Text of a value: a string as it is, a number as its decimal text, a boolean as true or false;
// "" for null, a missing value, an array or an object.
std::string text(const Json* value);
std::string text(const Json& document, std::initializer_list<std::string_view> path);

// Integer of a value: an integer as it is, a real truncated (and held inside the 64-bit range),
// a boolean as 1 or 0, a string by its leading decimal number; 0 otherwise.
int64_t integer(const Json* value);
int64_t integer(const Json& document, std::initializer_list<std::string_view> path);

// Parses text, answering absent instead of throwing.
std::optional<Json> parse(std::string_view text);

}  // namespace tarnwick::json
