#pragma once
// Formats dates with a Unicode date pattern ("yyyy-MM-dd HH:mm:ss"), through ICU, with the names
// of the machine's default locale, in the machine's time zone as the C library sees it (TZ, then
// /etc/localtime; read on every call). A formatter is a small value, safe from any thread.
#include <chrono>
#include <string>
#include <utility>

namespace tarnwick {

// How the program shows dates to the user: scan times, the last update check.
inline constexpr const char* displayDatePattern = "yyyy-MM-dd HH:mm:ss";

class DateFormatter {
public:
    explicit DateFormatter(std::string pattern) : pattern_(std::move(pattern)) {}

    const std::string& dateFormat() const { return pattern_; }
    // The date as text; "" when it cannot be formatted.
    std::string string(std::chrono::system_clock::time_point date) const;

private:
    std::string pattern_;
};

}  // namespace tarnwick
