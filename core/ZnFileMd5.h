#pragma once

#include <QString>

#include <functional>

class QObject;

// MD5 of a file as 32 lower-case hex digits, read in pieces so that even a
// backup of a gigabyte never sits in memory whole.
class ZnFileMd5
{
public:
    // Empty when the file cannot be read to its end.
    static QString of(const QString &path);
    // Computes it on a thread of its own and hands the text to done on the
    // thread of context; nothing is handed over when context is gone by then.
    static void start(const QString &path, QObject *context, std::function<void(const QString &)> done);
    // MD5 texts name the same digest whatever their letter case.
    static bool same(const QString &a, const QString &b);
};
