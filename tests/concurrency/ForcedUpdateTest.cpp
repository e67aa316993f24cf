// The forced update runs on the shared background queue; its notifications reach observers on
// the main thread, started before finished.
#include "platform/BackgroundQueue.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "support/TestSupport.h"
#include "support/UpdateFixtures.h"
#include "update/XProtectUpdate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace tarnwick {
namespace {

using test::FakeSoftwareUpdate;
using test::ScopedEnv;
using Calls = std::vector<std::vector<std::string>>;

const std::vector<std::string> listingCall = {"-l", "--include-config-data"};

std::vector<std::string> installCall(const std::string& label) { return {"-i", label, "--include-config-data"}; }

// Forces an update on the background queue and records, on the main thread, what was announced.
struct ForcedRun {
    explicit ForcedRun(const std::string& command) {
        ScopedEnv softwareUpdate("TARNWICK_SOFTWAREUPDATE", command);
        auto& center = NotificationCenter::defaultCenter();
        for (const char* name : {"xProtectUpdateStartedNotification", "xProtectUpdateFinishedNotification"})
            tokens.push_back(center.addObserver(name, [this](const Notification& n) {
                std::lock_guard guard(mutex);
                announced.push_back(n.name);
                onMainThread = onMainThread && MainQueue::isMainThread();
                objectless = objectless && !n.object.has_value();
            }));
        std::atomic<bool> returned{false};
        BackgroundQueue::async([this, &returned] {
            update.forceUpdates();
            returned = true;
        });
        finished = test::runMainUntil([&] {
            std::lock_guard guard(mutex);
            return returned && announced.size() == 2;
        });
        for (auto token : tokens) center.removeObserver(token);
    }

    XProtectUpdate update;
    std::vector<NotificationCenter::Token> tokens;
    std::mutex mutex;
    std::vector<std::string> announced;
    bool onMainThread = true;
    bool objectless = true;
    bool finished = false;
};

const std::vector<std::string> startedThenFinished = {"xProtectUpdateStartedNotification",
                                                      "xProtectUpdateFinishedNotification"};

TEST(ForcedUpdate, InstallsEveryLabelOfTheListingInOrder) {
    FakeSoftwareUpdate command("* Label: XProtectPlistConfigData_10_15-2166\n\tTitle: XProtectPlistConfigData\n"
                               "   * XProtectPlistConfigData-1.0\n"
                               "* Label: XProtectPlistConfigData_10_15-2166\n");
    ForcedRun run(command.path());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.announced, startedThenFinished);
    EXPECT_TRUE(run.onMainThread);
    EXPECT_TRUE(run.objectless);
    EXPECT_EQ(command.calls(), (Calls{listingCall, installCall("XProtectPlistConfigData_10_15-2166"),
                                      installCall("XProtectPlistConfigData-1.0"),
                                      installCall("XProtectPlistConfigData_10_15-2166")}));
}

TEST(ForcedUpdate, LabelsReachTheCommandAsTheyAreWithoutAShell) {
    test::TempDir dir;
    const auto pwned = dir / "pwned";
    const std::string label = "XProtectPlistConfigData-$(touch${IFS}" + pwned.string() + ");`touch${IFS}" +
                              pwned.string() + "`'\"*";
    FakeSoftwareUpdate command(label + "\n");
    ForcedRun run(command.path());
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(command.calls(), (Calls{listingCall, installCall(label)}));
    EXPECT_FALSE(std::filesystem::exists(pwned));
}

TEST(ForcedUpdate, WithoutALabelOrACommandItStillAnnouncesBothEnds) {
    FakeSoftwareUpdate nothingToInstall("Software Update Tool\n\nNo new software available.\n");
    FakeSoftwareUpdate notUtf8("XProtectPlistConfigData-1.0 \xFF\xFE\n");
    FakeSoftwareUpdate silent("");
    const struct {
        const char* what;
        std::string command;
        const FakeSoftwareUpdate* fake;
    } cases[] = {
        {"no label in the listing", nothingToInstall.path(), &nothingToInstall},
        {"a listing that is not UTF-8", notUtf8.path(), &notUtf8},
        {"an empty listing", silent.path(), &silent},
        {"no such command", (nothingToInstall.dir() / "missing").string(), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ForcedRun run(c.command);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.announced, startedThenFinished);
        if (c.fake) {
            EXPECT_EQ(c.fake->calls(), Calls{listingCall});
        }
    }
}

}  // namespace
}  // namespace tarnwick
