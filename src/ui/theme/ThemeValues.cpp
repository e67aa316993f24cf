#include "ui/theme/ThemeValues.h"

#include "app/TarnwickModel.h"
#include "ui/theme/FontSubstitution.h"

namespace tarnwick::ui {

QColor qColor(const Color& color) {
    return QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                            static_cast<float>(color.blue), static_cast<float>(color.alpha));
}

const Theme& currentTheme() { return sharedModel().configuration.themes.current; }

QFont themeFont(Font Theme::*member) { return themeFont(currentTheme().*member); }

}  // namespace tarnwick::ui
