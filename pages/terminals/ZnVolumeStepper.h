#pragma once

#include <QObject>

class QAbstractButton;
class QSlider;

// The broadcast-volume control of the pages: a slider and two press-and-hold
// step buttons. A click steps once; holding steps every repeat interval from the
// second tick on; the value is applied one apply interval after the last
// release, and a new press meanwhile cancels that. Releasing the mouse on the
// slider applies its last value at once; moving it by keyboard applies nothing.
// The page connects the buttons and the slider to its own slots, which call the
// slots here; the timed apply calls back the page's doChangeVol(), which stops
// the timers and sends.
class ZnVolumeStepper : public QObject
{
    Q_OBJECT
public:
    enum { RepeatMs = 100, ApplyMs = 500, StartVolume = 75 };

    // Styles the slider (0 to 100, start value 75) and gives the buttons their arrows.
    ZnVolumeStepper(QSlider *slider, QAbstractButton *decrease, QAbstractButton *increase, QObject *parent);

    void setIntervals(int repeatMs, int applyMs);
    int repeatTimerId() const { return repeatTimer; }
    int applyTimerId() const { return applyTimer; }
    int lastValue() const { return last; }

public slots:
    void increasePressed() { press(+1); }
    void decreasePressed() { press(-1); }
    void released();
    // The value a slider release applies; the slider's own moves land here too.
    void setLastValue(int volume) { last = volume; }
    // Stops both timers; nothing is applied.
    void stopTimers();

signals:
    // The apply interval after the last release has passed.
    void applyDue();
    // The mouse was released on the slider, at the last value it announced.
    void releasedAt(int volume);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void press(int step);
    void stop(int &timer);
    void stepSlider();

    QSlider *slider;
    int repeatTimer = -1;
    int applyTimer = -1;
    int volumeStep = 1;
    bool skipFirstTick = false;
    int last = StartVolume;
    int repeatMs = RepeatMs;
    int applyMs = ApplyMs;
};
