#pragma once
// The rule converter "yago": a program of its own, shipped in the resources, that reads a YARA
// rule file and prints its rules as the JSON document ConverterDocument reads.
#include "yara/YaraRule.h"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace tarnwick {

// The converter of the resources, when it is there.
std::optional<std::string> shippedConverterPath();

// Runs the converter at `converter` on the rule file and builds its rules in file order, each
// with `filepath` set to `path` and enriched from the malware list (null: every rule gets empty
// fields). Absent when the converter could not be run or printed nothing; the file is expected
// to have passed the engine's check first.
std::optional<std::vector<YaraRule>> convertRuleFile(const std::string& converter, const std::string& path,
                                                     const nlohmann::json& malwareList);

}  // namespace tarnwick
