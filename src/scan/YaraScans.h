#pragma once
// The scan driver: runs one YARA scan of a file or a directory tree with every rule file the
// rules model holds, on a thread of its own at background priority, and keeps its record in the
// scan history. The central model makes the one the program uses; the scanner panel calls
// `doScan` with the chosen path.
//
// Directory scans post "scanUpdateFileCountNotification" ("fileCount", "uid") on the main thread
// after every 100th file and look for a stop request there; a file scan always runs to its end.
// Every scan that starts also finishes, whatever the engine does; a scan that could not run
// whole (no rule file, rules that did not compile, an unreadable target, a failing engine) ends
// with its reasons in the record's `errors`.
#include "engine/YaraEngine.h"
#include "scan/ScanHistory.h"
#include "yara/YaraModel.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tarnwick {

class YaraScans {
public:
    // Makes the engine of one scan.
    using EngineFactory = std::function<std::unique_ptr<YaraEngine>()>;

    // Files between two progress notices (and stop checks) of a directory scan.
    static constexpr int64_t progressStep = 100;
    // The record's error when there is no rule file to scan with.
    static constexpr const char* noRuleFilesError = "No rule files to scan with";

    // Scans with the rule files of `rules` and keeps the records in `history`; both must outlive
    // every scan started. `timeout` goes to the engine (seconds per file). By default each scan
    // makes a YaraEngine of its own.
    YaraScans(YaraModel& rules, ScanHistory& history, int timeout, EngineFactory makeEngine = {});

    // Scans the directory or file at the path (a symbolic link is followed); a path that does
    // not exist is logged and scans nothing. Returns at once and never throws.
    void doScan(const std::string& filepath) const;
    // Schedules a scan of one file; returns at once.
    void doFileScan(const std::string& filepath) const;
    // Schedules a scan of a directory tree; returns at once.
    void doDirScan(const std::string& dirpath) const;

    // The scan operations themselves, run on the calling thread with the given engine.
    void fileScan(const std::string& filepath, YaraEngine& engine) const;
    void dirScan(const std::string& dirpath, YaraEngine& engine) const;

private:
    // Runs the operation on a thread of its own, at background priority, with a new engine.
    void schedule(const char* kind, const std::string& target,
                  void (YaraScans::*operation)(const std::string&, YaraEngine&) const) const;

    YaraModel* rules_;
    ScanHistory* history_;
    int timeout_;
    EngineFactory makeEngine_;
};

}  // namespace tarnwick
