#include "platform/MacPaths.h"

#include "platform/MacFileSystem.h"

namespace tarnwick::macpaths {

std::filesystem::path xprotectResource(const std::string& fileName) {
    const std::string resources = "/Contents/Resources/";
    std::error_code ec;
    const auto classic = macfs::resolve(std::string(xprotectBundle) + resources);
    if (std::filesystem::is_directory(classic, ec)) return classic / fileName;
    const auto modern = macfs::resolve(std::string(xprotectBundleModern) + resources);
    if (std::filesystem::is_directory(modern, ec)) return modern / fileName;
    return classic / fileName;
}

}  // namespace tarnwick::macpaths
