#pragma once
// Rich texts the views share, as Qt rich text (HTML) for labels and text browsers: links are
// underlined, in the theme's link colour, and show the pointing hand; every text is escaped.
#include <QColor>
#include <QString>

#include <utility>
#include <vector>

namespace tarnwick::ui {

// The empty text.
QString emptyText();

// The text as one link to `link`.
QString hyperlinkWithText(const QString& text, const QString& link);

// The text with every web address and e-mail address in it turned into a link to itself (an
// e-mail address links with "mailto:"); the rest stays plain. Line breaks are kept.
QString hyperlinkDetectWithText(const QString& text);

// The text underlined over its whole length.
QString underlineTextWithText(const QString& text);

// The texts joined by `separator`, each a link to its address.
QString linkList(const std::vector<std::pair<QString, QString>>& links, const QString& separator);

// The addresses `hyperlinkDetectWithText` turns into links, in order.
std::vector<QString> detectedLinks(const QString& text);

}  // namespace tarnwick::ui
