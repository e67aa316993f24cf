#include "models/BlacklistedExtension.h"
#include "models/BlacklistedPlugin.h"
#include "models/GKCheck.h"
#include "models/InstalledExtension.h"
#include "models/InstalledPlugin.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace tarnwick {
namespace {

using test::LoopbackServer;
using test::NotificationRecorder;
using test::drainMainQueue;
using test::runMainUntil;

const std::string pluginsNote = name(TarnwickNotificationNames::pluginsUpdateNotification);

BlacklistedPlugin plugin(const std::string& id, int64_t version) { return BlacklistedPlugin{id, "N/A", false, "", version}; }

template <class Model>
std::vector<std::string> keys(const Model& model, std::string (*key)(const typename Model::Element&)) {
    std::vector<std::string> out;
    for (const auto& e : model.read()) out.push_back(key(e));
    return out;
}

// Owns a model and drains the main queue before it goes, since queued announcements refer to it.
template <class Model>
struct Owned {
    template <class... Args>
    explicit Owned(Args&&... args) : model(std::forward<Args>(args)...) {}
    ~Owned() { drainMainQueue(); }
    Model model;
};

TEST(ListOrder, EachListHasItsOwnOrder) {
    Owned<PluginsModel> plugins(std::vector{plugin("a", 2081), plugin("b", 2150), plugin("c", 2100)},
                                TarnwickNotificationNames::pluginsUpdateNotification, "");
    EXPECT_EQ(keys<PluginsModel>(plugins.model, [](const BlacklistedPlugin& p) { return p.plugin_id; }),
              (std::vector<std::string>{"b", "c", "a"}))
        << "highest version first";

    Owned<GKChecksModel> checks(std::vector<GKCheck>{{"com.b"}, {"Com.z"}, {"com.a"}},
                                TarnwickNotificationNames::gkChecksUpdateNotification, "");
    EXPECT_EQ(keys<GKChecksModel>(checks.model, [](const GKCheck& c) { return c.codeSigID; }),
              (std::vector<std::string>{"Com.z", "com.a", "com.b"}))
        << "ascending, upper case before lower case";

    std::vector<InstalledPlugin> installed(3);
    installed[0].bundleID = "org.m";
    installed[1].bundleID = "com.z";
    installed[2].bundleID = "net.a";
    Owned<InstalledPluginsModel> installedPlugins(installed, TarnwickNotificationNames::installedPluginsUpdateNotification, "");
    EXPECT_EQ(keys<InstalledPluginsModel>(installedPlugins.model, [](const InstalledPlugin& p) { return p.bundleID; }),
              (std::vector<std::string>{"com.z", "net.a", "org.m"}));

    std::vector<InstalledExtension> extensions(3);
    extensions[0].bundleID = "com.b";
    extensions[1].bundleID = "com.c";
    extensions[2].bundleID = "com.a";
    Owned<InstalledExtensionsModel> installedExtensions(extensions,
                                                        TarnwickNotificationNames::installedExtensionsUpdateNotification, "");
    EXPECT_EQ(keys<InstalledExtensionsModel>(installedExtensions.model, [](const InstalledExtension& e) { return e.bundleID; }),
              (std::vector<std::string>{"com.c", "com.b", "com.a"}))
        << "descending: Z before A";
}

TEST(ListOrder, NonAsciiKeysSortByCollationWithoutBreakingTheSort) {
    // Keys that each hold a character beyond ASCII compare by collation alone: letters with their
    // accents beside the plain ones, case second, where bytes would put every accented letter
    // after z and upper case first.
    Owned<GKChecksModel> collated(std::vector<GKCheck>{{"Zürich"}, {"ést"}, {"äpfel"}, {"Öl"}, {"zoë"}, {"Ärger"}, {"ßa"}},
                                  TarnwickNotificationNames::gkChecksUpdateNotification, "");
    EXPECT_EQ(keys<GKChecksModel>(collated.model, [](const GKCheck& c) { return c.codeSigID; }),
              (std::vector<std::string>{"äpfel", "Ärger", "ést", "Öl", "ßa", "zoë", "Zürich"}));

    // Mixed ASCII and non-ASCII keys: the order is not transitive across the two comparisons,
    // which must not upset the sort (it once could read out of bounds).
    std::vector<GKCheck> checks;
    for (const char* id : {"Z", "a", "ä", "B", "é", "e", "Å", "z", "ß", "s", "Ö", "o"})
        for (int i = 0; i < 8; ++i) checks.push_back(GKCheck{std::string(id) + std::to_string(i)});
    Owned<GKChecksModel> model(checks, TarnwickNotificationNames::gkChecksUpdateNotification, "");
    auto sorted = model.model.read();
    auto byBytes = [](const GKCheck& a, const GKCheck& b) { return a.codeSigID < b.codeSigID; };
    std::sort(sorted.begin(), sorted.end(), byBytes);
    std::sort(checks.begin(), checks.end(), byBytes);
    EXPECT_EQ(sorted, checks) << "every element is still there, once";
}

struct FilterCase {
    const char* filter;
    std::vector<std::string> expected;
};

TEST(ListFilter, MatchesAnywhereIgnoringCase) {
    Owned<PluginsModel> owned(
        std::vector{plugin("com.macromedia.Flash Player.plugin", 3), plugin("com.oracle.java.JavaAppletPlugin", 2),
                    plugin("org.ÄPFEL.plugin", 1)},
        TarnwickNotificationNames::pluginsUpdateNotification, "");
    PluginsModel& model = owned.model;
    const FilterCase cases[] = {
        {"", {"com.macromedia.Flash Player.plugin", "com.oracle.java.JavaAppletPlugin", "org.ÄPFEL.plugin"}},
        {"FLASH", {"com.macromedia.Flash Player.plugin"}},
        {"flash player", {"com.macromedia.Flash Player.plugin"}},
        {"player flash", {}},
        {"java", {"com.oracle.java.JavaAppletPlugin"}},
        {"äpfel", {"org.ÄPFEL.plugin"}},
        {"plugin", {"com.macromedia.Flash Player.plugin", "com.oracle.java.JavaAppletPlugin", "org.ÄPFEL.plugin"}},
        {"nothing", {}},
    };
    for (const auto& c : cases) {
        model.concurrentQueue.barrierAsync([&model, &c] { model.setFilter(c.filter); });
        EXPECT_EQ(keys<PluginsModel>(model, [](const BlacklistedPlugin& p) { return p.plugin_id; }), c.expected)
            << "filter \"" << c.filter << "\"";
    }
}

TEST(ListFilter, EverySetAnnouncesFilterOnTheMainThread) {
    NotificationRecorder recorder({pluginsNote});
    Owned<PluginsModel> owned(std::vector{plugin("a", 1)}, TarnwickNotificationNames::pluginsUpdateNotification, "");
    bool mainThread = true;
    auto token = NotificationCenter::defaultCenter().addObserver(pluginsNote, [&](const Notification& n) {
        mainThread = mainThread && MainQueue::isMainThread();
        EXPECT_EQ(std::any_cast<XPArrayModel<BlacklistedPlugin>*>(n.object), &owned.model) << "the object is the list model";
    });
    for (int i = 0; i < 2; ++i)
        owned.model.concurrentQueue.barrierAsync([&] { owned.model.setFilter("same"); });
    EXPECT_TRUE(runMainUntil([&] { return recorder.count(pluginsNote) == 2; }));
    EXPECT_EQ(recorder.texts(pluginsNote, "reason"), (std::vector<std::string>{"Filter", "Filter"}));
    EXPECT_TRUE(mainThread);
    NotificationCenter::defaultCenter().removeObserver(token);
}

// An enrichment server on loopback answering the plug-in index with the given body.
struct IndexServer {
    explicit IndexServer(std::string body, int status = 200) {
        server.server().Get("/vantor/plugins/index.json", [body, status](const httplib::Request&, httplib::Response& r) {
            r.status = status;
            r.set_content(body, "application/json");
        });
        server.start();
    }
    std::string url() const { return server.url("/vantor/plugins/index.json"); }
    LoopbackServer server;
};

struct Enriched {
    std::vector<BlacklistedPlugin> list;
    std::vector<std::string> reasons;
};

Enriched enrichPlugins(const std::string& url, bool expectMerge) {
    NotificationRecorder recorder({pluginsNote});
    Owned<PluginsModel> owned(std::vector{plugin("com.listed", 5), plugin("com.unlisted", 6)},
                              TarnwickNotificationNames::pluginsUpdateNotification, url);
    for (auto& p : owned.model.read()) EXPECT_EQ(p.date, "");
    owned.model.enrich();
    EXPECT_TRUE(runMainUntil([&] { return owned.model.pendingEnrichments() == 0; }));
    drainMainQueue();
    Enriched out{owned.model.read(), recorder.texts(pluginsNote, "reason")};
    EXPECT_EQ(out.reasons.size(), expectMerge ? 2u : 1u);
    return out;
}

const BlacklistedPlugin& byId(const std::vector<BlacklistedPlugin>& list, const std::string& id) {
    for (const auto& p : list)
        if (p.plugin_id == id) return p;
    throw std::runtime_error("no " + id);
}

TEST(ListEnrichment, MergeOverwritesEveryElementAndAnnouncesTwice) {
    IndexServer server(R"({"com.listed": {"Date": "2019-10-29", "Version": 2107}})");
    const Enriched e = enrichPlugins(server.url(), true);
    EXPECT_EQ(e.reasons, (std::vector<std::string>{"Enriched", "Enriched"}));
    EXPECT_EQ(byId(e.list, "com.listed").date, "2019-10-29");
    EXPECT_EQ(byId(e.list, "com.listed").version, 2107);
    EXPECT_EQ(byId(e.list, "com.unlisted").date, "") << "the index lacks it";
    EXPECT_EQ(byId(e.list, "com.unlisted").version, 0);

    const auto requests = server.server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].headers.count("Cache-Control"), 1u) << "asks for a fresh answer";
}

