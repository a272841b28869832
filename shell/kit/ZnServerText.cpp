#include "ZnServerText.h"

#include <QFontMetrics>
#include <QLabel>

namespace ZnServerText {

namespace {
const QChar kEllipsis(0x2026);
// Invisible; lets a line break inside a run that has no blank.
const QChar kBreakHere(0x200B);

QString cut(const QString &text, int most)
{
    if (text.size() <= most)
        return text;
    // Never half of a surrogate pair.
    int end = most;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end) + kEllipsis;
}
} // namespace

QString bounded(const QString &text)
{
    return cut(text, kMaxShown);
}

void showInLabel(QLabel *label, const QString &text, int maxWidth)
{
    if (!label)
        return;
    label->setTextFormat(Qt::PlainText);
    // The font a style sheet gives is the one the text is measured in.
    label->ensurePolished();
    label->setMaximumWidth(maxWidth);
    const QString shown = label->fontMetrics().elidedText(bounded(text), Qt::ElideRight, maxWidth);
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : toolTip(text));
}

void showTitle(QWidget *window, QLabel *label, const QString &text, int maxWidth)
{
    if (window)
        window->setWindowTitle(bounded(text));
    showInLabel(label, text, maxWidth);
}

QString toolTip(const QString &text)
{
    if (text.isEmpty())
        return text; // no tip at all
    QString shown = cut(text, kMaxTipShown);
    int lines = 0;
    for (int i = 0; i < shown.size(); ++i) {
        if (shown.at(i) == QLatin1Char('\n') && ++lines > kMaxTipLines) {
            shown = shown.left(i) + kEllipsis;
            break;
        }
    }
    QString broken;
    broken.reserve(shown.size() + shown.size() / kMaxTipRun);
    int run = 0;
    for (const QChar c : shown) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kMaxTipRun && !c.isLowSurrogate()) {
            broken += kBreakHere;
            run = 1;
        }
        broken += c;
    }
    // Always markup, so the escapes are read back; blanks and line breaks kept.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + broken.toHtmlEscaped() + QStringLiteral("</p>");
}

} // namespace ZnServerText
