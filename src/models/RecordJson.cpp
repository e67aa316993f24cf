#include "models/RecordJson.h"

namespace tarnwick {

void to_json(nlohmann::json& out, const InstalledExtension& e) {
    out = {{"signed", e.signed_},
           {"disabled", e.disabled},
           {"fullPath", e.fullPath},
           {"archiveFileName", e.archiveFileName},
           {"bundleDirectoryName", e.bundleDirectoryName},
           {"bundleID", e.bundleID},
           {"developerID", e.developerID}};
}

}  // namespace tarnwick
