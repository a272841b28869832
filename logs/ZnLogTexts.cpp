#include "ZnLogTexts.h"

#include <QDateTime>

#include "LogExportKind.h"

namespace {
QString text(const std::string &s) { return QString::fromStdString(s); }
}

QString ZnLogTexts::talkTypeText(const std::string &stored)
{
    static const char *const names[] = {QT_TR_NOOP("EmergencyHelp"), QT_TR_NOOP("Talkback"),
                                        QT_TR_NOOP("Broadcast"), QT_TR_NOOP("Talkback"),
                                        QT_TR_NOOP("Broadcast")};
    bool ok = false;
    const int type = text(stored).toInt(&ok);
    if (ok && type >= 0 && type < int(sizeof names / sizeof names[0]))
        return tr(names[type]);
    return text(stored);
}

QString ZnLogTexts::timeText(const std::string &stored)
{
    const QString t = text(stored).trimmed();
    bool ok = false;
    const qlonglong seconds = t.toLongLong(&ok);
    QDateTime when;
    if (ok)
        when = QDateTime::fromSecsSinceEpoch(seconds);
    else
        when = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return when.isValid() ? when.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")) : text(stored);
}

QStringList ZnLogTexts::headers(int kind)
{
    switch (kind) {
    case TalkLogKind:
        return {tr("Begin Time"), tr("End Time"), tr("Caller Code"), tr("Caller Name"),
                tr("Called Code"), tr("Called Name"), tr("Type"), tr("Content")};
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
        return {timeText(r.date), timeText(r.endTime), QString::number(r.callerId), text(r.callerName),
                QString::number(r.calledId), text(r.calledName), talkTypeText(r.type), text(r.action)};
    case TermLogKind:
        return {timeText(r.date), QString::number(r.terminalId), text(r.name), text(r.type), text(r.ip),
                text(r.action)};
    case UserLogKind:
        return {timeText(r.date), text(r.name), text(r.ip), text(r.action)};
    default:
        return {};
    }
}
