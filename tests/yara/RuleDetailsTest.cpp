#include "yara/RuleDetails.h"
#include "yara/RuleListTexts.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(RuleDetails, OtherNamesAndTags) {
    YaraRule rule;
    EXPECT_EQ(otherNamesText(rule), "");
    EXPECT_EQ(tagsText(rule), "");
    rule.edit().otherNames = {"A", "B"};
    rule.edit().tags = {"t1", "t2"};
    EXPECT_EQ(otherNamesText(rule), "(A,B)");
    EXPECT_EQ(tagsText(rule), "t1,t2");
}

TEST(RuleDetails, ReferencesLinkFromTheirAddress) {
    YaraRule rule;
    rule.edit().links = {"Write-up: https://example.org/flashback", "no address here", "https://", "http://bad host/x",
                  "https://example.com/a?b=c#d"};
    EXPECT_EQ(referenceLinks(rule), (std::vector<Link>{
                                        {"Write-up: https://example.org/flashback", "https://example.org/flashback"},
                                        {"https://example.com/a?b=c#d", "https://example.com/a?b=c#d"},
                                    }));
}

TEST(RuleDetails, HashesLinkToTheirReport) {
    YaraRule rule;
    rule.edit().hashes = {"e3b0c44298fc1c149afbf4c8996fb924", "not a hash"};
    EXPECT_EQ(hashLinks(rule),
              (std::vector<Link>{{"e3b0c44298fc1c149afbf4c8996fb924",
                                  "https://www.virustotal.com/#/file/e3b0c44298fc1c149afbf4c8996fb924/detection"}}))
        << "a hash with a space does not form an address";
}

TEST(RuleRows, ShowPositionNameDateAndOtherNames) {
    YaraRule rule;
    rule.edit().name = "FlashbackA";
    rule.edit().date = "#N/A";
    EXPECT_EQ(ruleRow(0, rule), (RuleRow{"1", "FlashbackA", "-", "-"}));
    rule.edit().date = "";
    rule.edit().otherNames = {"A", "B"};
    EXPECT_EQ(ruleRow(11, rule), (RuleRow{"12", "FlashbackA", "", "A,B"}));
    rule.edit().date = "2016-07-07";
    EXPECT_EQ(ruleRow(1, rule).date, "2016-07-07");
    EXPECT_EQ(ruleCountText(std::vector<YaraRule>(12)), "12");
    EXPECT_EQ(ruleCountText({}), "0");
}

}  // namespace
}  // namespace tarnwick
