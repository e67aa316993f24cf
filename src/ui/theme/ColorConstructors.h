#pragma once
// The ways the window makes colours: from 0-255 channels, from one 0xRRGGBB integer, from a hex
// text, and the darker tint of a colour used for pressed and hovered looks.
#include <QColor>
#include <QString>

#include <cstdint>
#include <optional>

namespace tarnwick::ui {

// Three channels 0-255, each divided by 255; opaque.
QColor initWithRedGreenBlue(int red, int green, int blue);

// One integer 0xRRGGBB (red in bits 16-23, green 8-15, blue 0-7), each channel divided by 255.
QColor initWithRgbValue(uint32_t rgb, double alpha);

// "#RGB", "RGBA", "RRGGBB" or "RRGGBBAA", every "#" removed first; one digit per channel is
// divided by 15, two by 255; opaque unless an alpha is given. Any other length (or a character
// that is not a hex digit) makes no colour.
std::optional<QColor> initWithHexString(const QString& text);

// The same colour with its HSB brightness multiplied by 0.8; a brightness of exactly 0 becomes 0.2.
QColor tintedColor(const QColor& color);

}  // namespace tarnwick::ui
