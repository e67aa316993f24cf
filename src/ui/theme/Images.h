#pragma once
// The window's images, by resource name ("yara", "exclamation_red", "green_dot", ...), from the
// program's own SVG files.
#include <QIcon>
#include <QString>

#include <filesystem>
#include <optional>

namespace tarnwick::ui {

// The named image; a null icon when the program has none of that name.
QIcon image(const QString& name);

// The image at a path the configuration found (a sidebar row's), or a null icon.
QIcon image(const std::optional<std::filesystem::path>& path);

}  // namespace tarnwick::ui
