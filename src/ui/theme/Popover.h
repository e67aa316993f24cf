#pragma once
// A popover: a frameless popup holding one content widget at a fixed content size, placed at an
// edge of its anchor and closed by a click anywhere else (or Escape).
#include <QFrame>
#include <QPointer>

namespace tarnwick::ui {

class Popover : public QFrame {
    Q_OBJECT
public:
    enum class Edge { maxX, maxY };

    // Takes `content` as its child; `parent` is the window it belongs to.
    Popover(QWidget* content, QSize contentSize, QWidget* parent);

    QWidget* content() const { return content_; }
    // Shows the popover beside the anchor's bounds, opening away from the given edge: to the right
    // of the anchor (maxX) or below it (maxY), kept on the anchor's screen.
    void showRelativeTo(QWidget* anchor, Edge edge);
    bool isShown() const { return isVisible(); }

private:
    QPointer<QWidget> content_;
};

}  // namespace tarnwick::ui
