#pragma once
// Program-wide constant texts: macOS paths, remote addresses, the date pattern and the about text.
#include <filesystem>
#include <string>

namespace tarnwick::constants {

// macOS paths, read under the Mac's root (see platform/MacFileSystem.h).
inline constexpr const char* xprotectBundle = "/System/Library/CoreServices/XProtect.bundle";
// Where macOS 10.15 and later keep the bundle.
inline constexpr const char* xprotectBundleModern = "/Library/Apple/System/Library/CoreServices/XProtect.bundle";
inline constexpr const char* systemRuleFile =
    "/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.yara";
inline constexpr const char* xprotectMetaPlist =
    "/System/Library/CoreServices/XProtect.bundle/Contents/Resources/XProtect.meta.plist";
inline constexpr const char* pluginDirectory = "/Library/Internet Plug-Ins/";
inline constexpr const char* safariExtensionList = "/Library/Safari/Extensions/Extensions.plist";

// The file of XProtect's bundle resources (for example "XProtect.meta.plist") on the Mac being
// read: the bundle at its classic place when it is there, else the one of macOS 10.15 and later.
std::filesystem::path xprotectResource(const std::string& fileName);

// Remote addresses.
inline constexpr const char* defaultEnrichmentServer = "https://xprotect.velmora.io";
std::string enrichmentServer();  // TARNWICK_ENRICH_URL when set, else the default
std::string signatureIndexURL();
std::string pluginIndexURL();
std::string extensionIndexURL();
std::string softwareUpdateCatalogURL();

// The public malware-report site; a file hash's report is at <site>/#/file/<hash>/detection.
inline constexpr const char* malwareReportSite = "https://www.virustotal.com";

// Pattern of dates shown to the user (scan times, last update check).
inline constexpr const char* datePattern = "yyyy-MM-dd HH:mm:ss";

const std::string& aboutText();

}  // namespace tarnwick::constants
