#include "ZnFileReplace.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool ZnFileReplace::write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        if (file.write(bytes) == bytes.size())
            return file.commit();
        file.cancelWriting();
        return false;
    }
    // Only where the folder refuses the new file: after another failure (a full
    // disk) a write in place could leave the file cut short.
    const QFileInfo info(path);
    if (!info.isFile() || !info.isWritable() || QFileInfo(info.absolutePath()).isWritable())
        return false;
    QFile inPlace(path);
    if (!inPlace.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    // Over the old bytes, then cut to the new size.
    return inPlace.write(bytes) == bytes.size() && inPlace.flush() && inPlace.resize(bytes.size());
}
