#include "platform/MacPaths.h"

#include "platform/MacFileSystem.h"

namespace tarnwick::macpaths {

std::optional<std::filesystem::path> xprotectResourcesUnder(const std::filesystem::path& root) {
    const std::string resources = "/Contents/Resources";
    std::error_code ec;
    for (const char* bundle : {xprotectBundle, xprotectBundleModern}) {
        const auto folder = root / (std::string(bundle).substr(1) + resources);
        if (std::filesystem::is_directory(folder, ec)) return folder;
    }
    return std::nullopt;
}

std::filesystem::path xprotectResource(const std::string& fileName) {
    if (auto folder = xprotectResourcesUnder(macfs::root())) return *folder / fileName;
    return macfs::resolve(std::string(xprotectBundle) + "/Contents/Resources/") / fileName;
}

}  // namespace tarnwick::macpaths
