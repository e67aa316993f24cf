#include "models/XProtectMeta.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::TempDir;
using Dict = PlistValue::Dictionary;

struct MetaCase {
    const char* what;
    PlistValue version;
    int64_t expected;
};

TEST(XProtectMeta, VersionIsAnIntegerOrAWholeReal) {
    const MetaCase cases[] = {
        {"integer", PlistValue(int64_t{2103}), 2103},
        {"real without fraction, as real bundles store it", PlistValue(2158.0), 2158},
        {"real with a fraction", PlistValue(2158.5), 0},
        {"text", PlistValue("2103"), 0},
        {"boolean", PlistValue(true), 0},
        {"real beyond the integer range", PlistValue(1e300), 0},
    };
    TempDir dir;
    for (const auto& c : cases) {
        for (bool binary : {false, true}) {
            const Dict meta{{"Version", c.version}, {"JavaWebComponentVersionMinimum", "1.6.0_45-b06"}};
            const auto file = binary ? dir.writeBinaryPlist("meta.plist", meta) : dir.writeXmlPlist("meta.plist", meta);
            const XProtectMeta read = loadMeta(file);
            EXPECT_EQ(read.version, c.expected) << c.what << (binary ? " (binary)" : " (XML)");
            EXPECT_EQ(read.JavaWebComponentVersionMinimum, "1.6.0_45-b06") << c.what;
        }
    }
}

TEST(XProtectMeta, UnreadableFilesGiveTheDefaults) {
    TempDir dir;
    const std::string xml = plist::toXml(Dict{{"Version", int64_t{2103}}});
    const std::string binary = plist::toBinary(Dict{{"Version", int64_t{2103}}});
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"not a property list", "this is not a plist"},
        {"truncated XML", xml.substr(0, xml.size() / 2)},
        {"truncated binary", binary.substr(0, binary.size() - 10)},
        {"top level is an array", plist::toXml(PlistValue::Array{int64_t{1}, int64_t{2}})},
        {"random bytes", std::string("bplist00\xff\xfe\x01\x02\x03\x04\x05\x06\x07\x08\x09", 19)},
    };
    for (const auto& c : cases) {
        const XProtectMeta read = loadMeta(dir.write("meta.plist", c.bytes));
        EXPECT_EQ(read.version, 0) << c.what;
        EXPECT_EQ(read.JavaWebComponentVersionMinimum, "N/A") << c.what;
    }
    const XProtectMeta missing = loadMeta(dir / "no-such-file.plist");
    EXPECT_EQ(missing.version, 0);
    EXPECT_EQ(missing.JavaWebComponentVersionMinimum, "N/A");
}

TEST(XProtectMeta, HugeFileIsNotRead) {
    TempDir dir;
    const auto file = dir.write("meta.plist", plist::toXml(Dict{{"Version", int64_t{2103}}}));
    std::filesystem::resize_file(file, plist::maxFileSize + 1);  // sparse: costs no disk
    EXPECT_EQ(loadMeta(file).version, 0);
}

TEST(XProtectMeta, WrongTypedJavaVersionGivesNA) {
    TempDir dir;
    const auto file = dir.writeXmlPlist("meta.plist", Dict{{"Version", int64_t{7}}, {"JavaWebComponentVersionMinimum", int64_t{6}}});
    const XProtectMeta read = loadMeta(file);
    EXPECT_EQ(read.version, 7);
    EXPECT_EQ(read.JavaWebComponentVersionMinimum, "N/A");
}

}  // namespace
}  // namespace tarnwick
