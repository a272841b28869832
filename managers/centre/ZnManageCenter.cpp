#include "ZnManageCenter.h"

#include "BookRequest.h"
#include "ZnBackupMng.h"
#include "ZnBroadcastManage.h"
#include "ZnCapManage.h"
#include "ZnD72Manage.h"
#include "ZnD74Manage.h"
#include "ZnD82Manage.h"
#include "ZnFAlarmManage.h"
#include "ZnLevelManage.h"
#include "ZnLogManage.h"
#include "ZnLoginNetHandle.h"
#include "ZnMgrMsg.h"
#include "ZnMic.h"
#include "ZnMicGroupManage.h"
#include "ZnMicManage.h"
#include "ZnPlanManage.h"
#include "ZnPlayTaskManage.h"
#include "ZnRegionManage.h"
#include "ZnRow.h"
#include "ZnSchemeManage.h"
#include "ZnServerConfigManage.h"
#include "ZnServerConfigRequest.h"
#include "ZnSsTaskManage.h"
#include "ZnTerminal.h"
#include "ZnTerminalGroupManage.h"
#include "ZnTerminalManage.h"
#include "ZnTtsManage.h"

#include <QLoggingCategory>
#include <QMutexLocker>

#include <exception>
#include <json/json.h>
#include <new>

namespace {
bool validSchemeKind(int kind)
{
    return kind >= 0 && kind <= 3;
}

// While data keeps arriving a pass reads on before it sleeps, so a large list
// answer is not throttled to one chunk per 10 ms; the bound keeps the
// keep-alive ticking under a flood.
const int kMaxReadsPerPass = 1024;
const int kMidMessageWaitMs = 50;

// A manager that throws on bad input loses that message, not the connection.
template <class F>
void guarded(F f)
{
    try {
        f();
    } catch (const std::exception& e) {
        qWarning("DBP message dropped by a manager: %s", e.what());
    } catch (...) {
        qWarning("DBP message dropped by a manager");
    }
}

template <class T>
std::unique_ptr<T> make()
{
    return std::unique_ptr<T>(new (std::nothrow) T);
}
}

ZnManageCenter* ZnManageCenter::create()
{
    static ZnManageCenter* centre = new (std::nothrow) ZnManageCenter;
    return centre;
}

ZnManageCenter::ZnManageCenter() : m_systemTime(".")
{
    for (auto& s : m_slots)
        s.store(nullptr);
    // Creation order differs from slot order: the log manager is made sixteenth.
    m_terminal = make<ZnTerminalManage>();
    m_slots[TerminalSlot] = m_terminal.get();
    m_mic = make<ZnMicManage>();
    m_slots[MicSlot] = m_mic.get();
    m_cap = make<ZnCapManage>();
    m_slots[CapSlot] = m_cap.get();
    m_broadcast = make<ZnBroadcastManage>();
    m_slots[BroadcastSlot] = m_broadcast.get();
    m_region = make<ZnRegionManage>();
    m_slots[RegionSlot] = m_region.get();
    m_level = make<ZnLevelManage>();
    m_slots[LevelSlot] = m_level.get();
    m_playTask = make<ZnPlayTaskManage>();
    m_slots[PlayTaskSlot] = m_playTask.get();
    m_serverConfig = make<ZnServerConfigManage>();
    m_slots[ServerConfigSlot] = m_serverConfig.get();
    m_backup = make<ZnBackupMng>();
    m_slots[BackupSlot] = m_backup.get();
    m_tts = make<ZnTtsManage>();
    m_slots[TtsSlot] = m_tts.get();
    m_d72 = make<ZnD72Manage>();
    m_slots[D72Slot] = m_d72.get();
    m_d74 = make<ZnD74Manage>();
    m_slots[D74Slot] = m_d74.get();
    m_plan = make<ZnPlanManage>();
    m_slots[PlanSlot] = m_plan.get();
    m_micGroup = make<ZnMicGroupManage>();
    m_slots[MicGroupSlot] = m_micGroup.get();
    m_ssTask = make<ZnSsTaskManage>();
    m_slots[SsTaskSlot] = m_ssTask.get();
    m_log = make<ZnLogManage>();
    m_slots[LogSlot] = m_log.get();
    m_d82 = make<ZnD82Manage>();
    m_slots[D82Slot] = m_d82.get();
    m_fAlarm = make<ZnFAlarmManage>();
    m_slots[FAlarmSlot] = m_fAlarm.get();
    m_scheme = make<ZnSchemeManage>();
    m_slots[SchemeSlot] = m_scheme.get();
    m_terminalGroups = make<ZnTerminalGroupManage>();
    m_login.reset(new ZnLoginNetHandle(this));
}

