#pragma once

#include "ZnNetManage.h"
#include "ZnThread.h"

#include <QMutex>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class BookRequest;
class ZnBackupMng;
class ZnBaseMgr;
class ZnBroadcastManage;
class ZnCap;
class ZnCapManage;
class ZnD72Manage;
class ZnD74Manage;
class ZnD82;
class ZnD82Manage;
class ZnFAlarm;
class ZnFAlarmManage;
class ZnFAlarmTrigger;
class ZnLevelManage;
class ZnLogManage;
class ZnLoginNetHandle;
class ZnMic;
class ZnMicBtnCall;
class ZnMicGroup;
class ZnMicGroupManage;
class ZnMicManage;
class ZnPlanManage;
class ZnPlayTaskManage;
class ZnRegion;
class ZnRegionManage;
class ZnScheme;
class ZnSchemeManage;
class ZnServerConfigManage;
class ZnServerConfigRequest;
class ZnSsTask;
class ZnSsTaskManage;
class ZnTerminal;
class ZnTerminalGroupManage;
class ZnTerminalManage;
class ZnTts;
class ZnTtsManage;

// The one object per process through which the console talks to the management
// server: it owns the connection, the receive thread, the login handle and the 19
// managers, and offers every answer and push to the managers in slot order.
class ZnManageCenter : public ZnNetManage
{
public:
    // Slots, 0-based, in dispatch order. The log manager sits in slot 8 (index 7).
    enum Slot {
        TerminalSlot,
        MicSlot,
        CapSlot,
        BroadcastSlot,
        RegionSlot,
        LevelSlot,
        PlayTaskSlot,
        LogSlot,
        ServerConfigSlot,
        BackupSlot,
        TtsSlot,
        D72Slot,
        D74Slot,
        PlanSlot,
        MicGroupSlot,
        SsTaskSlot,
        D82Slot,
        FAlarmSlot,
        SchemeSlot,
        SlotCount
    };
    enum { SystemTimeType = 298 };
    typedef void (*ConflictCallback)(int code, const char* body);

    // The process-wide centre, created on the first call; null when it cannot be made.
    static ZnManageCenter* create();

    ZnManageCenter();
    ~ZnManageCenter() override;

    // Starts a receive loop on the owned thread after joining the previous one.
    // -1 while a receive loop is still running (and not told to stop) or when no
    // thread can start.
    int startReceiveThread();
    // Waits for the receive thread after stopping its loop (tests and shutdown).
    void stopReceiveThread();
    // Ends the current attempt at the operator's word: its loop stops without a
    // loss report, and nobody waits for it (a connect may still take its 3 s).
    void abandonLogin();

    ZnBaseMgr* slot(int index) const;
    // Puts another manager into a slot and returns the one it held (not freed);
    // the request methods keep building with the centre's own managers.
    ZnBaseMgr* swapSlot(int index, ZnBaseMgr* manager);
    ZnLoginNetHandle* loginHandle() const { return m_login.get(); }

    void setConflictCallback(ConflictCallback callback);
    int loginResult() const;
    std::string systemTime() const;
    // Sends the server-time request without a pending entry; always 0.
    int requestSystemTime();
    int sendLogin() override;

    void onConnected() override;
    void onLoginResult(bool ok) override;

    // Request methods: each returns 0, 1, 2, 3, 4 or -1 (no manager, or arguments
    // that make no request).
    int getPlayTerminalList();
    int getPlayTerminal(const ZnTerminal& terminal);
    int modifyPlayTerminal(const ZnTerminal& terminal);
    int removeDevice(int terminalId, const std::string& typeText);
    int setIpAmpPower(int terminalId, int power);
    int ipAmpSpeakerCheck(const ZnTerminal& terminal);
    int setPlayTermConfig(const ZnTerminal& terminal);
    int getCapList();
    int modifyCap(const ZnCap& cap);
    int getSchemeList(int kind);
    int addScheme(const ZnScheme& scheme, int kind);
    int modifyScheme(const ZnScheme& scheme, int kind);
    int enableScheme(ZnScheme& scheme, int kind);
    int deleteScheme(const ZnScheme& scheme, int kind);
    int getLogPage(int kind, int64_t offset);
    int getRegionList();
    int saveRegion(const ZnRegion& region, int operation);
    int serverConfigRequest(const ZnServerConfigRequest& request);
    int getServerConfig(const ZnServerConfigRequest& request);
    int getMicGroupList();
    int saveMicGroup(const ZnMicGroup& group, int operation);
    int getD72List();
    int modifyD72(const ZnMic& mic);
    int getD72ButtonCalls(const ZnMic& mic);
    int setD72ButtonCall(const std::vector<ZnMicBtnCall>& calls);
    int getD74List();
    int modifyD74(const ZnMic& mic, int operation);
    int getD74ButtonCalls(const ZnMic& mic);
    int setD74ButtonCall(const ZnMicBtnCall& call);
    int getSoundSourceTaskList();
    int saveSoundSourceTask(const ZnSsTask& task, int operation);
    int getTtsList();
    int modifyTts(const ZnTts& tts);
    int getMicList();
    int getMicTerminal(int terminalId);
    int modifyMic(const ZnMic& mic);
    int getMicBooks(const BookRequest& request);
    int setMicBooks(const BookRequest& request);
    int getD82List();
    int getD82Terminal(int terminalId);
    int modifyD82(const ZnD82& device);
    int getD82Books(const BookRequest& request);
    int setD82Books(const BookRequest& request);
    int getFireAlarmList();
    int modifyFireAlarm(const ZnFAlarm& alarm);
    int setFireAlarmTrigger(const ZnFAlarmTrigger& trigger);

