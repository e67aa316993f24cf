#include "scan/ScanTableCells.h"

#include "platform/Log.h"

namespace tarnwick {
namespace {

ScanTableCell text(std::string value) { return ScanTableCell{ScanTableCell::Kind::text, std::move(value)}; }

}  // namespace

std::string scanResultImageName(const YaraScan& scan) {
    if (scan.scanStatus == ScanStatusValues::running) return "empty_dot";
    if (!scan.matches.empty()) return "red_dot";
    return scan.errors.empty() ? "green_dot" : "error_dot";
}

std::optional<ScanTableCell> scanTableCell(const YaraScan& scan, std::string_view column) {
    if (column == scanColumns::resultImage) return ScanTableCell{ScanTableCell::Kind::image, scanResultImageName(scan)};
    if (column == scanColumns::startTime) return text(scan.dateFormatter.string(scan.scanStartTime));
    if (column == scanColumns::endTime)
        return text(scan.scanEndTime ? scan.dateFormatter.string(*scan.scanEndTime) : "");
    if (column == scanColumns::hitCount) return text(scan.scanEndTime ? std::to_string(scan.matches.size()) : "");
    if (column == scanColumns::fileCount) return text(std::to_string(scan.fileCount));
    if (column == scanColumns::target) return text(scan.scanTarget);
    TW_LOG_INFO("Unknown Column Identifier " + std::string(column) + " for Scans Table");
    return std::nullopt;
}

}  // namespace tarnwick
