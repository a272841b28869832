#include "PageSim.h"
#include "ZnFAlarmChannelDialog.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmSettingDialog.h"
#include "ZnSsTaskDataMgr.h"

#include <QtTest>

// The fire-alarm page's states, its setting dialog and the channel dialog
// against the simulated server.
class TstFAlarmPage : public QObject
{
    Q_OBJECT

    SimSession s;
    std::unique_ptr<ZnFAlarmInfoForm> page;

    QTableWidget *table() { return page->tableWidget(); }
    // Gives the server this one interface and waits for the page's new list.
    bool serve(int status, int bits, int type, const std::string &channels)
    {
        s.sim.withData([&](ZnSimData &d) {
            d.table("firealarm") = {terminalRow(30001, "FA", status, "FR")};
            d.table("firealarm")[0]["shortCircuit"] = std::to_string(bits);
            d.table("firealarm")[0]["triggerType"] = std::to_string(type);
            d.table("firealarm")[0]["broadcast"] = channels;
        });
        ZnFAlarmListMgr *m = ZnFAlarmListMgr::instance();
        return signalled(m, &ZnFAlarmListMgr::gotFAlarmList, [m] { m->registerAndWait(); });
    }
    ZnFAlarm alarm()
    {
        ZnFAlarm a;
        ZnFAlarmListMgr::instance()->findFAlarm(30001, a);
        return a;
    }
    // "number|name|state|task" per channel row.
    static QString channelsOf(QTableWidget *t)
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
    static bool red(const QTableWidgetItem *item) { return item->foreground().color() == QColor(252, 65, 54); }

private slots:
    void initTestCase()
    {
        s.sim.withData([](ZnSimData &d) {
            auto task = [](const char *id, const char *name, const char *category) {
                return record({{"sourceId", id},
                               {"name", name},
                               {"sourceCategory", category},
                               {"sourceType", "1"},
                               {"status", "2"}});
            };
            d.table("soundsource") = {task("21", "疏散广播", "2"), task("22", "Drill", "2"), task("23", "Plan", "1")};
        });
        QVERIFY(startModels(s));
        ZnSsTaskDataMgr::instance();
        page.reset(new ZnFAlarmInfoForm);
        QTRY_COMPARE(table()->rowCount(), 2);
    }

