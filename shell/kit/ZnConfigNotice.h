#pragma once

#include "ZnTextForm.h"

#include <QObject>

class QWidget;

// Tells the operator, once a run, that config.ini could not be read as text or
// that a setting could not be saved, and why: a box over the window he sees (the
// login dialog, or the main window). A failure before that window is up is told
// once it shows; later failures of the run are not told again. A failed save is
// also said on standard error, each time.
class ZnConfigNotice : public QObject
{
public:
    // The file's bytes are no text (see ZnTextForm): the console goes on with the
    // default settings and never writes the file.
    static void notRead(ZnTextForm::Form form);
    // A write of the file failed with this errno; the file stays as it was.
    static void notSaved(int error);

    // The window the operator sees from now on; the notice waiting, if any, is
    // shown over it once it is up.
    static void watch(QWidget *window);
    // Shows the notice waiting now, when the window watched is up; returns once the
    // operator has confirmed it.
    static void showWaiting();
    // Forgets what was told, as a new run would (each test case is one).
    static void reset();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
