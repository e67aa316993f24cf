#pragma once
// Where an XProtect release's two files are, from a folder a user names: a Mac's root folder (as
// TARNWICK_ROOT would be), an XProtect.bundle folder, or the bundle's Contents/Resources folder.
#include <filesystem>
#include <optional>

namespace tarnwick {

struct BundleFiles {
    std::filesystem::path resources;  // the folder that holds them

    std::filesystem::path rules() const { return resources / "XProtect.yara"; }
    std::filesystem::path meta() const { return resources / "XProtect.meta.plist"; }
};

// Looks at the folder itself (it holds XProtect.yara or XProtect.meta.plist), then at its
// Contents/Resources, then at the bundle of a Mac whose root it is, at the classic place or at
// that of macOS 10.15 and later. Absent when none of them is there.
std::optional<BundleFiles> findBundleFiles(const std::filesystem::path& given);

}  // namespace tarnwick
