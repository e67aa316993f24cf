#include "platform/DateFormatter.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ctime>

namespace tarnwick {
namespace {

TEST(DateFormatter, PatternsInTheLocalZone) {
    using namespace std::chrono;
    const auto date = sys_days(year(2023) / December / 31) + hours(20) + minutes(7) + seconds(9) + milliseconds(999);
    const auto summer = sys_days(year(2023) / July / 1) + hours(12);
    struct Case {
        const char* zone;
        const char* pattern;
        system_clock::time_point date;
        const char* expected;
    } cases[] = {
        {"UTC", "yyyy-MM-dd HH:mm:ss", date, "2023-12-31 20:07:09"},
        {"IST-5:30", "yyyy-MM-dd HH:mm:ss", date, "2024-01-01 01:37:09"},  // across midnight and the year
        {"EST5EDT,M3.2.0,M11.1.0", "yyyy-MM-dd HH:mm", date, "2023-12-31 15:07"},
        {"EST5EDT,M3.2.0,M11.1.0", "yyyy-MM-dd HH:mm", summer, "2023-07-01 08:00"},  // summer time
        {"UTC", "dd.MM.yy hh:mm a", date, "31.12.23 08:07 PM"},
        {"UTC", "'at' HH 'o''clock' 100%", date, "at 20 o'clock 100%"},
        {"UTC", "", date, ""},
    };
    for (const Case& c : cases) {
        const DateFormatter formatter(c.pattern);  // made before the zone changes: the zone is read per call
        test::ScopedEnv zone("TZ", c.zone);
        EXPECT_EQ(formatter.string(c.date), c.expected) << c.zone << " " << c.pattern;
    }
    tzset();
}

}  // namespace
}  // namespace tarnwick
