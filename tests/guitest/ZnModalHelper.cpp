#include "ZnModalHelper.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

void ZnModalHelper::onModal(Action action, QWidget *skip)
{
    done = false;
    pending = std::move(action);
    skipped = skip;
    qApp->installEventFilter(this);
}

bool ZnModalHelper::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    QWidget *w = static_cast<QWidget *>(watched);
    // Guarded: a later box built at the address of a destroyed one is not skipped.
    if (!w->isWindow() || !w->isModal() || (skipped && w == skipped))
        return false;
    qApp->removeEventFilter(this);
    const QPointer<QWidget> box(w);
    // Run from the box's own event loop, once it is shown and active.
    QTimer::singleShot(0, this, [this, box] {
        if (!box)
            return;
        texts = visibleTexts(box);
        done = true;
        pending(box);
    });
    return false;
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
    return QTest::qWaitFor(pred, timeoutMs);
}
