#pragma once

#include <QCoreApplication>
#include <QString>

#include "ZnNewFile.h"

// Why a file could not be read or written, in the operator's words. Every place
// that tells a file failure (the config.ini notice, the downloads and recordings,
// the backups, the transcoding, the log export) takes its reason from here, so a
// cause is named alike everywhere and added once.
class ZnFileFailure
{
    Q_DECLARE_TR_FUNCTIONS(ZnFileFailure)

public:
    enum Cause {
        None,
        DiskFull,
        OverQuota,
        ReadOnlyDisk,
        NoWritePermission,
        NoReadPermission,
        NoSuchFolder,
        NameTooLong,
        PathTooLong,
        DiskError,
        LinkLoop,
        IsFolder,
        Unnamed // told in the system's own words
    };

    ZnFileFailure() = default;
    ZnFileFailure(Cause cause, int error) : m_cause(cause), m_error(error) {}

    // A write (a file made, written, synced or renamed) or a read that failed
    // with this errno; 0 is no failure.
    static ZnFileFailure ofWrite(int error);
    static ZnFileFailure ofRead(int error);
    // Why a new file failed: also a name or path too long for this system, found
    // before anything was tried.
    static ZnFileFailure of(const ZnNewFile &file);
    // The same for a ZnNewFile::Problem (checkTarget's) and its errno.
    static ZnFileFailure of(ZnNewFile::Problem problem, int error = 0);

    Cause cause() const { return m_cause; }
    int error() const { return m_error; }
    bool failed() const { return m_cause != None; }
    // A cause this system names itself, not only in the system's words.
    bool named() const { return m_cause != None && m_cause != Unnamed; }
    // The reason as the operator reads it ("磁盘空间不足"); for an unnamed cause the
    // system's text for the errno; empty for no failure. Translated when asked,
    // so a failure met before the translation was loaded reads as any other.
    QString text() const;

private:
    // The causes a read and a write share past their own.
    static ZnFileFailure either(int error);

    Cause m_cause = None;
    int m_error = 0;
};
