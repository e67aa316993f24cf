#include "update/PackageInfo.h"

#include "support/UpdateFixtures.h"

#include <gtest/gtest.h>

#include <fstream>

namespace tarnwick {
namespace {

TEST(PackageInfo, ReadsTheFirstBundleOfTheBundleVersion) {
    const std::string head = "<?xml version=\"1.0\"?>";
    const struct {
        const char* what;
        std::string document;
        std::optional<std::string> version;
    } cases[] = {
        {"Apple's document", test::packageInfoDocument("2166"), "2166"},
        {"two bundles: the first", head + "<pkg-info><bundle-version><bundle CFBundleShortVersionString=\"1\"/>"
                                          "<bundle CFBundleShortVersionString=\"2\"/></bundle-version></pkg-info>", "1"},
        {"escaped text", "<pkg-info><bundle-version><bundle CFBundleShortVersionString=\"&#50;1&amp;6\"/></bundle-version></pkg-info>",
         "21&6"},
        {"empty version", "<pkg-info><bundle-version><bundle CFBundleShortVersionString=\"\"/></bundle-version></pkg-info>", ""},
        {"no bundle", test::packageInfoDocument(std::nullopt), std::nullopt},
        {"first bundle without the attribute",
         "<pkg-info><bundle-version><bundle CFBundleVersion=\"1\"/><bundle CFBundleShortVersionString=\"2\"/></bundle-version></pkg-info>",
         std::nullopt},
        {"no bundle-version", "<pkg-info><bundle CFBundleShortVersionString=\"2\"/></pkg-info>", std::nullopt},
        {"another root", "<pkg><bundle-version><bundle CFBundleShortVersionString=\"2\"/></bundle-version></pkg>", std::nullopt},
        {"an error page", "<html><body>Not Found</body></html>", std::nullopt},
        {"cut short", test::packageInfoDocument("2166").substr(0, 300), std::nullopt},
        {"not XML", "{\"version\": 2166}", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(packageInfoBundleVersion(c.document), c.version);
    }
}

TEST(PackageInfo, DocumentTypeDeclarationsLoadAndExpandNothing) {
    test::TempDir dir;
    const auto secret = dir.write("secret.txt", "2999");
    const std::string external = "<?xml version=\"1.0\"?>\n<!DOCTYPE pkg-info [<!ENTITY v SYSTEM \"file://" + secret.string() +
                                 "\">]>\n<pkg-info><bundle-version><bundle CFBundleShortVersionString=\"&v;\"/>"
                                 "</bundle-version></pkg-info>";
    EXPECT_NE(packageInfoBundleVersion(external), "2999");

    // Entities that would grow to gigabytes when expanded.
    std::string laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE pkg-info [<!ENTITY a0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        laughs += "<!ENTITY a" + std::to_string(i) + " \"" + [&] {
            std::string ten;
            for (int k = 0; k < 10; ++k) ten += "&a" + std::to_string(i - 1) + ";";
            return ten;
        }() + "\">";
    laughs += "]>\n<pkg-info><bundle-version><bundle CFBundleShortVersionString=\"&a9;\"/></bundle-version></pkg-info>";
    const auto version = packageInfoBundleVersion(laughs);
    EXPECT_LT(version.value_or("").size(), 100u);
}

}  // namespace
}  // namespace tarnwick
