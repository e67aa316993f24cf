#pragma once
// How the status strip and its popover read the latest offered version against the installed one.
#include <cstdint>
#include <optional>
#include <string>

namespace tarnwick::ui {

// The latest version as shown: its text, or "0" when there is none.
std::string shownLatestVersion(const std::optional<std::string>& latest);

// Whether the latest version counts as the installed one: only a whole base-10 number equal to it
// does. Any other text (a dotted version, say) counts as differing.
bool latestEqualsInstalled(const std::optional<std::string>& latest, int64_t installed);

}  // namespace tarnwick::ui
