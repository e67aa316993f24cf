#include "models/GKCheck.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::TempDir;
using Dict = PlistValue::Dictionary;
using Array = PlistValue::Array;

TEST(GKChecks, EveryElementBecomesARecord) {
    TempDir dir;
    const PlistValue meta = Dict{{"GKChecks", Dict{{"CodeSignatureIDs", Array{"com.a", int64_t{7}, "com.b", "com.a"}}}}};
    for (bool binary : {false, true}) {
        const auto file = binary ? dir.writeBinaryPlist("meta.plist", meta) : dir.writeXmlPlist("meta.plist", meta);
        const auto list = loadGKChecks(file);
        ASSERT_EQ(list.size(), 4u);
        EXPECT_EQ(list[0].codeSigID, "com.a");
        EXPECT_EQ(list[1].codeSigID, "Unknown") << "a number between strings";
        EXPECT_EQ(list[2].codeSigID, "com.b");
        EXPECT_EQ(list[3].codeSigID, "com.a") << "duplicates stay";
    }
}

TEST(GKChecks, MissingOrMistypedContainersGiveAnEmptyList) {
    TempDir dir;
    const PlistValue cases[] = {
        Dict{{"GKChecks", Array{"com.a"}}},
        Dict{{"GKChecks", Dict{{"CodeSignatureIDs", "com.a"}}}},
        Dict{},
    };
    for (const auto& meta : cases) EXPECT_TRUE(loadGKChecks(dir.writeXmlPlist("meta.plist", meta)).empty());
    EXPECT_TRUE(loadGKChecks(dir / "missing.plist").empty());
}

}  // namespace
}  // namespace tarnwick
