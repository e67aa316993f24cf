#pragma once
// The places on a Mac where the program finds XProtect and the installed software, as absolute
// macOS paths (read under the Mac's root, see MacFileSystem.h).
#include <filesystem>
#include <optional>
#include <string>

namespace tarnwick::macpaths {

inline constexpr const char* xprotectBundle = "/System/Library/CoreServices/XProtect.bundle";
// Where macOS 10.15 and later keep the bundle.
inline constexpr const char* xprotectBundleModern = "/Library/Apple/System/Library/CoreServices/XProtect.bundle";
// The machine-wide plug-in folder; the user's is the same path under the home folder.
inline constexpr const char* pluginDirectory = "/Library/Internet Plug-Ins/";
// Safari's extension list, under the user's home folder.
inline constexpr const char* safariExtensionList = "/Library/Safari/Extensions/Extensions.plist";

// The file of XProtect's bundle resources (for example "XProtect.meta.plist") on the Mac being
// read: the bundle at its classic place when it is there, else the one of macOS 10.15 and later.
std::filesystem::path xprotectResource(const std::string& fileName);

// The Contents/Resources folder of the XProtect bundle on the Mac whose root folder is `root`:
// at the classic place when it is there, else at the place of macOS 10.15 and later; absent
// when neither is a folder.
std::optional<std::filesystem::path> xprotectResourcesUnder(const std::filesystem::path& root);

}  // namespace tarnwick::macpaths
