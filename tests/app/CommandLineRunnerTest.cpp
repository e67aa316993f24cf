#include "app/CommandLineRunner.h"

#include "app/TarnwickModel.h"
#include "support/TestSupport.h"
#include "support/UpdateFixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sstream>
#include <thread>

namespace tarnwick {
namespace {

using test::ScopedEnv;

TEST(CommandLineRunner, OptionsAreWholeCaseSensitiveArguments) {
    const struct {
        const char* argument;
        OptionType option;
    } cases[] = {
        {"-g", OptionType::versions},      {"--getVersions", OptionType::versions}, {"-f", OptionType::update},
        {"--forceUpdate", OptionType::update}, {"-h", OptionType::help},          {"--help", OptionType::help},
        {"-G", OptionType::unknown},       {"--getversions", OptionType::unknown},  {"-gf", OptionType::unknown},
        {"--get", OptionType::unknown},    {"-g ", OptionType::unknown},            {"g", OptionType::unknown},
        {"-x", OptionType::unknown},       {"", OptionType::unknown},               {"-psn_0_12345", OptionType::unknown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        EXPECT_EQ(optionType(c.argument), c.option);
    }
    EXPECT_EQ(text(OptionType::versions), "v");
    EXPECT_EQ(text(OptionType::update), "u");
    EXPECT_EQ(text(OptionType::help), "h");
    EXPECT_EQ(text(OptionType::unknown), "unknown");

    using Args = std::vector<std::string>;
    EXPECT_TRUE(CommandLineRunner::handles(Args{"tarnwick", "-f"}));
    EXPECT_FALSE(CommandLineRunner::handles(Args{"tarnwick"}));
    EXPECT_FALSE(CommandLineRunner::handles(Args{"tarnwick", "-g", "-h"}));
    EXPECT_FALSE(CommandLineRunner::handles(Args{"tarnwick", "-x"}));
    EXPECT_FALSE(CommandLineRunner::handles(Args{}));
}

TEST(CommandLineRunner, OfferedVersionsAreDecimalIntegersOnly) {
    const struct {
        const char* text;
        std::optional<int64_t> value;
    } cases[] = {
        {"2166", 2166}, {"0", 0}, {"-5", -5}, {"+7", 7}, {"007", 7}, {"9223372036854775807", INT64_MAX},
        {"", std::nullopt}, {"+", std::nullopt}, {"-", std::nullopt}, {"+-1", std::nullopt}, {"21.66", std::nullopt},
        {" 2166", std::nullopt}, {"2166 ", std::nullopt}, {"0x10", std::nullopt}, {"9223372036854775808", std::nullopt},
        {"2166a", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseDecimalInteger(c.text), c.value);
    }
}

TEST(CommandLineRunner, UsageNamesTheProgramByItsLastPathComponent) {
    EXPECT_EQ(usageText("/opt/tarnwick/bin/tarnwick"),
              "\nUsage: tarnwick [options]\n"
              "Options:\n"
              "-g, --getVersions    Get the currently installed and available XProtect Versions\n"
              "-f, --forceUpdate    Force an update to the latest available version\n"
              "-h, --help           Show this help message and exit\n\n");
    EXPECT_EQ(lastPathComponent("tarnwick"), "tarnwick");
    EXPECT_EQ(lastPathComponent("./build/bin/tarnwick/"), "tarnwick");
    EXPECT_EQ(lastPathComponent("/"), "/");
    EXPECT_EQ(lastPathComponent(""), "");
}

// A catalog that never answers within the bound: the runner gives up at the bound, says which
// step it was waiting for, prints nothing on standard output and ends with status 1.
TEST(CommandLineRunner, VersionCheckThatNeverEndsIsBounded) {
    std::atomic<bool> release{false};
    test::LoopbackServer server;
    server.server().Get("/hang.sucatalog.gz", [&release](const httplib::Request&, httplib::Response& r) {
        for (int i = 0; i < 1000 && !release; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        r.set_content("not a catalog", "text/plain");
    });
    server.start();
    test::FixtureMac mac(2158);
    ScopedEnv root("TARNWICK_ROOT", mac.root().string());
    ScopedEnv home("TARNWICK_HOME", (mac.root() / "Users/u").string());
    ScopedEnv enrich("TARNWICK_ENRICH_URL", test::refusedURL());
    ScopedEnv catalog("TARNWICK_CATALOG_URL", server.url("/hang.sucatalog.gz"));
    auto* model = new TarnwickModel;

    std::ostringstream out, err;
    const auto start = std::chrono::steady_clock::now();
    const int status = CommandLineRunner().run({"/usr/local/bin/tarnwick", "-g"}, *model, out, err,
                                               std::chrono::milliseconds(400));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "tarnwick: XProtect version check failed: no catalog\n");
    EXPECT_GE(waited, std::chrono::milliseconds(400));
    EXPECT_LT(waited, std::chrono::seconds(5));

    release = true;
    ASSERT_TRUE(test::runMainUntil([&] {
        return model->_update.checkProgress().ended && model->_plugins.pendingEnrichments() == 0 &&
               model->_extensions.pendingEnrichments() == 0;
    }));
    test::drainMainQueue();
    delete model;
}

}  // namespace
}  // namespace tarnwick
