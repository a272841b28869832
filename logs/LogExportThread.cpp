#include "LogExportThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QScopeGuard>
#include <QTextCodec>

#include <cmath>
#include <cstdio>

#include "LogExportKind.h"
#include "ZnDbQuery.h"
#include "ZnLogTexts.h"
#include "ZnMySql.h"
#include "ZnNewFile.h"

namespace {
const int kPageRows = 100;
const int kStopped = 2;
// A way of reading came through every row with an id.
const int kAllRead = 3;
// Where every statement reads the whole log, the small stretches it is cut into
// (some 128 KB of ids): a statement takes as many of them as fit its time, and
// the more it takes the less their sizes vary.
const qint64 kStretchEnds = 16000;
// What a statement that reads the whole log may hold it for, as a goal: a server
// write waits that long at most. Well under a second, since the stretches are
// uneven and the link's speed changes meanwhile.
const double kStretchSeconds = 0.5;
}

LogExportThread::LogExportThread(const QString &path, QStringList headers, int kind, QObject *parent)
    : QThread(parent), headers(std::move(headers)), path(path), kind(kind)
{
    // Quitting stops the export at once, also in the middle of a long statement:
    // whoever waits for the thread then does not wait for the log host.
    if (qApp)
        connect(qApp, &QCoreApplication::aboutToQuit, this, &LogExportThread::cancel, Qt::DirectConnection);
}

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

// The file being written, and what has been written into it.
struct LogExportThread::Output
{
    Output(LogExportThread &thread, ZnNewFile &file, qint64 rows)
        : thread(thread), file(file), pages((rows + kPageRows - 1) / kPageRows)
    {}

    void field(const QString &text)
    {
        bool cut = false;
        line += gbkField(text, &cut);
        thread.lost += cut;
    }
    void writeRows(const std::vector<ZnDbQuery::LogRow> &rows, size_t from, size_t to)
    {
        for (size_t i = from; i < to; ++i) {
            field(QString::number(row++));
            for (const QString &cell : ZnLogTexts::exportCells(thread.kind, rows[i].record))
                field(cell);
            line += '\n';
            ++written.rows;
            written.sum += rows[i].digest;
        }
    }
    void writeOut()
    {
        good = good && file.write(line.constData(), size_t(line.size()));
        line.clear();
    }
    // After each statement: the rows out, the progress told.
    void flushRows()
    {
        writeOut();
        ++statements;
        percent = long(qMin(pages, (read + kPageRows - 1) / kPageRows) * 100 / pages);
        emit thread.update_signal(percent);
        if (thread.kind != TalkLogKind)
            std::printf("get count %lld\r\n", statements + 1);
        std::printf("exect row %lld\r\n", read + 1);
        std::printf("r\n");
        std::fflush(stdout);
    }

