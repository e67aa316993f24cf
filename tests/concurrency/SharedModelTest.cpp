// sharedModel() is built once per process; ctest runs each test of this file in a process of its
// own, so the environment set here is the one the model is built from.
#include "app/TarnwickModel.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <latch>
#include <thread>

namespace tarnwick {
namespace {

using Dict = PlistValue::Dictionary;

TEST(SharedModel, FirstUseFromTwoThreadsAtOnceBuildsOneModel) {
    test::TempDir mac;
    mac.writeBinaryPlist(
        "Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.meta.plist",
        Dict{{"Version", 2158.0}, {"PlugInBlacklist", Dict{{"10", Dict{{"com.example.plugin", Dict{}}}}}}});
    test::ScopedEnv root("TARNWICK_ROOT", mac.path().string());
    test::ScopedEnv home("TARNWICK_HOME", (mac / "Users/u").string());
    test::ScopedEnv config("XDG_CONFIG_HOME", (mac / "config").string());
    test::ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
    test::NotificationRecorder recorder({"pluginsUpdateNotification", "extensionsUpdateNotification"});

    std::latch start(2);
    TarnwickModel* seen[2] = {};
    size_t plugins[2] = {};
    auto use = [&](int i) {
        start.arrive_and_wait();
        seen[i] = &sharedModel();
        plugins[i] = seen[i]->plugins().size();
    };
    std::thread a(use, 0), b(use, 1);
    a.join();
    b.join();

    ASSERT_NE(seen[0], nullptr);
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(&sharedModel(), seen[0]);
    EXPECT_EQ(plugins[0], 1u);
    EXPECT_EQ(plugins[1], 1u);

    // Each build sends one enrichment per blacklist, announced once; the refused answer adds none.
    TarnwickModel& model = sharedModel();
    ASSERT_TRUE(test::runMainUntil(
        [&] { return model._plugins.pendingEnrichments() == 0 && model._extensions.pendingEnrichments() == 0; }));
    test::drainMainQueue();
    EXPECT_EQ(recorder.count("pluginsUpdateNotification"), 1u) << "built once";
    EXPECT_EQ(recorder.count("extensionsUpdateNotification"), 1u) << "built once";
}

}  // namespace
}  // namespace tarnwick
