#pragma once
// The code-signature identifiers that XProtect gives Gatekeeper to check.
#include "models/XPArrayModel.h"
#include "platform/PropertyList.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tarnwick {

struct GKCheck {
    static constexpr const char* typeName = "GKCheck";

    std::string codeSigID = "Unknown";  // "Unknown" for an entry that is not a string

    bool operator==(const GKCheck& o) const = default;
    // Reversed, so that the list (greatest first) comes out ascending.
    bool operator<(const GKCheck& o) const;
    bool matchesFilter(const std::string& filter) const;
    void enrichFromIndex(const nlohmann::json&) {}  // never enriched
};

class GKChecksModel : public XPArrayModel<GKCheck> {
public:
    using XPArrayModel::XPArrayModel;
};

std::vector<GKCheck> loadGKChecks(const std::filesystem::path& metaPlist);
std::vector<GKCheck> loadGKChecks();
// The same from a meta property list already read (its top-level dictionary).
std::vector<GKCheck> gkChecksFromPlist(const PlistValue& root);

}  // namespace tarnwick
