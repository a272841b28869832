#pragma once

// The fields of a record as one text, joined by "|", in the order the server's
// row keys (or element attributes) name them, so that a table row can write a
// whole record out.
#include "BookEntry.h"
#include "ZnBroadcast.h"
#include "ZnCap.h"
#include "ZnD82.h"
#include "ZnFAlarm.h"
#include "ZnLevel.h"
#include "ZnLogRecord.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicGroup.h"
#include "ZnPlayTask.h"
#include "ZnRegion.h"
#include "ZnScheme.h"
#include "ZnServerParam.h"
#include "ZnSsTask.h"
#include "ZnTerminal.h"
#include "ZnTts.h"
#include "ZnUser.h"

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace RecordFields {

inline QString n(long long v)
{
    return QString::number(v);
}
inline QString s(const std::string &text)
{
    return QString::fromStdString(text);
}
inline QString join(const QStringList &parts)
{
    return parts.join(QLatin1Char('|'));
}
inline QString ids(const std::vector<int> &list)
{
    QStringList out;
    for (int id : list)
        out << n(id);
    return out.join(QLatin1Char(' '));
}

inline QString terminal(const ZnTerminal &t)
{
    return join({n(t.id), n(t.status), s(t.work), s(t.name), s(t.type), s(t.exten), s(t.ver), s(t.ip), n(t.broVol),
                 n(t.input), n(t.power), n(t.ampTemp), n(t.localTemp), n(t.speaker)});
}
inline QString cap(const ZnCap &c)
{
    return join(
        {n(c.id), n(c.status), s(c.name), s(c.type), s(c.exten), s(c.ver), s(c.ip), n(c.capVol), n(c.capSamplerate)});
}
inline QString alarm(const ZnFAlarm &a)
{
    return join({n(a.id), n(a.status), s(a.name), s(a.type), s(a.ver), s(a.ip), s(a.broadcast), n(a.shortCircuit),
                 n(a.broadcastTrigger), n(a.stopBroadcast), n(a.triggerType)});
}
inline QString tts(const ZnTts &t)
{
    return join({n(t.id), n(t.status), s(t.name), s(t.type), s(t.exten), s(t.ver), s(t.ip)});
}
inline QString d72(const ZnMic &m)
{
    return join({n(m.id), n(m.status), s(m.name), s(m.ver), s(m.ip), s(m.type), s(m.exten), n(m.ppt), n(m.aec),
                 n(m.broVol), n(m.capVol), n(m.bellVol), n(m.callVol)});
}
inline QString d74(const ZnMic &m)
{
    return join({n(m.id), n(m.status), s(m.work), s(m.exten), s(m.name), s(m.ver), s(m.type), s(m.ip), n(m.broVol),
                 n(m.capVol), n(m.bellVol), n(m.callVol), n(m.ledColor), n(m.switchMode), n(m.displayTime),
                 s(m.ledTxt)});
}
inline QString dsk81(const ZnMic &m)
{
    return join({n(m.id), n(m.status), s(m.work), s(m.name), s(m.type), s(m.exten), s(m.ver), s(m.ip), n(m.broVol),
                 n(m.capVol), n(m.bellVol), n(m.callVol), n(m.pttMode)});
}
inline QString directory(const ZnMic &m)
{
    return join({n(m.id), s(m.type), s(m.exten), s(m.name)});
}
inline QString buttonCall(const ZnMicBtnCall &c)
{
    return join({n(c.terminalId), s(c.startCall), s(c.stopCall), n(c.dsk81Id), n(c.groupId)});
}
// A book row as its row names the fields: console, item, then type when the list has one, order.
inline QString typedEntry(const BookEntry &e)
{
    return join({n(e.terminalId), n(e.itemId), n(e.itemType), n(e.orderId)});
}
inline QString entry(const BookEntry &e)
{
    return join({n(e.terminalId), n(e.itemId), n(e.orderId)});
}
inline QString d82(const ZnD82 &d)
{
    return join({n(d.id), n(d.status), s(d.work), s(d.name), s(d.type), s(d.ver), s(d.ip)});
}
inline QString group(const ZnMicGroup &g)
{
    return join({n(g.groupId), s(g.name), n(g.callWaitRule), n(g.ringTime), ids(g.members)});
}
inline QString region(const ZnRegion &r)
{
    std::vector<int> members;
    for (const ZnBaseTerminal &t : r.terminals)
        members.push_back(t.id);
    return join({n(r.regionId), s(r.name), ids(members)});
}
inline QString task(const ZnSsTask &t)
{
    return join({n(t.Id), s(t.Name), n(t.state), n(t.SourceCategory), n(t.SourceType), n(t.TimerPlanId),
                 s(t.SourceContent), n(t.PlayVol), n(t.PlayTimes), n(t.Duration), n(t.OpenAmp), n(t.Week),
                 n(t.StartDate), n(t.EndDate), s(t.ExecuteTime), s(t.TerminalId)});
}
inline QString plan(const ZnScheme &p)
{
    return join({n(p.id), s(p.name), n(p.enable), s(p.comment)});
}
// The attributes of a task element.
inline QString playTask(const ZnPlayTask &t)
{
    return join({n(t.id),      n(t.enabled),  n(t.executing), s(t.nameText()), n(t.mode),       n(t.duration),
                 n(t.power),   n(t.user),     n(t.level),     n(t.beginTime),  n(t.rule),       n(t.beginDate),
                 n(t.endDate), n(t.week),     n(t.type),      n(t.sourceType), n(t.fileSource), n(t.em),
                 n(t.ev),      n(t.emm),      n(t.emv),       n(t.elm),        n(t.elv),        n(t.ei),
                 n(t.channel), n(t.schemeId), n(t.manager),   n(t.userCode)});
}
inline QString playTaskSpeech(const ZnPlayTask &t)
{
    return join({s(t.ttsText), n(t.ttsRole), n(t.ttsSpeed), n(t.ttsVolume), n(t.ttsTone)});
}
inline QString broadcast(const ZnBroadcast &b)
{
    return join({n(b.id), s(b.code), s(b.name), n(b.level), s(b.ip), n(b.status), s(b.mdir), n(b.esrc), n(b.em),
                 n(b.ev), n(b.emm), n(b.emv), n(b.elm), n(b.elv)});
}
inline QString level(const ZnLevel &l)
{
    return join({n(l.id), QString::fromUtf8(l.name), n(l.lv), n(l.type)});
}
inline QString user(const ZnUser &u)
{
    return join({n(u.id), QString::fromUtf8(u.name), n(u.lv), QString::fromUtf8(u.fn), QString::fromUtf8(u.pw),
                 QString::fromUtf8(u.m)});
}
inline QString talkLog(const ZnLogRecord &r)
{
    return join({n(r.id), s(r.date), s(r.endTime), n(r.callerId), n(r.calledId), s(r.callerName), s(r.calledName),
                 s(r.type), s(r.action), s(r.recordFile)});
}
inline QString terminalLog(const ZnLogRecord &r)
{
    return join({n(r.id), s(r.date), n(r.terminalId), s(r.name), s(r.type), s(r.ip), s(r.action)});
}
inline QString userLog(const ZnLogRecord &r)
{
    return join({n(r.id), s(r.date), s(r.action), s(r.ip), s(r.name)});
}
inline QString parameter(const ZnServerParam &p)
{
    return join({s(p.name), s(p.value), n(p.kind)});
}

} // namespace RecordFields
