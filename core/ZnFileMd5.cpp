#include "ZnFileMd5.h"

#include <QCryptographicHash>
#include <QFile>
#include <QObject>
#include <QThread>

#include <memory>

QString ZnFileMd5::of(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Md5);
    // addData(QIODevice *) reads in small blocks; a short read means a failed one.
    if (!hash.addData(&file) || file.pos() != file.size())
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

void ZnFileMd5::start(const QString &path, QObject *context, std::function<void(const QString &)> done)
{
    auto result = std::make_shared<QString>();
    QThread *thread = QThread::create([path, result] { *result = of(path); });
    QObject::connect(thread, &QThread::finished, context, [result, done] { done(*result); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

bool ZnFileMd5::same(const QString &a, const QString &b)
{
    return !a.isEmpty() && a.compare(b, Qt::CaseInsensitive) == 0;
}
