#pragma once

#include <QApplication>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractButton;

// Answers the modal dialog that a piece of code under test is about to open.
// Arm it before the call that runs exec(); when a modal window (not `skip`) is on
// top it hands it to the action from the window's own event loop.
class ZnModalHelper : public QObject
{
    Q_OBJECT
public:
    using Action = std::function<void(QWidget *)>;

    ~ZnModalHelper() override { disarm(); }

    // Runs action on the next modal widget that is not `skip`.
    void onModal(Action action, QWidget *skip = nullptr);
    // Clicks the button of that object name, or presses Escape for "escape".
    void answer(const QString &how, QWidget *skip = nullptr);

    bool handled() const { return done; }
    // What the modal widget showed, for checks after it has gone.
    QStringList seenTexts() const { return texts; }

    static QWidget *activeModal() { return QApplication::activeModalWidget(); }
    static QAbstractButton *findButton(QWidget *root, const QString &objectName);
    static QStringList visibleTexts(QWidget *root);
    // Whether a test waits for w: a helper is armed, or one took w and w is still open.
    static bool expected(QWidget *w);
    // Processes events until pred() is true, the time is up or a box was refused.
    static bool waitFor(const std::function<bool()> &pred, int timeoutMs = 3000);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void check();
    void disarm();

    Action pending;
    QPointer<QWidget> skipped;
    bool done = false;
    bool armed = false;
    QStringList texts;
};
