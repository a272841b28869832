#pragma once

#include <QByteArray>
#include <QString>

// Writes a small settings file whole: a new file renamed over the old one, so
// that no reader meets it half written. Where the folder takes no new file (a
// program folder the operator may not write) while the file itself may be
// written, the file is written in place instead.
class ZnFileReplace
{
public:
    static bool write(const QString &path, const QByteArray &bytes);
};
