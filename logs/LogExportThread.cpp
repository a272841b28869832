#include "LogExportThread.h"

#include <QSaveFile>
#include <QTextCodec>

#include <cstdio>

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
    lost = 0;
    failure.clear();
    // Never written straight into the target: without a commit the temporary file
    // goes and the target stays as it was.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        failure = file.errorString();
        return OpenFailed;
    }

    int64_t newestId = 0;
    const int64_t count = snapshot(newestId);
    if (count < 0)
        return QueryFailed;
    if (count == 0) {
        // The empty log leaves an empty file; the dialog asked before replacing one.
        if (!file.commit()) {
            failure = file.errorString();
            return OpenFailed;
        }
        return EmptyLog;
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

    const qint64 pages = (count + kPageRows - 1) / kPageRows;
    const bool countLine = kind != TalkLogKind;
    std::vector<ZnLogRecord> list;
    list.reserve(kPageRows);
    int64_t maxId = newestId;
    qint64 row = 1;
    long percent = 0;
    bool written = true;
    // The pages of the count read at the start: a log of whole pages ends with its
    // last full page, not with a pass that finds nothing.
    for (qint64 p = 1; p <= pages && maxId > 0; ++p) {
        if (isInterruptionRequested())
            return kStopped;
        if (pageUpTo(list, maxId, kPageRows) < 0)
            return QueryFailed;
        for (const ZnLogRecord &r : list) {
            field(QString::number(row++));
            for (const QString &cell : ZnLogTexts::cells(kind, r))
                field(cell);
            line += '\n';
        }
        // Flushed page by page: a write that fails only when the buffer goes out
        // at commit() is not noticed there.
        written = written && file.write(line) == line.size() && file.flush();
        line.clear();
        // Rows removed meanwhile may end the log early; rows added meanwhile are
        // above newestId and never read.
        percent = long(p * 100 / pages);
        emit update_signal(percent);
        if (countLine)
            std::printf("get count %lld\r\n", p + 1);
        std::printf("exect row %lld\r\n", row);
        std::printf("r\n");
        std::fflush(stdout);
        if (list.size() < size_t(kPageRows))
            break;
        maxId = list.back().id - 1;
    }
    if (!written) {
        failure = file.errorString();
        return OpenFailed;
    }
    if (isInterruptionRequested())
        return kStopped;
    if (!file.commit()) {
        failure = file.errorString();
        return OpenFailed;
    }
    if (percent < 100)
        emit update_signal(100);
    return Complete;
}
