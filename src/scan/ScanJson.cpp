#include "scan/ScanJson.h"

namespace tarnwick {

void to_json(nlohmann::json& out, const YaraScan& scan) {
    nlohmann::json ruleFiles = nlohmann::json::array();
    for (const YaraFile& file : scan.ruleFiles) ruleFiles.push_back(file.filepath);
    out = {
        {"uid", scan.uid},
        {"scanTarget", scan.scanTarget},
        {"ruleFiles", std::move(ruleFiles)},
        {"scanStartTime", scan.dateFormatter.string(scan.scanStartTime)},
        {"scanEndTime", scan.scanEndTime ? nlohmann::json(scan.dateFormatter.string(*scan.scanEndTime)) : nullptr},
        {"scanStatus", scan.scanStatus ? nlohmann::json(name(*scan.scanStatus)) : nullptr},
        {"fileCount", scan.fileCount},
        {"matches", scan.matches},
        {"errors", scan.errors},
    };
}

}  // namespace tarnwick
