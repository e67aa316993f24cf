#include "models/BlacklistedPlugin.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick {
namespace {

using namespace std::chrono_literals;

constexpr int plugins = 40;
constexpr int shippedVersion = 100;  // every plug-in before a merge
constexpr int indexedVersion = 2000;  // every plug-in after one

std::string pluginID(int i) { return (i % 2 ? "com.odd." : "com.even.") + std::to_string(i); }

std::vector<BlacklistedPlugin> shippedPlugins() {
    std::vector<BlacklistedPlugin> list;
    for (int i = 0; i < plugins; ++i) list.push_back(BlacklistedPlugin{pluginID(i), "N/A", false, "shipped", shippedVersion});
    return list;
}

std::string indexBody() {
    nlohmann::json index = nlohmann::json::object();
    for (int i = 0; i < plugins; ++i) index[pluginID(i)] = {{"Date", "indexed"}, {"Version", indexedVersion}};
    return index.dump();
}

// What a read may show: a sorted, filtered copy, in which a merge is either wholly done or not
// begun. Answers an empty text when the list is such, else what is wrong with it.
std::string checkList(const std::vector<BlacklistedPlugin>& list, const std::string& filter) {
    size_t expected = 0;
    for (int i = 0; i < plugins; ++i) expected += pluginID(i).find(filter) != std::string::npos;
    if (list.size() != expected) return "size " + std::to_string(list.size()) + " for filter \"" + filter + "\"";
    for (const auto& p : list) {
        if (p.plugin_id.find(filter) == std::string::npos) return p.plugin_id + " does not match \"" + filter + "\"";
        const bool merged = p.version == indexedVersion && p.date == "indexed";
        const bool shipped = p.version == shippedVersion && p.date == "shipped";
        if (!merged && !shipped) return p.plugin_id + " is half merged";
        if (p.version != list.front().version) return "a read saw a merge in progress";
    }
    return "";
}

TEST(ListModelThreads, ReadsFilterChangesAndMergesOnManyThreads) {
    test::LoopbackServer server;
    const std::string body = indexBody();
    server.server().Get("/vantor/plugins/index.json", [body](const httplib::Request&, httplib::Response& r) {
        r.set_content(body, "application/json");
    });
    server.start();

    PluginsModel model(shippedPlugins(), TarnwickNotificationNames::pluginsUpdateNotification,
                       server.url("/vantor/plugins/index.json"));
    const std::vector<std::string> filters = {"", "com.odd.", "com.even.", "1", "no such plugin"};

    std::atomic<int> running{0};
    std::atomic<int> badReads{0};
    std::atomic<int> missedFilters{0};
    std::vector<std::thread> threads;

    // Readers: any filter may be in force, but every list is whole and consistent.
    for (int r = 0; r < 3; ++r) {
        ++running;
        threads.emplace_back([&] {
            for (int i = 0; i < 150; ++i) {
                const auto [list, filter] = model.concurrentQueue.sync([&] { return std::pair(model.data(), model.filter()); });
                if (const std::string fault = checkList(list, filter); !fault.empty()) {
                    ADD_FAILURE() << fault;
                    ++badReads;
                }
            }
            --running;
        });
    }
    // The one writer of the filter: a read queued after its barrier sees that filter.
    ++running;
    threads.emplace_back([&] {
        for (int i = 0; i < 150; ++i) {
            const std::string& filter = filters[i % filters.size()];
            model.concurrentQueue.barrierAsync([&model, filter] { model.setFilter(filter); });
            if (!checkList(model.read(), filter).empty()) ++missedFilters;
        }
        --running;
    });
    // Merges, answered on the main thread and applied as barriers while all this goes on.
    for (int i = 0; i < 3; ++i) model.enrich();

    EXPECT_TRUE(test::runMainUntil([&] { return running == 0 && model.pendingEnrichments() == 0; }, 60s));
    for (auto& t : threads) t.join();
    test::drainMainQueue();  // the announcements refer to the model

    EXPECT_EQ(badReads.load(), 0);
    EXPECT_EQ(missedFilters.load(), 0);
    model.concurrentQueue.barrierAsync([&model] { model.setFilter(""); });
    const auto final = model.read();
    EXPECT_EQ(checkList(final, ""), "");
    ASSERT_FALSE(final.empty());
    EXPECT_EQ(final.front().version, indexedVersion) << "the merges were applied";
    test::drainMainQueue();
}

}  // namespace
}  // namespace tarnwick