ZnManageCenter::~ZnManageCenter()
{
    stopReceiveThread();
}

int ZnManageCenter::startReceiveThread()
{
    const int s = state();
    // A loop told to stop (refused, lost, abandoned) is only a join away from its end.
    if ((s == Running || s == LoggedIn) && !isLost() && !m_abandoned.load())
        return -1;
    // The previous loop has ended or is ending; let its thread finish before
    // anything is reset.
    m_thread.join();
    m_abandoned.store(false);
    // Set before the thread runs, so a caller polling the state or the login result
    // never sees the previous attempt's 5 or 6.
    setState(Running);
    clearLost();
    m_login->setState(ZnLoginNetHandle::Connecting);
    m_login->stepState();
    if (!m_thread.start([this] { run(); })) {
        setState(Stopped);
        return -1;
    }
    return 0;
}

void ZnManageCenter::stopReceiveThread()
{
    setLost();
    m_thread.join();
}

void ZnManageCenter::abandonLogin()
{
    m_abandoned.store(true);
    setLost();
}

ZnBaseMgr* ZnManageCenter::slot(int index) const
{
    return index >= 0 && index < SlotCount ? m_slots[index].load() : nullptr;
}

ZnBaseMgr* ZnManageCenter::swapSlot(int index, ZnBaseMgr* manager)
{
    if (index < 0 || index >= SlotCount)
        return nullptr;
    return m_slots[index].exchange(manager);
}

void ZnManageCenter::setConflictCallback(ConflictCallback callback)
{
    if (callback)
        m_conflictCallback.store(callback);
}

int ZnManageCenter::loginResult() const
{
    return m_login ? m_login->loginResult() : ZnLoginNetHandle::NoAnswerYet;
}

std::string ZnManageCenter::systemTime() const
{
    QMutexLocker lock(&m_timeMutex);
    return m_systemTime;
}

int ZnManageCenter::requestSystemTime()
{
    const int cseq = nextCSeq();
    m_timeCSeq.store(cseq);
    sendNoWait("GET DBP/1.0\r\nCSeq:" + std::to_string(cseq)
               + "\r\nPacket-Type:GetSystemTime\r\nContent-Length:0\r\n\r\n");
    return 0;
}

int ZnManageCenter::sendLogin()
{
    return m_login ? m_login->sendLogin() : -1;
}

void ZnManageCenter::onConnected()
{
    setState(Running);
    if (m_login)
        m_login->setState(ZnLoginNetHandle::LoggingIn);
}

void ZnManageCenter::onLoginResult(bool ok)
{
    if (!ok)
        return;
    // The keep-alive timing starts before the state is shown: a caller that sees
    // the login may move the clock at once.
    if (m_login) {
        m_login->setState(ZnLoginNetHandle::LoggedIn);
        m_login->stepState();
    }
    // The logins sent before the answered one will never count now; left pending
    // they would hold the line against every request of the session.
    dropPending(ZnLoginNetHandle::LoginType);
    setState(LoggedIn);
}

