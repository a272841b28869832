#include "PageSim.h"
#include "ZnCapInfoForm.h"
#include "ZnFAlarmChannelDialog.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmSettingDialog.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"
#include "ZnSetCapDialog.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTtsInfoForm.h"

#include <QtTest>

// The pages with dialogs of their own beyond a name (fire alarm, capture and
// text-to-speech units, microphone groups) against one simulated server.
class TstUnitPages : public QObject
{
    Q_OBJECT

    SimSession s;
    std::unique_ptr<ZnFAlarmInfoForm> alarmPage;
    std::unique_ptr<ZnTtsInfoForm> tts;
    std::unique_ptr<ZnCapInfoForm> caps;
    std::unique_ptr<ZnMicGroupInfoForm> groupPage;

    QTableWidget *alarms() { return alarmPage->tableWidget(); }
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

    ZnMicGroupListMgr *micGroups() { return ZnMicGroupListMgr::instance(); }
    QTableWidget *groups() { return groupPage->form().fGroupTableWidget; }
    void setCurrent(int id)
    {
        const int row = rowOfId(groups(), id);
        groups()->setCurrentCell(row, 0);
        emit groups()->itemClicked(groups()->item(row, 0));
    }
    void setMembers(int id, const std::vector<int> &members)
    {
        ZnMicGroup g;
        QVERIFY(micGroups()->getGroup(id, g));
        g.members = members;
        QCOMPARE(micGroups()->modifyGroup(g, ZnMicGroupListMgr::Modify), 0);
    }
    Json::Value lastSent() { return lastBody(s, "POST CallService"); }

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
            // Statuses 0 to 4, then two the unit never has.
            d.table("tts71").clear();
            int id = 40001;
            for (int status : {0, 1, 2, 3, 4, 5, -1})
                d.table("tts71").push_back(terminalRow(id++, "T", status, "TTS71"));
            auto cap = [](int id, int status, const char *rate) {
                Json::Value r = terminalRow(id, "C", status, "CAP");
                r["capSamplerate"] = rate;
                return r;
            };
            d.table("capd73") = {cap(5, 2, "44100"), cap(20001, 1, "24000"), cap(20002, 1, "24000")};
        });
        QVERIFY(startModels(s));
        ZnSsTaskDataMgr::instance();
        QVERIFY(signalled(ZnMicListMgr::instance(), &ZnMicListMgr::gotMicList,
                          [] { ZnMicListMgr::instance()->requestMicList(); }));
        alarmPage.reset(new ZnFAlarmInfoForm);
        tts.reset(new ZnTtsInfoForm);
        caps.reset(new ZnCapInfoForm);
        caps->show();
        groupPage.reset(new ZnMicGroupInfoForm);
        groupPage->show();
        QTRY_COMPARE(alarms()->rowCount(), 2);
        QTRY_COMPARE(caps->tableWidget()->rowCount(), 3);
        QTRY_COMPARE(tts->tableWidget()->rowCount(), 7);
        QTRY_COMPARE(idsOf(groups()), QStringLiteral("2 1"));
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
        QCOMPARE(alarms()->item(0, 2)->text(), shown);
        QCOMPARE(red(alarms()->item(0, 2)), isRed);
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
                  [&] { doubleClickRow(alarms(), 30001); });
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
        QCOMPARE(alarms()->item(0, 2)->text(), QStringLiteral("消防报警"));
        QVERIFY(red(alarms()->item(0, 2)));
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

    // A status the unit never has reads as off line, a rate other than the
    // three as the plain one.
    void texts()
    {
        QStringList states;
        for (int id = 40001; id <= 40007; ++id)
            states << rowText(tts->tableWidget(), id).section(QLatin1Char('|'), 2, 2);
        QCOMPARE(states.join(QLatin1Char('/')),
                 QStringLiteral("Off Line/Idle/Begin Work/Working/End Work/Off Line/Off Line"));
        QCOMPARE(rowText(caps->tableWidget(), 5).section(QLatin1Char('|'), 3, 3), QStringLiteral("General"));
        QCOMPARE(rowText(caps->tableWidget(), 20002).section(QLatin1Char('|'), 3, 3), QStringLiteral("Medium "));
    }

    // What the dialog shows of a unit and what OK sends back: a unit on air
    // keeps its own rate, whatever it is.
    void capEdit_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("checked"); // the rate button checked on opening
        QTest::addColumn<bool>("ratesEnabled");
        QTest::addColumn<QString>("choose"); // the button clicked, or none
        QTest::addColumn<QString>("sentRate");
        QTest::newRow("own rate kept") << 5 << QString() << false << QString() << "44100";
        QTest::newRow("medium to high") << 20002 << "fMediumQualityRBtn" << true << "fHighQualityRBtn"
                                        << "32000";
    }
    void capEdit()
    {
        QFETCH(int, id);
        QFETCH(QString, checked);
        QFETCH(bool, ratesEnabled);
        QFETCH(QString, choose);
        QFETCH(QString, sentRate);
        QString on;
        QVector<bool> enabled;
        answering({[&](QWidget *w) {
                      auto &ui = qobject_cast<ZnSetCapDialog *>(w)->form();
                      for (QRadioButton *b : {ui.fNormalQualityRBtn, ui.fMediumQualityRBtn, ui.fHighQualityRBtn}) {
                          if (b->isChecked())
                              on = b->objectName();
                          enabled << b->isEnabled();
                      }
                      ui.fCapVolSpinBox->setValue(55);
                      if (!choose.isEmpty())
                          w->findChild<QRadioButton *>(choose)->click();
                      ui.fOkBtn->click();
                  }},
                  [&] { doubleClickRow(caps->tableWidget(), id); });
        QCOMPARE(on, checked);
        QCOMPARE(enabled, QVector<bool>(3, ratesEnabled));
        const Json::Value body = lastBody(s, "POST CapD73Set");
        QCOMPARE(QString::fromStdString(body["CapSamplerate"].asString()), sentRate);
        QCOMPARE(body["CapVol"].asString(), std::string("55"));
        QCOMPARE(rowText(caps->tableWidget(), id).section(QLatin1Char('|'), 2, 2), QStringLiteral("55"));
    }

    // The attribute button follows the current row: only base ids have it.
    void capAttributesOnlyForBaseIds()
    {
        QTableWidget *t = caps->tableWidget();
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        for (int id : {20002, 5, 20002}) {
            t->setCurrentCell(rowOfId(t, id), 0);
            QCOMPARE(caps->form().fEditBtn->isEnabled(), id == 5);
        }
    }

    // Members in the reverse of their stored order; a change to the current group
    // redraws them, a deletion clears them.
    void membersFollowTheCurrentGroup()
    {
        QTableWidget *members = groupPage->form().fTermTableWidget;
        setCurrent(1);
        QCOMPARE(idsOf(members), QStringLiteral("70002 70001"));
        setMembers(1, {70002});
        QCOMPARE(idsOf(members), QStringLiteral("70002"));
        QVERIFY(signalled(micGroups(), &ZnMicGroupListMgr::groupDeleted, [&] { s.sim.pushDelete("MicGroup", 1); }));
        QTRY_COMPARE(members->rowCount(), 0);
        QCOMPARE(idsOf(groups()), QStringLiteral("2"));
    }

    // Members the console list lacks are kept in their order; only unchecked ones are dropped.
    void savedMembers_data()
    {
        QTest::addColumn<std::vector<int>>("stored");
        QTest::addColumn<QList<int>>("toggled");
        QTest::addColumn<QString>("sent");
        QTest::newRow("unknown member kept") << std::vector<int>{99999, 70001} << QList<int>{} << "99999 70001";
        QTest::newRow("unchecked one dropped, unknown kept")
            << std::vector<int>{99999, 70001} << QList<int>{70001} << "99999";
        QTest::newRow("checked one appended") << std::vector<int>{70001} << QList<int>{70002} << "70001 70002";
    }
    void savedMembers()
    {
        QFETCH(std::vector<int>, stored);
        QFETCH(QList<int>, toggled);
        QFETCH(QString, sent);
        setMembers(2, stored);
        setCurrent(2);
        const QStringList seen =
            answering({[&](QWidget *dialog) {
                          auto *t = dialog->findChild<QTableWidget *>(QStringLiteral("fMicTableWidget"));
                          for (int id : toggled) {
                              QTableWidgetItem *item = t->item(rowOfId(t, id), 0);
                              item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
                          }
                          ModalChain::click(QStringLiteral("fOkBtn"))(dialog);
                      }},
                      [&] { groupPage->form().fEditBtn->click(); });
        QCOMPARE(seen.size(), 1);
        QCOMPARE(QString::fromStdString(lastSent()["Dsk81Id"].asString()), sent);
        QCOMPARE(lastSent()["Id"].asString(), std::string("2"));
    }

    // Cancelled: nothing sent. Accepted: an id above the largest held, and the new
    // group's row on top.
    void addDrawsANewId()
    {
        const int posts = s.sim.count("POST CallService");
        answering({ModalChain::click(QStringLiteral("fCancelBtn"))}, [&] { groupPage->form().fNewBtn->click(); });
        QCOMPARE(s.sim.count("POST CallService"), posts);
        const int largest = micGroups()->maxGroupId();
        answering({ModalChain::type(QStringLiteral("fNameEdit"), QStringLiteral("Lobby"), QStringLiteral("fOkBtn"))},
                  [&] { groupPage->form().fNewBtn->click(); });
        const int id = std::atoi(lastSent()["Id"].asString().c_str());
        QVERIFY2(id > largest && id <= largest + 10, qPrintable(QString::number(id)));
        QCOMPARE(rowsOf(groups()).section(QLatin1Char(' '), 0, 0), QString::number(id) + QStringLiteral(":Lobby"));
    }
};

QTEST_MAIN(TstUnitPages)
#include "tst_unitpages.moc"
