#include "ui/about/AboutViewController.h"

#include "app/Constants.h"
#include "ui/theme/Images.h"
#include "ui/theme/TextBuilders.h"
#include "ui/theme/ThemeValues.h"
#include "ui/theme/VerticalExpandingNSTextView.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tarnwick::ui {

AboutViewController::AboutViewController(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("aboutViewController"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 20, 24, 20);
    column->setSpacing(12);

    auto* icon = new QLabel(this);
    icon->setPixmap(image(QStringLiteral("tarnwick")).pixmap(QSize(72, 72), devicePixelRatioF()));
    icon->setAlignment(Qt::AlignHCenter);
    column->addWidget(icon);
    auto* title = new QLabel(QStringLiteral("Tarnwick"), this);
    title->setFont(themeFont(&Theme::defaultTitlePrimaryFont));
    title->setAlignment(Qt::AlignHCenter);
    column->addWidget(title);

    aboutTextView_ = new VerticalExpandingNSTextView(this);
    aboutTextView_->setObjectName(QStringLiteral("aboutTextView"));
    aboutTextView_->setAccessibleName(tr("About Tarnwick"));
    aboutTextView_->setFont(themeFont(&Theme::defaultTextFont));
    QPalette colours = aboutTextView_->palette();
    colours.setColor(QPalette::Text, themeColor(&Theme::defaultTextColor));
    aboutTextView_->setPalette(colours);
    aboutTextView_->setDrawsBackground(false);
    aboutTextView_->setHtml(hyperlinkDetectWithText(QString::fromStdString(constants::aboutText())));
    column->addWidget(aboutTextView_);
    column->addStretch(1);
}

}  // namespace tarnwick::ui
