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
    if (!centre)
        return -1;
    return centre->getPlayTerminalList();
}

int apiGetPlayTerminal(ZnManageCenter* centre, const ZnTerminal* terminal)
{
    if (!centre)
        return -1;
    return terminal ? centre->getPlayTerminal(*terminal) : -1;
}

int apiModifyPlayTerminal(ZnManageCenter* centre, const ZnTerminal* terminal)
{
    if (!centre)
        return -1;
    return terminal ? centre->modifyPlayTerminal(*terminal) : -1;
}

int apiRemoveDevice(ZnManageCenter* centre, int terminalId, const char* type)
{
    if (!centre)
        return -1;
    return centre->removeDevice(terminalId, type ? type : "");
}

int apiSetIpAmpPower(ZnManageCenter* centre, int terminalId, const char*, int power)
{
    if (!centre)
        return -1;
    return centre->setIpAmpPower(terminalId, power);
}

int apiIpAmpSpeakerCheck(ZnManageCenter* centre, const ZnTerminal* terminal)
{
    if (!centre)
        return -1;
    return terminal ? centre->ipAmpSpeakerCheck(*terminal) : -1;
}

int apiSetPlayTermConfig(ZnManageCenter* centre, const ZnTerminal* terminal)
{
    if (!centre)
        return -1;
    return terminal ? centre->setPlayTermConfig(*terminal) : -1;
}

int apiGetCapList(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->getCapList();
}

int apiModifyCap(ZnManageCenter* centre, const ZnCap* cap)
{
    if (!centre)
        return -1;
    return cap ? centre->modifyCap(*cap) : -1;
}

int apiGetSchemeList(ZnManageCenter* centre, int kind)
{
    if (!centre)
        return -1;
    return centre->getSchemeList(kind);
}

int apiAddScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind)
{
    if (!centre)
        return -1;
    return scheme ? centre->addScheme(*scheme, kind) : -1;
}

int apiModifyScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind)
{
    if (!centre)
        return -1;
    return scheme ? centre->modifyScheme(*scheme, kind) : -1;
}

int apiEnableScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind)
{
    if (!centre)
        return -1;
    return scheme ? centre->enableScheme(*scheme, kind) : -1;
}

int apiDeleteScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind)
{
    if (!centre)
        return -1;
    return scheme ? centre->deleteScheme(*scheme, kind) : -1;
}

int apiGetLogPage(ZnManageCenter* centre, int kind, int offset)
{
    if (!centre)
        return -1;
    return centre->getLogPage(kind, offset);
}

int apiGetRegionList(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->getRegionList();
}

int apiSaveRegion(ZnManageCenter* centre, const ZnRegion* region, int operation)
{
    if (!centre)
        return -1;
    return region ? centre->saveRegion(*region, operation) : -1;
}

int apiServerConfigRequest(ZnManageCenter* centre, const ZnServerConfigRequest* request)
{
    if (!centre)
        return -1;
    return request ? centre->serverConfigRequest(*request) : -1;
}

int apiGetServerConfig(ZnManageCenter* centre, const ZnServerConfigRequest* request)
{
    if (!centre)
        return -1;
    return request ? centre->getServerConfig(*request) : -1;
}

int apiGetMicGroupList(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->getMicGroupList();
}

int apiSaveMicGroup(ZnManageCenter* centre, const ZnMicGroup* group, int operation)
{
    if (!centre)
        return -1;
    return group ? centre->saveMicGroup(*group, operation) : -1;
}

int apiGetD72List(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->getD72List();
}

int apiModifyD72(ZnManageCenter* centre, const ZnMic* mic)
{
    if (!centre)
        return -1;
    return mic ? centre->modifyD72(*mic) : -1;
}

int apiGetD72ButtonCalls(ZnManageCenter* centre, const ZnMic* mic)
{
    if (!centre)
        return -1;
    return mic ? centre->getD72ButtonCalls(*mic) : -1;
}

int apiSetD72ButtonCall(ZnManageCenter* centre, const std::vector<ZnMicBtnCall>* calls)
{
    if (!centre)
        return -1;
    return calls ? centre->setD72ButtonCall(*calls) : -1;
}

int apiGetD74List(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->getD74List();
}

int apiModifyD74(ZnManageCenter* centre, const ZnMic* mic, int operation)
{
    if (!centre)
        return -1;
    return mic ? centre->modifyD74(*mic, operation) : -1;
}

int apiGetD74ButtonCalls(ZnManageCenter* centre, const ZnMic* mic)
{
    if (!centre)
        return -1;
    return mic ? centre->getD74ButtonCalls(*mic) : -1;
}

int apiSetD74ButtonCall(ZnManageCenter* centre, const ZnMicBtnCall* call)
{
    if (!centre)
        return -1;
    return call ? centre->setD74ButtonCall(*call) : -1;
}

int apiGetSoundSourceTaskList(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->getSoundSourceTaskList();
}

int apiSaveSoundSourceTask(ZnManageCenter* centre, const ZnSsTask* task, int operation)
{
    if (!centre)
        return -1;
    return task ? centre->saveSoundSourceTask(*task, operation) : -1;
}

int apiGetTtsList(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->getTtsList();
}

int apiModifyTts(ZnManageCenter* centre, const ZnTts* tts)
{
    if (!centre)
        return -1;
    return tts ? centre->modifyTts(*tts) : -1;
}

int apiGetMicList(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->getMicList();
}

int apiGetMicTerminal(ZnManageCenter* centre, int terminalId)
{
    if (!centre)
        return -1;
    return centre->getMicTerminal(terminalId);
}

