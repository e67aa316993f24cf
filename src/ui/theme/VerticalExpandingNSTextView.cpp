#include "ui/theme/VerticalExpandingNSTextView.h"

#include <QAbstractTextDocumentLayout>
#include <QDesktopServices>
#include <QResizeEvent>
#include <QTextDocument>

#include <cmath>
#include <memory>

namespace tarnwick::ui {

VerticalExpandingNSTextView::VerticalExpandingNSTextView(QWidget* parent) : QTextBrowser(parent) {
    setReadOnly(true);
    setFrameShape(QFrame::NoFrame);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setOpenLinks(false);
    setTextInteractionFlags(Qt::TextBrowserInteraction);
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    document()->setDocumentMargin(0);
    connect(this, &QTextBrowser::anchorClicked, this, [](const QUrl& url) { QDesktopServices::openUrl(url); });
    connect(this, &QTextEdit::textChanged, this, &VerticalExpandingNSTextView::remeasure);
}

void VerticalExpandingNSTextView::setDrawsBackground(bool draws) {
    viewport()->setAutoFillBackground(draws);
    setAutoFillBackground(draws);
    if (!draws) setStyleSheet(QStringLiteral("QTextBrowser { background: transparent; }"));
}

int VerticalExpandingNSTextView::heightForWidth(int width) const {
    // Measured on a copy, so that asking never disturbs the shown layout.
    std::unique_ptr<QTextDocument> measured(document()->clone());
    measured->setDefaultFont(document()->defaultFont());
    measured->setDocumentMargin(document()->documentMargin());
    measured->setTextWidth(std::max(1, width - 2 * frameWidth()));
    return static_cast<int>(std::ceil(measured->size().height())) + 2 * frameWidth() + 1;
}

QSize VerticalExpandingNSTextView::sizeHint() const {
    return {QTextBrowser::sizeHint().width(), heightForWidth(std::max(width(), 50))};
}

QSize VerticalExpandingNSTextView::minimumSizeHint() const { return {0, heightForWidth(std::max(width(), 50))}; }

void VerticalExpandingNSTextView::resizeEvent(QResizeEvent* event) {
    QTextBrowser::resizeEvent(event);
    if (event->oldSize().width() != event->size().width()) remeasure();
}

void VerticalExpandingNSTextView::remeasure() {
    const int height = heightForWidth(std::max(width(), 50));
    if (height == this->height() && minimumHeight() == height) return;
    setFixedHeight(height);
    updateGeometry();
}

}  // namespace tarnwick::ui
