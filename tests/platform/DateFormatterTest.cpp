#include "platform/DateFormatter.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ctime>

namespace tarnwick {
namespace {

TEST(DateFormatter, PatternsInTheLocalZone) {
    using namespace std::chrono;
    const auto date = sys_days(year(2023) / December / 31) + hours(20) + minutes(7) + seconds(9) + milliseconds(999);
    struct Case {
        const char* zone;
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"UTC", "yyyy-MM-dd HH:mm:ss", "2023-12-31 20:07:09"},
        {"IST-5:30", "yyyy-MM-dd HH:mm:ss", "2024-01-01 01:37:09"},  // across midnight and the year
        {"UTC", "dd.MM.yy hh:mm a", "31.12.23 08:07 PM"},
        {"UTC", "'at' HH 'o''clock' 100%", "at 20 o'clock 100%"},
        {"UTC", "", ""},
    };
    for (const Case& c : cases) {
        test::ScopedEnv zone("TZ", c.zone);
        EXPECT_EQ(DateFormatter(c.pattern).string(date), c.expected) << c.zone << " " << c.pattern;
    }
    tzset();
}

}  // namespace
}  // namespace tarnwick
