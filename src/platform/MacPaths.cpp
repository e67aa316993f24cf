#include "platform/MacPaths.h"

#include "platform/MacFileSystem.h"
#include "platform/PropertyList.h"

#include <optional>

namespace tarnwick::macpaths {
namespace {

const char* const resources = "Contents/Resources";

struct Found {
    bool bundle = false;
    std::optional<int64_t> version;  // the meta property list's, when it gives one
};

Found look(const std::filesystem::path& bundle) {
    std::error_code ec;
    const auto folder = bundle / resources;
    Found found;
    found.bundle = std::filesystem::is_regular_file(folder / "XProtect.meta.plist", ec) ||
                   std::filesystem::is_regular_file(folder / "XProtect.yara", ec);
    if (!found.bundle) return found;
    if (auto meta = plist::readDictionaryFile(folder / "XProtect.meta.plist"))
        if (const PlistValue* version = meta->find("Version")) found.version = version->asWholeNumber();
    return found;
}

// The live one of the two places, or nothing when neither holds a bundle.
std::optional<std::filesystem::path> chooseBundle(const std::filesystem::path& classic, const std::filesystem::path& modern) {
    const Found atClassic = look(classic);
    const Found atModern = look(modern);
    if (atClassic.bundle && atModern.bundle) return atClassic.version > atModern.version ? classic : modern;
    if (atModern.bundle) return modern;
    if (atClassic.bundle) return classic;
    return std::nullopt;
}

}  // namespace

std::filesystem::path xprotectBundlePath() {
    const auto classic = macfs::resolve(xprotectBundle);
    return chooseBundle(classic, macfs::resolve(xprotectBundleModern)).value_or(classic);
}

std::optional<std::filesystem::path> xprotectResourcesUnder(const std::filesystem::path& root) {
    const auto under = [&root](const char* bundle) { return root / std::string(bundle).substr(1); };
    if (auto bundle = chooseBundle(under(xprotectBundle), under(xprotectBundleModern))) return *bundle / resources;
    return std::nullopt;
}

std::filesystem::path xprotectResource(const std::string& fileName) {
    return xprotectBundlePath() / resources / fileName;
}

}  // namespace tarnwick::macpaths