void ZnManageCenter::run()
{
    setState(Running);
    clearLost();
    resetSession();
    m_login->setState(ZnLoginNetHandle::Connecting);
    m_login->stepState();
    try {
        // An attempt abandoned before this thread ran is not revived by the clearLost above.
        while (!isLost() && !m_abandoned.load()) {
            m_login->tick();
            if (isLost())
                break;
            std::size_t got = receive();
            for (int reads = 0; got > 0;) {
                if (isLost() || ++reads >= kMaxReadsPerPass)
                    break;
                // The rest of a message being received is waited for, not slept through.
                got = receive(midMessage() ? kMidMessageWaitMs : 0);
            }
            if (!midMessage())
                pause(10);
        }
    } catch (const std::exception& e) {
        qWarning("receive loop ended: %s", e.what());
    } catch (...) {
        qWarning("receive loop ended");
    }
    disconnect();
    const bool loginPending = m_login->state() == ZnLoginNetHandle::LoggingIn;
    // Last: a caller that sees 5 may start the next attempt at once.
    setState(Stopped);
    if (!loginPending && !m_abandoned.load()) {
        if (LossCallback callback = lossCallback())
            callback();
    }
}

void ZnManageCenter::onMessage(std::string_view message)
{
    ZnServerRequest& r = m_request;
    const int kind = r.parse(message);
    // The managers read bodies as strings: the one copy of a body is made here, into
    // room kept from the message before unless a large answer grew it. Its spare
    // bytes at the end let the JSON reader read it where it is.
    const std::string_view text = kind == ZnServerRequest::Set ? r.setBody() : r.body();
    m_body.reserve(text.size() + kBodyPadding);
    m_body.assign(text.data(), text.size());
    const std::string& body = m_body;
    switch (kind) {
    case ZnServerRequest::Ok:
        matchAnswer(r.cseq(), true, body);
        break;
    case ZnServerRequest::Failed:
        matchAnswer(r.cseq(), false, body);
        break;
    case ZnServerRequest::Post:
        if (r.packetType() == "TerminalConflict") {
            if (ConflictCallback callback = m_conflictCallback.load())
                guarded([&] { callback(0, body.c_str()); });
            break;
        }
        offerPost(r.postKey(), body);
        break;
    case ZnServerRequest::Set:
        if (!r.setKey().empty())
            offerPost(r.setKey(), body);
        else
            offerSet(body);
        break;
    case ZnServerRequest::Delete:
        for (auto& s : m_slots) {
            if (ZnBaseMgr* m = s.load())
                guarded([&] { m->onDelete(r.deleteType(), r.id()); });
        }
        break;
    default:
        break;
    }
    if (m_body.capacity() > ZnMessageFramer::kKeptCapacity)
        std::string().swap(m_body);
}

void ZnManageCenter::offerPost(const std::string& key, const std::string& body)
{
    for (auto& s : m_slots) {
        ZnBaseMgr* m = s.load();
        bool taken = false;
        if (m)
            guarded([&] { taken = m->onPost(key, body); });
        if (taken)
            return;
    }
}

void ZnManageCenter::offerSet(const std::string& body)
{
    for (auto& s : m_slots) {
        ZnBaseMgr* m = s.load();
        bool taken = false;
        if (m)
            guarded([&] { taken = m->onSet(body); });
        if (taken)
            return;
    }
}

void ZnManageCenter::onAnswer(int requestType, int cseq, bool ok, const std::string& body)
{
    if (ok) {
        guarded([&] { m_login->onResponse(requestType, body); });
        for (auto& s : m_slots) {
            if (ZnBaseMgr* m = s.load())
                guarded([&] { m->onResponse(requestType, body); });
        }
        if (requestType == SystemTimeType)
            takeServerTime(body);
    } else {
        guarded([&] { m_login->onLoginFailed(requestType); });
        for (auto& s : m_slots) {
            if (ZnBaseMgr* m = s.load())
                guarded([&] { m->onFailed(requestType, body); });
        }
    }
    ZnMgrMsg::instance()->record(cseq, ok);
}

void ZnManageCenter::onUnmatchedAnswer(int cseq, bool ok, const std::string& body)
{
    // Only the answer to the server-time request itself carries the time.
    if (ok && cseq > 0 && cseq == m_timeCSeq.load())
        takeServerTime(body);
}

