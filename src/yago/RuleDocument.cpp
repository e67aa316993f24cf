#include "yago/RuleDocument.h"

#include "yago/Utf8Safe.h"

#include <sys/mman.h>

#include <cstdint>

namespace tarnwick::yago {
namespace {

void appendStringArray(std::string& out, const std::vector<std::string>& items) {
    out.push_back('[');
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out.push_back(',');
        appendJsonString(out, items[i]);
    }
    out.push_back(']');
}

void appendRule(std::string& out, const Rule& rule) {
    out.append("{\"name\":");
    appendJsonString(out, rule.name);
    out.append(",\"tags\":");
    appendStringArray(out, rule.tags);
    out.append(rule.isPrivate ? ",\"private\":true" : ",\"private\":false");
    out.append(rule.isGlobal ? ",\"global\":true" : ",\"global\":false");
    out.append(",\"meta\":{");
    for (size_t i = 0; i < rule.meta.size(); ++i) {
        if (i) out.push_back(',');
        appendJsonString(out, rule.meta[i].first);
        out.push_back(':');
        appendJsonString(out, rule.meta[i].second);
    }
    out.append("},\"strings\":[");
    for (size_t i = 0; i < rule.strings.size(); ++i) {
        const RuleString& s = rule.strings[i];
        if (i) out.push_back(',');
        out.append("{\"name\":");
        appendJsonString(out, s.name);
        out.append(",\"type\":");
        out.push_back(static_cast<char>('0' + static_cast<int>(s.type)));
        out.append(",\"value\":");
        appendJsonString(out, s.value);
        out.append(",\"modifers\":");
        appendStringArray(out, s.modifiers);
        out.push_back('}');
    }
    out.append("],\"condition\":");
    appendJsonString(out, rule.condition);
    out.push_back('}');
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    static const char digits[] = "0123456789abcdef";
    out.push_back('"');
    size_t i = 0;
    while (i < text.size()) {
        // Copy the run that needs no escaping in one piece.
        size_t run = i;
        while (run < text.size()) {
            const unsigned char c = text[run];
            if (c < 0x20 || c == '"' || c == '\\' || c >= 0x80) break;
            ++run;
        }
        out.append(text.substr(i, run - i));
        i = run;
        if (i == text.size()) break;
        const unsigned char c = text[i];
        if (c >= 0x80) {
            const size_t length = utf8SequenceLength(text.substr(i));
            if (length == 0) {
                out.append("\xEF\xBF\xBD");
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
            continue;
        }
        switch (c) {
        case '"': out.append("\\\""); break;
        case '\\': out.append("\\\\"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        case '\t': out.append("\\t"); break;
        case '\b': out.append("\\b"); break;
        case '\f': out.append("\\f"); break;
        default:
            out.append("\\u00");
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
        }
        ++i;
    }
    out.push_back('"');
}

namespace {

// Close to the document's length, so it is built without growing and copying over and again.
size_t estimatedLength(const std::vector<Rule>& rules) {
    size_t length = 64;
    for (const Rule& r : rules) {
        length += 128 + r.name.size() + r.condition.size() + r.condition.size() / 8;
        for (const auto& t : r.tags) length += t.size() + 4;
        for (const auto& [k, v] : r.meta) length += k.size() + v.size() + v.size() / 8 + 6;
        for (const auto& s : r.strings) {
            length += 64 + s.name.size() + s.value.size() + s.value.size() / 8;
            for (const auto& m : s.modifiers) length += m.size() + 4;
        }
    }
    return length;
}

}  // namespace

DocumentWriter::DocumentWriter(size_t expectedLength) {
    out_.reserve(expectedLength + 64);
    // A document of many megabytes would otherwise take a page fault for every page it fills;
    // asking for all of its pages at once is much cheaper. Only a hint: errors are ignored.
    constexpr size_t page = 4096;
    const auto begin = (reinterpret_cast<uintptr_t>(out_.data()) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<uintptr_t>(out_.data()) + out_.capacity()) & ~(page - 1);
    if (expectedLength >= (1u << 20) && end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
    out_.append("{\"ruleset\":[{\"rules\":[");
}

void DocumentWriter::add(const Rule& rule) {
    if (!first_) out_.push_back(',');
    first_ = false;
    appendRule(out_, rule);
}

std::string DocumentWriter::finish() {
    out_.append("]}]}\n");
    return std::move(out_);
}

std::string renderDocument(const std::vector<Rule>& rules) {
    DocumentWriter writer(estimatedLength(rules));
    for (const Rule& rule : rules) writer.add(rule);
    return writer.finish();
}

}  // namespace tarnwick::yago
