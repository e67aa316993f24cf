#pragma once
// The main window's frame between runs: stored under "position" in window.conf, beside the user
// defaults in the XDG configuration folder.
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

namespace tarnwick::ui {

// The settings file that holds the frame.
QString windowSettingsFile();

// The stored frame, when one is stored and reads as a rectangle.
std::optional<QRect> readStoredFrame();
void storeFrame(const QRect& frame);

// The stored frame when it is usable: not empty, and showing a grabbable part (its top 40 points
// across at least 100) on one of the screens' available areas.
std::optional<QRect> usableFrame(const std::optional<QRect>& stored, const std::vector<QRect>& screens);

}  // namespace tarnwick::ui
