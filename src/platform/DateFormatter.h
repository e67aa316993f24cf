#pragma once
// Formats dates with a date pattern in the Unicode style ("yyyy-MM-dd HH:mm:ss") in the
// machine's time zone, as the C library sees it (TZ, then /etc/localtime; read on every call).
// Pattern fields: yyyy yy MMMM MMM MM dd HH hh mm ss a EEEE EEE; text in single quotes and any
// other character stands as written. A formatter is a small value, safe from any thread.
#include <chrono>
#include <string>

namespace tarnwick {

// How the program shows dates to the user: scan times, the last update check.
inline constexpr const char* displayDatePattern = "yyyy-MM-dd HH:mm:ss";

class DateFormatter {
public:
    explicit DateFormatter(std::string pattern);

    const std::string& dateFormat() const { return pattern_; }
    // The date as text; "" when it cannot be formatted.
    std::string string(std::chrono::system_clock::time_point date) const;

private:
    std::string pattern_;
    std::string strftimeFormat_;  // the pattern translated once
};

}  // namespace tarnwick