    LogExportThread &thread;
    ZnNewFile &file;
    const qint64 pages;
    QByteArray line;
    qint64 row = 1;
    // The rows written and the sum of their digests.
    ZnDbQuery::LogDigest written;
    qint64 read = 0; // rows with an id, written or held
    qint64 statements = 0;
    long percent = 0;
    bool good = true;
};

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

    // Nothing holds the log between two statements (a server write waits for one
    // statement at most); InnoDB reads every statement in the snapshot taken here.
    // What shows the file to be the log is the digest at the end.
    const std::unique_ptr<ZnMySql> db = ZnDbQuery::snapshotConnection();
    if (!db)
        return QueryFailed;
    useConnection(db.get());
    const auto forget = qScopeGuard([this] { useConnection(nullptr); });
    ZnDbQuery::LogSnapshot log;
    ZnDbQuery::LogColumns columns;
    if (!ZnDbQuery::logSnapshot(table, log, db.get()) || log.rows < 0)
        return QueryFailed;
    if (log.rows == 0) {
        // The empty log leaves an empty file.
        return file.commit() ? EmptyLog : failed();
    }
    if (!ZnDbQuery::logColumns(table, columns, db.get()))
        return QueryFailed;
    // Rows above an id past 64 bits cannot be asked for.
    if (!log.reachable)
        return LogChanged;

    Output out(*this, file, log.rows);
    for (const QString &h : headers)
        out.field(h);
    out.line += '\n';

    // Newest first, down from the newest id counted at the start: rows added
    // meanwhile are above it and never read. Where pages cannot follow an index,
    // every statement reads the whole log: the log is cut into small stretches
    // once, and each statement takes as many as it can carry in its time.
    std::vector<int64_t> ends;
    bool byPages = ZnDbQuery::logPagesFollowIds(columns, log.newestId, db.get());
    double scanSeconds = 0;
    if (!byPages) {
        QElapsedTimer clock;
        clock.start();
        byPages = !ZnDbQuery::logStretchEnds(columns, log.newestId, qMax<qint64>(1, log.withId / kStretchEnds), ends,
                                             db.get());
        scanSeconds = double(clock.nsecsElapsed()) / 1e9;
    }
    const int got = byPages ? readPages(columns, log, db.get(), out)
                            : readStretches(columns, log, ends, scanSeconds, db.get(), out);
    if (got != kAllRead)
        return got;
    if (log.rows > log.withId) {
        // Rows without an id come last, as "order by id desc" puts them.
        std::vector<ZnDbQuery::LogRow> list;
        if (ZnDbQuery::logRowsWithId(columns, list, nullptr, db.get()) < 0)
            return isInterruptionRequested() ? kStopped : QueryFailed;
        out.writeRows(list, 0, list.size());
    }
    out.writeOut();
    if (!out.good)
        return failed();
    if (isInterruptionRequested())
        return kStopped;
    // The file is the log as it stands now (every row up to the newest id of the
    // start, and those without one) when the server's sum over those rows is the
    // file's: whatever changed between two statements, or was undone meanwhile.
    // In a snapshot that is the log of the start. A log that cannot be shown to be
    // the file fails, as one that differs does.
    ZnDbQuery::LogDigest now;
    if (!ZnDbQuery::logDigest(columns, log.newestId, now, db.get()))
        return isInterruptionRequested() ? kStopped : LogChanged;
    if (now != out.written)
        return LogChanged;
    if (!file.commit())
        return failed();
    if (out.percent < 100)
        emit update_signal(100);
    return Complete;
}

qint64 LogExportThread::nextStretchRows(qint64 budget, double seconds, qint64 rows, double scanSeconds)
{
    // Growing at most twofold: a guess far off costs one statement, not the log
    // held for as long as the link needs to carry it.
    const double most = 2.0 * double(qMax(budget, rows));
    // The rows' share of the time; where reading the log alone takes most of it,
    // the statement still takes some rows, or the export would read the whole log
    // for every few of them.
    const double rowSeconds = qMax(kStretchSeconds - scanSeconds, kStretchSeconds / 2);
    double next = most;
    // The rows came at the pace of the link, or of the file: both count.
    if (rows > 0 && seconds > scanSeconds)
        next = qMin(most, double(rows) * rowSeconds / (seconds - scanSeconds));
    return qMax<qint64>(kPageRows, std::llround(next));
}

