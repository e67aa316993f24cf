#pragma once
// Which of Apple's software-update catalogs serves the Mac being read. Apple keeps one merged
// catalog per macOS version, named after every version it covers, newest first; the catalog of
// 10.13 serves High Sierra and everything before it.
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

struct MacOSVersion {
    int major = 0;
    int minor = 0;
    auto operator<=>(const MacOSVersion&) const = default;
};

// "10.15.7" gives 10.15, "14.5" gives 14.0; absent when the text does not start with a number.
std::optional<MacOSVersion> parseProductVersion(std::string_view text);

// The "ProductVersion" of System/Library/CoreServices/SystemVersion.plist on the Mac under the
// root; absent when the file or the key is missing or unreadable.
std::optional<MacOSVersion> installedMacOSVersion();

// The catalog's path on Apple's server for that version: the newest catalog that version can use.
// Versions after the newest one known take the newest; an unknown version takes that of 10.13.
std::string softwareUpdateCatalogPath(const std::optional<MacOSVersion>& version);

// Scheme and host of the catalog server: TARNWICK_CATALOG_SERVER when set (a mirror that keeps
// Apple's paths), else Apple's.
std::string softwareUpdateServer();

}  // namespace tarnwick
