#pragma once
// The theme names Apple's Avenir Next faces, which Linux does not have and which may not be
// shipped. One table maps each face to a packaged family with the same weight (Lato, from
// fonts-lato); a face that still does not resolve falls back to the application's default font.
// Sizes are the theme's points taken as device-independent pixels, as on the Mac.
#include "app/Theme.h"

#include <QFont>

#include <optional>

namespace tarnwick::ui {

// The font for the face when the table knows it and its family is installed.
std::optional<QFont> substitutedFont(const Font& font);

// `substitutedFont`, or the default font at the theme's size.
QFont themeFont(const Font& font);

// Whether the face resolves (the configuration asks this of its sidebar font).
bool fontFaceResolves(const Font& font);

}  // namespace tarnwick::ui
