#pragma once

#include <QString>
#include <QStringList>
#include <QThread>

#include <mutex>

#include "ZnDbQuery.h"
#include "ZnFileFailure.h"

class ZnMySql;

// Writes one whole log from the talk-log database into a CSV file (GBK, "\n" line
// ends, every field quoted and followed by a comma), page by page. The file is
// written beside the target under a temporary name and takes the target's place
// only when the whole log was written, so a failed or stopped export leaves an
// earlier file as it was. It reads on a connection of its own, in one consistent
// snapshot where the table's engine keeps one, and never holds the log between
// two statements; the file is kept only when the server shows it to be the log
// (up to the newest id of the start) as it stands at the end, else the export
// fails as changed.
class LogExportThread : public QThread
{
    Q_OBJECT
public:
    // Finish codes.
    enum {
        Complete = 1,
        EmptyLog = 0,
        OpenFailed = -1,
        QueryFailed = -2,
        LogChanged = -3, // the file could not be shown to be the log at one moment
        DiskFull = -4,
        NameTooLong = -5 // the file's name or path is longer than the system allows
    };

    LogExportThread(const QString &path, QStringList headers, int kind, QObject *parent = nullptr);

    // One field: quoted, quotes inside doubled, a leading formula sign made
    // harmless with an apostrophe, then the comma.
    static QString csvField(const QString &text);
    // That field in GBK; lost tells whether characters GBK cannot hold (or a NUL)
    // were written as "?".
    static QByteArray gbkField(const QString &text, bool *lost);

    // After the finish: the fields written with lost characters, and why the
    // file could not be written (finish codes OpenFailed, DiskFull, NameTooLong).
    int lostCells() const { return lost; }
    ZnFileFailure fileFailure() const { return failure; }

    // Where every statement reads the whole log: the rows the next one asks for,
    // after one that asked for budget rows and took seconds for rows, of which
    // scanSeconds is what reading the log costs any statement.
    static qint64 nextStretchRows(qint64 budget, double seconds, qint64 rows, double scanSeconds);

    // From any thread: stops the export, breaking off a running statement.
    void cancel();

signals:
    void update_signal(long percent);
    void finish_signal(int code);

protected:
    void run() override;

private:
    int writeTalkLog();
    int writeTermLog();
    int writeUserLog();
    // The finish code, or kStopped (2), told by no signal, when the export was stopped.
    int writeLog(ZnDbQuery::LogTable table);
    struct Output;
    // The two ways of reading the rows with an id, newest first, into out: pages
    // along an index, or stretches between ends where every statement reads the
    // whole log. 3 when every such row was read, else the finish code.
    int readPages(const ZnDbQuery::LogColumns &columns, const ZnDbQuery::LogSnapshot &log, ZnMySql *db, Output &out);
    // scanSeconds: what reading the whole log once took.
    int readStretches(const ZnDbQuery::LogColumns &columns, const ZnDbQuery::LogSnapshot &log,
                      const std::vector<int64_t> &ends, double scanSeconds, ZnMySql *db, Output &out);

    QStringList headers;
    QString path;
    int kind;
    int lost = 0;
    ZnFileFailure failure;

    // The running export's connection, for cancel().
    void useConnection(ZnMySql *connection);
    std::mutex dbMutex;
    ZnMySql *current = nullptr;
    bool cancelled = false;
};
