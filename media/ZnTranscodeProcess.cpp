#include "ZnTranscodeProcess.h"

ZnTranscodeProcess::ZnTranscodeProcess(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("ZnTranscodeProcess"));
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
    return true;
}

void ZnTranscodeProcess::process_finished(int exitCode, QProcess::ExitStatus status)
{
    if (m_reported)
        return;
    m_reported = true;
    const bool ok = exitCode == 0 && status == QProcess::NormalExit;
    if (!ok) {
        const QString output =
            m_process ? QString::fromLocal8Bit(m_process->readAll()).trimmed().section(QLatin1Char('\n'), -1)
                      : QString();
        m_error = status == QProcess::CrashExit ? tr("lame crashed") : tr("lame exit code %1").arg(exitCode);
        if (!output.isEmpty())
            m_error += QStringLiteral(": ") + output;
    }
    emit transcode_finished(ok, m_target);
}

void ZnTranscodeProcess::processError(QProcess::ProcessError error)
{
    // A crash also ends in finished(); only a start that failed ends here.
    if (error != QProcess::FailedToStart || m_reported)
        return;
    m_reported = true;
    m_error = tr("lame not found");
    emit transcode_finished(false, m_target);
}
