#include "ui/WindowFrame.h"

#include "platform/UserDefaults.h"

#include <QSettings>
#include <QVariant>

namespace tarnwick::ui {

namespace {
const QString key = QStringLiteral("position");
}

QString windowSettingsFile() {
    return QString::fromStdString((UserDefaults::defaultFile().parent_path() / "window.conf").string());
}

std::optional<QRect> readStoredFrame() {
    QSettings settings(windowSettingsFile(), QSettings::IniFormat);
    const QVariant value = settings.value(key);
    if (!value.isValid()) return std::nullopt;
    // Written as "x y width height"; anything else is not a frame.
    const QStringList parts = value.toString().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 4) return std::nullopt;
    int numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toInt(&ok);
        if (!ok) return std::nullopt;
    }
    return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

void storeFrame(const QRect& frame) {
    QSettings settings(windowSettingsFile(), QSettings::IniFormat);
    settings.setValue(key, QStringLiteral("%1 %2 %3 %4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height()));
}

std::optional<QRect> usableFrame(const std::optional<QRect>& stored, const std::vector<QRect>& screens) {
    if (!stored || stored->width() <= 0 || stored->height() <= 0) return std::nullopt;
    const QRect titleBand(stored->x(), stored->y(), stored->width(), std::min(40, stored->height()));
    for (const QRect& screen : screens) {
        const QRect visible = titleBand.intersected(screen);
        if (visible.width() >= std::min(100, stored->width()) && visible.height() > 0) return stored;
    }
    return std::nullopt;
}

}  // namespace tarnwick::ui
