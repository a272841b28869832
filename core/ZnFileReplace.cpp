#include "ZnFileReplace.h"

#include "ZnNewFile.h"

#include <QFile>

#include <cerrno>

bool ZnFileReplace::write(const QString &path, const QByteArray &bytes, int *error)
{
    ZnNewFile file(QFile::encodeName(path).toStdString());
    const bool written =
        file.open() && file.write(bytes.constData(), static_cast<size_t>(bytes.size())) && file.commit();
    if (error)
        *error = written ? 0 : file.error() ? file.error() : ENAMETOOLONG;
    return written;
}
