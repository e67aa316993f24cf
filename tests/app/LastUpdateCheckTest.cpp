#include "app/TarnwickModel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <ctime>

namespace tarnwick {
namespace {

using test::ScopedEnv;

TEST(TarnwickModel, LastUpdateCheckShowsTheCheckTimeInLocalTime) {
    test::TempDir empty;
    ScopedEnv root("TARNWICK_ROOT", empty.path().string());
    ScopedEnv home("TARNWICK_HOME", (empty / "Users/nobody").string());
    ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
    auto* model = new TarnwickModel;
    EXPECT_EQ(model->lastUpdateCheck(), "Not Available");

    using namespace std::chrono;
    model->_update.checkTime = sys_days(year(2024) / March / 5) + hours(13) + minutes(4) + seconds(5) + milliseconds(900);
    {
        ScopedEnv zone("TZ", "UTC");
        tzset();
        EXPECT_EQ(model->lastUpdateCheck(), "2024-03-05 13:04:05");
    }
    {
        ScopedEnv zone("TZ", "IST-5:30");  // five and a half hours east, across midnight
        tzset();
        model->_update.checkTime = sys_days(year(2023) / December / 31) + hours(20);
        EXPECT_EQ(model->lastUpdateCheck(), "2024-01-01 01:30:00");
    }
    tzset();

    ASSERT_TRUE(test::runMainUntil([&] {
        return model->_plugins.pendingEnrichments() == 0 && model->_extensions.pendingEnrichments() == 0;
    }));
    test::drainMainQueue();
    delete model;
}

}  // namespace
}  // namespace tarnwick
