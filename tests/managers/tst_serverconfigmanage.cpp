#include "ZnServerConfigManage.h"
#include "ZnServerParam.h"

#include <QtTest>

#include <list>
#include <string>
#include <vector>

namespace {
struct Event
{
    int type;
    std::vector<ZnServerParam> params;
};
std::vector<Event> g_events;

int onConfig(int type, void* data)
{
    Event e{type, {}};
    if (type == ZnServerConfigManage::BackupType) {
        e.params.push_back(*static_cast<ZnServerParam*>(data));
    } else {
        for (const ZnServerParam& p : *static_cast<std::list<ZnServerParam>*>(data))
            e.params.push_back(p);
    }
    g_events.push_back(e);
    return 0;
}
} // namespace

class TestServerConfigManage : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        g_events.clear();
        m_config.setCallback(onConfig);
        m_config.setCallback(nullptr); // keeps the one stored
    }

    void parameterRowsGetTheirKinds()
    {
        m_config.onResponse(174, "[{\"name\":\"System_Name\",\"value\":\"广播中心\"},"
                                 "{\"name\":\"Record_Server\",\"value\":\"10.0.0.5\"},"
                                 "{\"name\":\"Talk_Log_Server\",\"value\":\"10.0.0.6:1\"},"
                                 "{\"name\":\"Vad_Ptt_Time_Out\",\"value\":30},"
                                 "{\"name\":\"system_name\",\"value\":\"x\"},"
                                 "{\"name\":\"Ftp_Port\"}, 5, \"row\"]");
        QCOMPARE(int(g_events.size()), 1);
        const std::vector<ZnServerParam>& p = g_events[0].params;
        QCOMPARE(int(p.size()), 6);
        QCOMPARE(p[0].kind, int(ZnServerParam::SystemName));
        QCOMPARE(p[0].value, std::string("广播中心"));
        QCOMPARE(p[1].kind, int(ZnServerParam::RecordServer));
        QCOMPARE(p[2].kind, int(ZnServerParam::TalkLogServer));
        QCOMPARE(p[3].kind, int(ZnServerParam::VadPttTimeout));
        QCOMPARE(p[3].value, std::string("30"));
        // The names are compared exactly.
        QCOMPARE(p[4].kind, int(ZnServerParam::Other));
        QCOMPARE(p[5].kind, int(ZnServerParam::Other));
        QVERIFY(p[5].value.empty());
    }

    void logServerRowsCarryOnlyTheValue()
    {
        m_config.onResponse(178, "[{\"value\":\"192.168.1.9:1\"}]");
        m_config.onResponse(178, "[]");
        QCOMPARE(int(g_events.size()), 2);
        QCOMPARE(g_events[0].type, 178);
        QCOMPARE(g_events[0].params.at(0).value, std::string("192.168.1.9:1"));
        QVERIFY(g_events[0].params.at(0).name.empty());
        QCOMPARE(g_events[0].params.at(0).kind, int(ZnServerParam::Other));
        QVERIFY(g_events[1].params.empty());
    }

    void backupAnswerGivesFileAndDigest()
    {
        m_config.onResponse(181, "{\"BackupFile\":\"backup_20260501.sql\","
                                 "\"Md5\":\"0123456789abcdef0123456789abcdef\"}");
        m_config.onResponse(181, "{\"Md5\":\"ab\"}");
        QCOMPARE(int(g_events.size()), 2);
        const ZnServerParam& b = g_events[0].params.at(0);
        QCOMPARE(b.kind, int(ZnServerParam::Backup));
        QCOMPARE(b.name, std::string("backup_20260501.sql"));
        QCOMPARE(b.value, std::string("0123456789abcdef0123456789abcdef"));
        QVERIFY(g_events[1].params.at(0).name.empty());
    }

    void otherAnswersAndBadBodiesAnnounceNothing()
    {
        for (int type : {173, 176, 177, 179, 180, 182, 161, 187, 127})
            m_config.onResponse(type, "[{\"name\":\"System_Name\",\"value\":\"v\"}]");
        m_config.onResponse(174, "not json");
        m_config.onResponse(174, "{\"name\":\"System_Name\"}");
        m_config.onResponse(178, "");
        m_config.onResponse(181, "[\"BackupFile\"]");
        m_config.onResponse(181, "{\"BackupFile\":");
        const std::string deep(100000, '[');
        m_config.onResponse(174, deep);
        m_config.onResponse(181, std::string(100000, '{'));
        QVERIFY(g_events.empty());
        QVERIFY(!m_config.onPost("SqlConfig_parameter", "[]"));
        QVERIFY(m_config.ownsType(162) && m_config.ownsType(186));
        QVERIFY(!m_config.ownsType(161) && !m_config.ownsType(187));
    }

private:
    ZnServerConfigManage m_config;
};

QTEST_GUILESS_MAIN(TestServerConfigManage)
#include "tst_serverconfigmanage.moc"
