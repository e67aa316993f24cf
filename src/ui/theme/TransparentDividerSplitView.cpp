#include "ui/theme/TransparentDividerSplitView.h"

#include "ui/theme/ThemeValues.h"

#include <QPainter>
#include <QSplitterHandle>

namespace tarnwick::ui {
namespace {

class DividerHandle : public QSplitterHandle {
public:
    DividerHandle(Qt::Orientation orientation, QSplitter* parent)
        : QSplitterHandle(orientation, parent), colour_(themeColor(&Theme::dividerColor)) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

}  // namespace

TransparentDividerSplitView::TransparentDividerSplitView(Qt::Orientation orientation, QWidget* parent)
    : QSplitter(orientation, parent) {
    setHandleWidth(1);
    setChildrenCollapsible(false);
}

QSplitterHandle* TransparentDividerSplitView::createHandle() { return new DividerHandle(orientation(), this); }

}  // namespace tarnwick::ui
