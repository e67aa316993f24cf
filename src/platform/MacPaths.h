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

// XProtect's bundle on the Mac being read (under its root). A place holds a bundle when its
// Contents/Resources holds XProtect.meta.plist or XProtect.yara as files. When both places do
// (an upgraded Mac may keep a stale bundle at the classic place), the one whose meta property
// list has the greater "Version" wins, the place of macOS 10.15 and later on a tie. When neither
// does, the classic place.
std::filesystem::path xprotectBundlePath();

// The file of XProtect's bundle resources (for example "XProtect.meta.plist") in that bundle.
std::filesystem::path xprotectResource(const std::string& fileName);

// The Contents/Resources folder of the XProtect bundle on the Mac whose root folder is `root`,
// chosen between the two places as above; absent when neither holds a bundle.
std::optional<std::filesystem::path> xprotectResourcesUnder(const std::filesystem::path& root);

}  // namespace tarnwick::macpaths
