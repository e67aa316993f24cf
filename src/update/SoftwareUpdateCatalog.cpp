#include "update/SoftwareUpdateCatalog.h"

#include "platform/MacFileSystem.h"
#include "platform/PropertyList.h"

#include <charconv>
#include <cstdlib>

namespace tarnwick {
namespace {

// The versions every catalog below also covers.
constexpr const char* legacyVersions = "10.13-10.12-10.11-10.10-10.9-mountainlion-lion-snowleopard-leopard";

struct Catalog {
    MacOSVersion from;      // the first version that uses it
    const char* newer;      // the versions it names before the legacy ones
};

// Oldest first. macOS 11 is known to its catalog as 10.16, the number it gives old software.
constexpr Catalog catalogs[] = {
    {{10, 0}, ""},
    {{10, 14}, "10.14-"},
    {{10, 15}, "10.15-10.14-"},
    {{10, 16}, "10.16-10.15-10.14-"},
    {{12, 0}, "12-10.16-10.15-10.14-"},
    {{13, 0}, "13-12-10.16-10.15-10.14-"},
    {{14, 0}, "14-13-12-10.16-10.15-10.14-"},
    {{15, 0}, "15-14-13-12-10.16-10.15-10.14-"},
    {{26, 0}, "26-15-14-13-12-10.16-10.15-10.14-"},
};

std::optional<int> leadingNumber(std::string_view& text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || value < 0) return std::nullopt;
    text.remove_prefix(static_cast<size_t>(end - text.data()));
    return value;
}

}  // namespace

std::optional<MacOSVersion> parseProductVersion(std::string_view text) {
    const auto major = leadingNumber(text);
    if (!major) return std::nullopt;
    MacOSVersion version{*major, 0};
    if (text.starts_with('.')) {
        text.remove_prefix(1);
        if (const auto minor = leadingNumber(text)) version.minor = *minor;
    }
    return version;
}

std::optional<MacOSVersion> installedMacOSVersion() {
    const auto plist = plist::readDictionaryFile(macfs::resolve("/System/Library/CoreServices/SystemVersion.plist"));
    if (!plist) return std::nullopt;
    const auto text = plist->stringAt("ProductVersion");
    return text ? parseProductVersion(*text) : std::nullopt;
}

std::string softwareUpdateCatalogPath(const std::optional<MacOSVersion>& version) {
    const Catalog* chosen = &catalogs[0];
    if (version)
        for (const Catalog& catalog : catalogs)
            if (catalog.from <= *version) chosen = &catalog;
    return std::string("/content/catalogs/others/index-") + chosen->newer + legacyVersions + ".merged-1.sucatalog.gz";
}

std::string softwareUpdateServer() {
    const char* value = std::getenv("TARNWICK_CATALOG_SERVER");
    std::string server = (value && *value) ? value : "https://swscan.apple.com";
    while (!server.empty() && server.back() == '/') server.pop_back();
    return server;
}

}  // namespace tarnwick
