#include "platform/DateFormatter.h"

#include <ctime>

namespace tarnwick {
namespace {

// The strftime conversion of a run of `count` pattern letters `letter`; empty when the run
// has none.
std::string conversion(char letter, size_t count) {
    switch (letter) {
    case 'y': return count == 2 ? "%y" : "%Y";
    case 'M': return count >= 4 ? "%B" : count == 3 ? "%b" : "%m";
    case 'd': return "%d";
    case 'H': return "%H";
    case 'h': return "%I";
    case 'm': return "%M";
    case 's': return "%S";
    case 'a': return "%p";
    case 'E': return count >= 4 ? "%A" : "%a";
    default: return "";
    }
}

std::string translate(const std::string& pattern) {
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {  // quoted text; '' is a quote
            size_t end = i + 1;
            if (end < pattern.size() && pattern[end] == '\'') {
                out += '\'';
                i = end + 1;
                continue;
            }
            while (end < pattern.size()) {
                if (pattern[end] == '\'') {
                    if (end + 1 < pattern.size() && pattern[end + 1] == '\'') {
                        out += '\'';
                        end += 2;
                        continue;
                    }
                    break;
                }
                out += pattern[end] == '%' ? std::string("%%") : std::string(1, pattern[end]);
                ++end;
            }
            i = end + 1;
            continue;
        }
        size_t run = i;
        while (run < pattern.size() && pattern[run] == c) ++run;
        const std::string converted = conversion(c, run - i);
        if (!converted.empty()) {
            out += converted;
        } else {
            for (size_t k = i; k < run; ++k) out += c == '%' ? "%%" : std::string(1, c);
        }
        i = run;
    }
    return out;
}

}  // namespace

DateFormatter::DateFormatter(std::string pattern) : pattern_(std::move(pattern)), strftimeFormat_(translate(pattern_)) {}

std::string DateFormatter::string(std::chrono::system_clock::time_point date) const {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(
        std::chrono::floor<std::chrono::seconds>(date));
    std::tm local{};
    tzset();  // localtime_r alone keeps the zone it read first
    if (!localtime_r(&seconds, &local)) return "";
    char text[256];
    const size_t length = std::strftime(text, sizeof text, strftimeFormat_.c_str(), &local);
    return std::string(text, length);
}

}  // namespace tarnwick
