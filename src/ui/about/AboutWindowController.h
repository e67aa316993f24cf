#pragma once
// The About window, opened from Help ▸ About Tarnwick; a plain window of its own that does not
// keep the program running once the main window has closed.
#include <QWidget>

namespace tarnwick::ui {

class AboutViewController;

class AboutWindowController : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindowController(QWidget* parent = nullptr);
    AboutViewController* aboutViewController() const { return content_; }

private:
    AboutViewController* content_;
};

}  // namespace tarnwick::ui
