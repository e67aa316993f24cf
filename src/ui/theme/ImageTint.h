#pragma once
// Tinting of template images: single-colour shapes (the sidebar's and buttons' icons) that take
// the colour of wherever they are drawn.
#include <QColor>
#include <QImage>

namespace tarnwick::ui {

struct TemplateImage {
    QImage image;
    bool isTemplate = true;
};

// A template image comes back with every drawn pixel painted in `tint` (its shape kept, its alpha
// kept) and no longer a template; any other image comes back unchanged.
TemplateImage imageWithTintColor(const TemplateImage& image, const QColor& tint);

}  // namespace tarnwick::ui
