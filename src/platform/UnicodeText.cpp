#include "platform/UnicodeText.h"

#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <memory>
#include <mutex>

namespace tarnwick::unicode {
namespace {

bool isAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

// The root collator; ICU collators are safe for concurrent comparisons once built.
const icu::Collator* rootCollator() {
    static const icu::Collator* collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        icu::Collator* c = icu::Collator::createInstance(icu::Locale::getRoot(), status);
        return U_SUCCESS(status) ? c : nullptr;
    }();
    return collator;
}

}  // namespace

bool isValidUtf8(std::string_view bytes) {
    const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
    const int32_t length = static_cast<int32_t>(bytes.size());
    if (bytes.size() > static_cast<size_t>(INT32_MAX)) return false;  // beyond any text we read
    int32_t i = 0;
    while (i < length) {
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c < 0) return false;
    }
    return true;
}

std::string repairUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
    const int32_t length = static_cast<int32_t>(std::min<size_t>(bytes.size(), INT32_MAX));
    int32_t i = 0;
    while (i < length) {
        const int32_t start = i;
        UChar32 c;
        U8_NEXT(s, i, length, c);
        if (c < 0)
            out += "\xEF\xBF\xBD";
        else
            out.append(bytes.substr(static_cast<size_t>(start), static_cast<size_t>(i - start)));
    }
    return out;
}

std::string lowercase(std::string_view text) {
    if (isAscii(text)) {
        std::string out(text);
        for (char& c : out)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return out;
    }
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    u.toLower(icu::Locale::getRoot());
    std::string out;
    u.toUTF8String(out);
    return out;
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
    if (isAscii(haystack) && isAscii(needle)) {
        // The common case, searched in place: it runs for every list element on every keystroke.
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (needle.empty()) return true;
        if (needle.size() > haystack.size()) return false;
        for (size_t start = 0; start + needle.size() <= haystack.size(); ++start) {
            size_t i = 0;
            while (i < needle.size() && lower(haystack[start + i]) == lower(needle[i])) ++i;
            if (i == needle.size()) return true;
        }
        return false;
    }
    return lowercase(haystack).find(lowercase(needle)) != std::string::npos;
}

int compare(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b)) {
        const int c = a.compare(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    const icu::Collator* collator = rootCollator();
    if (!collator) {
        const int c = a.compare(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = collator->compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                                                     icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
    if (U_FAILURE(status)) {
        const int c = a.compare(b);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
}

}  // namespace tarnwick::unicode