TEST(ListEnrichment, FailedRequestChangesNothing) {
    const std::string refused = test::refusedURL("/vantor/plugins/index.json");
    for (const std::string& url : {refused, std::string(""), std::string("not a url")}) {
        const Enriched e = enrichPlugins(url, false);
        EXPECT_EQ(e.reasons, std::vector<std::string>{"Enriched"}) << url;
        EXPECT_EQ(byId(e.list, "com.listed").version, 5) << url;
    }
}

TEST(ListEnrichment, BodyThatIsNotJsonChangesNothing) {
    IndexServer server("<html>not json</html>");
    const Enriched e = enrichPlugins(server.url(), false);
    EXPECT_EQ(byId(e.list, "com.unlisted").version, 6);
}

TEST(ListEnrichment, JsonThatIsNotAnObjectClearsEveryElement) {
    for (const char* body : {"[1, 2, 3]", "42", "\"text\"", "null"}) {
        IndexServer server(body);
        const Enriched e = enrichPlugins(server.url(), true);
        for (const auto& p : e.list) {
            EXPECT_EQ(p.date, "") << body;
            EXPECT_EQ(p.version, 0) << body;
        }
    }
}

// An error page is no index, even one that parses as JSON: before, a 404 whose body was a JSON
// error object cleared every element.
TEST(ListEnrichment, AnErrorStatusChangesNothingWhateverTheBody) {
    const struct {
        int status;
        const char* body;
    } cases[] = {
        {404, R"({"error": "not found"})"},
        {500, R"({"com.listed": {"Date": "d", "Version": 1}})"},
        {503, "[]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        IndexServer server(c.body, c.status);
        const Enriched e = enrichPlugins(server.url(), false);
        EXPECT_EQ(e.reasons, std::vector<std::string>{"Enriched"}) << "nothing announced after the request";
        EXPECT_EQ(byId(e.list, "com.listed").version, 5);
        EXPECT_EQ(byId(e.list, "com.unlisted").version, 6);
    }
}

// The window may drop a model while its request is out: the answer, when it comes, must find
// nothing of the model to touch (AddressSanitizer reports any use after the model is gone).
TEST(ListEnrichment, AnAnswerAfterTheModelIsGoneIsDropped) {
    std::mutex mutex;
    std::condition_variable changed;
    bool release = false;
    bool answered = false;
    LoopbackServer server;
    server.server().Get("/index.json", [&](const httplib::Request&, httplib::Response& res) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return release; });
        res.set_content(R"({"com.listed": {"Version": 1}})", "application/json");
        answered = true;
    });
    server.start();
    NotificationRecorder recorder({pluginsNote});

    auto* model = new PluginsModel(std::vector{plugin("com.listed", 5)}, TarnwickNotificationNames::pluginsUpdateNotification,
                                   server.url("/index.json"));
    model->enrich();
    ASSERT_TRUE(runMainUntil([&] { return !server.requests().empty(); }));
    const size_t announced = recorder.count(pluginsNote);
    delete model;
    {
        std::lock_guard lock(mutex);
        release = true;
    }
    changed.notify_all();
    ASSERT_TRUE(runMainUntil([&] {
        std::lock_guard lock(mutex);
        return answered;
    }));
    runMainUntil([] { return false; }, std::chrono::milliseconds(500));  // the completion's turn
    drainMainQueue();
    EXPECT_EQ(recorder.count(pluginsNote), announced) << "nothing announced for a model that is gone";
}

}  // namespace
}  // namespace tarnwick
