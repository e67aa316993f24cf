// tarnwick-diff reads both releases at once: two threads check and convert their rule files and
// read their meta property lists side by side, and each gets what a read on its own gets.
#include "diff/XProtectRelease.h"
#include "support/TestSupport.h"
#include "yara/RuleConverter.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using Dict = PlistValue::Dictionary;

std::vector<std::string> ruleTexts(const XProtectRelease& release) {
    std::vector<std::string> out;
    for (const ReleaseRule& rule : release.rules) out.push_back(rule.name + "\n" + rule.text);
    return out;
}

TEST(ReleaseReadingThreads, TwoReleasesReadAtOnceReadAsAlone) {
    test::TempDir dir;
    for (const std::string side : {"old", "new"}) {
        std::string rules;
        for (int i = 0; i < 40; ++i)
            rules += "rule " + side + "_" + std::to_string(i) + " : t { meta: n = " + std::to_string(i) +
                     " strings: $a = \"" + side + std::to_string(i) + "\" wide condition: $a }\n";
        dir.write(side + "/XProtect.yara", rules);
        dir.writeXmlPlist(side + "/XProtect.meta.plist",
                          Dict{{"Version", side == "old" ? 1 : 2},
                               {"GKChecks", Dict{{"CodeSignatureIDs", PlistValue::Array{side + ".check"}}}}});
    }
    const std::string converter = shippedConverterPath().value();
    const ReleaseReading oldAlone = readRelease(dir / "old", converter);
    const ReleaseReading newAlone = readRelease(dir / "new", converter);
    ASSERT_TRUE(oldAlone.release && newAlone.release) << oldAlone.error << newAlone.error;

    for (int round = 0; round < 5; ++round) {
        auto oldReading = std::async(std::launch::async, [&] { return readRelease(dir / "old", converter); });
        auto newReading = std::async(std::launch::async, [&] { return readRelease(dir / "new", converter); });
        const ReleaseReading before = oldReading.get();
        const ReleaseReading after = newReading.get();
        ASSERT_TRUE(before.release && after.release) << before.error << after.error;
        EXPECT_EQ(ruleTexts(*before.release), ruleTexts(*oldAlone.release));
        EXPECT_EQ(ruleTexts(*after.release), ruleTexts(*newAlone.release));
        EXPECT_EQ(after.release->meta.version, 2);
        ASSERT_EQ(after.release->gkChecks.size(), 1u);
        EXPECT_EQ(after.release->gkChecks[0].codeSigID, "new.check");
    }
}

}  // namespace
}  // namespace tarnwick
