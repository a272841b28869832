#include "PageSim.h"
#include "ZnFAlarmChannelDialog.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmSettingDialog.h"
#include "ZnSsTaskDataMgr.h"

#include <QLineEdit>
#include <QtTest>

// The fire-alarm page, its setting dialog and the channel dialog against the
// simulated server.
class TstFAlarmPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageStates_data();
    void pageStates();
    void channelsRead_data();
    void channelsRead();
    void channelRoundTrip();
    void separatorRefused_data();
    void separatorRefused();
    void triggerPushTurnsChannelRed();
    void okWithoutChangeSendsNothing();

private:
    QTableWidget *table() { return page->tableWidget(); }
    bool serve(const std::vector<Json::Value> &rows);
    ZnFAlarm alarm(int id)
    {
        ZnFAlarm a;
        ZnFAlarmListMgr::instance()->findFAlarm(id, a);
        return a;
    }

    SimSession s;
    std::unique_ptr<ZnFAlarmInfoForm> page;
};

namespace {

Json::Value alarmRow(int id, int status, int bits, int type, const std::string &channels)
{
    Json::Value r = terminalRow(id, "FA" + std::to_string(id), status, "FR");
    r["shortCircuit"] = std::to_string(bits);
    r["triggerType"] = std::to_string(type);
    r["broadcast"] = channels;
    return r;
}

Json::Value task(int id, const std::string &name, int category)
{
    Json::Value r(Json::objectValue);
    r["sourceId"] = std::to_string(id);
    r["name"] = name;
    r["sourceCategory"] = std::to_string(category);
    r["sourceType"] = "1";
    r["status"] = "2";
    return r;
}

// "number|name|state|task" per channel row.
QString channelsOf(QTableWidget *t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << t->item(r, c)->text();
        out << cells.join(QLatin1Char('|'));
    }
    return out.join(QStringLiteral(" / "));
}

bool red(const QTableWidgetItem *item)
{
    return item->foreground().color() == QColor(252, 65, 54);
}

} // namespace

bool TstFAlarmPage::serve(const std::vector<Json::Value> &rows)
{
    s.sim.withData([&](ZnSimData &d) { d.table("firealarm") = rows; });
    QSignalSpy list(ZnFAlarmListMgr::instance(), &ZnFAlarmListMgr::gotFAlarmList);
    if (ZnFAlarmListMgr::instance()->registerAndWait() != 0
        || !SimSession::spinUntil([&] { return list.count() == 1; }))
        return false;
    QCoreApplication::processEvents();
    return true;
}

void TstFAlarmPage::initTestCase()
{
    s.sim.withData([](ZnSimData &d) {
        d.table("soundsource") = {task(21, "疏散广播", 2), task(22, "Drill", 2), task(23, "Plan", 1)};
    });
    QVERIFY(startModels(s));
    ZnSsTaskDataMgr::instance();
    page.reset(new ZnFAlarmInfoForm);
    QTRY_COMPARE(table()->rowCount(), 2);
}

void TstFAlarmPage::pageStates_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("isRed");
    QTest::newRow("offline") << 0 << 1 << 2 << "断线" << false;
    QTest::newRow("fire trigger") << 1 << 4 << 2 << "消防报警" << true;
    QTest::newRow("normal trigger") << 1 << 4 << 1 << "短路触发" << false;
}

void TstFAlarmPage::pageStates()
{
    QFETCH(int, status);
    QFETCH(int, bits);
    QFETCH(int, type);
    QFETCH(QString, shown);
    QFETCH(bool, isRed);
    QVERIFY(serve({alarmRow(30001, status, bits, type, "")}));
    QCOMPARE(table()->item(0, 2)->text(), shown);
    QCOMPARE(red(table()->item(0, 2)), isRed);
}

void TstFAlarmPage::channelsRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("named and plain") << "Door#$%21!!!7"
                                     << "1|Door|空闲|疏散广播 / 2|通道2|空闲|[任务不存在]";
    QTest::newRow("no task, not a number") << "大厅#$%0!!!x"
                                           << "1|大厅|空闲|[未配置] / 2|通道2|空闲|[未配置]";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("a plan task is no manual task") << "23"
                                                   << "1|通道1|空闲|[任务不存在]";
}

void TstFAlarmPage::channelsRead()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    ZnFAlarm a;
    a.id = 30001;
    a.broadcast = text.toStdString();
    ZnFAlarmSettingDialog dialog(&a);
    QCOMPARE(channelsOf(dialog.form().fChannelTb), shown);
}

