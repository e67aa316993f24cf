#include "update/ConfigDataLabels.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Labels = std::vector<std::string>;

TEST(ConfigDataLabels, FindsTheLabelsOfOldAndNewSystems) {
    const struct {
        const char* what;
        std::string listing;
        Labels labels;
    } cases[] = {
        {"macOS 10.14 and earlier",
         "Software Update Tool\n\nFinding available software\nSoftware Update found the following new or updated software:\n"
         "   * XProtectPlistConfigData-1.0\n\tXProtectPlistConfigData (1.0), 2166K [recommended]\n",
         {"XProtectPlistConfigData-1.0"}},
        {"macOS 10.15 and later",
         "Software Update found the following new or updated software:\n* Label: XProtectPlistConfigData_10_15-2166\n"
         "\tTitle: XProtectPlistConfigData, Version: 2166, Size: 2786KiB, Recommended: YES,\n",
         {"XProtectPlistConfigData_10_15-2166"}},
        {"listed twice, installed twice", "XProtectPlistConfigData-1.0 XProtectPlistConfigData-1.0",
         {"XProtectPlistConfigData-1.0", "XProtectPlistConfigData-1.0"}},
        {"in the order listed", "XProtectPlistConfigData_10_15-2166\r\nXProtectPlistConfigData-1.0",
         {"XProtectPlistConfigData_10_15-2166", "XProtectPlistConfigData-1.0"}},
        {"the prefix inside a word", "* Label:XProtectPlistConfigData-1.0 fooXProtectPlistConfigData_10_15-1", {}},
        {"the new prefix without a dash", "XProtectPlistConfigData_10_15 XProtectPlistConfigData_", {}},
        {"other case", "xprotectplistconfigdata-1.0 XPROTECTPLISTCONFIGDATA_10_15-2166", {}},
        {"the bare prefix is a label", "XProtectPlistConfigData-", {"XProtectPlistConfigData-"}},
        {"Unicode spaces separate", "XProtectPlistConfigData-1.0\u00A0XProtectPlistConfigData-2.0\u3000x",
         {"XProtectPlistConfigData-1.0", "XProtectPlistConfigData-2.0"}},
        {"other updates only", "* Label: Safari15.6-15.6\n\tTitle: Safari, Version: 15.6\n", {}},
        {"nothing", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(configDataLabels(c.listing), c.labels);
    }
}

TEST(ConfigDataLabels, EverySeparatorEndsAWord) {
    EXPECT_EQ(listingWords("a  b\n"), (Labels{"a", "", "b", ""}));
    EXPECT_EQ(listingWords(""), Labels{""});
    // Bytes that are not a character are part of a word, never a separator.
    EXPECT_EQ(listingWords("a\xC2 b\xE3\x80"), (Labels{"a\xC2", "b\xE3\x80"}));
}

}  // namespace
}  // namespace tarnwick
