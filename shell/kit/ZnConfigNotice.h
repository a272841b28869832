#pragma once

#include "ZnRegularFile.h"
#include "ZnTextForm.h"

#include <QObject>

class QWidget;

// Tells the operator, once a run, that config.ini could not be read or that a
// setting could not be saved, and why: a box over the window he sees (the login
// dialog, or the main window). A failure before that window is up is told once it
// shows, or before the program ends where no window comes; later failures of the
// run are not told again. A failed save is also said on standard error, each time.
class ZnConfigNotice : public QObject
{
    Q_OBJECT

public:
    // The file was refused unread (see ZnRegularFile), or its bytes are no text (see
    // ZnTextForm): the console goes on with the default settings and never writes
    // the file. Nothing is told for a Text form and no refusal.
    static void notRead(ZnTextForm::Form form, const ZnRegularFile::Refusal &refusal = {});
    // A write of the file failed with this errno (EFBIG: it would pass the size
    // limit); the file stays as it was.
    static void notSaved(int error);
    // The value would not read back from the changed file (a quote left open or a
    // line continued draws it into another value): nothing was written.
    static void notSavedForForm();

    // The window the operator sees from now on; the notice waiting, if any, is
    // shown over it once it is up.
    static void watch(QWidget *window);
    // Shows the notice waiting now, when the window watched is up; returns once the
    // operator has confirmed it.
    static void showWaiting();
    // Shows the notice waiting now, over no window: the program ends without one (a
    // direct login that failed). Returns once the operator has confirmed it.
    static void showBeforeExit();
    // Forgets what was told, as a new run would (each test case is one).
    static void reset();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    static void show(bool overWindow);
    // Why a file was refused unread, after "config.ini ".
    static QString refusedUnread(const ZnRegularFile::Refusal &refusal);
    static QString notSavedText(const QString &why);
};