int LogExportThread::readStretches(const ZnDbQuery::LogColumns &columns, const ZnDbQuery::LogSnapshot &log,
                                   const std::vector<int64_t> &ends, double scanSeconds, ZnMySql *db, Output &out)
{
    if (log.withId == 0)
        return kAllRead;
    int64_t top = log.newestId;
    size_t next = 0; // the highest end below top
    while (next < ends.size() && ends[next] >= top)
        ++next;
    // Each statement holds the log until its last row has gone out, so it takes
    // as many small stretches as the last one's time per row lets it carry in
    // about kStretchSeconds, starting with a page.
    qint64 budget = kPageRows;
    qint64 stretchRows = 0;
    // Reading the log costs each statement at least that much, whatever it sends.
    double scan = scanSeconds;
    for (;;) {
        if (isInterruptionRequested())
            return kStopped;
        // The hash spreads the ends evenly, so the rows not yet read, shared out
        // over the small stretches left, are what one of them holds; the few
        // read first tell less, being so few.
        const double left = double(ends.size() - next + 1);
        const double perStretch = qMax(1.0, double(log.withId - stretchRows) / left);
        const size_t take = size_t(qBound(1.0, std::floor(double(budget) / perStretch), left));
        const size_t lower = next + take - 1;
        const int64_t *above = lower < ends.size() ? &ends[lower] : nullptr;
        qint64 got = 0;
        const auto write = [&](const std::vector<ZnDbQuery::LogRow> &rows) {
            out.writeRows(rows, 0, rows.size());
            out.read += qint64(rows.size());
            got += qint64(rows.size());
            out.writeOut();
            return !isInterruptionRequested();
        };
        QElapsedTimer clock;
        clock.start();
        if (ZnDbQuery::logRowsInStretch(columns, above, top, write, db) < 0)
            return isInterruptionRequested() ? kStopped : QueryFailed;
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        if (isInterruptionRequested())
            return kStopped;
        out.flushRows();
        if (!above)
            return kAllRead;
        stretchRows += got;
        // Judged by the reads before it: by its own time this statement would
        // seem to have cost nothing per row.
        budget = nextStretchRows(budget, seconds, got, scan);
        scan = qMin(scan, seconds);
        top = *above;
        next = lower + 1;
    }
}

int LogExportThread::readPages(const ZnDbQuery::LogColumns &columns, const ZnDbQuery::LogSnapshot &log, ZnMySql *db,
                               Output &out)
{
    std::vector<ZnDbQuery::LogRow> list;
    list.reserve(kPageRows);
    // The rows at the end of a full page that share its last id: written once the
    // next page shows whether more rows of that id follow.
    std::vector<ZnDbQuery::LogRow> held;
    int64_t maxId = log.newestId;
    int64_t skip = 0;
    // A log of whole pages ends with its last full page, not with a pass that
    // finds nothing.
    while (out.read < log.withId) {
        if (isInterruptionRequested())
            return kStopped;
        if (ZnDbQuery::logPageAtOrBelow(columns, list, maxId, skip, kPageRows, db) < 0)
            return isInterruptionRequested() ? kStopped : QueryFailed;
        if (!held.empty() && !list.empty() && list.front().record.id == held.front().record.id) {
            // The held id goes on past the page, and rows of one id are told apart
            // by nothing: that id's rows, read whole, replace the held ones.
            out.read -= qint64(held.size());
            held.clear();
            if (ZnDbQuery::logRowsWithId(columns, list, &maxId, db) < 0)
                return isInterruptionRequested() ? kStopped : QueryFailed;
            out.writeRows(list, 0, list.size());
            out.read += qint64(list.size());
            skip = int64_t(list.size());
            out.flushRows();
            continue;
        }
        out.writeRows(held, 0, held.size());
        held.clear();
        out.read += qint64(list.size());
        if (list.size() < size_t(kPageRows)) {
            out.writeRows(list, 0, list.size());
            out.flushRows();
            break;
        }
        const int64_t last = list.back().record.id;
        size_t cut = list.size();
        while (cut > 0 && list[cut - 1].record.id == last)
            --cut;
        out.writeRows(list, 0, cut);
        held.assign(list.begin() + cut, list.end());
        skip = maxId == last ? skip + int64_t(list.size()) : int64_t(held.size());
        maxId = last;
        out.flushRows();
    }
    out.writeRows(held, 0, held.size());
    return kAllRead;
}

void LogExportThread::useConnection(ZnMySql *connection)
{
    std::lock_guard<std::mutex> lock(dbMutex);
    current = connection;
    if (current && cancelled)
        current->cancel();
}

void LogExportThread::cancel()
{
    requestInterruption();
    std::lock_guard<std::mutex> lock(dbMutex);
    cancelled = true;
    if (current)
        current->cancel();
}
