#include "app/Constants.h"

#include <cstdlib>

namespace tarnwick::constants {

std::string enrichmentServer() {
    const char* value = std::getenv("TARNWICK_ENRICH_URL");
    std::string server = (value && *value) ? value : defaultEnrichmentServer;
    while (!server.empty() && server.back() == '/') server.pop_back();
    return server;
}

std::string signatureIndexURL() { return enrichmentServer() + "/vantor/signatures/index.json"; }
std::string pluginIndexURL() { return enrichmentServer() + "/vantor/plugins/index.json"; }
std::string extensionIndexURL() { return enrichmentServer() + "/vantor/extensions/index.json"; }

const std::string& aboutText() {
    static const std::string text =
        "Tarnwick is a tool for exploring XProtect, made by Velmora. It lays bare what XProtect "
        "knows and extends what it can do, for research and teaching.\n"
        "\n"
        "Velmora builds security software for macOS. Find out more on our web site, or follow us "
        "on Mastodon.\n"
        "\n"
        "Found a mistake, or have an addition or an idea? Write to us by e-mail.\n"
        "\n"
        "Eula: https://velmora.io/tarnwick/eula\n"
        "\n"
        "Acknowledgements: https://velmora.io/tarnwick/acknowledgements";
    return text;
}

const Maker& maker() {
    static const Maker velmora{"Velmora", "https://velmora.io", "@velmora@mastodon.social",
                               "https://mastodon.social/@velmora", "tarnwick@velmora.io"};
    return velmora;
}

}  // namespace tarnwick::constants
