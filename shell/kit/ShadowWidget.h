#pragma once

#include "ZnCompositor.h"
#include "ZnWindowDrag.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QVector>

// Frameless top-level window with a 6-pixel drop shadow around a white client area.
// T is QDialog or QMainWindow. A left-button drag on any part of it that does not
// take the press itself moves it.
template <class T>
class ShadowWidget : public T
{
public:
    static constexpr int kShadow = 6;

    explicit ShadowWidget(QWidget *parent = nullptr) : T(parent)
    {
        this->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint
                             | Qt::WindowMaximizeButtonHint);
        if (ZnCompositor::translucentWindows())
            this->setAttribute(Qt::WA_TranslucentBackground);
    }
    ~ShadowWidget() override = default;

protected:
    void mousePressEvent(QMouseEvent *event) override { drag.mousePress(event); }
    void mouseMoveEvent(QMouseEvent *event) override { drag.mouseMove(event); }
    void mouseReleaseEvent(QMouseEvent *event) override { drag.mouseRelease(event); }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (!this->testAttribute(Qt::WA_TranslucentBackground))
            painter.fillRect(this->rect(), QColor(0xd5, 0xdb, 0xdf));
        drawShadow(painter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QBrush(Qt::white, Qt::SolidPattern));
        painter.drawRect(
            QRect(QPoint(kShadow, kShadow), QPoint(this->width() - kShadow - 1, this->height() - kShadow - 1)));
    }

    void drawShadow(QPainter &painter)
    {
        static const char *const names[] = {"left",     "right",     "top",         "bottom",
                                            "left-top", "right-top", "left-bottom", "right-bottom"};
        QVector<QImage> img;
        for (const char *n : names)
            img.append(QImage(QStringLiteral(":/images/shadow/shadow-") + QLatin1String(n)));

        const qreal w = this->width(), h = this->height(), s = kShadow;
        painter.drawImage(QRectF(0, 0, s, s), img[4]);
        painter.drawImage(QRectF(w - s, 0, s, s), img[5]);
        painter.drawImage(QRectF(0, h - s, s, s), img[6]);
        painter.drawImage(QRectF(w - s, h - s, s, s), img[7]);

        const int bandH = qMax(0, int(h) - 2 * kShadow), bandW = qMax(0, int(w) - 2 * kShadow);
        auto scaled = [](const QImage &i, int bw, int bh) {
            return i.isNull() || bw <= 0 || bh <= 0 ? QImage()
                                                    : i.scaled(bw, bh, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        };
        painter.drawImage(QRectF(0, s, s, bandH), scaled(img[0], kShadow, bandH));
        painter.drawImage(QRectF(w - s, s, s, bandH), scaled(img[1], kShadow, bandH));
        painter.drawImage(QRectF(s, 0, bandW, s), scaled(img[2], bandW, kShadow));
        painter.drawImage(QRectF(s, h - s, bandW, s), scaled(img[3], bandW, kShadow));
    }

private:
    ZnWindowDrag drag{this};
};
