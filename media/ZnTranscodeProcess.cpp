#include "ZnTranscodeProcess.h"

#include "ZnEndCleanup.h"
#include "ZnFileFailure.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cerrno>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
// lame writes at most about 150 KB at once: a conversion that failed with less
// room than this left on its disk failed for want of room.
constexpr qint64 kRoomForAWrite = 256 * 1024;

// Whether a folder's disk has no room left for lame's next write, or no file
// can be made there.
bool isFull(const QString& folder)
{
    struct statvfs disk;
    if (::statvfs(QFile::encodeName(folder).constData(), &disk) != 0)
        return false;
    // No file can be made on a disk with bytes free but no inode left; a file
    // system that counts no inodes says 0 of 0.
    return qint64(disk.f_bavail) * qint64(disk.f_frsize) < kRoomForAWrite || (disk.f_files > 0 && disk.f_favail == 0);
}
} // namespace

ZnTranscodeProcess::ZnTranscodeProcess(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("ZnTranscodeProcess"));
}

ZnTranscodeProcess::~ZnTranscodeProcess()
{
    releaseForTheEnd();
}

void ZnTranscodeProcess::holdForTheEnd()
{
    const QFileInfo target(m_target);
    const QFileInfo folder(target.path());
    m_folders[0] = ::open(QFile::encodeName(folder.filePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    m_folders[1] = ::open(QFile::encodeName(folder.path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    m_entries[0] = ZnEndCleanup::addChild(pid_t(m_process->processId()));
    m_entries[1] = ZnEndCleanup::addFile(m_folders[0], QFile::encodeName(target.fileName()).constData());
    m_entries[2] = ZnEndCleanup::addFile(m_folders[1], QFile::encodeName(folder.fileName()).constData(), true);
}

void ZnTranscodeProcess::releaseForTheEnd()
{
    for (int& entry : m_entries) {
        ZnEndCleanup::remove(entry);
        entry = -1;
    }
    for (int& fd : m_folders) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

QStringList ZnTranscodeProcess::arguments(const QString& source, const QString& target)
{
    return {QStringLiteral("-m"),
            QStringLiteral("m"),
            QStringLiteral("--cbr"),
            QStringLiteral("-b"),
            QStringLiteral("96"),
            QStringLiteral("--resample"),
            QStringLiteral("44.1"),
            source,
            target};
}

bool ZnTranscodeProcess::isWhole(const QString& mp3)
{
    QFile file(mp3);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    qint64 size = file.size();
    QByteArray head = file.read(4096);
    // An ID3v2 tag before the stream and an ID3v1 tag after it are not counted.
    qint64 skip = 0;
    if (head.size() >= 10 && head.startsWith("ID3")) {
        for (int i = 6; i < 10; ++i)
            skip = (skip << 7) | (uchar(head[i]) & 0x7f);
        skip += 10;
        file.seek(skip);
        head = file.read(4096);
    }
    if (size >= 128 && file.seek(size - 128) && file.read(3) == "TAG")
        size -= 128;
    // The first frame holds lame's tag: "Info" (or "Xing"), its flags, then the
    // frame count and the stream's byte count when flags 1 and 2 say so.
    int at = head.indexOf("Info");
    if (at < 0)
        at = head.indexOf("Xing");
    if (at < 0 || head.size() < at + 16)
        return false;
    const auto word = [&](int offset) { return qFromBigEndian<quint32>(head.constData() + at + offset); };
    const quint32 flags = word(4);
    if (!(flags & 2))
        return false;
    return word(flags & 1 ? 12 : 8) == quint64(size - skip);
}

bool ZnTranscodeProcess::start(const QString& source, const QString& target)
{
    if (m_process)
        return false;
    m_target = target;
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
            &ZnTranscodeProcess::process_finished);
    connect(m_process, &QProcess::errorOccurred, this, &ZnTranscodeProcess::processError);
    m_process->start(program(), arguments(source, target), QIODevice::ReadWrite);
    if (m_process->processId() > 0)
        holdForTheEnd();
    return true;
}

void ZnTranscodeProcess::giveUp(const QString& folder)
{
    if (m_process || m_reported)
        return;
    m_reported = true;
    setError(folder, tr("conversion failed"));
    QMetaObject::invokeMethod(
        this, [this] { emit transcode_finished(false, m_target); }, Qt::QueuedConnection);
}

void ZnTranscodeProcess::setError(const QString& folder, const QString& otherwise)
{
    m_error = isFull(folder) ? ZnFileFailure::ofWrite(ENOSPC).text() : otherwise;
}

void ZnTranscodeProcess::process_finished(int exitCode, QProcess::ExitStatus status)
{
    releaseForTheEnd();
    if (m_reported)
        return;
    m_reported = true;
    const bool ran = exitCode == 0 && status == QProcess::NormalExit;
    const bool ok = ran && isWhole(m_target);
    if (!ok) {
        const QString output =
            m_process ? QString::fromLocal8Bit(m_process->readAll()).trimmed().section(QLatin1Char('\n'), -1)
                      : QString();
        QString why = ran                             ? tr("lame wrote an incomplete file")
                      : status == QProcess::CrashExit ? tr("lame crashed")
                                                      : tr("lame exit code %1").arg(exitCode);
        if (!output.isEmpty())
            why += QStringLiteral(": ") + output;
        setError(QFileInfo(m_target).path(), why);
    }
    emit transcode_finished(ok, m_target);
}

void ZnTranscodeProcess::processError(QProcess::ProcessError error)
{
    // A crash also ends in finished(); only a start that failed ends here.
    if (error != QProcess::FailedToStart || m_reported)
        return;
    releaseForTheEnd();
    m_reported = true;
    m_error = tr("lame not found");
    emit transcode_finished(false, m_target);
}
