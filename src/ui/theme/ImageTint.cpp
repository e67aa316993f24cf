#include "ui/theme/ImageTint.h"

#include <QPainter>

namespace tarnwick::ui {

TemplateImage imageWithTintColor(const TemplateImage& image, const QColor& tint) {
    if (!image.isTemplate || image.image.isNull()) return image;
    QImage tinted = image.image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&tinted);
    painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
    painter.fillRect(tinted.rect(), tint);
    painter.end();
    return TemplateImage{tinted, false};
}

}  // namespace tarnwick::ui