    // The managers, for the callback registrations of the flat interface.
    ZnTerminalManage* terminalManage() const { return m_terminal.get(); }
    ZnMicManage* micManage() const { return m_mic.get(); }
    ZnCapManage* capManage() const { return m_cap.get(); }
    ZnBroadcastManage* broadcastManage() const { return m_broadcast.get(); }
    ZnRegionManage* regionManage() const { return m_region.get(); }
    ZnLevelManage* levelManage() const { return m_level.get(); }
    ZnPlayTaskManage* playTaskManage() const { return m_playTask.get(); }
    ZnLogManage* logManage() const { return m_log.get(); }
    ZnServerConfigManage* serverConfigManage() const { return m_serverConfig.get(); }
    ZnBackupMng* backupManage() const { return m_backup.get(); }
    ZnTtsManage* ttsManage() const { return m_tts.get(); }
    ZnD72Manage* d72Manage() const { return m_d72.get(); }
    ZnD74Manage* d74Manage() const { return m_d74.get(); }
    ZnPlanManage* planManage() const { return m_plan.get(); }
    ZnMicGroupManage* micGroupManage() const { return m_micGroup.get(); }
    ZnSsTaskManage* ssTaskManage() const { return m_ssTask.get(); }
    ZnD82Manage* d82Manage() const { return m_d82.get(); }
    ZnFAlarmManage* fAlarmManage() const { return m_fAlarm.get(); }
    ZnSchemeManage* schemeManage() const { return m_scheme.get(); }

protected:
    void run() override;
    void onAnswer(int requestType, int cseq, bool ok, const std::string& body) override;
    void onUnmatchedAnswer(int cseq, bool ok, const std::string& body) override;
    void onMessage(std::string_view message) override;

private:
    // The one path of every request method: -1 when the slot is empty or the
    // manager builds no text; else the text built with the next CSeq is sent and
    // its answer waited for.
    template <class Manager, class Owner, class... Params, class... Args>
    int request(int slotIndex, int requestType, Manager* manager,
                std::string& (Owner::*build)(std::string&, int, Params...), Args&&... args);
    void offerPost(const std::string& key, const std::string& body);
    void offerSet(const std::string& body);
    void takeServerTime(const std::string& body);

    std::unique_ptr<ZnTerminalManage> m_terminal;
    std::unique_ptr<ZnMicManage> m_mic;
    std::unique_ptr<ZnCapManage> m_cap;
    std::unique_ptr<ZnBroadcastManage> m_broadcast;
    std::unique_ptr<ZnRegionManage> m_region;
    std::unique_ptr<ZnLevelManage> m_level;
    std::unique_ptr<ZnPlayTaskManage> m_playTask;
    std::unique_ptr<ZnLogManage> m_log;
    std::unique_ptr<ZnServerConfigManage> m_serverConfig;
    std::unique_ptr<ZnBackupMng> m_backup;
    std::unique_ptr<ZnTtsManage> m_tts;
    std::unique_ptr<ZnD72Manage> m_d72;
    std::unique_ptr<ZnD74Manage> m_d74;
    std::unique_ptr<ZnPlanManage> m_plan;
    std::unique_ptr<ZnMicGroupManage> m_micGroup;
    std::unique_ptr<ZnSsTaskManage> m_ssTask;
    std::unique_ptr<ZnD82Manage> m_d82;
    std::unique_ptr<ZnFAlarmManage> m_fAlarm;
    std::unique_ptr<ZnSchemeManage> m_scheme;
    std::unique_ptr<ZnTerminalGroupManage> m_terminalGroups;

    std::array<std::atomic<ZnBaseMgr*>, SlotCount> m_slots;
    std::unique_ptr<ZnLoginNetHandle> m_login;
    std::atomic<ConflictCallback> m_conflictCallback{nullptr};

    mutable QMutex m_timeMutex;
    std::string m_systemTime;
    std::atomic<int> m_timeCSeq{0}; // 0: no server-time request sent
    std::atomic<bool> m_abandoned{false};

    // The body of the message being handed round (receive thread), with room for
    // the padding the JSON reader needs to read it in place.
    static constexpr std::size_t kBodyPadding = 64;
    std::string m_body;

    ZnThread m_thread;
};
