#pragma once
// The maker's addresses: the enrichment server with its index documents, and the about text.
#include <string>

namespace tarnwick::constants {

inline constexpr const char* defaultEnrichmentServer = "https://xprotect.velmora.io";
std::string enrichmentServer();  // TARNWICK_ENRICH_URL when set, else the default
std::string signatureIndexURL();
std::string pluginIndexURL();
std::string extensionIndexURL();

const std::string& aboutText();

}  // namespace tarnwick::constants
