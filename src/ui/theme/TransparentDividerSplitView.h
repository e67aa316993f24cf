#pragma once
// A splitter whose dividers are one-point lines in the theme's divider colour.
#include <QSplitter>

namespace tarnwick::ui {

class TransparentDividerSplitView : public QSplitter {
    Q_OBJECT
public:
    explicit TransparentDividerSplitView(Qt::Orientation orientation, QWidget* parent = nullptr);

protected:
    QSplitterHandle* createHandle() override;
};

}  // namespace tarnwick::ui
