#include "app/Constants.h"

#include "platform/MacFileSystem.h"

#include <cstdlib>

namespace tarnwick::constants {

std::filesystem::path xprotectResource(const std::string& fileName) {
    const std::string resources = "/Contents/Resources/";
    std::error_code ec;
    const auto classic = macfs::resolve(std::string(xprotectBundle) + resources);
    if (std::filesystem::is_directory(classic, ec)) return classic / fileName;
    const auto modern = macfs::resolve(std::string(xprotectBundleModern) + resources);
    if (std::filesystem::is_directory(modern, ec)) return modern / fileName;
    return classic / fileName;
}

std::string enrichmentServer() {
    const char* value = std::getenv("TARNWICK_ENRICH_URL");
    std::string server = (value && *value) ? value : defaultEnrichmentServer;
    while (!server.empty() && server.back() == '/') server.pop_back();
    return server;
}

std::string signatureIndexURL() { return enrichmentServer() + "/vantor/signatures/index.json"; }
std::string pluginIndexURL() { return enrichmentServer() + "/vantor/plugins/index.json"; }
std::string extensionIndexURL() { return enrichmentServer() + "/vantor/extensions/index.json"; }

std::string softwareUpdateCatalogURL() {
    const char* value = std::getenv("TARNWICK_CATALOG_URL");
    if (value && *value) return value;
    return "https://swscan.apple.com/content/catalogs/others/"
           "index-10.13-10.12-10.11-10.10-10.9-mountainlion-lion-snowleopard-leopard.merged-1.sucatalog.gz";
}

const std::string& aboutText() {
    static const std::string text =
        "Tarnwick is a tool for exploring XProtect, made by Velmora. It lays bare what XProtect "
        "knows and extends what it can do, for research and teaching.\n"
        "\n"
        "Velmora builds security software for macOS. Find out more at https://velmora.io or follow "
        "us at https://mastodon.social/@velmora.\n"
        "\n"
        "Found a mistake, or have an addition or an idea? Write to tarnwick@velmora.io.\n"
        "\n"
        "Eula: https://velmora.io/tarnwick/eula\n"
        "\n"
        "Acknowledgements: https://velmora.io/tarnwick/acknowledgements";
    return text;
}

}  // namespace tarnwick::constants