    void pageStates_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("isRed");
        QTest::newRow("offline") << 0 << 2 << "断线" << false;
        QTest::newRow("fire trigger") << 1 << 2 << "消防报警" << true;
        QTest::newRow("normal trigger") << 1 << 1 << "短路触发" << false;
    }
    void pageStates()
    {
        QFETCH(int, status);
        QFETCH(int, type);
        QFETCH(QString, shown);
        QFETCH(bool, isRed);
        QVERIFY(serve(status, 4, type, ""));
        QCOMPARE(table()->item(0, 2)->text(), shown);
        QCOMPARE(red(table()->item(0, 2)), isRed);
    }

    // The interface's list text as the dialog reads it.
    void channelsRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("named and plain") << "Door#$%21!!!7"
                                         << "1|Door|空闲|疏散广播 / 2|通道2|空闲|[任务不存在]";
        QTest::newRow("no task, not a number") << "大厅#$%0!!!x"
                                               << "1|大厅|空闲|[未配置] / 2|通道2|空闲|[未配置]";
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("a plan task is no manual task") << "23"
                                                       << "1|通道1|空闲|[任务不存在]";
    }
    void channelsRead()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        ZnFAlarm a;
        a.id = 30001;
        a.broadcast = text.toStdString();
        ZnFAlarmSettingDialog dialog(&a);
        QCOMPARE(channelsOf(dialog.form().fChannelTb), shown);
    }

    // A channel named and linked in the channel dialog travels to the server,
    // which keeps it in the list text; the next dialog shows it as set. Reset
    // gives the channel back its number.
    void channelRoundTrip()
    {
        QVERIFY(serve(1, 0, 2, "Door#$%21!!!0"));
        answering({[](QWidget *w) {
                       auto *t = w->findChild<QTableWidget *>(QStringLiteral("fChannelTb"));
                       t->setCurrentCell(1, 1);
                       emit t->cellDoubleClicked(1, 1);
                       ModalChain::click(QStringLiteral("fOkBtn"))(w);
                   },
                   [](QWidget *w) {
                       auto &ui = qobject_cast<ZnFAlarmChannelDialog *>(w)->form();
                       ui.fChannelNameLe->setText(QStringLiteral("二楼走廊"));
                       emit ui.fChannelTb->itemClicked(ui.fChannelTb->item(1, 0)); // Drill
                       ui.fOkBtn->click();
                   }},
                  [&] { doubleClickRow(table(), 30001); });
        const Json::Value sent = lastBody(s, "POST SetFRTrigger");
        QCOMPARE(QString::fromStdString(sent["ChannelName"].asString()), QStringLiteral("二楼走廊"));
        QCOMPARE(sent["Channel"].asString() + "/" + sent["SourceId"].asString(), std::string("2/22"));
        QTRY_COMPARE(alarm().broadcast, std::string("Door#$%21!!!二楼走廊#$%22"));

        ZnFAlarm a = alarm();
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

    // Such a name would split into other channels when the list text is read
    // back: refused with a message, never sent, the dialog stays open.
    void separatorRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("channel separator") << "甲!!!乙";
        QTest::newRow("field separator") << "Door#$%5";
    }
    void separatorRefused()
    {
        QFETCH(QString, name);
        const size_t sent = s.requests("POST SetFRTrigger").size();
        std::list<ZnSsTask> tasks;
        ZnFAlarmChannelDialog dialog(&tasks, 0, QStringLiteral("通道1"));
        dialog.form().fChannelNameLe->setText(name);
        const QStringList seen = answering({ModalChain::confirm()}, [&] { dialog.form().fOkBtn->click(); });
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.at(0).contains(QStringLiteral("!!!")));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.channelName(), QStringLiteral("通道1"));
        QCOMPARE(s.requests("POST SetFRTrigger").size(), sent);
    }

    // Channels 1 and 3 triggered while the dialog is open: they turn red, the
    // page row says fire alarm, and channel 3 cannot be edited.
    void triggerPushTurnsChannelRed()
    {
        QVERIFY(serve(1, 0, 2, "0!!!0!!!0"));
        ZnFAlarm a = alarm();
        ZnFAlarmSettingDialog dialog(&a);
        QTableWidget *t = dialog.form().fChannelTb;
        QVERIFY(!red(t->item(0, 2)));
        QVERIFY(signalled(ZnFAlarmListMgr::instance(), &ZnFAlarmListMgr::fAlarmChanged,
                          [&] { QVERIFY(s.sim.pushAlarmTrigger(30001, 5)); }));
        QCOMPARE(table()->item(0, 2)->text(), QStringLiteral("消防报警"));
        QVERIFY(red(table()->item(0, 2)));
        QCOMPARE(channelsOf(t),
                 QStringLiteral("1|通道1|报警|[未配置] / 2|通道2|空闲|[未配置] / 3|通道3|报警|[未配置]"));
        QVERIFY(red(t->item(0, 2)) && !red(t->item(1, 2)) && red(t->item(2, 2)));
        const size_t sent = s.requests("POST SetFRTrigger").size();
        t->setCurrentCell(2, 0);
        const QStringList seen = answering({ModalChain::confirm()}, [&] { dialog.form().fEditChannelBtn->click(); });
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.at(0).contains(QStringLiteral("通道3触发状态，请空闲再配置！")));
        QCOMPARE(s.requests("POST SetFRTrigger").size(), sent);
    }

    // OK without a change sends nothing; a trigger type change goes out.
    void typeChange()
    {
        const size_t sent = s.requests("POST SetFRName").size();
        ZnFAlarm a = alarm();
        ZnFAlarmSettingDialog dialog(&a);
        dialog.form().fOkBtn->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(s.requests("POST SetFRName").size(), sent);
        ZnFAlarmSettingDialog other(&a);
        other.form().fNormalCb->click();
        other.form().fOkBtn->click();
        QCOMPARE(s.requests("POST SetFRName").size(), sent + 1);
        QCOMPARE(lastBody(s, "POST SetFRName")["TriggerType"].asString(), std::string("1"));
        QCOMPARE(a.triggerType, 1);
    }
};

QTEST_MAIN(TstFAlarmPage)
#include "tst_falarmpage.moc"
