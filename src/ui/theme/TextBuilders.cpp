#include "ui/theme/TextBuilders.h"

#include "ui/theme/ThemeValues.h"

#include <QRegularExpression>

namespace tarnwick::ui {
namespace {

// Web addresses with a scheme or starting with "www.", and e-mail addresses. A trailing full stop,
// comma, colon, semicolon or closing bracket ends the sentence, not the address.
const QRegularExpression& linkPattern() {
    static const QRegularExpression pattern(
        QStringLiteral(R"((?:https?://|www\.)[^\s<>"]+[^\s<>".,:;!?)\]']|[A-Za-z0-9._%+-]+@[A-Za-z0-9-]+(?:\.[A-Za-z0-9-]+)*\.[A-Za-z]{2,})"));
    return pattern;
}

QString anchor(const QString& text, const QString& href) {
    return QStringLiteral("<a href=\"%1\" style=\"color:%2; text-decoration:underline;\">%3</a>")
        .arg(href.toHtmlEscaped(), themeColor(&Theme::defaultLinkColor).name(), text.toHtmlEscaped());
}

QString hrefFor(const QString& address) {
    if (address.contains(QLatin1Char('@')) && !address.contains(QLatin1String("://")))
        return QStringLiteral("mailto:") + address;
    if (address.startsWith(QLatin1String("www."))) return QStringLiteral("https://") + address;
    return address;
}

QString plain(const QString& text) {
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    return escaped;
}

}  // namespace

QString emptyText() { return QString(); }

QString hyperlinkWithText(const QString& text, const QString& link) { return anchor(text, link); }

QString hyperlinkDetectWithText(const QString& text) {
    QString html;
    qsizetype at = 0;
    auto matches = linkPattern().globalMatch(text);
    while (matches.hasNext()) {
        const auto match = matches.next();
        html += plain(text.mid(at, match.capturedStart() - at));
        html += anchor(match.captured(), hrefFor(match.captured()));
        at = match.capturedEnd();
    }
    html += plain(text.mid(at));
    return html;
}

std::vector<QString> detectedLinks(const QString& text) {
    std::vector<QString> links;
    auto matches = linkPattern().globalMatch(text);
    while (matches.hasNext()) links.push_back(hrefFor(matches.next().captured()));
    return links;
}

QString underlineTextWithText(const QString& text) {
    return QStringLiteral("<span style=\"text-decoration:underline;\">%1</span>").arg(text.toHtmlEscaped());
}

QString linkList(const std::vector<std::pair<QString, QString>>& links, const QString& separator) {
    QString html;
    for (size_t i = 0; i < links.size(); ++i) {
        if (i > 0) html += plain(separator);
        html += anchor(links[i].first, links[i].second);
    }
    return html;
}

}  // namespace tarnwick::ui
