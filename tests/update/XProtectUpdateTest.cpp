#include "update/XProtectUpdate.h"

#include "support/TestSupport.h"
#include "support/UpdateFixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace tarnwick {
namespace {

using test::CatalogServer;
using test::NotificationRecorder;
using test::ScopedEnv;
using Dict = PlistValue::Dictionary;
using Array = PlistValue::Array;
using Step = XProtectUpdate::CheckStep;

const std::string versionNotification = "xProtectVersionNotification";
const std::string xprotectSmd = "https://swdist.example/content/downloads/061-26589/XProtectPlistConfigData.smd";

class UpdateCheck : public ::testing::Test {
protected:
    // Runs one check to its end and delivers what it queued.
    void check(XProtectUpdate& update) {
        update.getXProtectCatalog();
        ASSERT_TRUE(test::runMainUntil([&] { return update.checkProgress().ended; }));
        test::drainMainQueue();
    }

    CatalogServer server;
    ScopedEnv catalogURL{"TARNWICK_CATALOG_URL", server.catalogURL()};
    NotificationRecorder recorder{{versionNotification}};
};

TEST_F(UpdateCheck, FirstXProtectProductOfTheCatalogWins) {
    server.setCatalog(test::typicalCatalog(server));
    server.setPackage("xprotect-a.pkm", test::packageInfoDocument("2166"));
    server.setPackage("xprotect-b.pkm", test::packageInfoDocument("2170"));

    XProtectUpdate update;
    EXPECT_FALSE(update.xprotectBundleVersion || update.checkTime || update.xprotectCatalog);
    const auto before = std::chrono::system_clock::now();
    check(update);

    EXPECT_EQ(update.xprotectBundleVersion, "2166");
    ASSERT_TRUE(update.checkTime);
    EXPECT_GE(*update.checkTime, before);
    EXPECT_LE(*update.checkTime, std::chrono::system_clock::now());
    ASSERT_TRUE(update.xprotectCatalog);
    EXPECT_EQ(update.xprotectCatalog->stringAt("ServerMetadataURL"), xprotectSmd);
    EXPECT_EQ(update.metadataURL(), server.packageURL("xprotect-a.pkm"));
    EXPECT_EQ(server.packageRequests(), std::vector<std::string>{"/pkg/xprotect-a.pkm"}) << "one document only";
    EXPECT_EQ(update.checkProgress(), (XProtectUpdate::CheckProgress{Step::version, true}));

    const auto received = recorder.received();
    ASSERT_EQ(received.size(), 1u);
    const auto* object = std::any_cast<std::string>(&received[0].object);
    ASSERT_TRUE(object);
    EXPECT_EQ(*object, "2166");
}

TEST_F(UpdateCheck, ChecksThatGetNoDocumentChangeNothingAndAnnounceNothing) {
    const auto product = [](const PlistValue& serverMetadataURL) {
        return Dict{{"ServerMetadataURL", serverMetadataURL}, {"Packages", Array{test::catalogPackage("http://unused/")}}};
    };
    const auto xprotectWith = [](PlistValue packages) {
        return test::catalog(Dict{{"061-1", Dict{{"ServerMetadataURL", xprotectSmd}, {"Packages", std::move(packages)}}}});
    };
    const auto gz = [](const PlistValue& v) { return test::gzip(plist::toXml(v)); };
    const std::string good = gz(test::catalog({}));

    const struct {
        const char* what;
        std::string body;
        Step step;
        bool productChosen;
        bool packageAddress = false;
    } cases[] = {
        {"not a property list", "<html><body>Service Unavailable</body></html>", Step::catalog, false},
        {"damaged gzip", good.substr(0, good.size() / 2), Step::catalog, false},
        {"an array at the top", gz(Array{Dict{{"Products", Dict{}}}}), Step::catalog, false},
        {"no Products", gz(Dict{{"CatalogVersion", 2}}), Step::catalog, false},
        {"Products not a dictionary", gz(Dict{{"Products", Array{}}}), Step::catalog, false},
        {"no products at all", good, Step::product, false},
        {"suffix followed by a query", gz(test::catalog(Dict{{"1", product(xprotectSmd + "?x=1")}})), Step::product, false},
        {"suffix followed by a slash", gz(test::catalog(Dict{{"1", product(xprotectSmd + "/")}})), Step::product, false},
        {"suffix in another case",
         gz(test::catalog(Dict{{"1", product("https://x.example/xprotectplistconfigdata.smd")}})), Step::product, false},
        {"ServerMetadataURL not a string",
         gz(test::catalog(Dict{{"1", product(PlistValue::Data{"XProtectPlistConfigData.smd"})}})), Step::product, false},
        {"product entry not a dictionary", gz(test::catalog(Dict{{"1", xprotectSmd}})), Step::product, false},
        {"empty Packages", gz(xprotectWith(Array{})), Step::packageInfo, true},
        {"Packages not an array", gz(xprotectWith(Dict{})), Step::packageInfo, true},
        {"first package not a dictionary", gz(xprotectWith(Array{"http://x/", test::catalogPackage("http://y/")})),
         Step::packageInfo, true},
        {"first package without a string MetadataURL",
         gz(xprotectWith(Array{Dict{{"MetadataURL", 7}}, test::catalogPackage("http://y/")})), Step::packageInfo, true},
        {"package-info address that refuses", gz(xprotectWith(Array{test::catalogPackage(test::refusedURL("/p.pkm"))})),
         Step::packageInfo, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        server.setCatalogBody(c.body);
        XProtectUpdate update;
        update.xprotectBundleVersion = "2000";
        check(update);
        EXPECT_EQ(update.checkProgress(), (XProtectUpdate::CheckProgress{c.step, true}));
        EXPECT_EQ(update.xprotectBundleVersion, "2000");
        EXPECT_FALSE(update.checkTime);
        EXPECT_EQ(update.xprotectCatalog.has_value(), c.productChosen);
        EXPECT_EQ(update.metadataURL().has_value(), c.packageAddress);
    }
    EXPECT_TRUE(server.packageRequests().empty());
    EXPECT_EQ(recorder.count(versionNotification), 0u);
}

// A mirror's error page is no catalog and no package-info document, even when its body would read
// as one.
TEST_F(UpdateCheck, AnswersWithAnErrorStatusAreFailedRequests) {
    const std::string goodCatalog = test::gzip(plist::toXml(test::typicalCatalog(server)));
    server.loopback().server().Get("/gone.sucatalog.gz", [&](const httplib::Request&, httplib::Response& r) {
        r.status = 404;
        r.set_content(goodCatalog, "application/x-gzip");
    });
    server.loopback().server().Get("/failing.pkm", [](const httplib::Request&, httplib::Response& r) {
        r.status = 500;
        r.set_content(test::packageInfoDocument("2166"), "text/xml");
    });
    {
        ScopedEnv gone("TARNWICK_CATALOG_URL", server.loopback().url("/gone.sucatalog.gz"));
        XProtectUpdate update;
        check(update);
        EXPECT_EQ(update.checkProgress(), (XProtectUpdate::CheckProgress{Step::catalog, true}));
        EXPECT_FALSE(update.xprotectCatalog);
    }
    server.setCatalog(test::catalog(
        Dict{{"061-1", test::catalogProduct(xprotectSmd, Array{test::catalogPackage(server.loopback().url("/failing.pkm"))})}}));
    XProtectUpdate update;
    check(update);
    EXPECT_EQ(update.checkProgress(), (XProtectUpdate::CheckProgress{Step::packageInfo, true}));
    EXPECT_FALSE(update.xprotectBundleVersion || update.checkTime);
    EXPECT_EQ(recorder.count(versionNotification), 0u);
}

TEST_F(UpdateCheck, UnreachableCatalogEndsTheCheckAtTheCatalog) {
    ScopedEnv refused("TARNWICK_CATALOG_URL", test::refusedURL("/catalog.sucatalog.gz"));
    XProtectUpdate update;
    EXPECT_EQ(update.checkProgress(), (XProtectUpdate::CheckProgress{Step::notStarted, false}));
    check(update);
    EXPECT_EQ(update.checkProgress(), (XProtectUpdate::CheckProgress{Step::catalog, true}));
    EXPECT_FALSE(update.xprotectCatalog || update.checkTime);
    EXPECT_EQ(recorder.count(versionNotification), 0u);
}

TEST_F(UpdateCheck, DocumentWithoutAVersionClearsTheVersionAndAnnouncesNoObject) {
    XProtectUpdate update;
    update.getXProtectMeta(test::packageInfoDocument("2104"));
    test::drainMainQueue();
    EXPECT_EQ(update.xprotectBundleVersion, "2104");
    const auto first = update.checkTime;
    ASSERT_TRUE(first);

    update.getXProtectMeta(test::packageInfoDocument(std::nullopt));
    test::drainMainQueue();
    EXPECT_FALSE(update.xprotectBundleVersion) << "the earlier version is gone";
    ASSERT_TRUE(update.checkTime);
    EXPECT_GE(*update.checkTime, *first);

    // No body at all: nothing changes, nothing is announced.
    update.xprotectBundleVersion = "1";
    update.getXProtectMeta(std::nullopt);
    test::drainMainQueue();
    EXPECT_EQ(update.xprotectBundleVersion, "1");

    const auto received = recorder.received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(std::any_cast<std::string>(received[0].object), "2104");
    EXPECT_FALSE(received[1].object.has_value());
}

TEST_F(UpdateCheck, AnswerThatArrivesAfterTheCheckerIsGoneIsDropped) {
    // A catalog that a live checker would act on: it would choose the product, ask for its
    // package-info document and announce the version.
    server.setPackage("xprotect-a.pkm", test::packageInfoDocument("2166"));
    const std::string catalog = test::gzip(plist::toXml(test::typicalCatalog(server)));
    std::atomic<bool> release{false};
    server.loopback().server().Get("/slow", [&release, catalog](const httplib::Request&, httplib::Response& r) {
        for (int i = 0; i < 500 && !release; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        r.set_content(catalog, "application/x-gzip");
    });
    ScopedEnv slow("TARNWICK_CATALOG_URL", server.loopback().url("/slow"));
    auto update = std::make_unique<XProtectUpdate>();
    update->getXProtectCatalog();
    update.reset();
    release = true;
    ASSERT_TRUE(test::runMainUntil([&] {
        for (const auto& r : server.loopback().requests())
            if (r.path == "/slow") return true;
        return false;
    }));
    test::runMainUntil([] { return false; }, std::chrono::milliseconds(300));  // the completion runs here
    test::drainMainQueue();
    EXPECT_TRUE(server.packageRequests().empty()) << "the dropped answer was acted on";
    EXPECT_EQ(recorder.count(versionNotification), 0u);
}

TEST(UpdateCatalog, AddressFollowsTarnwickCatalogUrl) {
    {
        ScopedEnv catalog("TARNWICK_CATALOG_URL", "http://127.0.0.1:9000/catalog.sucatalog.gz");
        EXPECT_EQ(XProtectUpdate::softwareUpdateCatalogURL(), "http://127.0.0.1:9000/catalog.sucatalog.gz");
    }
    ScopedEnv unset("TARNWICK_CATALOG_URL", "");
    const std::string url = XProtectUpdate::softwareUpdateCatalogURL();
    EXPECT_EQ(url.rfind("https://swscan.apple.com/", 0), 0u) << url;
    EXPECT_TRUE(url.ends_with(".sucatalog.gz")) << url;
}

// Apple serves each macOS version a catalog of its own, named after the versions it covers.
TEST(UpdateCatalog, AddressFollowsTheMacsVersion) {
    const std::string legacy = "10.13-10.12-10.11-10.10-10.9-mountainlion-lion-snowleopard-leopard.merged-1.sucatalog.gz";
    const std::string base = "https://swscan.apple.com/content/catalogs/others/index-";
    const struct {
        std::optional<std::string> productVersion;  // absent: no SystemVersion.plist
        std::string catalog;                        // after "index-"
    } cases[] = {
        {"10.9.5", legacy},
        {"10.13.6", legacy},
        {"10.14.6", "10.14-" + legacy},
        {"10.15.7", "10.15-10.14-" + legacy},
        {"10.16", "10.16-10.15-10.14-" + legacy},
        {"11.7.10", "10.16-10.15-10.14-" + legacy},
        {"12.7.6", "12-10.16-10.15-10.14-" + legacy},
        {"13.6.9", "13-12-10.16-10.15-10.14-" + legacy},
        {"14.7", "14-13-12-10.16-10.15-10.14-" + legacy},
        {"15.1", "15-14-13-12-10.16-10.15-10.14-" + legacy},
        {"26.0.1", "26-15-14-13-12-10.16-10.15-10.14-" + legacy},
        {"27.0", "26-15-14-13-12-10.16-10.15-10.14-" + legacy},
        {"not a version", legacy},
        {std::nullopt, legacy},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.productVersion.value_or("(none)"));
        test::TempDir mac;
        if (c.productVersion)
            mac.writeXmlPlist("System/Library/CoreServices/SystemVersion.plist",
                              Dict{{"ProductName", "macOS"}, {"ProductVersion", *c.productVersion}});
        ScopedEnv root("TARNWICK_ROOT", mac.path().string());
        ScopedEnv unset("TARNWICK_CATALOG_URL", "");
        ScopedEnv server("TARNWICK_CATALOG_SERVER", "");
        EXPECT_EQ(XProtectUpdate::softwareUpdateCatalogURL(), base + c.catalog);
        ScopedEnv mirror("TARNWICK_CATALOG_SERVER", "http://127.0.0.1:9000/");
        EXPECT_EQ(XProtectUpdate::softwareUpdateCatalogURL(), "http://127.0.0.1:9000/content/catalogs/others/index-" + c.catalog)
            << "a mirror keeps Apple's paths";
        ScopedEnv catalog("TARNWICK_CATALOG_URL", "http://127.0.0.1:9000/mine.sucatalog");
        EXPECT_EQ(XProtectUpdate::softwareUpdateCatalogURL(), "http://127.0.0.1:9000/mine.sucatalog") << "overrides";
    }
}

}  // namespace
}  // namespace tarnwick
