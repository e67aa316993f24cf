#pragma once
// The YARA engine, on libyara: checks rule files, and scans a file or a directory tree with a set
// of rule files. An engine object serves one scan; libyara itself is set up once per process.
//
// Scans compile each rule file in a namespace of its own and keep the compiled rules for later
// scans (see CompiledRulesCache); a rule file that does not compile is left out of the scan.
// Without any rules to scan with (none given, or none that compiled) a scan does not look at its
// target at all and says so in `errors`, after the errors that tell why.
//
// A scan's `errors` hold only what kept it from being whole: rule files that could not be opened
// or compiled, a target (the file of a file scan, the root of a directory scan) that could not be
// opened, read or walked, the one file of a file scan failing to scan (a time-out too), and the
// refusal above. Its `warnings` hold the compiler's warnings, the entries of a tree passed by
// (unreadable, vanished, failed to scan or timed out) and files with too many matches of a string.
// The scan calls are virtual so that the scan driver can be run against an engine of a test's own.
#include "engine/RuleMatch.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tarnwick {

class YaraEngine {
public:
    // Namespace to rule-file path.
    using RuleFiles = std::map<std::string, std::string>;
    // Called with each file of a directory scan just before it is scanned, one file at a time and
    // in walk order; answering false ends the walk once that file has been scanned.
    using FileCallback = std::function<bool(const std::string& path)>;

    // The error of a scan that had no rules to scan with.
    static constexpr const char* noRulesError = "no rules compiled: nothing was scanned";

    YaraEngine();
    virtual ~YaraEngine() = default;

    // Compiles the rule file, its includes found as a scan finds them (see RuleIncludes), and adds
    // every compiler message to `errors` or `warnings` as "file:line: message". True when it
    // compiled; the file is usable when this is true and `errors` is empty.
    bool validateRulesAtPath(const std::string& path, std::vector<std::string>& errors,
                             std::vector<std::string>& warnings);

    // Scans one file. `ruleStrings` (may be null) are rule texts compiled beside the files;
    // `timeout` goes to libyara unchanged (seconds per file).
    virtual std::vector<RuleMatch> simpleScanFileAtPath(const std::string& path, const RuleFiles& ruleFiles,
                                                const std::vector<std::string>* ruleStrings, int timeout,
                                                bool fastMode, std::vector<std::string>& errors,
                                                std::vector<std::string>& warnings);

    // Scans every regular file of the tree at `path` (see TreeWalker for what is passed by): this
    // thread walks and calls `callback`, a worker per core scans. Answers every match found, in
    // walk order, also when the callback stopped the walk.
    virtual std::vector<RuleMatch> simpleScanDirAtPath(const std::string& path, const RuleFiles& ruleFiles,
                                               const std::vector<std::string>* ruleStrings, int timeout,
                                               bool fastMode, std::vector<std::string>& errors,
                                               std::vector<std::string>& warnings, const FileCallback& callback);
};

}  // namespace tarnwick
