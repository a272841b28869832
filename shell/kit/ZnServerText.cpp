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
    label->setMaximumWidth(maxWidth);
    label->setText(label->fontMetrics().elidedText(bounded(text), Qt::ElideRight, maxWidth));
}

} // namespace ZnServerText
