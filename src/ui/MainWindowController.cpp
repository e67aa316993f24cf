#include "ui/MainWindowController.h"

#include "platform/Log.h"
#include "ui/PrimarySplitViewController.h"
#include "ui/WindowFrame.h"
#include "ui/about/AboutWindowController.h"
#include "ui/theme/Images.h"

#include <QApplication>
#include <QCloseEvent>
#include <QShowEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>

namespace tarnwick::ui {

MainWindowController::MainWindowController(QWidget* parent) : QMainWindow(parent) {
    TW_LOG_INFO("windowWillLoad");
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Tarnwick"));
    setWindowIcon(image(QStringLiteral("tarnwick")));
    split_ = new PrimarySplitViewController(this);
    setCentralWidget(split_);
    setMinimumSize(720, 480);

    QMenu* file = menuBar()->addMenu(tr("&File"));
    QAction* quit = file->addAction(tr("&Quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, qApp, &QApplication::closeAllWindows, Qt::QueuedConnection);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    QAction* about = help->addAction(tr("&About Tarnwick"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &MainWindowController::showAboutWindow);

    restoreFrame();
}

QRect MainWindowController::defaultFrame() {
    const QSize size(1100, 720);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return QRect(QPoint(0, 0), size);
    const QRect area = screen->availableGeometry();
    const QSize fitted = size.boundedTo(area.size());
    return QRect(area.center() - QPoint(fitted.width() / 2, fitted.height() / 2), fitted);
}

void MainWindowController::restoreFrame() {
    std::vector<QRect> screens;
    for (QScreen* screen : QGuiApplication::screens()) screens.push_back(screen->availableGeometry());
    const QRect frame = usableFrame(readStoredFrame(), screens).value_or(defaultFrame());
    resize(frame.size());
    move(frame.topLeft());
}

void MainWindowController::saveFrame() const {
    if (isMinimized() || isMaximized() || isFullScreen()) return;
    storeFrame(QRect(pos(), size()));
}

void MainWindowController::closeEvent(QCloseEvent* event) {
    saveFrame();
    // The About window goes with the main window: closing this one ends the program.
    if (about_) about_->close();
    QMainWindow::closeEvent(event);
}

void MainWindowController::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (screenWatched_ || !windowHandle()) return;
    screenWatched_ = true;
    connect(windowHandle(), &QWindow::screenChanged, this, [] { TW_LOG_INFO("windowDidChangeScreen"); });
}

void MainWindowController::showAboutWindow() {
    if (!about_) about_ = new AboutWindowController(this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

}  // namespace tarnwick::ui
