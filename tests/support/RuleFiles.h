#pragma once
// Rule files for tests of the rules model and the scans.
#include "yara/YaraModel.h"

#include <string>
#include <vector>

namespace tarnwick::test {

// Adds the rule files as the rules panel does and waits for each one's announcement; answers the
// "error" texts in the order the files were given.
std::vector<std::string> addRuleFiles(YaraModel& model, const std::vector<std::string>& paths);

}  // namespace tarnwick::test
