#include "ZnServerText.h"

#include <QFontMetrics>
#include <QLabel>

namespace ZnServerText {

QString bounded(const QString &text)
{
    if (text.size() <= kMaxShown)
        return text;
    return text.left(kMaxShown) + QChar(0x2026);
}

void showInLabel(QLabel *label, const QString &text, int maxWidth)
{
    if (!label)
        return;
    label->setTextFormat(Qt::PlainText);
    label->setMaximumWidth(maxWidth);
    label->setText(label->fontMetrics().elidedText(bounded(text), Qt::ElideRight, maxWidth));
}

QString toolTip(const QString &text)
{
    if (text.isEmpty())
        return text; // no tip at all
    // Always markup, so the escapes are read back; blanks and line breaks kept.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

} // namespace ZnServerText
