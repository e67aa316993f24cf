#include "update/ConfigDataLabels.h"

#include <cstdint>

namespace tarnwick {
namespace {

constexpr std::string_view labelPrefix = "XProtectPlistConfigData-";
constexpr std::string_view modernLabelPrefix = "XProtectPlistConfigData_";

// Unicode's white-space and line-break characters.
bool isSeparator(uint32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

// Decodes the character at `i` and moves past it. Bytes that do not start a well-formed sequence
// are taken one at a time and never count as separators.
uint32_t next(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > text.size()) {
        ++i;
        return 0xFFFD;
    }
    uint32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    i += length;
    return c;
}

}  // namespace

std::vector<std::string> listingWords(std::string_view listing) {
    std::vector<std::string> words;
    size_t start = 0;
    size_t i = 0;
    while (i < listing.size()) {
        const size_t at = i;
        if (isSeparator(next(listing, i))) {
            words.emplace_back(listing.substr(start, at - start));
            start = i;
        }
    }
    words.emplace_back(listing.substr(start));
    return words;
}

bool isConfigDataLabel(std::string_view word) {
    if (word.starts_with(labelPrefix)) return true;
    return word.starts_with(modernLabelPrefix) && word.find('-', modernLabelPrefix.size()) != std::string_view::npos;
}

std::vector<std::string> configDataLabels(std::string_view listing) {
    std::vector<std::string> labels;
    for (auto& word : listingWords(listing))
        if (isConfigDataLabel(word)) labels.push_back(std::move(word));
    return labels;
}

}  // namespace tarnwick
