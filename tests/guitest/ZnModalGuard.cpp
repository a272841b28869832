#include "ZnModalGuard.h"

#include "ZnModalHelper.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {
int refused = 0;
}

void ZnModalGuard::install()
{
    static ZnModalGuard *guard = nullptr;
    if (!guard) {
        guard = new ZnModalGuard;
        qApp->installEventFilter(guard);
    }
}

int ZnModalGuard::refusals()
{
    return refused;
}

void ZnModalGuard::refuse(QWidget *w, const QString &why)
{
    ++refused;
    const QString what =
        QStringLiteral("%1 %2 \"%3\" (%4): %5")
            .arg(why, QString::fromLatin1(w->metaObject()->className()), w->objectName(), w->windowTitle(),
                 ZnModalHelper::visibleTexts(w).join(QStringLiteral(" | ")).simplified());
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
    if (auto *dialog = qobject_cast<QDialog *>(w))
        dialog->reject();
    else
        w->close();
}

bool ZnModalGuard::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto *w = static_cast<QWidget *>(watched);
    if (!w->isWindow() || w->windowModality() == Qt::NonModal)
        return false;
    // Judged once the events already queued ran: a helper may be armed by one of them.
    QTimer::singleShot(0, this, [w = QPointer<QWidget>(w)] {
        if (w && w->isVisible() && !ZnModalHelper::expected(w) && QTest::currentTestFunction())
            refuse(w, QStringLiteral("unexpected modal box"));
    });
    return false;
}
