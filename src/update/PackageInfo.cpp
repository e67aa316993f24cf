#include "update/PackageInfo.h"

#include <pugixml.hpp>

namespace tarnwick {

std::optional<std::string> packageInfoBundleVersion(std::string_view document) {
    pugi::xml_document xml;
    // The default options: no DOCTYPE node, no custom entities; the reader loads nothing itself.
    const pugi::xml_parse_result parsed = xml.load_buffer(document.data(), document.size());
    if (!parsed) return std::nullopt;
    const pugi::xml_node root = xml.document_element();
    if (std::string_view(root.name()) != "pkg-info") return std::nullopt;
    const pugi::xml_attribute version =
        root.child("bundle-version").child("bundle").attribute("CFBundleShortVersionString");
    if (!version) return std::nullopt;
    return std::string(version.value());
}

}  // namespace tarnwick
