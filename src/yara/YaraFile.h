#pragma once
// A loaded rule file and the rules it gave when it was loaded.
#include "yara/YaraRule.h"

#include <string>
#include <vector>

namespace tarnwick {

struct YaraFile {
    std::string filepath;         // the path it was added with
    std::vector<YaraRule> rules;  // as loaded; later enrichment does not reach these copies

    bool operator==(const YaraFile& o) const { return filepath == o.filepath; }
};

}  // namespace tarnwick
