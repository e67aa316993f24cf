#include "models/XProtectMeta.h"

#include "platform/MacPaths.h"
#include "platform/PropertyList.h"

namespace tarnwick {

XProtectMeta loadMeta(const std::filesystem::path& metaPlist) {
    auto root = plist::readDictionaryFile(metaPlist);
    return root ? metaFromPlist(*root) : XProtectMeta{};
}

XProtectMeta metaFromPlist(const PlistValue& root) {
    XProtectMeta meta;
    // Real bundles store "Version" as a real without fraction; that counts as an integer.
    if (const PlistValue* version = root.find("Version"))
        if (auto whole = version->asWholeNumber()) meta.version = *whole;
    if (auto java = root.stringAt("JavaWebComponentVersionMinimum")) meta.JavaWebComponentVersionMinimum = *java;
    return meta;
}

XProtectMeta loadMeta() {
    const auto bundle = macpaths::xprotectBundlePath();
    XProtectMeta meta = loadMeta(bundle / "Contents/Resources/XProtect.meta.plist");
    meta.bundlePath = bundle.string();
    return meta;
}

}  // namespace tarnwick
