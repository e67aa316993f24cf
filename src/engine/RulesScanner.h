#pragma once
// Scans open files with compiled rules. A scanner keeps libyara's per-scan state and a read
// buffer, so each thread that scans has one of its own and uses it for file after file.
#include "engine/CompiledRules.h"
#include "engine/RuleMatch.h"
#include "engine/ScanMessages.h"

#include <memory>
#include <string>
#include <vector>

struct YR_SCAN_CONTEXT;

namespace tarnwick {

class RulesScanner {
public:
    // `timeout` goes to libyara as it is given; fast mode stops at a string's first match.
    RulesScanner(std::shared_ptr<const CompiledRules> rules, int timeout, bool fastMode, ScanMessages& messages);
    ~RulesScanner();
    RulesScanner(const RulesScanner&) = delete;
    RulesScanner& operator=(const RulesScanner&) = delete;

    // Scans the regular file open on `fd` (named `path` in matches and messages) and appends one
    // match per rule that matched; private rules are never reported. A file that cannot be read
    // or scanned whole (a time-out too) gives a message of `failure`'s level: an error for the
    // target of a scan, a warning for a file inside a tree. More matches of a string than libyara
    // counts give a warning.
    void scan(int fd, const std::string& path, std::vector<RuleMatch>& matches,
              ScanMessages::Level failure = ScanMessages::Level::error);

    // Files up to this size are read into the buffer and scanned there; larger ones are mapped.
    static constexpr size_t readLimit = 1 << 20;

private:
    std::shared_ptr<const CompiledRules> rules_;
    ScanMessages& messages_;
    YR_SCAN_CONTEXT* scanner_ = nullptr;
    std::vector<unsigned char> buffer_;
};

}  // namespace tarnwick
