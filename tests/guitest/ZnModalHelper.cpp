#include "ZnModalHelper.h"

#include "ZnModalGuard.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {
int armedHelpers = 0;
// The windows a helper took, while they stay open.
QList<QPointer<QWidget>> &taken()
{
    static QList<QPointer<QWidget>> list;
    return list;
}
} // namespace

bool ZnModalHelper::expected(QWidget *w)
{
    taken().removeAll(nullptr);
    for (const QPointer<QWidget> &t : taken())
        if (t == w && w->isVisible())
            return true;
    return armedHelpers > 0;
}

void ZnModalHelper::disarm()
{
    if (armed)
        --armedHelpers;
    armed = false;
}

void ZnModalHelper::onModal(Action action, QWidget *skip)
{
    done = false;
    if (!armed)
        ++armedHelpers;
    armed = true;
    pending = std::move(action);
    skipped = skip;
    qApp->installEventFilter(this);
    // A modal window already open is answered as well.
    QTimer::singleShot(0, this, &ZnModalHelper::check);
}

bool ZnModalHelper::eventFilter(QObject *watched, QEvent *event)
{
    // A window shown or hidden may change which modal window is on top: a box that
    // closes hands the turn back to the dialog under it.
    const bool turn = event->type() == QEvent::Show || event->type() == QEvent::Hide;
    if (turn && watched->isWidgetType() && static_cast<QWidget *>(watched)->isWindow())
        QTimer::singleShot(0, this, &ZnModalHelper::check);
    return false;
}

void ZnModalHelper::check()
{
    QWidget *w = activeModal();
    // Guarded: a later box built at the address of a destroyed one is not skipped.
    if (done || !w || !w->isVisible() || (skipped && w == skipped))
        return;
    qApp->removeEventFilter(this);
    texts = visibleTexts(w);
    done = true;
    disarm();
    taken() << w;
    pending(w);
}

void ZnModalHelper::answer(const QString &how, QWidget *skip)
{
    onModal(
        [how](QWidget *w) {
            if (how == QLatin1String("escape"))
                QTest::keyClick(w, Qt::Key_Escape);
            else if (QAbstractButton *b = findButton(w, how))
                QTest::mouseClick(b, Qt::LeftButton);
            else
                ZnModalGuard::refuse(w, QStringLiteral("no button %1 in").arg(how));
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
    const int refusedBefore = ZnModalGuard::refusals();
    return QTest::qWaitFor([&] { return pred() || ZnModalGuard::refusals() != refusedBefore; }, timeoutMs) && pred();
}
