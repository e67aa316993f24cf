#pragma once
// The YARA engine, on libyara. An engine object serves one call; libyara itself is set up once
// per process, on first use, and stays up until the process ends.
#include <string>
#include <vector>

namespace tarnwick {

class YaraEngine {
public:
    YaraEngine();

    // Compiles the rule file (includes are found relative to the file itself) and adds every
    // compiler message to `errors` or `warnings` as "file:line: message". True when it compiled;
    // the file is usable when this is true and `errors` is empty.
    bool validateRulesAtPath(const std::string& path, std::vector<std::string>& errors,
                             std::vector<std::string>& warnings);
};

}  // namespace tarnwick