// A channel named and linked in the channel dialog travels to the server, which
// keeps it in the interface's list text; the page reads the list again and the
// next dialog shows the channel as set. Reset gives the channel back its number.
void TstFAlarmPage::channelRoundTrip()
{
    QVERIFY(serve({alarmRow(30001, 1, 0, 2, "Door#$%21!!!0")}));
    ModalChain chain;
    chain.arm({[](QWidget *w) {
                   auto *t = w->findChild<QTableWidget *>(QStringLiteral("fChannelTb"));
                   t->setCurrentCell(1, 1);
                   emit t->cellDoubleClicked(1, 1);
                   ModalChain::click(QStringLiteral("fOkBtn"))(w);
               },
               [](QWidget *w) {
                   auto *d = qobject_cast<ZnFAlarmChannelDialog *>(w);
                   d->form().fChannelNameLe->setText(QStringLiteral("二楼走廊"));
                   QTableWidget *tasks = d->form().fChannelTb;
                   emit tasks->itemClicked(tasks->item(1, 0)); // Drill
                   d->form().fOkBtn->click();
               }});
    table()->setCurrentCell(0, 0);
    page->form().fEditBtn->click();
    QVERIFY(chain.finished());
    const Json::Value sent = lastBody(s, "POST SetFRTrigger");
    QCOMPARE(QString::fromStdString(sent["ChannelName"].asString()), QStringLiteral("二楼走廊"));
    QCOMPARE(sent["Channel"].asString() + "/" + sent["SourceId"].asString(), std::string("2/22"));
    QTRY_COMPARE(alarm(30001).broadcast, std::string("Door#$%21!!!二楼走廊#$%22"));

    ZnFAlarm a = alarm(30001);
    ZnFAlarmSettingDialog again(&a);
    QTableWidget *t = again.form().fChannelTb;
    QCOMPARE(channelsOf(t), QStringLiteral("1|Door|空闲|疏散广播 / 2|二楼走廊|空闲|Drill"));
    QCOMPARE(t->item(1, 0)->background().color(), QColor(240, 240, 240));
    t->setCurrentCell(0, 0);
    again.form().fDelChannelBtn->click();
    QCOMPARE(lastBody(s, "POST SetFRTrigger")["SourceId"].asString(), std::string("0"));
    QCOMPARE(channelsOf(t), QStringLiteral("1|通道1|空闲|[未配置] / 2|二楼走廊|空闲|Drill"));
    QCOMPARE(t->item(0, 0)->background().color(), QColor(255, 255, 255));
    QVERIFY(!again.isChanged());
}

void TstFAlarmPage::separatorRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("channel separator") << "甲!!!乙";
    QTest::newRow("field separator") << "Door#$%5";
}

// Such a name would split into other channels when the list text is read
// back: refused with a message, never sent, the dialog stays open.
void TstFAlarmPage::separatorRefused()
{
    QFETCH(QString, name);
    const size_t sent = s.requests("POST SetFRTrigger").size();
    std::list<ZnSsTask> tasks;
    ZnFAlarmChannelDialog dialog(&tasks, 0, QStringLiteral("通道1"));
    dialog.form().fChannelNameLe->setText(name);
    ModalChain chain;
    chain.arm({ModalChain::click(QStringLiteral("ConfirmButton"))});
    dialog.form().fOkBtn->click();
    QVERIFY(chain.finished());
    QVERIFY(chain.seen.at(0).contains(QStringLiteral("!!!")));
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(dialog.channelName(), QStringLiteral("通道1"));
    QCOMPARE(s.requests("POST SetFRTrigger").size(), sent);
}

// Channels 1 and 3 triggered while the dialog is open: they turn red, the page
// row says fire alarm, and channel 3 cannot be edited.
void TstFAlarmPage::triggerPushTurnsChannelRed()
{
    QVERIFY(serve({alarmRow(30001, 1, 0, 2, "0!!!0!!!0")}));
    ZnFAlarm a = alarm(30001);
    ZnFAlarmSettingDialog dialog(&a);
    QTableWidget *t = dialog.form().fChannelTb;
    QVERIFY(!red(t->item(0, 2)));
    QSignalSpy changed(ZnFAlarmListMgr::instance(), &ZnFAlarmListMgr::fAlarmChanged);
    QVERIFY(s.sim.pushAlarmTrigger(30001, 5));
    QVERIFY(changed.wait());
    QCOMPARE(table()->item(0, 2)->text(), QStringLiteral("消防报警"));
    QVERIFY(red(table()->item(0, 2)));
    QCOMPARE(channelsOf(t), QStringLiteral("1|通道1|报警|[未配置] / 2|通道2|空闲|[未配置] / 3|通道3|报警|[未配置]"));
    QVERIFY(red(t->item(0, 2)) && !red(t->item(1, 2)) && red(t->item(2, 2)));
    const size_t sent = s.requests("POST SetFRTrigger").size();
    ModalChain chain;
    chain.arm({ModalChain::click(QStringLiteral("ConfirmButton"))});
    t->setCurrentCell(2, 0);
    dialog.form().fEditChannelBtn->click();
    QVERIFY(chain.finished());
    QVERIFY(chain.seen.at(0).contains(QStringLiteral("通道3触发状态，请空闲再配置！")));
    QCOMPARE(s.requests("POST SetFRTrigger").size(), sent);
}

void TstFAlarmPage::okWithoutChangeSendsNothing()
{
    const size_t sent = s.requests("POST SetFRName").size();
    ZnFAlarm a = alarm(30001);
    ZnFAlarmSettingDialog dialog(&a);
    dialog.form().fOkBtn->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(s.requests("POST SetFRName").size(), sent);
    // A type change goes out.
    ZnFAlarmSettingDialog other(&a);
    other.form().fNormalCb->click();
    other.form().fOkBtn->click();
    QCOMPARE(s.requests("POST SetFRName").size(), sent + 1);
    QCOMPARE(lastBody(s, "POST SetFRName")["TriggerType"].asString(), std::string("1"));
    QCOMPARE(a.triggerType, 1);
}

QTEST_MAIN(TstFAlarmPage)
#include "tst_falarmpage.moc"
