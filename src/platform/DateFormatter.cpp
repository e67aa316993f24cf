#include "platform/DateFormatter.h"

#include <unicode/simpletz.h>
#include <unicode/smpdtfmt.h>

#include <ctime>

namespace tarnwick {

std::string DateFormatter::string(std::chrono::system_clock::time_point date) const {
    using namespace std::chrono;
    const milliseconds since1970 = floor<milliseconds>(date.time_since_epoch());
    const std::time_t seconds = floor<std::chrono::seconds>(since1970).count();
    std::tm local{};
    tzset();  // localtime_r alone keeps the zone it read first
    if (!localtime_r(&seconds, &local)) return "";
    // ICU keeps the zone it found first and reads no POSIX zone string (TZ=IST-5:30 comes out as
    // UTC), so the zone is the offset the C library gives for this instant. The ICU formatter is
    // built for the call: no two threads share one.
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(icu::UnicodeString::fromUTF8(pattern_), status);  // the default locale
    if (U_FAILURE(status)) return "";
    format.adoptTimeZone(new icu::SimpleTimeZone(static_cast<int32_t>(local.tm_gmtoff * 1000), "Local"));
    icu::UnicodeString text;
    format.format(static_cast<UDate>(since1970.count()), text, nullptr, status);
    std::string out;
    return U_SUCCESS(status) ? text.toUTF8String(out) : "";
}

}  // namespace tarnwick