void ZnManageCenter::takeServerTime(const std::string& body)
{
    Json::Value root;
    std::string text;
    if (ZnRow::parse(body, root))
        text = ZnRow::text(root, "SystemTime");
    QMutexLocker lock(&m_timeMutex);
    m_systemTime = text.empty() ? "----" : text;
}

template <class Manager, class Owner, class... Params, class... Args>
int ZnManageCenter::request(int slotIndex, int requestType, Manager* manager,
                            std::string& (Owner::*build)(std::string&, int, Params...), Args&&... args)
{
    if (!m_slots[slotIndex].load())
        return ResultNoHandle;
    const int cseq = nextCSeq();
    std::string text;
    if (manager)
        (manager->*build)(text, cseq, std::forward<Args>(args)...);
    if (text.empty())
        return ResultNoHandle;
    return sendAndWait(text, requestType, cseq);
}

int ZnManageCenter::getPlayTerminalList()
{
    return request(TerminalSlot, ZnTerminalManage::ListType, m_terminal.get(), &ZnTerminalManage::buildTerminalList);
}

int ZnManageCenter::getPlayTerminal(const ZnTerminal& terminal)
{
    return request(TerminalSlot, ZnTerminalManage::TerminalType, m_terminal.get(), &ZnTerminalManage::buildTerminal,
                   terminal);
}

int ZnManageCenter::modifyPlayTerminal(const ZnTerminal& terminal)
{
    return request(TerminalSlot, ZnTerminalManage::ModifyType, m_terminal.get(), &ZnTerminalManage::buildModifyTerminal,
                   terminal);
}

int ZnManageCenter::removeDevice(int terminalId, const std::string& typeText)
{
    return request(TerminalSlot, ZnTerminalManage::RemoveType, m_terminal.get(), &ZnTerminalManage::removeDevice,
                   terminalId, typeText);
}

int ZnManageCenter::setIpAmpPower(int terminalId, int power)
{
    return request(TerminalSlot, ZnTerminalManage::PowerType, m_terminal.get(), &ZnTerminalManage::buildAmpPower,
                   terminalId, power);
}

int ZnManageCenter::ipAmpSpeakerCheck(const ZnTerminal& terminal)
{
    return request(TerminalSlot, ZnTerminalManage::CheckType, m_terminal.get(), &ZnTerminalManage::buildSpeakerCheck,
                   terminal.id);
}

int ZnManageCenter::setPlayTermConfig(const ZnTerminal& terminal)
{
    return request(TerminalSlot, ZnTerminalManage::CheckType, m_terminal.get(), &ZnTerminalManage::buildPlayTermConfig,
                   terminal);
}

int ZnManageCenter::getCapList()
{
    return request(CapSlot, ZnCapManage::ListType, m_cap.get(), &ZnCapManage::buildCapList);
}

int ZnManageCenter::modifyCap(const ZnCap& cap)
{
    return request(CapSlot, ZnCapManage::ModifyType, m_cap.get(), &ZnCapManage::buildModifyCap, cap);
}

int ZnManageCenter::getSchemeList(int kind)
{
    return validSchemeKind(kind) ? request(SchemeSlot, ZnSchemeManage::requestType(kind, 0), m_scheme.get(),
                                           &ZnSchemeManage::buildSchemeList)
                                 : ResultNoHandle;
}

int ZnManageCenter::addScheme(const ZnScheme& scheme, int kind)
{
    return validSchemeKind(kind) ? request(SchemeSlot, ZnSchemeManage::requestType(kind, 1), m_scheme.get(),
                                           &ZnSchemeManage::buildAddScheme, scheme)
                                 : ResultNoHandle;
}

int ZnManageCenter::modifyScheme(const ZnScheme& scheme, int kind)
{
    return validSchemeKind(kind) ? request(SchemeSlot, ZnSchemeManage::requestType(kind, 2), m_scheme.get(),
                                           &ZnSchemeManage::buildModifyScheme, scheme)
                                 : ResultNoHandle;
}

