#include "../SimSession.h"
#include "ServiceHub.h"
#include "ZnServerConfigMgr.h"
#include "ZnServerParam.h"

#include <QSignalSpy>
#include <QtTest>

#include <json/json.h>

// The server-configuration model against the simulated server: parameters read
// and set, the talk-log server, the administrator password, backup and restore.
namespace {

Json::Value bodyOf(const ZnSimRequest& r)
{
    Json::Value v;
    Json::Reader().parse(r.body, v);
    return v;
}

ZnSimRequest last(const ZnSimServer& sim, const std::string& label)
{
    ZnSimRequest found;
    for (const ZnSimRequest& r : sim.requests()) {
        if (r.label() == label)
            found = r;
    }
    return found;
}

std::string valueOf(const std::list<ZnServerParam>& params, int kind)
{
    for (const ZnServerParam& p : params) {
        if (p.kind == kind)
            return p.value;
    }
    return "<none>";
}

} // namespace

class TstServerConfigSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup() { m_session->sim.clearRules(); }

    void parametersReadAndSet();
    void talkLogServerDecidesTheRoad_data();
    void talkLogServerDecidesTheRoad();
    void administratorPassword();
    void backupAndRestore();
    void refusalsKeepTheMembers();

private:
    void setTalkLogServer(const std::string& value);
    SimSession* m_session = nullptr; // outlives the model, never freed
};

void TstServerConfigSim::initTestCase()
{
    m_session = new SimSession;
    m_session->sim.withData([](ZnSimData& data) {
        data.addRow("parameter", Json::Value(Json::objectValue));
        data.table("parameter").back()["name"] = "Ftp_Port";
        data.table("parameter").back()["value"] = "21";
    });
    QVERIFY(m_session->login());
    ServiceHub::create(m_session->centre.get());
}

void TstServerConfigSim::cleanupTestCase()
{
    m_session->centre->stopReceiveThread();
    m_session->sim.stop();
}

void TstServerConfigSim::parametersReadAndSet()
{
    ZnServerConfigMgr* model = ZnServerConfigMgr::instance();
    QSignalSpy got(model, SIGNAL(gotServerList()));
    QCOMPARE(model->requestSystemParameter(), 0);
    const ZnSimRequest query = last(m_session->sim, "GET SqlConfig/SystemParameter");
    QCOMPARE(query.body, std::string("select * from parameter"));
    QCOMPARE(got.count(), 1);
    std::list<ZnServerParam> params = model->serverList();
    QCOMPARE(params.size(), size_t(5));
    QCOMPARE(valueOf(params, ZnServerParam::SystemName), std::string("Demo site"));
    QCOMPARE(valueOf(params, ZnServerParam::RecordServer), std::string("127.0.0.1"));
    QCOMPARE(valueOf(params, ZnServerParam::TalkLogServer), std::string("127.0.0.1:0"));
    QCOMPARE(valueOf(params, ZnServerParam::VadPttTimeout), std::string("30"));
    QCOMPARE(valueOf(params, ZnServerParam::Other), std::string("21"));

    QCOMPARE(model->setParameter("东区广播", 173), 0);
    Json::Value body = bodyOf(last(m_session->sim, "POST SystemParameter"));
    QCOMPARE(body["Action"].asString(), std::string("Mod"));
    QCOMPARE(body["Name"].asString(), std::string("System_Name"));
    QCOMPARE(body["Value"].asString(), std::string("东区广播"));
    QCOMPARE(model->setNamedParameter("10.0.0.8", 176), 0);
    QCOMPARE(bodyOf(last(m_session->sim, "POST SystemParameter"))["Name"].asString(), std::string("Record_Server"));
    QCOMPARE(model->setVadPttTimeout("45"), 0);
    body = bodyOf(last(m_session->sim, "POST SystemParameter"));
    QCOMPARE(body["Name"].asString(), std::string("Vad_Ptt_Time_Out"));
    QCOMPARE(body["Value"].asString(), std::string("45"));
    // A change is not announced; the page reads the parameters again.
    QCOMPARE(got.count(), 1);

    QCOMPARE(model->requestSystemParameter(), 0);
    params = model->serverList();
    QCOMPARE(valueOf(params, ZnServerParam::SystemName), std::string("东区广播"));
    QCOMPARE(valueOf(params, ZnServerParam::RecordServer), std::string("10.0.0.8"));
    QCOMPARE(valueOf(params, ZnServerParam::VadPttTimeout), std::string("45"));

    // Types that are no change of this model go nowhere.
    QCOMPARE(model->setParameter("x", 175), -1);
}

void TstServerConfigSim::setTalkLogServer(const std::string& value)
{
    QCOMPARE(ZnServerConfigMgr::instance()->setParameter(value, 179), 0);
    QCOMPARE(bodyOf(last(m_session->sim, "POST SystemParameter"))["Name"].asString(),
             std::string("Talk_Log_Server"));
}

