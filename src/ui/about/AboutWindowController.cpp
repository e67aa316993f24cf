#include "ui/about/AboutWindowController.h"

#include "ui/about/AboutViewController.h"
#include "ui/theme/Images.h"

#include <QVBoxLayout>

namespace tarnwick::ui {

AboutWindowController::AboutWindowController(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("aboutWindow"));
    setWindowTitle(tr("About Tarnwick"));
    setWindowIcon(image(QStringLiteral("tarnwick")));
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    content_ = new AboutViewController(this);
    layout->addWidget(content_);
    resize(480, 420);
}

}  // namespace tarnwick::ui
