#include "ZnServerText.h"

#include <QFontMetrics>
#include <QLabel>
#include <QStringList>
#include <QTextBoundaryFinder>

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
// The text with an invisible break wherever kMaxTipRun characters in a row offer
// no line break of their own.
QString breakable(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
    QString out;
    out.reserve(text.size() + text.size() / kMaxTipRun);
    int runStart = 0;
    for (int i = 0; i < text.size(); ++i) {
        finder.setPosition(i);
        if (finder.isAtBoundary())
            runStart = i;
        if (i - runStart >= kMaxTipRun && !text.at(i).isLowSurrogate()) {
            out += kBreakHere;
            runStart = i;
        }
        out += text.at(i);
    }
    return out;
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
    label->setMaximumWidth(maxWidth);
    showElided(label, text, maxWidth);
}

void showElided(QLabel *label, const QString &text, int width)
{
    if (!label)
        return;
    label->setTextFormat(Qt::PlainText);
    // The font a style sheet gives is the one the text is measured in.
    label->ensurePolished();
    const QString shown = label->fontMetrics().elidedText(bounded(text), Qt::ElideRight, width);
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : toolTip(text));
}

void showTitle(QWidget *window, QLabel *label, const QString &text, int maxWidth)
{
    if (window)
        window->setWindowTitle(bounded(text));
    showInLabel(label, text, maxWidth);
}

void showWrapped(QLabel *label, const QString &text)
{
    if (!label)
        return;
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > kMaxWrappedLines) {
        lines = lines.mid(0, kMaxWrappedLines);
        lines.last() += kEllipsis;
    }
    for (QString &line : lines)
        line = breakable(cut(line, kMaxWrappedLine));
    const QString shown = lines.join(QLatin1Char('\n'));
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : toolTip(text));
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
    // Always markup, so the escapes are read back; blanks and line breaks kept.
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + breakable(shown).toHtmlEscaped()
           + QStringLiteral("</p>");
}

} // namespace ZnServerText
