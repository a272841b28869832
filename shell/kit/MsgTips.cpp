#include "MsgTips.h"

#include <QDialog>
#include <QLabel>
#include <QTimerEvent>

namespace {
const char *const kLabelStyle = "color: #000000; font-size: 14px; border: 0px; margin-top: 10px; margin-left: 10px;";
const char *const kSuccessStyle = "background-color: #f0f9eb; border: 1px solid #3b4b54; border-radius: 10px;";
const char *const kWarningStyle = "background-color: #fdf6ec; border: 1px solid #3b4b54; border-radius: 10px;";
const char *const kInitialStyle = "background-color: #f0f9eb; border: 1px solid #3b4b54; border-radius: 6px;";
} // namespace

MsgTips::MsgTips(QWidget *parent, const QRect &geometry)
{
    boxWidget = new QDialog(parent);
    boxWidget->setWindowFlags(Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint);
    boxWidget->setWindowOpacity(1.0);
    labelWidget = new QLabel(boxWidget);
    // Tips show file names from the server.
    labelWidget->setTextFormat(Qt::PlainText);
    boxWidget->setGeometry(geometry);
    boxWidget->setStyleSheet(QLatin1String(kInitialStyle));
    labelWidget->setStyleSheet(QLatin1String(kLabelStyle));
    labelWidget->setMinimumWidth(geometry.width() - 20);
    labelWidget->setMinimumHeight(geometry.height() - 20);
    boxWidget->hide();
}

MsgTips::~MsgTips()
{
    stopTimer();
    delete labelWidget;
    delete boxWidget;
}

void MsgTips::setText(const QString &k)
{
    key = k;
}

void MsgTips::setLabelText(const QString &text)
{
    labelWidget->setText(text);
}

void MsgTips::setType(int type)
{
    if (type == 1)
        boxWidget->setStyleSheet(QLatin1String(kSuccessStyle));
    else if (type == 2)
        boxWidget->setStyleSheet(QLatin1String(kWarningStyle));
    else
        return;
    labelWidget->setStyleSheet(QLatin1String(kLabelStyle));
}

void MsgTips::showTip(int ms)
{
    stopTimer();
    boxWidget->show();
    inUse = 1;
    if (ms >= 0) {
        timeout = ms;
        timerId = startTimer(ms, Qt::CoarseTimer);
    }
}

void MsgTips::updateText(const QString &text)
{
    if (timerId != 0) {
        stopTimer();
        timerId = startTimer(timeout, Qt::CoarseTimer);
    }
    labelWidget->setText(text);
}

void MsgTips::setGeometry(const QRect &geometry)
{
    boxWidget->setGeometry(geometry);
}

void MsgTips::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != timerId)
        return;
    stopTimer();
    boxWidget->hide();
    inUse = 0;
    key.clear();
    setType(1);
    emit updateMsgTipsGroup();
}

// A stopped timer's id is forgotten, so a tip later shown without a time-out
// stays until it is given one again.
void MsgTips::stopTimer()
{
    if (timerId != 0) {
        killTimer(timerId);
        timerId = 0;
    }
}
