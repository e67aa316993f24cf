#include "ui/theme/ColorConstructors.h"

namespace tarnwick::ui {

QColor initWithRedGreenBlue(int red, int green, int blue) {
    return QColor::fromRgbF(red / 255.0f, green / 255.0f, blue / 255.0f, 1.0f);
}

QColor initWithRgbValue(uint32_t rgb, double alpha) {
    return QColor::fromRgbF(((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f,
                            static_cast<float>(alpha));
}

std::optional<QColor> initWithHexString(const QString& text) {
    QString digits = text;
    digits.remove(QLatin1Char('#'));
    bool ok = false;
    const qulonglong value = digits.toULongLong(&ok, 16);
    // toULongLong accepts a sign and surrounding space; a colour is hex digits only.
    for (QChar c : digits)
        if (!c.isDigit() && !(c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'))) ok = false;
    if (!ok) return std::nullopt;

    // The channel at `index` (0 = first) of `count`, each `bits` wide, scaled to 0...1.
    const auto channel = [&](int index, int count, int bits) {
        const int shift = (count - 1 - index) * bits;
        const qulonglong max = (1u << bits) - 1;
        return static_cast<float>(((value >> shift) & max) / static_cast<double>(max));
    };
    switch (digits.size()) {
    case 3: return QColor::fromRgbF(channel(0, 3, 4), channel(1, 3, 4), channel(2, 3, 4), 1.0f);
    case 4: return QColor::fromRgbF(channel(0, 4, 4), channel(1, 4, 4), channel(2, 4, 4), channel(3, 4, 4));
    case 6: return QColor::fromRgbF(channel(0, 3, 8), channel(1, 3, 8), channel(2, 3, 8), 1.0f);
    case 8: return QColor::fromRgbF(channel(0, 4, 8), channel(1, 4, 8), channel(2, 4, 8), channel(3, 4, 8));
    default: return std::nullopt;
    }
}

QColor tintedColor(const QColor& color) {
    const QColor hsb = color.toHsv();
    float hue = 0, saturation = 0, brightness = 0, alpha = 0;
    hsb.getHsvF(&hue, &saturation, &brightness, &alpha);
    brightness = brightness == 0.0f ? 0.2f : brightness * 0.8f;
    // An achromatic colour has no hue (-1); keep it grey.
    return QColor::fromHsvF(hue < 0 ? 0 : hue, saturation, brightness, alpha).toRgb();
}

}  // namespace tarnwick::ui