int apiModifyMic(ZnManageCenter* centre, const ZnMic* mic)
{
    if (!centre)
        return -1;
    return mic ? centre->modifyMic(*mic) : -1;
}

int apiGetMicBooks(ZnManageCenter* centre, const BookRequest* request)
{
    if (!centre)
        return -1;
    return request ? centre->getMicBooks(*request) : -1;
}

int apiSetMicBooks(ZnManageCenter* centre, const BookRequest* request)
{
    if (!centre)
        return -1;
    return request ? centre->setMicBooks(*request) : -1;
}

int apiGetD82List(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->getD82List();
}

int apiGetD82Terminal(ZnManageCenter* centre, int terminalId)
{
    if (!centre)
        return -1;
    return centre->getD82Terminal(terminalId);
}

int apiModifyD82(ZnManageCenter* centre, const ZnD82* device)
{
    if (!centre)
        return -1;
    return device ? centre->modifyD82(*device) : -1;
}

int apiGetD82Books(ZnManageCenter* centre, const BookRequest* request)
{
    if (!centre)
        return -1;
    return request ? centre->getD82Books(*request) : -1;
}

int apiSetD82Books(ZnManageCenter* centre, const BookRequest* request)
{
    if (!centre)
        return -1;
    return request ? centre->setD82Books(*request) : -1;
}

int apiGetFireAlarmList(ZnManageCenter* centre)
{
    if (!centre)
        return -1;
    return centre->getFireAlarmList();
}

int apiModifyFireAlarm(ZnManageCenter* centre, const ZnFAlarm* alarm)
{
    if (!centre)
        return -1;
    return alarm ? centre->modifyFireAlarm(*alarm) : -1;
}

int apiSetFireAlarmTrigger(ZnManageCenter* centre, const ZnFAlarmTrigger* trigger)
{
    if (!centre)
        return -1;
    return trigger ? centre->setFireAlarmTrigger(*trigger) : -1;
}

int apiSetCapCallbacks(ZnManageCenter* centre, void (*list)(std::list<ZnCap>*), void (*removed)(int), void (*changed)(ZnCap*))
{
    if (!centre || !centre->capManage())
        return -1;
    centre->capManage()->setCallbacks(list, removed, changed);
    return 0;
}

int apiSetFireAlarmCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    if (!centre || !centre->fAlarmManage())
        return -1;
    centre->fAlarmManage()->setCallback(callback);
    return 0;
}

int apiSetD72Callback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    if (!centre || !centre->d72Manage())
        return -1;
    centre->d72Manage()->setCallback(callback);
    return 0;
}

int apiSetD74Callback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    if (!centre || !centre->d74Manage())
        return -1;
    centre->d74Manage()->setCallback(callback);
    return 0;
}

int apiSetD82Callback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    if (!centre || !centre->d82Manage())
        return -1;
    centre->d82Manage()->setCallback(callback);
    return 0;
}

int apiSetMicCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    if (!centre || !centre->micManage())
        return -1;
    centre->micManage()->setCallback(callback);
    return 0;
}

int apiSetMicGroupCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    if (!centre || !centre->micGroupManage())
        return -1;
    centre->micGroupManage()->setCallback(callback);
    return 0;
}

int apiSetPlayTerminalCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    if (!centre || !centre->terminalManage())
        return -1;
    centre->terminalManage()->setCallback(callback);
    return 0;
}

int apiSetRegionCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    if (!centre || !centre->regionManage())
        return -1;
    centre->regionManage()->setCallback(callback);
    return 0;
}

int apiSetServerConfigCallback(ZnManageCenter* centre, int (*callback)(int type, void* data))
{
    if (!centre || !centre->serverConfigManage())
        return -1;
    centre->serverConfigManage()->setCallback(callback);
    return 0;
}

int apiSetLogCallback(ZnManageCenter* centre, int (*callback)(int kind, void* data, int a, int b))
{
    if (!centre || !centre->logManage())
        return -1;
    centre->logManage()->setCallback(callback);
    return 0;
}

int apiSetSoundSourceTaskCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    if (!centre || !centre->ssTaskManage())
        return -1;
    centre->ssTaskManage()->setCallback(callback);
    return 0;
}

int apiSetTtsCallback(ZnManageCenter* centre, ZnNotifyCallback callback)
{
    if (!centre || !centre->ttsManage())
        return -1;
    centre->ttsManage()->setCallback(callback);
    return 0;
}

int apiSetLevelCallbacks(ZnManageCenter* centre, void (*list)(std::list<ZnLevel>*), void (*frame)(int), void (*third)(ZnLevel*))
{
    if (!centre || !centre->levelManage())
        return -1;
    centre->levelManage()->setCallbacks(list, frame, third);
    return 0;
}

int apiSetSchemeCallback(ZnManageCenter* centre, void (*list)(std::list<ZnScheme>*, int), void (*added)(ZnScheme*, int), void (*changed)(ZnScheme*, int), void (*deleted)(int, int))
{
    if (!centre || !centre->schemeManage())
        return -1;
    centre->schemeManage()->setCallbacks(list, added, changed, deleted);
    return 0;
}

int terminalTypeIndex(const std::string& code)
{
    static const char* const codes[] = {
        "01",     "PR",      "IP",     "MIC",         "DSK71",         "DSK72", "Dsk81", "D82",
        "CAP",    "SW",      "FR",     "BROADCAST",   "TALKBACKMGR",   "CASCADESERVER", "R71", "G60",
        "G61",    "G62",     "NDX-S",  "NDX",         "DSK75",         "DSK74", "TTS71", "DSK72-1",
        "G63",    "G64",     "SpkChk", "DSK72-4",     "SpkPad",        "AlarmPad", "CL", "--",
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
