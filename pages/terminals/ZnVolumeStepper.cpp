#include "ZnVolumeStepper.h"

#include "ZnSliderStyle.h"

#include <QAbstractButton>
#include <QEvent>
#include <QSlider>
#include <QStyle>
#include <QTimerEvent>

ZnVolumeStepper::ZnVolumeStepper(QSlider *s, QAbstractButton *decrease, QAbstractButton *increase, QObject *parent)
    : QObject(parent), slider(s)
{
    slider->setMaximum(100);
    setSliderStyleSheet(slider, QStringLiteral("#FFFFFF"), QStringLiteral("#869FAB"), QStringLiteral("#869FAB"));
    slider->setValue(StartVolume);
    decrease->setIcon(slider->style()->standardIcon(QStyle::SP_ArrowLeft));
    increase->setIcon(slider->style()->standardIcon(QStyle::SP_ArrowRight));
    slider->installEventFilter(this);
}

void ZnVolumeStepper::setIntervals(int repeat, int applyAfter)
{
    repeatMs = repeat;
    applyMs = applyAfter;
}

void ZnVolumeStepper::stop(int &timer)
{
    if (timer >= 0)
        killTimer(timer);
    timer = -1;
}

void ZnVolumeStepper::stepSlider()
{
    slider->setValue(slider->value() + volumeStep);
}

void ZnVolumeStepper::press(int step)
{
    stop(applyTimer);
    stop(repeatTimer);
    volumeStep = step;
    skipFirstTick = true;
    repeatTimer = startTimer(repeatMs);
}

void ZnVolumeStepper::released()
{
    stop(repeatTimer);
    stepSlider();
    stop(applyTimer);
    applyTimer = startTimer(applyMs);
}

void ZnVolumeStepper::stopTimers()
{
    stop(repeatTimer);
    stop(applyTimer);
}

bool ZnVolumeStepper::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == slider && event->type() == QEvent::MouseButtonRelease)
        emit releasedAt(last);
    return QObject::eventFilter(watched, event);
}

void ZnVolumeStepper::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == applyTimer) {
        // Once: a page that sends nothing must not be asked again.
        stopTimers();
        emit applyDue();
        return;
    }
    if (event->timerId() != repeatTimer)
        return;
    if (skipFirstTick)
        skipFirstTick = false;
    else
        stepSlider();
}
