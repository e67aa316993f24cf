#pragma once
// A read-only rich-text area as tall as its text: its preferred height is what the laid-out text
// uses at the current width, and it is re-measured whenever the text or the width changes. Links
// open in the desktop's handler (browser, mail program) and show the pointing hand.
#include <QTextBrowser>

namespace tarnwick::ui {

class VerticalExpandingNSTextView : public QTextBrowser {
    Q_OBJECT
public:
    explicit VerticalExpandingNSTextView(QWidget* parent = nullptr);

    // Stops drawing a background, so the container's colour shows through.
    void setDrawsBackground(bool draws);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void remeasure();
};

}  // namespace tarnwick::ui
