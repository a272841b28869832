#include "ZnModalHelper.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

static const int kPollMs = 10;

ZnModalHelper::ZnModalHelper(int timeoutMs) : timeoutMs(timeoutMs) {}

void ZnModalHelper::onModal(Action a, QWidget *s)
{
    action = std::move(a);
    skip = s;
    done = false;
    elapsed = 0;
    QTimer::singleShot(0, this, &ZnModalHelper::poll);
}

void ZnModalHelper::poll()
{
    QWidget *w = activeModal();
    if (w && w != skip && w->isVisible()) {
        texts = visibleTexts(w);
        done = true;
        action(w);
        return;
    }
    elapsed += kPollMs;
    if (elapsed < timeoutMs)
        QTimer::singleShot(kPollMs, this, &ZnModalHelper::poll);
}

void ZnModalHelper::clickButton(const QString &objectName, QWidget *s)
{
    onModal(
        [objectName](QWidget *w) {
            if (QAbstractButton *b = findButton(w, objectName))
                QTest::mouseClick(b, Qt::LeftButton);
        },
        s);
}

void ZnModalHelper::pressEscape(QWidget *s)
{
    onModal([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); }, s);
}

QWidget *ZnModalHelper::activeModal()
{
    return QApplication::activeModalWidget();
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
        QCoreApplication::processEvents(QEventLoop::AllEvents, kPollMs);
        QTest::qWait(kPollMs);
    }
    return true;
}
