#include "ZnModalHelper.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

void ZnModalHelper::onModal(Action action, QWidget *skip)
{
    done = false;
    auto *timer = new QTimer(this);
    QElapsedTimer clock;
    clock.start();
    // Guarded: a later box built at the address of a destroyed one is not skipped.
    const QPointer<QWidget> skipped(skip);
    connect(timer, &QTimer::timeout, this, [=] {
        QWidget *w = activeModal();
        const bool found = w && !(skipped && w == skipped) && w->isVisible();
        if (found || clock.elapsed() > 3000) {
            // Stopped first: the action may run an event loop of its own.
            timer->stop();
            timer->deleteLater();
        }
        if (found) {
            texts = visibleTexts(w);
            done = true;
            action(w);
        }
    });
    timer->start(10);
}

void ZnModalHelper::answer(const QString &how, QWidget *skip)
{
    onModal(
        [how](QWidget *w) {
            if (how == "escape")
                QTest::keyClick(w, Qt::Key_Escape);
            else if (QAbstractButton *b = findButton(w, how))
                QTest::mouseClick(b, Qt::LeftButton);
        },
        skip);
}

QAbstractButton *ZnModalHelper::findButton(QWidget *root, const QString &objectName)
{
    return root ? root->findChild<QAbstractButton *>(objectName) : nullptr;
}

QStringList ZnModalHelper::visibleTexts(QWidget *root)
{
    QStringList out;
    if (!root)
        return out;
    for (QLabel *l : root->findChildren<QLabel *>())
        if (!l->text().isEmpty())
            out << l->text();
    for (QTextEdit *t : root->findChildren<QTextEdit *>())
        out << t->toPlainText();
    return out;
}

bool ZnModalHelper::waitFor(const std::function<bool()> &pred, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QTest::qWait(10);
    }
    return true;
}
