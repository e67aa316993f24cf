#pragma once
// The About window's content: the about text, its web addresses as links.
#include <QWidget>

namespace tarnwick::ui {

class VerticalExpandingNSTextView;

class AboutViewController : public QWidget {
    Q_OBJECT
public:
    explicit AboutViewController(QWidget* parent = nullptr);
    VerticalExpandingNSTextView* aboutTextView() const { return aboutTextView_; }

private:
    VerticalExpandingNSTextView* aboutTextView_;
};

}  // namespace tarnwick::ui
