#pragma once
// The maker's addresses: the enrichment server with its index documents, and the about text.
#include <optional>
#include <string>

namespace tarnwick::constants {

inline constexpr const char* defaultEnrichmentServer = "https://xprotect.velmora.io";
std::string enrichmentServer();  // TARNWICK_ENRICH_URL when set, else the default
std::string signatureIndexURL();
std::string pluginIndexURL();
std::string extensionIndexURL();

// The about text: what the program is, who makes it, where to write, the licence and the
// acknowledgements. Its only web addresses are the licence's and the acknowledgements' pages.
const std::string& aboutText();

// The maker, as the maker popover presents it. An address the program does not have is absent,
// and its line is left out.
struct Maker {
    std::string name;
    std::optional<std::string> webSite;          // e.g. "https://velmora.io"
    std::optional<std::string> socialHandle;     // shown text, e.g. "@velmora@mastodon.social"
    std::optional<std::string> socialPage;       // where the handle links to
    std::optional<std::string> supportEmail;     // without "mailto:"
};
const Maker& maker();

}  // namespace tarnwick::constants
