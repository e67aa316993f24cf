#include "platform/NotificationCenter.h"

#include "models/BlacklistedPlugin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

TEST(NotificationCenter, ObserversChangedDuringADeliveryFollowTheRules) {
    NotificationCenter center;
    std::vector<std::string> calls;  // posts happen on this thread only
    NotificationCenter::Token self{}, victim{}, late{};

    // Registered first: removes itself and adds a replacement, then removes the observer after it.
    self = center.addObserver("n", [&](const Notification&) {
        calls.push_back("self");
        center.removeObserver(self);
        late = center.addObserver("n", [&](const Notification&) { calls.push_back("late"); });
        center.removeObserver(victim);
    });
    victim = center.addObserver("n", [&](const Notification&) { calls.push_back("victim"); });
    // Posts again from inside a delivery, to another name.
    center.addObserver("n", [&](const Notification&) {
        calls.push_back("stays");
        center.post("other");
    });
    center.addObserver("other", [&](const Notification&) { calls.push_back("other"); });

    center.post("n");
    EXPECT_EQ(calls, (std::vector<std::string>{"self", "stays", "other"}))
        << "the removed observer is not called; the added one waits for the next post";
    calls.clear();
    center.post("n");
    EXPECT_EQ(calls, (std::vector<std::string>{"stays", "other", "late"}));
}

TEST(NotificationCenter, DeliversOnThePostingThreadWithValuesOfAnyType) {
    NotificationCenter center;
    std::thread::id deliveredOn;
    std::optional<BlacklistedPlugin> item;
    std::optional<int> index;
    std::optional<std::string> indexAsText;
    std::optional<std::string> missing;
    int* sender = nullptr;
    center.addObserver("selection", [&](const Notification& n) {
        deliveredOn = std::this_thread::get_id();
        item = n.info<BlacklistedPlugin>("item");
        index = n.info<int>("index");
        indexAsText = n.info<std::string>("index");
        missing = n.info<std::string>("absent");
        sender = std::any_cast<int*>(n.object);
    });
    int object = 0;
    std::thread::id poster;
    std::thread thread([&] {
        poster = std::this_thread::get_id();
        center.post("selection", &object,
                    {{"item", BlacklistedPlugin{"com.example.plugin", "1.2", true, "2020-01-01", 2100}}, {"index", 7}});
    });
    thread.join();
    EXPECT_EQ(deliveredOn, poster);
    ASSERT_TRUE(item.has_value());
    EXPECT_EQ(item->plugin_id, "com.example.plugin");
    EXPECT_EQ(item->version, 2100);
    EXPECT_EQ(index, 7);
    EXPECT_EQ(indexAsText, std::nullopt) << "a value of another type is absent";
    EXPECT_EQ(missing, std::nullopt);
    EXPECT_EQ(sender, &object);
}

TEST(NotificationCenter, ConcurrentPostsAddsAndRemovesAreRaceFree) {
    NotificationCenter center;
    constexpr int posters = 3, postsEach = 400, churners = 2;
    std::atomic<int> heard{0};
    std::atomic<int> wrongThread{0};
    std::atomic<int> churnCalls{0};

    // Always registered: must hear every post, each on the thread that posted it.
    center.addObserver("tick", [&](const Notification& n) {
        if (n.info<std::thread::id>("poster") != std::this_thread::get_id()) ++wrongThread;
        ++heard;
    });

    std::atomic<bool> postingDone{false};
    std::vector<std::thread> threads;
    for (int c = 0; c < churners; ++c)
        threads.emplace_back([&] {
            while (!postingDone) {
                auto a = center.addObserver("tick", [&](const Notification&) { ++churnCalls; });
                // One that removes itself when it first hears a post.
                // (A poster may call it before addObserver has returned its token here.)
                auto id = std::make_shared<std::atomic<uint64_t>>(0);
                const auto token = center.addObserver("tick", [&center, id](const Notification&) {
                    if (const uint64_t known = id->load()) center.removeObserver({known});
                });
                id->store(token.id);
                center.removeObserver(a);
                std::this_thread::yield();
                center.removeObserver(token);
            }
        });
    for (int p = 0; p < posters; ++p)
        threads.emplace_back([&] {
            for (int i = 0; i < postsEach; ++i) center.post("tick", {}, {{"poster", std::this_thread::get_id()}});
        });
    for (size_t t = churners; t < threads.size(); ++t) threads[t].join();
    postingDone = true;
    for (int c = 0; c < churners; ++c) threads[c].join();

    EXPECT_EQ(heard.load(), posters * postsEach);
    EXPECT_EQ(wrongThread.load(), 0);
}

}  // namespace
}  // namespace tarnwick
