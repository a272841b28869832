#include "LogExportThread.h"

#include <QFile>
#include <QTextCodec>

#include <cstdio>

#include "LogExportKind.h"
#include "ZnDbQuery.h"
#include "ZnLogTexts.h"
#include "ZnMySql.h"
#include "ZnNewFile.h"

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
    // A spreadsheet runs a cell starting like this as a formula: a log text that
    // someone typed must stay text.
    static const QString kFormulaStart = QStringLiteral("=+-@\t\r");
    if (!quoted.isEmpty() && kFormulaStart.contains(quoted.at(0)))
        quoted.prepend(QLatin1Char('\''));
    return QLatin1Char('"') + quoted + QStringLiteral("\",");
}

QByteArray LogExportThread::gbkField(const QString &text, bool *lost)
{
    static QTextCodec *const gbk = QTextCodec::codecForName("GBK");
    QString field = csvField(text);
    // A NUL would end the cell for whatever reads the file.
    const bool nul = field.contains(QChar(0));
    if (nul)
        field.replace(QChar(0), QLatin1Char('?'));
    QTextCodec::ConverterState state;
    const QByteArray bytes = gbk->fromUnicode(field.constData(), field.size(), &state);
    *lost = nul || state.invalidChars > 0;
    return bytes;
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
    return writeLog(ZnDbQuery::TalkLogTable);
}

int LogExportThread::writeTermLog()
{
    return writeLog(ZnDbQuery::TerminalLogTable);
}

int LogExportThread::writeUserLog()
{
    return writeLog(ZnDbQuery::UserLogTable);
}

int LogExportThread::writeLog(ZnDbQuery::LogTable table)
{
    lost = 0;
    failure = ZnFileFailure();
    // Never written straight into the target: without a commit the temporary file
    // goes and the target stays as it was.
    ZnNewFile file(QFile::encodeName(path).toStdString());
    const auto failed = [&] {
        failure = ZnFileFailure::of(file);
        switch (failure.cause()) {
        case ZnFileFailure::DiskFull:
            return DiskFull;
        case ZnFileFailure::NameTooLong:
        case ZnFileFailure::PathTooLong:
            return NameTooLong;
        default:
            return OpenFailed;
        }
    };
    if (!file.open())
        return failed();

    // The file is the table as it stood at the start: a row deleted and another
    // inserted meanwhile keep the count, and the count alone would not see it.
    // Where the engine keeps no snapshot, a lock holds the table still instead;
    // without one, any change seen by the end fails the export.
    const std::unique_ptr<ZnMySql> db = ZnDbQuery::snapshotConnection();
    ZnDbQuery::LogHold hold = ZnDbQuery::NotHeld;
    ZnDbQuery::LogSnapshot log;
    if (!db || !ZnDbQuery::holdLog(table, log, hold, db.get()) || log.rows < 0)
        return QueryFailed;
    if (log.rows == 0) {
        // The empty log leaves an empty file.
        return file.commit() ? EmptyLog : failed();
    }

    QByteArray line;
    const auto field = [&](const QString &text) {
        bool cut = false;
        line += gbkField(text, &cut);
        lost += cut;
    };
    for (const QString &h : headers)
        field(h);
    line += '\n';
    qint64 row = 1;
    const auto writeRows = [&](const std::vector<ZnLogRecord> &rows, size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            field(QString::number(row++));
            for (const QString &cell : ZnLogTexts::exportCells(kind, rows[i]))
                field(cell);
            line += '\n';
        }
    };

    const qint64 pages = (log.rows + kPageRows - 1) / kPageRows;
    const bool countLine = kind != TalkLogKind;
    std::vector<ZnLogRecord> list;
    list.reserve(kPageRows);
    // The rows at the end of a full page that share its last id: written once the
    // next page shows whether more rows of that id follow.
    std::vector<ZnLogRecord> held;
    int64_t maxId = log.newestId;
    int64_t skip = 0;
    qint64 read = 0; // rows with an id, written or held
    qint64 statements = 0;
    long percent = 0;
    bool written = true;
    const auto flushRows = [&] {
        written = written && file.write(line.constData(), size_t(line.size()));
        line.clear();
        ++statements;
        percent = long(qMin(pages, (read + kPageRows - 1) / kPageRows) * 100 / pages);
        emit update_signal(percent);
        if (countLine)
            std::printf("get count %lld\r\n", statements + 1);
        std::printf("exect row %lld\r\n", read + 1);
        std::printf("r\n");
        std::fflush(stdout);
    };
    // Newest first, down from the newest id counted at the start: rows added
    // meanwhile are above it and never read. A log of whole pages ends with its
    // last full page, not with a pass that finds nothing.
    while (read < log.withId) {
        if (isInterruptionRequested())
            return kStopped;
        if (ZnDbQuery::logPageAtOrBelow(table, list, maxId, skip, kPageRows, db.get()) < 0)
            return QueryFailed;
        if (!held.empty() && !list.empty() && list.front().id == held.front().id) {
            // The held id goes on past the page, and rows of one id are told apart
            // by nothing: that id's rows, read whole, replace the held ones.
            read -= qint64(held.size());
            held.clear();
            if (ZnDbQuery::logRowsWithId(table, list, &maxId, db.get()) < 0)
                return QueryFailed;
            writeRows(list, 0, list.size());
            read += qint64(list.size());
            skip = int64_t(list.size());
            flushRows();
            continue;
        }
        writeRows(held, 0, held.size());
        held.clear();
        read += qint64(list.size());
        if (list.size() < size_t(kPageRows)) {
            writeRows(list, 0, list.size());
            flushRows();
            break;
        }
        const int64_t last = list.back().id;
        size_t cut = list.size();
        while (cut > 0 && list[cut - 1].id == last)
            --cut;
        writeRows(list, 0, cut);
        held.assign(list.begin() + cut, list.end());
        skip = maxId == last ? skip + int64_t(list.size()) : int64_t(held.size());
        maxId = last;
        flushRows();
    }
    writeRows(held, 0, held.size());
    if (log.rows > log.withId) {
        // Rows without an id come last, as "order by id desc" puts them.
        if (ZnDbQuery::logRowsWithId(table, list, nullptr, db.get()) < 0)
            return QueryFailed;
        writeRows(list, 0, list.size());
    }
    written = written && file.write(line.constData(), size_t(line.size()));
    if (!written)
        return failed();
    if (isInterruptionRequested())
        return kStopped;
    // Rows removed meanwhile or added below the newest id: the file would not be
    // the log counted at the start.
    if (row - 1 != log.rows)
        return LogChanged;
    if (hold == ZnDbQuery::NotHeld) {
        // Nor with rows changed in place (ids swapped, count and newest id kept).
        // A change undone before this point goes unseen.
        ZnDbQuery::LogSnapshot end;
        if (!ZnDbQuery::logSnapshot(table, end, db.get()) || !ZnDbQuery::logChecksum(table, end.checksum, db.get()))
            return QueryFailed;
        if (end.rows != log.rows || end.withId != log.withId || end.newestId != log.newestId
            || end.checksum != log.checksum)
            return LogChanged;
    }
    if (!file.commit())
        return failed();
    if (percent < 100)
        emit update_signal(100);
    return Complete;
}
