#pragma once
// What the scans table shows for a record, column by column: the result dot as an image name,
// everything else as text. The window draws the cells; these functions decide their content.
#include "scan/YaraScan.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The scans table's column identifiers.
namespace scanColumns {
inline constexpr std::string_view resultImage = "TableScanReultImageID";
inline constexpr std::string_view startTime = "TableScanStartTimeID";
inline constexpr std::string_view endTime = "TableScanEndTimeID";
inline constexpr std::string_view hitCount = "TableScanHitCountID";
inline constexpr std::string_view fileCount = "TableScanFileCountID";
inline constexpr std::string_view target = "TableScanTargetID";
}  // namespace scanColumns

struct ScanTableCell {
    enum class Kind { image, text };
    Kind kind = Kind::text;
    std::string value;  // the image's name, or the text

    bool operator==(const ScanTableCell&) const = default;
};

// "empty_dot" while running; else "red_dot" with matches, "error_dot" without matches for a scan
// that did not run whole (its errors), and "green_dot" for a clean scan without matches.
std::string scanResultImageName(const YaraScan& scan);

// The cell of the record in that column; none (and an info log line) for a column not listed.
std::optional<ScanTableCell> scanTableCell(const YaraScan& scan, std::string_view column);

}  // namespace tarnwick
