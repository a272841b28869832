#include "ZnConfigNotice.h"

#include "BaseMessageDialog.h"
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

// The reason a read failed, as the operator is told it.
QString readFailure(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return QStringLiteral("没有读取权限");
    case EIO:
        return QStringLiteral("磁盘读写出错");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

// Why a file was refused unread, after "config.ini ".
QString refusedUnread(const ZnRegularFile::Refusal &refusal)
{
    static_assert(ZnIniFile::kMaxFileBytes == 1 << 20, "the operator is told the limit as 1 MiB");
    switch (refusal.kind) {
    case ZnRegularFile::Refusal::Folder:
        return QStringLiteral("是文件夹，不是普通文件");
    case ZnRegularFile::Refusal::NotRegular:
        return QStringLiteral("不是普通文件");
    case ZnRegularFile::Refusal::TooLarge:
        return QStringLiteral("大于 1 MiB");
    case ZnRegularFile::Refusal::Failed:
        return QStringLiteral("无法读取（%1）").arg(readFailure(refusal.error));
    case ZnRegularFile::Refusal::None:
        break;
    }
    return QString();
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

void ZnConfigNotice::notRead(ZnTextForm::Form form, const ZnRegularFile::Refusal &refusal)
{
    if (form != ZnTextForm::Text) {
        tell(form == ZnTextForm::NulBytes
                 ? QStringLiteral("设置未能读取：config.ini 含有空字符（NUL），不是文本文件。本次使用默认设置。")
                 : QStringLiteral(
                     "设置未能读取：config.ini 以 UTF-16 编码保存，请另存为 UTF-8 编码。本次使用默认设置。"));
    } else if (refusal.kind != ZnRegularFile::Refusal::None) {
        tell(QStringLiteral("设置未能读取：config.ini %1。本次使用默认设置。").arg(refusedUnread(refusal)));
    }
}

void ZnConfigNotice::notSaved(int error)
{
    std::fprintf(stderr, "config.ini: not saved (%s); the file left as it was\n", std::strerror(error));
    tell(QStringLiteral("设置未能保存：config.ini 无法写入（%1）。").arg(saveFailure(error)));
}

void ZnConfigNotice::notSavedForForm()
{
    std::fprintf(stderr, "config.ini: not saved (a quote left open or a line continued there would not read the "
                         "value back); the file left as it was\n");
    tell(QStringLiteral("设置未能保存：config.ini 无法写入（文件格式有误）。"));
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
    QString text;
    {
        QMutexLocker locker(&notice().lock);
        const QWidget *window = notice().window;
        if (notice().waiting.isEmpty() || (overWindow && (!window || !window->isVisible())))
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
