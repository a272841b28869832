#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Fails the running test at once when a modal window opens that no helper was
// armed for, naming it and what it says, and closes it: the code under test
// then goes on instead of waiting in exec() until the suite's time-out.
class ZnModalGuard : public QObject
{
public:
    // Watches every window shown from now on; once per program.
    static void install();
    // Fails the running test because of w and closes w.
    static void refuse(QWidget *w, const QString &why);
    // How many windows were refused so far (a wait stops when it changes).
    static int refusals();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
