#pragma once

// The flat call interface over the manage centre. Every function takes the centre
// handle first; a null handle gives -1 without any other effect (apiGetLoginState
// and apiGetSystemTime give 0). Requests return the result codes of the centre:
// 0 ok, 1 refused, 2 busy, 3 no answer, 4 stopped or send failed, -1 no handle,
// no manager or a missing record.

#include "ZnBaseMgr.h"

#include <cstdint>
#include <list>
#include <string>
#include <vector>

class BookRequest;
class ZnCap;
class ZnD82;
class ZnFAlarm;
class ZnFAlarmTrigger;
class ZnLevel;
class ZnManageCenter;
class ZnMic;
class ZnMicBtnCall;
class ZnMicGroup;
class ZnRegion;
class ZnScheme;
class ZnServerConfigRequest;
class ZnSsTask;
class ZnTerminal;
class ZnTts;

// Start-up and state.
int initWinsock();
int apiSetServerAddress(ZnManageCenter* centre, const char* host, int port);
int apiSetLoginUser(ZnManageCenter* centre, const char* name, const char* password);
int apiStartReceiveThread(ZnManageCenter* centre);
int apiGetNetState(ZnManageCenter* centre);
int apiGetLoginState(ZnManageCenter* centre);
int apiSetLossCallback(ZnManageCenter* centre, void (*callback)());
int apiSetConflictCallback(ZnManageCenter* centre, void (*callback)(int code, const char* body), int unused);
int apiGetSystemTime(ZnManageCenter* centre);

// Requests.
int apiGetPlayTerminalList(ZnManageCenter* centre);
int apiGetPlayTerminal(ZnManageCenter* centre, const ZnTerminal* terminal);
int apiModifyPlayTerminal(ZnManageCenter* centre, const ZnTerminal* terminal);
int apiRemoveDevice(ZnManageCenter* centre, int terminalId, const char* type);
int apiSetIpAmpPower(ZnManageCenter* centre, int terminalId, const char* unused, int power);
int apiIpAmpSpeakerCheck(ZnManageCenter* centre, const ZnTerminal* terminal);
int apiSetPlayTermConfig(ZnManageCenter* centre, const ZnTerminal* terminal);
int apiGetCapList(ZnManageCenter* centre);
int apiModifyCap(ZnManageCenter* centre, const ZnCap* cap);
int apiGetSchemeList(ZnManageCenter* centre, int kind);
int apiAddScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind);
int apiModifyScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind);
int apiEnableScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind);
int apiDeleteScheme(ZnManageCenter* centre, ZnScheme* scheme, int kind);
int apiGetLogPage(ZnManageCenter* centre, int kind, int64_t offset);
int apiGetRegionList(ZnManageCenter* centre);
int apiSaveRegion(ZnManageCenter* centre, const ZnRegion* region, int operation);
int apiServerConfigRequest(ZnManageCenter* centre, const ZnServerConfigRequest* request);
int apiGetServerConfig(ZnManageCenter* centre, const ZnServerConfigRequest* request);
int apiGetMicGroupList(ZnManageCenter* centre);
int apiSaveMicGroup(ZnManageCenter* centre, const ZnMicGroup* group, int operation);
int apiGetD72List(ZnManageCenter* centre);
int apiModifyD72(ZnManageCenter* centre, const ZnMic* mic);
int apiGetD72ButtonCalls(ZnManageCenter* centre, const ZnMic* mic);
int apiSetD72ButtonCall(ZnManageCenter* centre, const std::vector<ZnMicBtnCall>* calls);
int apiGetD74List(ZnManageCenter* centre);
int apiModifyD74(ZnManageCenter* centre, const ZnMic* mic, int operation);
int apiGetD74ButtonCalls(ZnManageCenter* centre, const ZnMic* mic);
int apiSetD74ButtonCall(ZnManageCenter* centre, const ZnMicBtnCall* call);
int apiGetSoundSourceTaskList(ZnManageCenter* centre);
int apiSaveSoundSourceTask(ZnManageCenter* centre, const ZnSsTask* task, int operation);
int apiGetTtsList(ZnManageCenter* centre);
int apiModifyTts(ZnManageCenter* centre, const ZnTts* tts);
int apiGetMicList(ZnManageCenter* centre);
int apiGetMicTerminal(ZnManageCenter* centre, int terminalId);
int apiModifyMic(ZnManageCenter* centre, const ZnMic* mic);
int apiGetMicBooks(ZnManageCenter* centre, const BookRequest* request);
int apiSetMicBooks(ZnManageCenter* centre, const BookRequest* request);
int apiGetD82List(ZnManageCenter* centre);
int apiGetD82Terminal(ZnManageCenter* centre, int terminalId);
int apiModifyD82(ZnManageCenter* centre, const ZnD82* device);
int apiGetD82Books(ZnManageCenter* centre, const BookRequest* request);
int apiSetD82Books(ZnManageCenter* centre, const BookRequest* request);
int apiGetFireAlarmList(ZnManageCenter* centre);
int apiModifyFireAlarm(ZnManageCenter* centre, const ZnFAlarm* alarm);
int apiSetFireAlarmTrigger(ZnManageCenter* centre, const ZnFAlarmTrigger* trigger);

// Callback registrations: a null callback keeps the one stored before.
int apiSetCapCallbacks(ZnManageCenter* centre, void (*list)(std::list<ZnCap>*), void (*removed)(int),
                       void (*changed)(ZnCap*));
int apiSetFireAlarmCallback(ZnManageCenter* centre, ZnNotifyCallback callback);
int apiSetD72Callback(ZnManageCenter* centre, ZnNotifyCallback callback);
int apiSetD74Callback(ZnManageCenter* centre, ZnNotifyCallback callback);
int apiSetD82Callback(ZnManageCenter* centre, ZnNotifyCallback callback);
int apiSetMicCallback(ZnManageCenter* centre, ZnNotifyCallback callback);
int apiSetMicGroupCallback(ZnManageCenter* centre, ZnNotifyCallback callback);
int apiSetPlayTerminalCallback(ZnManageCenter* centre, ZnNotifyCallback callback);
int apiSetRegionCallback(ZnManageCenter* centre, ZnNotifyCallback callback);
int apiSetServerConfigCallback(ZnManageCenter* centre, int (*callback)(int type, void* data));
int apiSetLogCallback(ZnManageCenter* centre, int (*callback)(int kind, void* data, int a, int b));
int apiSetSoundSourceTaskCallback(ZnManageCenter* centre, ZnNotifyCallback callback);
int apiSetTtsCallback(ZnManageCenter* centre, ZnNotifyCallback callback);
int apiSetLevelCallbacks(ZnManageCenter* centre, void (*list)(std::list<ZnLevel>*), void (*frame)(int),
                         void (*third)(ZnLevel*));
int apiSetSchemeCallback(ZnManageCenter* centre, void (*list)(std::list<ZnScheme>*, int), void (*added)(ZnScheme*, int),
                         void (*changed)(ZnScheme*, int), void (*deleted)(int, int));

// The type code text of a terminal type number ("RemoveDevice" sends it as "Type").
std::string terminalTypeName(int type);
// The terminal-type number of a type code: its place in the 32-entry table, found
// whole and case-sensitively; 31 for an unknown code, 32 for an empty one.
int terminalTypeIndex(const std::string& code);
