#include "ZnApi.h"

#include "ZnCapManage.h"
#include "ZnD72Manage.h"
#include "ZnD74Manage.h"
#include "ZnD82Manage.h"
#include "ZnFAlarmManage.h"
#include "ZnLevelManage.h"
#include "ZnLogManage.h"
#include "ZnManageCenter.h"
#include "ZnMicGroupManage.h"
#include "ZnMicManage.h"
#include "ZnRegionManage.h"
#include "ZnSchemeManage.h"
#include "ZnServerConfigManage.h"
#include "ZnSsTaskManage.h"
#include "ZnTerminal.h"
#include "ZnTerminalManage.h"
#include "ZnTtsManage.h"

namespace {
// A request forwarder: -1 without a centre, else the centre method's result.
template <class Method, class... Args>
int forward(ZnManageCenter* centre, Method method, Args&&... args)
{
    return centre ? (centre->*method)(std::forward<Args>(args)...) : -1;
}

// The same for a method that takes a record, which must be given.
template <class Method, class Record, class... Args>
int forwardRecord(ZnManageCenter* centre, Method method, Record* record, Args&&... args)
{
    return centre && record ? (centre->*method)(*record, std::forward<Args>(args)...) : -1;
}

// A registration: hands the callbacks to the centre's manager; -1 without either.
template <class Manager, class Setter, class... Callbacks>
int store(ZnManageCenter* centre, Manager* (ZnManageCenter::*manager)() const, Setter set, Callbacks... callbacks)
{
    Manager* m = centre ? (centre->*manager)() : nullptr;
    if (!m)
        return -1;
    (m->*set)(callbacks...);
    return 0;
}
} // namespace

int initWinsock()
{
    // POSIX sockets need no start-up.
    return 0;
}

int apiSetServerAddress(ZnManageCenter* centre, const char* host, int port)
{
    if (!centre)
        return -1;
    centre->setServerAddress(host ? host : "", port);
    return 0;
}

int apiSetLoginUser(ZnManageCenter* centre, const char* name, const char* password)
{
    if (!centre)
        return -1;
    centre->setLoginUser(name ? name : "", password ? password : "");
    return 0;
}

int apiStartReceiveThread(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->startReceiveThread() == 0 ? 0 : -1;
}

int apiGetNetState(ZnManageCenter* centre)
{
    return centre ? centre->state() : -1;
}

int apiGetLoginState(ZnManageCenter* centre)
{
    return centre ? centre->loginResult() : 0;
}

int apiSetLossCallback(ZnManageCenter* centre, void (*callback)())
{
    if (!centre)
        return -1;
    centre->setLossCallback(callback);
    return 0;
}

int apiSetConflictCallback(ZnManageCenter* centre, void (*callback)(int code, const char* body), int)
{
    if (!centre)
        return -1;
    centre->setConflictCallback(callback);
    return 0;
}

int apiGetSystemTime(ZnManageCenter* centre)
{
    if (centre)
        centre->requestSystemTime();
    return 0;
}

int apiGetPlayTerminalList(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getPlayTerminalList);
}

int apiGetPlayTerminal(ZnManageCenter* centre, const ZnTerminal* terminal)
{
    return forwardRecord(centre, &ZnManageCenter::getPlayTerminal, terminal);
}

int apiModifyPlayTerminal(ZnManageCenter* centre, const ZnTerminal* terminal)
{
    return forwardRecord(centre, &ZnManageCenter::modifyPlayTerminal, terminal);
}

int apiRemoveDevice(ZnManageCenter* centre, int terminalId, const char* type)
{
    return forward(centre, &ZnManageCenter::removeDevice, terminalId, std::string(type ? type : ""));
}

int apiSetIpAmpPower(ZnManageCenter* centre, int terminalId, const char*, int power)
{
    return forward(centre, &ZnManageCenter::setIpAmpPower, terminalId, power);
}

int apiIpAmpSpeakerCheck(ZnManageCenter* centre, const ZnTerminal* terminal)
{
    return forwardRecord(centre, &ZnManageCenter::ipAmpSpeakerCheck, terminal);
}

int apiSetPlayTermConfig(ZnManageCenter* centre, const ZnTerminal* terminal)
{
    return forwardRecord(centre, &ZnManageCenter::setPlayTermConfig, terminal);
}

int apiGetCapList(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getCapList);
}

int apiModifyCap(ZnManageCenter* centre, const ZnCap* cap)
{
    return forwardRecord(centre, &ZnManageCenter::modifyCap, cap);
}

int apiGetSchemeList(ZnManageCenter* centre, int kind)
{
    return forward(centre, &ZnManageCenter::getSchemeList, kind);
}

int apiAddScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind)
{
    return forwardRecord(centre, &ZnManageCenter::addScheme, scheme, kind);
}

int apiModifyScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind)
{
    return forwardRecord(centre, &ZnManageCenter::modifyScheme, scheme, kind);
}

int apiEnableScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind)
{
    return forwardRecord(centre, &ZnManageCenter::enableScheme, scheme, kind);
}

int apiDeleteScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind)
{
    return forwardRecord(centre, &ZnManageCenter::deleteScheme, scheme, kind);
}

int apiGetLogPage(ZnManageCenter* centre, int kind, int64_t offset)
{
    return forward(centre, &ZnManageCenter::getLogPage, kind, offset);
}

int apiGetRegionList(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getRegionList);
}

int apiSaveRegion(ZnManageCenter* centre, const ZnRegion* region, int operation)
{
    return forwardRecord(centre, &ZnManageCenter::saveRegion, region, operation);
}

int apiServerConfigRequest(ZnManageCenter* centre, const ZnServerConfigRequest* request)
{
    return forwardRecord(centre, &ZnManageCenter::serverConfigRequest, request);
}

int apiGetServerConfig(ZnManageCenter* centre, const ZnServerConfigRequest* request)
{
    return forwardRecord(centre, &ZnManageCenter::getServerConfig, request);
}

int apiGetMicGroupList(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getMicGroupList);
}

int apiSaveMicGroup(ZnManageCenter* centre, const ZnMicGroup* group, int operation)
{
    return forwardRecord(centre, &ZnManageCenter::saveMicGroup, group, operation);
}

int apiGetD72List(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getD72List);
}

int apiModifyD72(ZnManageCenter* centre, const ZnMic* mic)
{
    return forwardRecord(centre, &ZnManageCenter::modifyD72, mic);
}

int apiGetD72ButtonCalls(ZnManageCenter* centre, const ZnMic* mic)
{
    return forwardRecord(centre, &ZnManageCenter::getD72ButtonCalls, mic);
}

int apiSetD72ButtonCall(ZnManageCenter* centre, const std::vector<ZnMicBtnCall>* calls)
{
    return forwardRecord(centre, &ZnManageCenter::setD72ButtonCall, calls);
}

int apiGetD74List(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getD74List);
}

int apiModifyD74(ZnManageCenter* centre, const ZnMic* mic, int operation)
{
    return forwardRecord(centre, &ZnManageCenter::modifyD74, mic, operation);
}

int apiGetD74ButtonCalls(ZnManageCenter* centre, const ZnMic* mic)
{
    return forwardRecord(centre, &ZnManageCenter::getD74ButtonCalls, mic);
}

int apiSetD74ButtonCall(ZnManageCenter* centre, const ZnMicBtnCall* call)
{
    return forwardRecord(centre, &ZnManageCenter::setD74ButtonCall, call);
}

int apiGetSoundSourceTaskList(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getSoundSourceTaskList);
}

int apiSaveSoundSourceTask(ZnManageCenter* centre, const ZnSsTask* task, int operation)
{
    return forwardRecord(centre, &ZnManageCenter::saveSoundSourceTask, task, operation);
}

int apiGetTtsList(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getTtsList);
}

int apiModifyTts(ZnManageCenter* centre, const ZnTts* tts)
{
    return forwardRecord(centre, &ZnManageCenter::modifyTts, tts);
}

int apiGetMicList(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getMicList);
}

int apiGetMicTerminal(ZnManageCenter* centre, int terminalId)
{
    return forward(centre, &ZnManageCenter::getMicTerminal, terminalId);
}

int apiModifyMic(ZnManageCenter* centre, const ZnMic* mic)
{
    return forwardRecord(centre, &ZnManageCenter::modifyMic, mic);
}

int apiGetMicBooks(ZnManageCenter* centre, const BookRequest* request)
{
    return forwardRecord(centre, &ZnManageCenter::getMicBooks, request);
}

int apiSetMicBooks(ZnManageCenter* centre, const BookRequest* request)
{
    return forwardRecord(centre, &ZnManageCenter::setMicBooks, request);
}

int apiGetD82List(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getD82List);
}

int apiGetD82Terminal(ZnManageCenter* centre, int terminalId)
{
    return forward(centre, &ZnManageCenter::getD82Terminal, terminalId);
}

int apiModifyD82(ZnManageCenter* centre, const ZnD82* device)
{
    return forwardRecord(centre, &ZnManageCenter::modifyD82, device);
}

int apiGetD82Books(ZnManageCenter* centre, const BookRequest* request)
{
    return forwardRecord(centre, &ZnManageCenter::getD82Books, request);
}

