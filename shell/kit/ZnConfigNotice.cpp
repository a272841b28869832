#include "ZnConfigNotice.h"

#include "BaseMessageDialog.h"

#include <QApplication>
#include <QEvent>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

struct Notice
{
    QMutex lock;
    QString waiting;
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

void tell(const QString &text)
{
    {
        QMutexLocker locker(&notice().lock);
        if (notice().told || !notice().waiting.isEmpty())
            return;
        notice().waiting = text;
    }
    showLater();
}

QString saveFailure(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁盘空间不足");
    case EDQUOT:
        return QStringLiteral("超出磁盘配额");
    case EROFS:
        return QStringLiteral("磁盘只读");
    case EACCES:
    case EPERM:
        return QStringLiteral("没有写入权限");
    case EFBIG:
        return QStringLiteral("文件过大");
    case EIO:
        return QStringLiteral("磁盘读写出错");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace

void ZnConfigNotice::notRead(ZnTextForm::Form form)
{
    if (form == ZnTextForm::Text)
        return;
    tell(form == ZnTextForm::NulBytes
             ? QStringLiteral("设置未能读取：config.ini 含有空字符（NUL），不是文本文件。本次使用默认设置。")
             : QStringLiteral("设置未能读取：config.ini 以 UTF-16 编码保存，请另存为 UTF-8 编码。本次使用默认设置。"));
}

void ZnConfigNotice::notSaved(int error)
{
    std::fprintf(stderr, "config.ini: not saved (%s); the file left as it was\n", std::strerror(error));
    tell(QStringLiteral("设置未能保存：config.ini 无法写入（%1）。").arg(saveFailure(error)));
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
    QString text;
    {
        QMutexLocker locker(&notice().lock);
        const QWidget *window = notice().window;
        if (notice().waiting.isEmpty() || !window || !window->isVisible())
            return;
        text.swap(notice().waiting);
        notice().told = true;
    }
    BaseMessageDialog box(QStringLiteral("提示"), text, 1);
    box.exec();
}

void ZnConfigNotice::reset()
{
    QMutexLocker locker(&notice().lock);
    notice().waiting.clear();
    notice().told = false;
}

bool ZnConfigNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show)
        return false;
    QMutexLocker locker(&notice().lock);
    if (watched == notice().window && !notice().waiting.isEmpty())
        showLater();
    return false;
}
