#include "ZnLogTexts.h"

#include <QDateTime>

#include <cstdio>
#include <cstdlib>

#include "LogExportKind.h"

namespace {
QString text(const std::string &s)
{
    return QString::fromStdString(s);
}
}

namespace {
const char *const kTalkTypes[] = {
    QT_TRANSLATE_NOOP("ZnLogTexts", "EmergencyHelp"), QT_TRANSLATE_NOOP("ZnLogTexts", "Talkback"),
    QT_TRANSLATE_NOOP("ZnLogTexts", "Broadcast"), QT_TRANSLATE_NOOP("ZnLogTexts", "Talkback"),
    QT_TRANSLATE_NOOP("ZnLogTexts", "Broadcast")};

// The name of a stored talk type, or null for one outside the table.
const char *talkTypeName(const std::string &stored)
{
    bool ok = false;
    const int type = text(stored).toInt(&ok);
    return ok && type >= 0 && type < int(sizeof kTalkTypes / sizeof kTalkTypes[0]) ? kTalkTypes[type] : nullptr;
}
}

QString ZnLogTexts::talkTypeText(const std::string &stored)
{
    const char *name = talkTypeName(stored);
    return name ? tr(name) : text(stored);
}

namespace {
// "yyyy/MM/dd hh:mm:ss" of a date and time known to be valid, written by hand:
// the export formats two of them per row.
QString slashed(const QDate &d, const QTime &t)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", d.year(), d.month(), d.day(), t.hour(), t.minute(),
                  t.second());
    return QString::fromLatin1(buf);
}

bool digitsAt(const std::string &s, std::initializer_list<size_t> at)
{
    for (size_t i : at)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}
}

QString ZnLogTexts::timeText(const std::string &stored)
{
    // A database date "yyyy-MM-dd hh:mm:ss" is local time already.
    if (stored.size() == 19 && stored[4] == '-' && stored[7] == '-' && stored[10] == ' ' && stored[13] == ':'
        && stored[16] == ':' && digitsAt(stored, {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18})) {
        const auto num = [&](size_t at, size_t n) { return std::atoi(stored.substr(at, n).c_str()); };
        const QDate d(num(0, 4), num(5, 2), num(8, 2));
        const QTime t(num(11, 2), num(14, 2), num(17, 2));
        if (d.isValid() && t.isValid())
            return slashed(d, t);
        return text(stored);
    }
    bool ok = false;
    const qlonglong seconds = text(stored).trimmed().toLongLong(&ok);
    if (!ok)
        return text(stored);
    const QDateTime when = QDateTime::fromSecsSinceEpoch(seconds);
    return when.isValid() ? slashed(when.date(), when.time()) : text(stored);
}

QStringList ZnLogTexts::headers(int kind)
{
    switch (kind) {
    case TalkLogKind:
        return {tr("Begin Time"),  tr("End Time"),    tr("Caller Code"), tr("Caller Name"),
                tr("Called Code"), tr("Called Name"), tr("Type"),        tr("Content")};
    case TermLogKind:
        return {tr("Date"), tr("Terminal Id"), tr("Name"), tr("Type"), tr("IP"), tr("Action")};
    case UserLogKind:
        return {tr("Date"), tr("User Name"), QStringLiteral("IP"), tr("Content")};
    default:
        return {};
    }
}

QStringList ZnLogTexts::cells(int kind, const ZnLogRecord &r)
{
    switch (kind) {
    case TalkLogKind:
        return {timeText(r.date),
                timeText(r.endTime),
                QString::number(r.callerId),
                text(r.callerName),
                QString::number(r.calledId),
                text(r.calledName),
                talkTypeText(r.type),
                text(r.action)};
    case TermLogKind:
        return {timeText(r.date), QString::number(r.terminalId), text(r.name), text(r.type), text(r.ip),
                text(r.action)};
    case UserLogKind:
        return {timeText(r.date), text(r.name), text(r.ip), text(r.action)};
    default:
        return {};
    }
}

QStringList ZnLogTexts::exportCells(int kind, const ZnLogRecord &r)
{
    QStringList out = cells(kind, r);
    const int kTypeColumn = 6;
    if (kind == TalkLogKind && !talkTypeName(r.type))
        out[kTypeColumn] = QStringLiteral("UNKNOW");
    return out;
}