int apiSetD82Books(ZnManageCenter* centre, const BookRequest* request)
{
    return forwardRecord(centre, &ZnManageCenter::setD82Books, request);
}

int apiGetFireAlarmList(ZnManageCenter* centre)
{
    return forward(centre, &ZnManageCenter::getFireAlarmList);
}

int apiModifyFireAlarm(ZnManageCenter* centre, const ZnFAlarm* alarm)
{
    return forwardRecord(centre, &ZnManageCenter::modifyFireAlarm, alarm);
}

int apiSetFireAlarmTrigger(ZnManageCenter* centre, const ZnFAlarmTrigger* trigger)
{
    return forwardRecord(centre, &ZnManageCenter::setFireAlarmTrigger, trigger);
}

int apiSetCapCallbacks(ZnManageCenter* centre, void (*list)(std::list<ZnCap>*), void (*removed)(int),
                       void (*changed)(ZnCap*))
{
    return store(centre, &ZnManageCenter::capManage, &ZnCapManage::setCallbacks, list, removed, changed);
}

int apiSetFireAlarmCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    return store(centre, &ZnManageCenter::fAlarmManage, &ZnFAlarmManage::setCallback, callback);
}

int apiSetD72Callback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    return store(centre, &ZnManageCenter::d72Manage, &ZnD72Manage::setCallback, callback);
}

int apiSetD74Callback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    return store(centre, &ZnManageCenter::d74Manage, &ZnD74Manage::setCallback, callback);
}

int apiSetD82Callback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    return store(centre, &ZnManageCenter::d82Manage, &ZnD82Manage::setCallback, callback);
}

int apiSetMicCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    return store(centre, &ZnManageCenter::micManage, &ZnMicManage::setCallback, callback);
}

int apiSetMicGroupCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    return store(centre, &ZnManageCenter::micGroupManage, &ZnMicGroupManage::setCallback, callback);
}

int apiSetPlayTerminalCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    return store(centre, &ZnManageCenter::terminalManage, &ZnTerminalManage::setCallback, callback);
}

int apiSetRegionCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    return store(centre, &ZnManageCenter::regionManage, &ZnRegionManage::setCallback, callback);
}

int apiSetServerConfigCallback(ZnManageCenter* centre, int (*callback)(int type, void* data))
{
    return store(centre, &ZnManageCenter::serverConfigManage, &ZnServerConfigManage::setCallback, callback);
}

int apiSetLogCallback(ZnManageCenter* centre, int (*callback)(int kind, void* data, int a, int b))
{
    return store(centre, &ZnManageCenter::logManage, &ZnLogManage::setCallback, callback);
}

int apiSetSoundSourceTaskCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    return store(centre, &ZnManageCenter::ssTaskManage, &ZnSsTaskManage::setCallback, callback);
}

int apiSetTtsCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    return store(centre, &ZnManageCenter::ttsManage, &ZnTtsManage::setCallback, callback);
}

int apiSetLevelCallbacks(ZnManageCenter* centre, void (*list)(std::list<ZnLevel>*), void (*frame)(int),
                         void (*third)(ZnLevel*))
{
    return store(centre, &ZnManageCenter::levelManage, &ZnLevelManage::setCallbacks, list, frame, third);
}

int apiSetSchemeCallback(ZnManageCenter* centre, void (*list)(std::list<ZnScheme>*, int), void (*added)(ZnScheme*, int),
                         void (*changed)(ZnScheme*, int), void (*deleted)(int, int))
{
    return store(centre, &ZnManageCenter::schemeManage, &ZnSchemeManage::setCallbacks, list, added, changed, deleted);
}

int terminalTypeIndex(const std::string& code)
{
    static const char* const codes[] = {
        "01",  "PR",  "IP",     "MIC",       "DSK71",       "DSK72",         "Dsk81", "D82",
        "CAP", "SW",  "FR",     "BROADCAST", "TALKBACKMGR", "CASCADESERVER", "R71",   "G60",
        "G61", "G62", "NDX-S",  "NDX",       "DSK75",       "DSK74",         "TTS71", "DSK72-1",
        "G63", "G64", "SpkChk", "DSK72-4",   "SpkPad",      "AlarmPad",      "CL",    "--",
    };
    if (code.empty())
        return 32;
    for (int i = 0; i < 32; ++i) {
        if (code == codes[i])
            return i;
    }
    return 31;
}

std::string terminalTypeName(int type)
{
    switch (type) {
    case 2:
        return "Dsk72";
    case 3:
        return "Dsk81";
    case 4:
        return "Dsk74";
    case 6:
        return "IP";
    case 8:
        return "D82";
    default:
        return std::string();
    }
}
