#include "app/Constants.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace tarnwick {
namespace {

using test::ScopedEnv;

TEST(Constants, EnrichmentAddressesFollowTarnwickEnrichUrl) {
    const struct {
        const char* setting;
        std::string server;
    } cases[] = {
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"http://127.0.0.1:8080//", "http://127.0.0.1:8080"},
        {"https://lab.example/mirror", "https://lab.example/mirror"},
        {"", "https://xprotect.velmora.io"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setting);
        ScopedEnv enrich("TARNWICK_ENRICH_URL", c.setting);
        EXPECT_EQ(constants::enrichmentServer(), c.server);
        EXPECT_EQ(constants::signatureIndexURL(), c.server + "/vantor/signatures/index.json");
        EXPECT_EQ(constants::pluginIndexURL(), c.server + "/vantor/plugins/index.json");
        EXPECT_EQ(constants::extensionIndexURL(), c.server + "/vantor/extensions/index.json");
    }
}

}  // namespace
}  // namespace tarnwick
