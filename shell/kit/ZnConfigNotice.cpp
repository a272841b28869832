#include "ZnConfigNotice.h"

#include "BaseMessageDialog.h"
#include "ZnFileFailure.h"
#include "ZnIniFile.h"

#include <QApplication>
#include <QEvent>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

struct Notice
{
    QMutex lock;
    // The text is made when shown: a failure at the start comes before the
    // translation is loaded.
    std::function<QString()> waiting;
    bool told = false;
    QPointer<QWidget> window;
};

Notice &notice()
{
    static Notice n;
    return n;
}

// Shown from the event loop: the writer may hold a lock of its own, and the box
// waits for the operator.
void showLater()
{
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QMetaObject::invokeMethod(qApp, &ZnConfigNotice::showWaiting, Qt::QueuedConnection);
}

void tell(std::function<QString()> text)
{
    {
        QMutexLocker locker(&notice().lock);
        if (notice().told || notice().waiting)
            return;
        notice().waiting = std::move(text);
    }
    showLater();
}

} // namespace

QString ZnConfigNotice::refusedUnread(const ZnRegularFile::Refusal &refusal)
{
    static_assert(ZnIniFile::kMaxFileBytes == 1 << 20, "the operator is told the limit as 1 MiB");
    switch (refusal.kind) {
    case ZnRegularFile::Refusal::Folder:
        return tr("is a folder, not a regular file");
    case ZnRegularFile::Refusal::NotRegular:
        return tr("is not a regular file");
    case ZnRegularFile::Refusal::TooLarge:
        return tr("is larger than 1 MiB");
    case ZnRegularFile::Refusal::Failed:
        return tr("cannot be read (%1)").arg(ZnFileFailure::ofRead(refusal.error).text());
    case ZnRegularFile::Refusal::None:
        break;
    }
    return QString();
}

void ZnConfigNotice::notRead(ZnTextForm::Form form, const ZnRegularFile::Refusal &refusal)
{
    if (form != ZnTextForm::Text) {
        tell([form] {
            return form == ZnTextForm::NulBytes
                       ? tr("Settings not read: config.ini holds null characters (NUL), it is no text file. The "
                            "default settings are used this time.")
                       : tr("Settings not read: config.ini is saved as UTF-16, save it as UTF-8. The default settings "
                            "are used this time.");
        });
    } else if (refusal.kind != ZnRegularFile::Refusal::None) {
        tell([refusal] {
            return tr("Settings not read: config.ini %1. The default settings are used this time.")
                .arg(refusedUnread(refusal));
        });
    }
}

void ZnConfigNotice::notSaved(int error)
{
    std::fprintf(stderr, "config.ini: not saved (%s); the file left as it was\n", std::strerror(error));
    // EFBIG is the file's own limit here, not the disk's.
    tell([error] {
        return notSavedText(error == EFBIG ? tr("The file is too large") : ZnFileFailure::ofWrite(error).text());
    });
}

void ZnConfigNotice::notSavedForForm()
{
    std::fprintf(stderr, "config.ini: not saved (a quote left open or a line continued there would not read the "
                         "value back); the file left as it was\n");
    tell([] { return notSavedText(tr("The file's form is wrong")); });
}

QString ZnConfigNotice::notSavedText(const QString &why)
{
    return tr("Settings not saved: config.ini cannot be written (%1).").arg(why);
}

void ZnConfigNotice::watch(QWidget *window)
{
    static ZnConfigNotice *const filter = new ZnConfigNotice;
    {
        QMutexLocker locker(&notice().lock);
        notice().window = window;
    }
    window->installEventFilter(filter);
    if (window->isVisible())
        showLater();
}

void ZnConfigNotice::showWaiting()
{
    show(true);
}

void ZnConfigNotice::showBeforeExit()
{
    show(false);
}

void ZnConfigNotice::show(bool overWindow)
{
    std::function<QString()> text;
    {
        QMutexLocker locker(&notice().lock);
        const QWidget *window = notice().window;
        if (!notice().waiting || (overWindow && (!window || !window->isVisible())))
            return;
        text.swap(notice().waiting);
        notice().told = true;
    }
    BaseMessageDialog box(QStringLiteral("提示"), text(), 1);
    box.exec();
}

void ZnConfigNotice::reset()
{
    QMutexLocker locker(&notice().lock);
    notice().waiting = nullptr;
    notice().told = false;
}

bool ZnConfigNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show)
        return false;
    QMutexLocker locker(&notice().lock);
    if (watched == notice().window && notice().waiting)
        showLater();
    return false;
}
