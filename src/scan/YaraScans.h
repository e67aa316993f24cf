#pragma once
// The scan driver: runs one YARA scan of a file or a directory tree with every rule file the
// rules model holds, on a thread of its own, and keeps its record in the model's scan history.
// A window panel that scans derives from `YaraScans` and calls `doScan` with the chosen path;
// the scans reach the rules model through the shared central model.
//
// Directory scans post "scanUpdateFileCountNotification" ("fileCount", "uid") on the main thread
// after every 100th file and look for a stop request there; a file scan always runs to its end.
// Every scan that starts also finishes, whatever the engine does.
#include "yara/YaraEngine.h"
#include "yara/YaraModel.h"

#include <cstdint>
#include <string>

namespace tarnwick {

class YaraScans {
public:
    virtual ~YaraScans() = default;

    // Scans the directory or file at the path (a symbolic link is followed); a path that does
    // not exist is logged and scans nothing. Returns at once.
    void doScan(const std::string& filepath);
    // Schedules a scan of one file; returns at once.
    void doFileScan(const std::string& filepath);
    // Schedules a scan of a directory tree; returns at once.
    void doDirScan(const std::string& dirpath);
};

// The scan operations themselves, run on the calling thread against a given rules model.
namespace scanOperations {

// Files between two progress notices (and stop checks) of a directory scan.
inline constexpr int64_t progressStep = 100;

// Each makes its own engine, or uses the one given.
void fileScan(YaraModel& model, const std::string& filepath);
void fileScan(YaraModel& model, const std::string& filepath, YaraEngine& engine);
void dirScan(YaraModel& model, const std::string& dirpath);
void dirScan(YaraModel& model, const std::string& dirpath, YaraEngine& engine);

}  // namespace scanOperations

}  // namespace tarnwick
