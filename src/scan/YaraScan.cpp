#include "scan/YaraScan.h"

#include "scan/HashableIDGenerator.h"

namespace tarnwick {

YaraScan::YaraScan(std::string target, std::vector<YaraFile> files)
    : uid(HashableIDGenerator::shared().generateId()),
      scanTarget(std::move(target)),
      ruleFiles(std::move(files)),
      scanStartTime(Clock::now()),
      dateFormatter(displayDatePattern) {}

}  // namespace tarnwick
