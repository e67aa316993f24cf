#include "models/GKCheck.h"

#include "platform/MacPaths.h"
#include "platform/PropertyList.h"
#include "platform/UnicodeText.h"

namespace tarnwick {

bool GKCheck::operator<(const GKCheck& o) const { return unicode::compare(codeSigID, o.codeSigID) > 0; }

bool GKCheck::matchesFilter(const std::string& filter) const {
    return unicode::containsIgnoringCase(codeSigID, filter);
}

std::vector<GKCheck> loadGKChecks(const std::filesystem::path& metaPlist) {
    auto root = plist::readDictionaryFile(metaPlist);
    return root ? gkChecksFromPlist(*root) : std::vector<GKCheck>{};
}

std::vector<GKCheck> gkChecksFromPlist(const PlistValue& root) {
    std::vector<GKCheck> list;
    const PlistValue* checks = root.find("GKChecks");
    const PlistValue::Array* ids = checks ? checks->arrayAt("CodeSignatureIDs") : nullptr;
    if (!ids) return list;
    for (const PlistValue& id : *ids) {
        GKCheck check;
        if (const std::string* text = id.asString()) check.codeSigID = *text;
        list.push_back(std::move(check));
    }
    return list;
}

std::vector<GKCheck> loadGKChecks() { return loadGKChecks(macpaths::xprotectResource("XProtect.meta.plist")); }

}  // namespace tarnwick
