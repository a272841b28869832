#pragma once

#include <QByteArray>
#include <QString>

// Writes a small settings file whole through ZnNewFile: a new file renamed over
// the old one, so that no reader meets it half written, or, where a new file
// could not be what the old one was (a folder that takes no new file, a file
// with other hard links or an owner of its own), written in place once room for
// its new size is reserved. Either way a write that fails (a full disk, a quota,
// a read-only disk, a file the user may not write) leaves the old file as it was.
class ZnFileReplace
{
public:
    // False when the file was not written; error (when given) then gets the errno
    // of the failure.
    static bool write(const QString &path, const QByteArray &bytes, int *error = nullptr);
};
