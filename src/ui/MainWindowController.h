#pragma once
// The main window: the sidebar and content split, the File and Help menus, and its frame, which
// is kept between runs under the name "position".
#include "ui/about/AboutWindowController.h"

#include <QMainWindow>
#include <QPointer>

namespace tarnwick::ui {

class PrimarySplitViewController;

class MainWindowController : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindowController(QWidget* parent = nullptr);

    PrimarySplitViewController* splitViewController() const { return split_; }
    // Opens (or raises) the About window.
    void showAboutWindow();
    AboutWindowController* aboutWindow() const { return about_; }

    // The frame the window gets with nothing stored, on the primary screen.
    static QRect defaultFrame();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void restoreFrame();
    void saveFrame() const;

    PrimarySplitViewController* split_;
    QPointer<AboutWindowController> about_;
    bool screenWatched_ = false;
};

}  // namespace tarnwick::ui
