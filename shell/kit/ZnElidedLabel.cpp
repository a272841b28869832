#include "ZnElidedLabel.h"

#include "ZnServerText.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QtMath>

ZnElidedLabel::ZnElidedLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void ZnElidedLabel::setWholeText(const QString &text)
{
    whole = text;
    showFitting();
    updateGeometry();
}

// What of the label's width the text cannot use: frame, margins.
int ZnElidedLabel::sideRoom() const
{
    return width() - contentsRect().width() + 2 * margin();
}

QSize ZnElidedLabel::sizeHint() const
{
    ensurePolished();
    // Rounded up: the text is elided against its width in fractions of a pixel.
    const qreal text = QFontMetricsF(font()).horizontalAdvance(ZnServerText::bounded(whole));
    return QSize(sideRoom() + qCeil(text), QLabel::sizeHint().height());
}

QSize ZnElidedLabel::minimumSizeHint() const
{
    ensurePolished();
    const int ellipsis = whole.isEmpty() ? 0 : qCeil(QFontMetricsF(font()).horizontalAdvance(QChar(0x2026)));
    return QSize(sideRoom() + ellipsis, QLabel::minimumSizeHint().height());
}

// Until it is shown, no layout has given the label its width: the text is shown
// as the widest the label may be would show it.
void ZnElidedLabel::showFitting()
{
    ZnServerText::showElided(this, whole, isVisible() ? width() - sideRoom() : maximumWidth() - sideRoom());
}

void ZnElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    showFitting();
}

void ZnElidedLabel::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    showFitting();
}

void ZnElidedLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        showFitting();
        updateGeometry();
    }
}
