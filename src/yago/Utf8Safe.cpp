#include "yago/Utf8Safe.h"

namespace tarnwick::yago {

size_t utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty()) return 0;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    if (byte(1) < low || byte(1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    return length;
}

void appendLiteral(std::string& out, std::string_view literal) {
    size_t i = 0;
    while (i < literal.size() && static_cast<unsigned char>(literal[i]) < 0x80) ++i;
    if (i == literal.size()) {
        out.append(literal);
        return;
    }
    static const char digits[] = "0123456789ABCDEF";
    out.append(literal.substr(0, i));
    // Whether the character at i is escaped by a backslash before it.
    bool escaped = false;
    for (size_t j = i; j-- > 0 && literal[j] == '\\';) escaped = !escaped;
    while (i < literal.size()) {
        const unsigned char c = literal[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            escaped = c == '\\' && !escaped;
            ++i;
            continue;
        }
        const size_t length = utf8SequenceLength(literal.substr(i));
        if (length > 0) {
            out.append(literal.substr(i, length));
            i += length;
        } else {
            if (escaped) out.pop_back();
            out.append("\\x");
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
            ++i;
        }
        escaped = false;
    }
}

}  // namespace tarnwick::yago
