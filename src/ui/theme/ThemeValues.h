#pragma once
// The theme in use, in Qt's types. Views read it when they are built; it never changes while the
// program runs.
#include "app/Theme.h"

#include <QColor>
#include <QFont>

namespace tarnwick::ui {

QColor qColor(const Color& color);

// The current theme of the central model's configuration.
const Theme& currentTheme();

// Shorthands for the members views use most.
inline QColor themeColor(Color Theme::*member) { return qColor(currentTheme().*member); }
QFont themeFont(Font Theme::*member);

}  // namespace tarnwick::ui
