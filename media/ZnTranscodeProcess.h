#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

// Converts one audio file to MP3 with the external encoder "lame" found on the
// PATH, run with an argument list (never through a shell). A console ended by a
// signal or an exit() during the conversion ends lame and removes the MP3 and the target's
// folder, made for this conversion (see ZnEndCleanup).
class ZnTranscodeProcess : public QObject
{
    Q_OBJECT
public:
    explicit ZnTranscodeProcess(QObject* parent = nullptr);
    ~ZnTranscodeProcess() override;

    // False when this object already started a conversion.
    bool start(const QString& source, const QString& target);
    // Ends without a conversion (no folder could be made for the target), saying
    // why as a failed conversion does.
    void giveUp(const QString& folder);
    QString target() const { return m_target; }
    // Why the last conversion failed; empty after a success.
    QString errorText() const { return m_error; }

    static QString program() { return QStringLiteral("lame"); }
    static QStringList arguments(const QString& source, const QString& target);
    // Whether the MP3 holds every byte lame wrote: lame ends with 0 also when its
    // last writes failed, and then its own tag does not give the file's length.
    static bool isWhole(const QString& mp3);

signals:
    void transcode_finished(bool ok, QString target);

public slots:
    void process_finished(int exitCode, QProcess::ExitStatus status);

private:
    void processError(QProcess::ProcessError error);
    // The failure told as a full disk when the folder's disk has no room left.
    void setError(const QString& folder, const QString& otherwise);
    // lame and its output, taken along by a console that is ended meanwhile.
    void holdForTheEnd();
    void releaseForTheEnd();

    QProcess* m_process = nullptr;
    QString m_target;
    QString m_error;
    bool m_reported = false;
    int m_entries[3] = {-1, -1, -1};
    int m_folders[2] = {-1, -1};
};
