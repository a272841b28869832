#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

// Converts one audio file to MP3 with the external encoder "lame" found on the
// PATH, run with an argument list (never through a shell).
class ZnTranscodeProcess : public QObject
{
    Q_OBJECT
public:
    explicit ZnTranscodeProcess(QObject* parent = nullptr);

    // False when this object already started a conversion.
    bool start(const QString& source, const QString& target);
    QString target() const { return m_target; }
    // Why the last conversion failed; empty after a success.
    QString errorText() const { return m_error; }

    static QString program() { return QStringLiteral("lame"); }
    static QStringList arguments(const QString& source, const QString& target);

signals:
    void transcode_finished(bool ok, QString target);

public slots:
    void process_finished(int exitCode, QProcess::ExitStatus status);

private:
    void processError(QProcess::ProcessError error);

    QProcess* m_process = nullptr;
    QString m_target;
    QString m_error;
    bool m_reported = false;
};
