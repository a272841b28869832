#include "Mutate.h"
#include "ZnLogManage.h"
#include "ZnLogRecord.h"
#include "ZnServerConfigManage.h"
#include "ZnServerParam.h"

#include <QtTest>

#include <list>
#include <random>
#include <string>
#include <vector>

namespace {
// What a callback was handed: its code and the records or the count, as text.
std::vector<std::string> gEvents;

std::string text(const ZnLogRecord& r)
{
    return std::to_string(r.id) + "|" + r.date + "|" + r.endTime + "|" + std::to_string(r.callerId) + "|"
           + std::to_string(r.calledId) + "|" + r.callerName + "|" + r.calledName + "|" + r.type + "|" + r.action + "|"
           + r.recordFile + "|" + std::to_string(r.terminalId) + "|" + r.name + "|" + r.ip;
}

int onLog(int kind, void* data, int, int)
{
    std::string e = std::to_string(kind) + ":";
    if (kind % 2 == 0) {
        e += std::to_string(*static_cast<int*>(data));
    } else {
        for (const ZnLogRecord& r : *static_cast<std::vector<ZnLogRecord>*>(data))
            e += " [" + text(r) + "]";
    }
    gEvents.push_back(e);
    return 0;
}

std::string text(const ZnServerParam& p)
{
    return " [" + std::to_string(p.kind) + "|" + p.name + "|" + p.value + "]";
}

int onConfig(int type, void* data)
{
    std::string e = std::to_string(type) + ":";
    if (type == ZnServerConfigManage::BackupType) {
        e += text(*static_cast<ZnServerParam*>(data));
    } else {
        for (const ZnServerParam& p : *static_cast<std::list<ZnServerParam>*>(data))
            e += text(p);
    }
    gEvents.push_back(e);
    return 0;
}

const char* const kTalkPage =
    "[{\"id\":\"12\",\"begin_time\":\"2026-05-01 08:00:00\",\"end_time\":\"2026-05-01 08:01:10\","
    "\"callerId\":\"101\",\"calledId\":\"202\",\"callerName\":\"一号楼\",\"calledName\":\"值班室\","
    "\"type\":\"对讲\",\"source_name\":\"话筒\",\"recordfile\":\"rec/12.mp3\"},"
    "{\"id\":11,\"callerName\":\"二号楼\"}]";
const std::string kDeep(100000, '[');
} // namespace

