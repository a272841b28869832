#include "LogExportThread.h"

#include <QSaveFile>
#include <QTextStream>

#include "LogExportKind.h"
#include "ZnDbQuery.h"
#include "ZnLogTexts.h"

namespace {
const int kPageRows = 100;
const int kStopped = 2;
}

LogExportThread::LogExportThread(const QString &path, QStringList headers, int kind, QObject *parent)
    : QThread(parent), headers(std::move(headers)), path(path), kind(kind)
{}

QString LogExportThread::csvField(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QStringLiteral("\",");
}

void LogExportThread::run()
{
    if (path.isEmpty())
        return;
    int code = kStopped;
    switch (kind) {
    case UserLogKind:
        code = writeUserLog();
        break;
    case TalkLogKind:
        code = writeTalkLog();
        break;
    case TermLogKind:
        code = writeTermLog();
        break;
    default:
        return;
    }
    if (code != kStopped)
        emit finish_signal(code);
}

int LogExportThread::writeTalkLog()
{
    return writeLog(&ZnDbQuery::talkRecordSnapshot, &ZnDbQuery::talkRecordPageUpTo);
}

int LogExportThread::writeTermLog()
{
    return writeLog(&ZnDbQuery::terminalLogSnapshot, &ZnDbQuery::terminalLogPageUpTo);
}

int LogExportThread::writeUserLog()
{
    return writeLog(&ZnDbQuery::userLogSnapshot, &ZnDbQuery::userLogPageUpTo);
}

int LogExportThread::writeLog(Snapshot snapshot, PageUpTo pageUpTo)
{
    // Never written straight into the target: without a commit the temporary file
    // goes and the target stays as it was.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return OpenFailed;

    int newestId = 0;
    const int count = snapshot(newestId);
    if (count < 0)
        return QueryFailed;
    if (count == 0)
        return EmptyLog;

    QTextStream out(&file);
    out.setCodec("GBK");
    for (const QString &h : headers)
        out << csvField(h);
    out << '\n';

    const qint64 pages = (qint64(count) + kPageRows - 1) / kPageRows;
    std::vector<ZnLogRecord> list;
    list.reserve(kPageRows);
    int maxId = newestId;
    qint64 row = 1;
    long percent = 0;
    for (qint64 p = 1; maxId > 0; ++p) {
        if (isInterruptionRequested())
            return kStopped;
        if (pageUpTo(list, maxId, kPageRows) < 0)
            return QueryFailed;
        for (const ZnLogRecord &r : list) {
            out << csvField(QString::number(row++));
            for (const QString &cell : ZnLogTexts::cells(kind, r))
                out << csvField(cell);
            out << '\n';
        }
        // Rows removed meanwhile may end the log early; rows added meanwhile are
        // above newestId and never read.
        percent = long(qMin<qint64>(100, p * 100 / pages));
        emit update_signal(percent);
        if (list.size() < size_t(kPageRows))
            break;
        maxId = list.back().id - 1;
    }
    out.flush();
    if (out.status() != QTextStream::Ok || isInterruptionRequested())
        return out.status() != QTextStream::Ok ? OpenFailed : kStopped;
    if (!file.commit())
        return OpenFailed;
    if (percent < 100)
        emit update_signal(100);
    return Complete;
}
