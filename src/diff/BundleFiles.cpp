#include "diff/BundleFiles.h"

#include "platform/MacPaths.h"

namespace tarnwick {

std::optional<BundleFiles> findBundleFiles(const std::filesystem::path& given) {
    std::error_code ec;
    const BundleFiles asResources{given};
    if (std::filesystem::exists(asResources.rules(), ec) || std::filesystem::exists(asResources.meta(), ec))
        return asResources;
    const std::filesystem::path contents = given / "Contents" / "Resources";
    if (std::filesystem::is_directory(contents, ec)) return BundleFiles{contents};
    if (auto resources = macpaths::xprotectResourcesUnder(given)) return BundleFiles{*resources};
    return std::nullopt;
}

}  // namespace tarnwick