void TstServerConfigSim::talkLogServerDecidesTheRoad_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("number");
    QTest::newRow("direct") << "192.168.10.4:1" << "192.168.10.4" << 1;
    QTest::newRow("direct, more") << "db.local:3" << "db.local" << 3;
    QTest::newRow("server road") << "192.168.10.4:0" << "192.168.10.4" << 0;
    QTest::newRow("no colon") << "192.168.10.4" << "192.168.10.4" << 0;
    QTest::newRow("not a number") << "10.0.0.1:yes" << "10.0.0.1" << 0;
    QTest::newRow("empty host") << ":2" << "" << 2;
    QTest::newRow("empty") << "" << "" << 0;
    QTest::newRow("extra part") << "10.0.0.1:1:9" << "10.0.0.1" << 1;
}

void TstServerConfigSim::talkLogServerDecidesTheRoad()
{
    QFETCH(QString, value);
    QFETCH(QString, host);
    QFETCH(int, number);
    setTalkLogServer(value.toStdString());
    std::string got = "stale";
    QCOMPARE(ZnServerConfigMgr::instance()->requestLogServer(got), number);
    QCOMPARE(QString::fromStdString(got), host);
    QCOMPARE(QString::fromStdString(ZnServerConfigMgr::instance()->logHost()), host);
    QCOMPARE(last(m_session->sim, "GET SqlConfig/TbLogServer").body,
             std::string("select value from parameter where name = 'Talk_Log_Server'"));
}

void TstServerConfigSim::administratorPassword()
{
    QCOMPARE(ZnServerConfigMgr::instance()->setParameter("n3w-Pass", 180), 0);
    const Json::Value body = bodyOf(last(m_session->sim, "POST ModTalkManagerInfo"));
    QCOMPARE(body["Action"].asString(), std::string("Mod"));
    QCOMPARE(body["Name"].asString(), std::string("admin"));
    QCOMPARE(body["PassWord"].asString(), std::string("n3w-Pass"));
    std::string stored;
    m_session->sim.withData([&](ZnSimData& data) { stored = data.users["admin"]; });
    QCOMPARE(stored, std::string("n3w-Pass"));
}

void TstServerConfigSim::backupAndRestore()
{
    ZnServerConfigMgr* model = ZnServerConfigMgr::instance();
    QCOMPARE(model->setParameter("Before restore", 173), 0);
    QCOMPARE(model->requestSystemParameter(), 0);
    QVERIFY(!model->serverList().empty());

    QSignalSpy digest(model, SIGNAL(gotBackupMd5()));
    QSignalSpy list(model, SIGNAL(gotServerList()));
    QCOMPARE(model->setParameter("nightly.sql", 181), 0);
    QCOMPARE(bodyOf(last(m_session->sim, "POST DataBackup"))["BackupFile"].asString(), std::string("nightly.sql"));
    QCOMPARE(digest.count(), 1);
    QCOMPARE(list.count(), 0);
    const ZnServerParam backup = model->backupResult();
    QCOMPARE(backup.kind, int(ZnServerParam::Backup));
    QCOMPARE(backup.name, std::string("nightly.sql"));
    QCOMPARE(backup.value.size(), size_t(32));
    // The backup answer replaces the parameter list.
    QVERIFY(model->serverList().empty());

    QCOMPARE(model->setParameter("After backup", 173), 0);
    QCOMPARE(model->recoverData(backup.name, "00000000000000000000000000000000", 182), 1);
    QCOMPARE(model->recoverData(backup.name, backup.value, 182), 0);
    const Json::Value body = bodyOf(last(m_session->sim, "POST DataRecovery"));
    QCOMPARE(body["RecoveryFile"].asString(), backup.name);
    QCOMPARE(body["Md5"].asString(), backup.value);

    QCOMPARE(model->requestSystemParameter(), 0);
    QCOMPARE(valueOf(model->serverList(), ZnServerParam::SystemName), std::string("Before restore"));
}

void TstServerConfigSim::refusalsKeepTheMembers()
{
    ZnServerConfigMgr* model = ZnServerConfigMgr::instance();
    setTalkLogServer("10.9.9.9:1");
    std::string host;
    QCOMPARE(model->requestLogServer(host), 1);
    QCOMPARE(model->requestSystemParameter(), 0);
    const size_t params = model->serverList().size();

    m_session->sim.addRule(ZnSimRule::make("GET SqlConfig", ZnSimRule::Fail, "", 0, 2));
    QCOMPARE(model->requestSystemParameter(), 1);
    QCOMPARE(model->serverList().size(), params);
    host.clear();
    QCOMPARE(model->requestLogServer(host), 1);
    QCOMPARE(host, std::string("10.9.9.9"));

    // Unreadable answers change nothing either.
    m_session->sim.addRule(ZnSimRule::make("GET SqlConfig", ZnSimRule::Reply, "[{\"name\":", 0, 1));
    QCOMPARE(model->requestSystemParameter(), 0);
    QCOMPARE(model->serverList().size(), params);
    m_session->sim.addRule(ZnSimRule::make("POST DataBackup", ZnSimRule::Reply, "no json", 0, 1));
    const ZnServerParam before = model->backupResult();
    QCOMPARE(model->setParameter("again.sql", 181), 0);
    QCOMPARE(model->backupResult().name, before.name);
    QCOMPARE(model->serverList().size(), params);
}

QTEST_GUILESS_MAIN(TstServerConfigSim)
#include "tst_serverconfigsim.moc"
