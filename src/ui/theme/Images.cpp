#include "ui/theme/Images.h"

#include <QFile>

namespace tarnwick::ui {

QIcon image(const QString& name) {
    const QString path = QStringLiteral(":/images/%1.svg").arg(name);
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

QIcon image(const std::optional<std::filesystem::path>& path) {
    if (!path) return QIcon();
    return QIcon(QString::fromStdString(path->string()));
}

}  // namespace tarnwick::ui