int ZnManageCenter::enableScheme(ZnScheme& scheme, int kind)
{
    return validSchemeKind(kind) ? request(SchemeSlot, ZnSchemeManage::requestType(kind, 2), m_scheme.get(),
                                           &ZnSchemeManage::buildEnableScheme, scheme)
                                 : ResultNoHandle;
}

int ZnManageCenter::deleteScheme(const ZnScheme& scheme, int kind)
{
    return validSchemeKind(kind) ? request(SchemeSlot, ZnSchemeManage::requestType(kind, 3), m_scheme.get(),
                                           &ZnSchemeManage::buildDeleteScheme, scheme)
                                 : ResultNoHandle;
}

int ZnManageCenter::getLogPage(int kind, int64_t offset)
{
    return kind >= 0 && kind <= 7 ? request(LogSlot, ZnLogManage::FirstType + kind, m_log.get(),
                                            &ZnLogManage::buildSqlLogQuery, kind, offset)
                                  : ResultNoHandle;
}

int ZnManageCenter::getRegionList()
{
    return request(RegionSlot, ZnRegionManage::ListType, m_region.get(), &ZnRegionManage::buildRegionList);
}

int ZnManageCenter::saveRegion(const ZnRegion& region, int operation)
{
    return request(RegionSlot, ZnRegionManage::SaveType, m_region.get(), &ZnRegionManage::buildSaveRegion, region,
                   operation);
}

int ZnManageCenter::serverConfigRequest(const ZnServerConfigRequest& req)
{
    return request(ServerConfigSlot, req.type, m_serverConfig.get(), &ZnServerConfigManage::buildRequest, req);
}

int ZnManageCenter::getServerConfig(const ZnServerConfigRequest& req)
{
    return request(ServerConfigSlot, req.type, m_serverConfig.get(), &ZnServerConfigManage::buildParameterRequest,
                   req.value, req.type);
}

int ZnManageCenter::getMicGroupList()
{
    return request(MicGroupSlot, ZnMicGroupManage::ListType, m_micGroup.get(), &ZnMicGroupManage::buildGroupList);
}

int ZnManageCenter::saveMicGroup(const ZnMicGroup& group, int operation)
{
    return request(MicGroupSlot, ZnMicGroupManage::SaveType, m_micGroup.get(), &ZnMicGroupManage::buildSaveGroup, group,
                   operation);
}

int ZnManageCenter::getD72List()
{
    return request(D72Slot, ZnD72Manage::ListType, m_d72.get(), &ZnD72Manage::buildD72List);
}

int ZnManageCenter::modifyD72(const ZnMic& mic)
{
    return request(D72Slot, ZnD72Manage::ModifyType, m_d72.get(), &ZnD72Manage::buildModifyD72, mic);
}

int ZnManageCenter::getD72ButtonCalls(const ZnMic& mic)
{
    return request(D72Slot, ZnD72Manage::ButtonCallsType, m_d72.get(), &ZnD72Manage::buildD72ButtonCalls, mic.id);
}

int ZnManageCenter::setD72ButtonCall(const std::vector<ZnMicBtnCall>& calls)
{
    return request(D72Slot, ZnD72Manage::SetButtonCallType, m_d72.get(), &ZnD72Manage::buildSetD72ButtonCall, calls);
}

int ZnManageCenter::getD74List()
{
    return request(D74Slot, ZnD74Manage::ListType, m_d74.get(), &ZnD74Manage::buildD74List);
}

int ZnManageCenter::modifyD74(const ZnMic& mic, int operation)
{
    return request(D74Slot, ZnD74Manage::modifyType(operation), m_d74.get(), &ZnD74Manage::buildModifyD74, mic,
                   operation);
}

int ZnManageCenter::getD74ButtonCalls(const ZnMic& mic)
{
    return request(D74Slot, ZnD74Manage::ButtonCallsType, m_d74.get(), &ZnD74Manage::buildD74ButtonCalls, mic.id);
}

