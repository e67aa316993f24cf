#pragma once
// Where a scan stands. A record that has been made but not started has no status at all.
#include <string>

namespace tarnwick {

enum class ScanStatusValues { running, complete, shouldAbort };

inline std::string name(ScanStatusValues status) {
    switch (status) {
    case ScanStatusValues::running: return "running";
    case ScanStatusValues::complete: return "complete";
    case ScanStatusValues::shouldAbort: return "shouldAbort";
    }
    return "";
}

}  // namespace tarnwick
