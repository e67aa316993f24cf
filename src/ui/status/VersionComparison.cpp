#include "ui/status/VersionComparison.h"

#include <charconv>

namespace tarnwick::ui {

std::string shownLatestVersion(const std::optional<std::string>& latest) { return latest.value_or("0"); }

bool latestEqualsInstalled(const std::optional<std::string>& latest, int64_t installed) {
    const std::string text = shownLatestVersion(latest);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return false;
    return value == installed;
}

}  // namespace tarnwick::ui
