#include "ui/theme/FontSubstitution.h"

#include <QApplication>
#include <QFontDatabase>
#include <QString>

#include <cmath>

namespace tarnwick::ui {
namespace {

struct Substitution {
    const char* face;     // the theme's face name
    const char* family;   // what stands in for it
    QFont::Weight weight;
    const char* style;    // the installed style that must exist
};

constexpr Substitution table[] = {
    {"Avenir Next", "Lato", QFont::Normal, "Regular"},
    {"Avenir Next Medium", "Lato", QFont::Medium, "Medium"},
    {"Avenir Next Bold", "Lato", QFont::Bold, "Bold"},
};

}  // namespace

std::optional<QFont> substitutedFont(const Font& font) {
    for (const Substitution& s : table) {
        if (font.name != s.face) continue;
        const QString family = QString::fromLatin1(s.family);
        if (!QFontDatabase::families().contains(family)) return std::nullopt;
        if (!QFontDatabase::styles(family).contains(QString::fromLatin1(s.style))) return std::nullopt;
        QFont result(family);
        result.setWeight(s.weight);
        result.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pointSize))));
        return result;
    }
    return std::nullopt;
}

QFont themeFont(const Font& font) {
    if (auto found = substitutedFont(font)) return *found;
    QFont fallback = QApplication::font();
    fallback.setPixelSize(std::max(1, static_cast<int>(std::lround(font.pointSize))));
    return fallback;
}

bool fontFaceResolves(const Font& font) { return substitutedFont(font).has_value(); }

}  // namespace tarnwick::ui