// The log pages and the server settings the server answers in JSON rows.
class TstJsonAnswers : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        gEvents.clear();
        m_log.setCallback(onLog);
        m_config.setCallback(onConfig);
        m_config.setCallback(nullptr); // keeps the one stored
    }

    void logCountsAndPages()
    {
        // A count is announced even when the answer is unreadable (as 0).
        m_log.onResponse(131, "[{\"count(*)\":\"250\"}]");
        m_log.onResponse(127, "[{\"count(*)\":17}]");
        m_log.onResponse(129, "not json");
        m_log.onResponse(133, "[{\"other\":\"5\"}]");
        m_log.onResponse(129, kDeep); // the reader throws on deep nesting
        // Pages: each kind reads its own keys; missing keys read as 0 and empty.
        m_log.onResponse(134, kTalkPage);
        m_log.onResponse(132, "[{\"id\":\"9\",\"date\":\"d\",\"terminalId\":\"31\",\"name\":\"广播终端\","
                              "\"type\":\"IP\",\"ip\":\"10.0.0.31\",\"action\":\"上线\"}]");
        m_log.onResponse(128, "[{\"id\":\"4\",\"date\":\"d2\",\"content\":\"登录\",\"ip\":\"10.0.0.2\","
                              "\"name\":\"admin\",\"action\":\"ignored\"}]");
        // Elements that are no rows are dropped, the rows beside them kept.
        m_log.onResponse(130, "[7, {\"id\":\"5\"}, \"x\"]");
        // Empty or bad pages and other types announce nothing.
        for (const char* bad : {"[]", "{\"id\":\"1\"}", "garbage", "[1, \"two\", null, [3]]"})
            m_log.onResponse(130, bad);
        m_log.onResponse(126, kTalkPage);
        m_log.onResponse(135, kTalkPage);
        m_log.onResponse(130, kDeep);
        QCOMPARE(gEvents,
                 (std::vector<std::string>{
                     "4:250", "0:17", "2:0", "6:0", "2:0",
                     "7: [12|2026-05-01 08:00:00|2026-05-01 08:01:10|101|202|一号楼|值班室|对讲|话筒|rec/12.mp3|0||]"
                     " [11|||0|0|二号楼|||||0||]",
                     "5: [9|d||0|0|||IP|上线||31|广播终端|10.0.0.31]", "1: [4|d2||0|0||||登录||0|admin|10.0.0.2]",
                     "3: [5|||0|0||||||0||]"}));
    }

    void hostileLogBodiesLeaveNoHalfState()
    {
        // Every cut and many mutations of valid answers, for every log type; a good
        // page afterwards reads as it would on a fresh manager.
        const std::string count = "[{\"count(*)\":\"250\"}]";
        std::mt19937 rng(20261206);
        for (int type = 127; type <= 134; ++type) {
            const std::string valid = type % 2 ? count : std::string(kTalkPage);
            for (size_t n = 0; n <= valid.size(); ++n)
                m_log.onResponse(type, valid.substr(0, n));
            for (int i = 0; i < 300; ++i)
                m_log.onResponse(type, mutate(valid, rng));
        }
        gEvents.clear();
        m_log.onResponse(134, kTalkPage);
        QCOMPARE(gEvents.size(), size_t(1));
        QCOMPARE(gEvents.front().substr(0, 9), std::string("7: [12|20"));
        QVERIFY(gEvents.front().find("] [11|||0|0|二号楼|") != std::string::npos);
    }

    void serverSettings()
    {
        // Parameter rows get their kinds by the exact name.
        m_config.onResponse(174, "[{\"name\":\"System_Name\",\"value\":\"广播中心\"},"
                                 "{\"name\":\"Record_Server\",\"value\":\"10.0.0.5\"},"
                                 "{\"name\":\"Talk_Log_Server\",\"value\":\"10.0.0.6:1\"},"
                                 "{\"name\":\"Vad_Ptt_Time_Out\",\"value\":30},"
                                 "{\"name\":\"system_name\",\"value\":\"x\"},"
                                 "{\"name\":\"Ftp_Port\"}, 5, \"row\"]");
        // Log server rows carry only the value; a backup gives file and digest.
        m_config.onResponse(178, "[{\"value\":\"192.168.1.9:1\"}]");
        m_config.onResponse(178, "[]");
        m_config.onResponse(181, "{\"BackupFile\":\"backup_20260501.sql\",\"Md5\":\"0123456789abcdef\"}");
        m_config.onResponse(181, "{\"Md5\":\"ab\"}");
        // Other answers and bad bodies announce nothing.
        for (int type : {173, 176, 177, 179, 180, 182, 161, 187, 127})
            m_config.onResponse(type, "[{\"name\":\"System_Name\",\"value\":\"v\"}]");
        m_config.onResponse(174, "not json");
        m_config.onResponse(174, "{\"name\":\"System_Name\"}");
        m_config.onResponse(178, "");
        m_config.onResponse(181, "[\"BackupFile\"]");
        m_config.onResponse(181, "{\"BackupFile\":");
        m_config.onResponse(174, kDeep);
        m_config.onResponse(181, std::string(100000, '{'));
        const std::string o = std::to_string(ZnServerParam::Other) + "|";
        const std::string b = std::to_string(ZnServerParam::Backup) + "|";
        QCOMPARE(gEvents, (std::vector<std::string>{
                              "174: [" + std::to_string(ZnServerParam::SystemName) + "|System_Name|广播中心] ["
                                  + std::to_string(ZnServerParam::RecordServer) + "|Record_Server|10.0.0.5] ["
                                  + std::to_string(ZnServerParam::TalkLogServer) + "|Talk_Log_Server|10.0.0.6:1] ["
                                  + std::to_string(ZnServerParam::VadPttTimeout) + "|Vad_Ptt_Time_Out|30] [" + o
                                  + "system_name|x] [" + o + "Ftp_Port|]",
                              "178: [" + o + "|192.168.1.9:1]",
                              "178:", "181: [" + b + "backup_20260501.sql|0123456789abcdef]", "181: [" + b + "|ab]"}));
        QVERIFY(!m_config.onPost("SqlConfig_parameter", "[]"));
        QVERIFY(m_config.ownsType(162) && m_config.ownsType(186));
        QVERIFY(!m_config.ownsType(161) && !m_config.ownsType(187));
    }

private:
    ZnLogManage m_log;
    ZnServerConfigManage m_config;
};

QTEST_GUILESS_MAIN(TstJsonAnswers)
#include "tst_jsonanswers.moc"
