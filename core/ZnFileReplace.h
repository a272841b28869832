#pragma once

#include <QByteArray>
#include <QString>

// Writes a small settings file whole: a new file renamed over the old one, so
// that no reader meets it half written. Where the folder takes no new file (a
// program folder the operator may not write) while the file itself may be
// written, the file is written in place instead, once room for its new size is
// reserved. Either way a write that fails (a full disk, a quota, a read-only
// disk) leaves the old file whole as it was.
class ZnFileReplace
{
public:
    // False when the file was not written; error (when given) then gets the errno
    // of the failure.
    static bool write(const QString &path, const QByteArray &bytes, int *error = nullptr);
};
