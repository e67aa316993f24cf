#include "ui/about/VelmoraPopoverViewController.h"

#include "app/Constants.h"
#include "ui/theme/Images.h"
#include "ui/theme/TextBuilders.h"
#include "ui/theme/ThemeValues.h"
#include "ui/theme/VerticalExpandingNSTextView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarnwick::ui {
namespace {

VerticalExpandingNSTextView* textArea(const QString& objectName, const QString& html, QWidget* parent) {
    auto* area = new VerticalExpandingNSTextView(parent);
    area->setObjectName(objectName);
    area->setDrawsBackground(false);
    area->setFont(themeFont(&Theme::defaultTextFont));
    QPalette colours = area->palette();
    colours.setColor(QPalette::Text, themeColor(&Theme::defaultTextColor));
    area->setPalette(colours);
    area->setHtml(html);
    return area;
}

}  // namespace

VelmoraPopoverViewController::VelmoraPopoverViewController(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("velmoraPopoverViewController"));
    const constants::Maker& maker = constants::maker();
    const QString makerName = QString::fromStdString(maker.name);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(18, 12, 18, 12);
    column->setSpacing(6);

    auto* heading = new QHBoxLayout();
    auto* logo = new QLabel(this);
    logo->setPixmap(image(QStringLiteral("velmora_logo")).pixmap(QSize(28, 28), devicePixelRatioF()));
    heading->addWidget(logo);
    logoTextView_ = new QLabel(makerName, this);
    logoTextView_->setObjectName(QStringLiteral("logoTextView"));
    logoTextView_->setFont(themeFont(&Theme::defaultTitlePrimaryFont));
    QPalette colours = logoTextView_->palette();
    colours.setColor(QPalette::WindowText, themeColor(&Theme::defaultTextColor));
    logoTextView_->setPalette(colours);
    heading->addWidget(logoTextView_);
    heading->addStretch(1);
    column->addLayout(heading);

    velmoraTextView_ = textArea(QStringLiteral("velmoraTextView"),
                                hyperlinkDetectWithText(QString::fromStdString(constants::aboutText())), this);
    velmoraTextView_->setAccessibleName(tr("About %1").arg(makerName));
    column->addWidget(velmoraTextView_);

    // The three address lines side by side, under the text.
    auto* links = new QHBoxLayout();
    links->setSpacing(16);
    column->addLayout(links);
    const auto line = [&](const QString& objectName, const QString& accessible, const std::optional<std::string>& text,
                          const std::optional<std::string>& link) -> VerticalExpandingNSTextView* {
        if (!text || !link) return nullptr;
        auto* area = textArea(objectName,
                              linkList({{QString::fromStdString(*text), QString::fromStdString(*link)}}, QString()), this);
        area->setAccessibleName(accessible);
        links->addWidget(area);
        return area;
    };
    twitterLinkTextView_ = line(QStringLiteral("twitterLinkTextView"), tr("Social media"), maker.socialHandle, maker.socialPage);
    webLinkTextView_ = line(QStringLiteral("webLinkTextView"), tr("Web site"), maker.webSite, maker.webSite);
    std::optional<std::string> mail;
    if (maker.supportEmail) mail = "mailto:" + *maker.supportEmail;
    emailLinkTextView_ = line(QStringLiteral("emailLinkTextView"), tr("E-mail"), maker.supportEmail, mail);
    column->addStretch(1);
}

}  // namespace tarnwick::ui