int ZnManageCenter::setD74ButtonCall(const ZnMicBtnCall& call)
{
    return request(D74Slot, ZnD74Manage::SetButtonCallType, m_d74.get(), &ZnD74Manage::buildSetD74ButtonCall, call);
}

int ZnManageCenter::getSoundSourceTaskList()
{
    return request(SsTaskSlot, ZnSsTaskManage::ListType, m_ssTask.get(), &ZnSsTaskManage::buildTaskList);
}

int ZnManageCenter::saveSoundSourceTask(const ZnSsTask& task, int operation)
{
    return request(SsTaskSlot, ZnSsTaskManage::AddType + operation, m_ssTask.get(), &ZnSsTaskManage::buildSaveTask,
                   task, operation);
}

int ZnManageCenter::getTtsList()
{
    return request(TtsSlot, ZnTtsManage::ListType, m_tts.get(), &ZnTtsManage::buildTtsList);
}

int ZnManageCenter::modifyTts(const ZnTts& tts)
{
    return request(TtsSlot, ZnTtsManage::ModifyType, m_tts.get(), &ZnTtsManage::buildModifyTts, tts);
}

int ZnManageCenter::getMicList()
{
    return request(MicSlot, ZnMicManage::ListType, m_mic.get(), &ZnMicManage::buildMicList);
}

int ZnManageCenter::getMicTerminal(int terminalId)
{
    return request(MicSlot, ZnMicManage::ConsoleType, m_mic.get(), &ZnMicManage::buildMicTerminal, terminalId);
}

int ZnManageCenter::modifyMic(const ZnMic& mic)
{
    return request(MicSlot, ZnMicManage::ModifyType, m_mic.get(), &ZnMicManage::buildModifyMic, mic);
}

int ZnManageCenter::getMicBooks(const BookRequest& req)
{
    return request(MicSlot, req.requestType, m_mic.get(), &ZnMicManage::buildMicBooks, req);
}

int ZnManageCenter::setMicBooks(const BookRequest& req)
{
    return request(MicSlot, req.requestType, m_mic.get(), &ZnMicManage::buildSetMicBooks, req);
}

int ZnManageCenter::getD82List()
{
    return request(D82Slot, ZnD82Manage::ListType, m_d82.get(), &ZnD82Manage::buildD82List);
}

int ZnManageCenter::getD82Terminal(int terminalId)
{
    return request(D82Slot, ZnD82Manage::DeviceType, m_d82.get(), &ZnD82Manage::buildD82Terminal, terminalId);
}

int ZnManageCenter::modifyD82(const ZnD82& device)
{
    return request(D82Slot, ZnD82Manage::ModifyType, m_d82.get(), &ZnD82Manage::buildModifyD82, device);
}

int ZnManageCenter::getD82Books(const BookRequest& req)
{
    return request(D82Slot, req.requestType, m_d82.get(), &ZnD82Manage::buildD82Books, req);
}

int ZnManageCenter::setD82Books(const BookRequest& req)
{
    return request(D82Slot, req.requestType, m_d82.get(), &ZnD82Manage::buildSetD82Books, req);
}

int ZnManageCenter::getFireAlarmList()
{
    return request(FAlarmSlot, ZnFAlarmManage::ListType, m_fAlarm.get(), &ZnFAlarmManage::buildFAlarmList);
}

int ZnManageCenter::modifyFireAlarm(const ZnFAlarm& alarm)
{
    return request(FAlarmSlot, ZnFAlarmManage::ModifyType, m_fAlarm.get(), &ZnFAlarmManage::buildModifyFAlarm, alarm);
}

int ZnManageCenter::setFireAlarmTrigger(const ZnFAlarmTrigger& trigger)
{
    return request(FAlarmSlot, ZnFAlarmManage::TriggerType, m_fAlarm.get(), &ZnFAlarmManage::buildSetTrigger, trigger);
}
