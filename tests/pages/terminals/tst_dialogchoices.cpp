#include "PageSim.h"
#include "ZnCapInfoForm.h"
#include "ZnCapListMgr.h"
#include "ZnD72InfoForm.h"
#include "ZnD72ListMgr.h"
#include "ZnD74InfoForm.h"
#include "ZnD74ListMgr.h"
#include "ZnD81SettingDialog.h"
#include "ZnD82ListMgr.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmSettingDialog.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnSetTCPForm.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTerDefaultSetCtr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QtTest>

namespace {

// One option of a dialog chosen and OK pressed. box: the check box, radio
// button or push button clicked; list: the list whose entry named option is
// picked (or the table row clicked); stored: the record's value before, so the
// option is a change; sent: what the server gets, "request[ path]; key=value;
// ...", the path leading into the body's arrays.
struct Choice
{
    const char *tag;
    int stored;
    const char *box, *list, *option, *sent;
};

// Each key calls a group or a server microphone (a D82 console is one too);
// the key's event names tell the server which key it is. The alarm input
// raises its call when on and sends a blank when off.
const Choice kD72[] = {
    {"middle key: group Front", 0, "fBlueGroupCheckBox", "fBlueGroupComboBox", "Front",
     "D72ButtonCall ButtonCalls/0; StartCall=ButtonPopUp; StopCall=ButtonLongPress; Dsk81=0; CallServiceGroup=1"},
    {"middle key: group Night", 0, "fBlueGroupCheckBox", "fBlueGroupComboBox", "Night",
     "D72ButtonCall ButtonCalls/0; StartCall=ButtonPopUp; StopCall=ButtonLongPress; Dsk81=0; CallServiceGroup=2"},
    {"middle key: microphone Desk", 0, "fBlueMicCheckBox", "fBlueMicComboBox", "Desk",
     "D72ButtonCall ButtonCalls/0; StartCall=ButtonPopUp; StopCall=ButtonLongPress; Dsk81=70001; CallServiceGroup=0"},
    {"middle key: microphone Tower", 0, "fBlueMicCheckBox", "fBlueMicComboBox", "Tower",
     "D72ButtonCall ButtonCalls/0; StartCall=ButtonPopUp; StopCall=ButtonLongPress; Dsk81=70002; CallServiceGroup=0"},
    {"middle key: D82 Phone", 0, "fBlueMicCheckBox", "fBlueMicComboBox", "Phone",
     "D72ButtonCall ButtonCalls/0; StartCall=ButtonPopUp; StopCall=ButtonLongPress; Dsk81=80001; CallServiceGroup=0"},
    {"left key: group Front", 0, "fRedLeftGroupCBox", "fRedLeftGroupCombo", "Front",
     "D72ButtonCall ButtonCalls/1; StartCall=AlarmShortPress; StopCall=AlarmLongPress; Dsk81=0; CallServiceGroup=1"},
    {"left key: group Night", 0, "fRedLeftGroupCBox", "fRedLeftGroupCombo", "Night",
     "D72ButtonCall ButtonCalls/1; StartCall=AlarmShortPress; StopCall=AlarmLongPress; Dsk81=0; CallServiceGroup=2"},
    {"left key: microphone Desk", 0, "fRedLeftMicCb", "fRedLeftMicCombo", "Desk",
     "D72ButtonCall ButtonCalls/1; StartCall=AlarmShortPress; StopCall=AlarmLongPress; Dsk81=70001; "
     "CallServiceGroup=0"},
    {"left key: microphone Tower", 0, "fRedLeftMicCb", "fRedLeftMicCombo", "Tower",
     "D72ButtonCall ButtonCalls/1; StartCall=AlarmShortPress; StopCall=AlarmLongPress; Dsk81=70002; "
     "CallServiceGroup=0"},
    {"left key: D82 Phone", 0, "fRedLeftMicCb", "fRedLeftMicCombo", "Phone",
     "D72ButtonCall ButtonCalls/1; StartCall=AlarmShortPress; StopCall=AlarmLongPress; Dsk81=80001; "
     "CallServiceGroup=0"},
    {"right key: group Front", 0, "fRedRightGroupCBox", "fRedRightGroupCombo", "Front",
     "D72ButtonCall ButtonCalls/2; StartCall=Alarm2ShortPress; StopCall=Alarm2LongPress; Dsk81=0; CallServiceGroup=1"},
    {"right key: group Night", 0, "fRedRightGroupCBox", "fRedRightGroupCombo", "Night",
     "D72ButtonCall ButtonCalls/2; StartCall=Alarm2ShortPress; StopCall=Alarm2LongPress; Dsk81=0; CallServiceGroup=2"},
    {"right key: microphone Desk", 0, "fRedRightMicCb", "fRedRightMicCombo", "Desk",
     "D72ButtonCall ButtonCalls/2; StartCall=Alarm2ShortPress; StopCall=Alarm2LongPress; Dsk81=70001; "
     "CallServiceGroup=0"},
    {"right key: microphone Tower", 0, "fRedRightMicCb", "fRedRightMicCombo", "Tower",
     "D72ButtonCall ButtonCalls/2; StartCall=Alarm2ShortPress; StopCall=Alarm2LongPress; Dsk81=70002; "
     "CallServiceGroup=0"},
    {"right key: D82 Phone", 0, "fRedRightMicCb", "fRedRightMicCombo", "Phone",
     "D72ButtonCall ButtonCalls/2; StartCall=Alarm2ShortPress; StopCall=Alarm2LongPress; Dsk81=80001; "
     "CallServiceGroup=0"},
    {"alarm on", 0, "fOpenAlarmRadioButton", "", "", "D72ButtonCall; AlarmCall=BackupShortPress BackupLongPress"},
    {"alarm off", 0, "fCloseAlarmradioButton", "", "", "D72ButtonCall; AlarmCall= "},
};

// The key calls a group or a server microphone (no D82 console); the display's
// move modes and colours. The record stores mode 0 and colour 0, so each is a
// change; mode 0 goes out as 2, the left move it shows.
const Choice kD74[] = {
    {"key: group Front", 0, "fBlueGroupCheckBox", "fBlueGroupComboBox", "Front",
     "D74ButtonCall; StartCall=ButtonPushDown; StopCall=ButtonLongPress; Dsk81=0; CallServiceGroup=1"},
    {"key: group Night", 0, "fBlueGroupCheckBox", "fBlueGroupComboBox", "Night",
     "D74ButtonCall; StartCall=ButtonPushDown; StopCall=ButtonLongPress; Dsk81=0; CallServiceGroup=2"},
    {"key: microphone Desk", 0, "fBlueMicCheckBox", "fBlueMicComboBox", "Desk",
     "D74ButtonCall; StartCall=ButtonPushDown; StopCall=ButtonLongPress; Dsk81=70001; CallServiceGroup=0"},
    {"key: microphone Tower", 0, "fBlueMicCheckBox", "fBlueMicComboBox", "Tower",
     "D74ButtonCall; StartCall=ButtonPushDown; StopCall=ButtonLongPress; Dsk81=70002; CallServiceGroup=0"},
    {"move left", 0, "", "fMoveComboBox", "Left Move", "ModD74Led; SwitchMode=2; LedColor=0"},
    {"move right", 0, "", "fMoveComboBox", "Right Move", "ModD74Led; SwitchMode=3; LedColor=0"},
    {"move up", 0, "", "fMoveComboBox", "Up Move", "ModD74Led; SwitchMode=4; LedColor=0"},
    {"move down", 0, "", "fMoveComboBox", "Down Move", "ModD74Led; SwitchMode=5; LedColor=0"},
    {"red", 0, "fRedColorCheckBox", "", "", "ModD74Led; LedColor=224; SwitchMode=2"},
    {"green", 0, "fGreenColorCheckBox", "", "", "ModD74Led; LedColor=28; SwitchMode=2"},
    {"yellow", 0, "fYellowColorCheckBox", "", "", "ModD74Led; LedColor=252; SwitchMode=2"},
};

// Push-to-talk, from the other mode.
const Choice kDsk81[] = {
    {"push-to-talk no", 1, "", "fPTTcomboBox", "否", "ModTalkTerminal; PttMode=0"},
    {"push-to-talk yes", 0, "", "fPTTcomboBox", "是", "ModTalkTerminal; PttMode=1"},
};

// Sample rates, from a rate none of the buttons shows.
const Choice kCapture[] = {
    {"normal", 22050, "fNormalQualityRBtn", "", "", "CapD73Set; CapSamplerate=16000"},
    {"medium", 22050, "fMediumQualityRBtn", "", "", "CapD73Set; CapSamplerate=24000"},
    {"high", 22050, "fHighQualityRBtn", "", "", "CapD73Set; CapSamplerate=32000"},
};

// Trigger types, from the other type; then the task of channel 1 from the
// manual tasks, stored: the channel's task before.
const Choice kFireAlarm[] = {
    {"normal trigger", 2, "fNormalCb", "", "", "SetFRName; TriggerType=1"},
    {"fire trigger", 1, "fEmergencyCb", "", "", "SetFRName; TriggerType=2"},
    {"channel: task Drill", 0, "", "fChannelTb", "Drill", "SetFRTrigger; Channel=1; SourceId=21"},
    {"channel: task Evacuate", 0, "", "fChannelTb", "Evacuate", "SetFRTrigger; Channel=1; SourceId=22"},
    {"channel: its task clicked off", 21, "", "fChannelTb", "Drill", "SetFRTrigger; Channel=1; SourceId=0"},
};

// Ring rules, from a rule none of them is.
const Choice kGroup[] = {
    {"all ring", 0, "", "ruleComboBox", "All Ring", "CallService; CallWaitRule=1"},
    {"ring least first", 0, "", "ruleComboBox", "Ring Least First", "CallService; CallWaitRule=2"},
    {"answer least first", 0, "", "ruleComboBox", "Answer Least First", "CallService; CallWaitRule=3"},
    {"talk least first", 0, "", "ruleComboBox", "Talk Least First", "CallService; CallWaitRule=4"},
    {"fixed order", 0, "", "ruleComboBox", "Fixed Order", "CallService; CallWaitRule=5"},
};

// The firewall and default-setting dialogs' choices for player 10, from
// the other value. The request they go out in carries no body, so what is
// read is the record the page hands on: "list" names the dialog.
const Choice kPlayer[] = {
    {"firewall: all yes", 0, "fTcpBtn", "firewall", "", "viaFirewall=1"},
    {"firewall: all no", 1, "fUdpBtn", "firewall", "", "viaFirewall=0"},
    {"firewall: its box", 0, "row box", "firewall", "", "viaFirewall=1"},
    {"default: power on", 0, "fOpenAmpBtn", "default", "", "defaultPower=1"},
    {"default: power off", 1, "fCloseAmpBtn", "default", "", "defaultPower=0"},
    {"default: its box", 0, "row box", "default", "", "isDefault=1"},
};

} // namespace

Q_DECLARE_METATYPE(const Choice *)

// Every option of the choice boxes, radio groups and colour choices of the
// terminal edit dialogs, chosen in the real dialog and sent on OK: what the
// server gets for each.
class TstDialogChoices : public QObject
{
    Q_OBJECT

    SimSession s;
    std::unique_ptr<ZnD72InfoForm> d72;
    std::unique_ptr<ZnD74InfoForm> d74;
    std::unique_ptr<ZnCapInfoForm> caps;
    std::unique_ptr<ZnMicGroupInfoForm> groups;

    // Clicks the row's box and picks its option, as the operator does.
    static void choose(QWidget *dialog, const Choice &c)
    {
        if (*c.box) {
            auto *button = dialog->findChild<QAbstractButton *>(QLatin1String(c.box));
            QVERIFY2(button, c.box);
            button->click();
        }
        if (auto *list = dialog->findChild<QComboBox *>(QLatin1String(c.list))) {
            const int at = list->findText(QString::fromUtf8(c.option));
            QVERIFY2(at >= 0, c.option);
            list->setCurrentIndex(at);
            emit list->activated(at);
        } else if (auto *table = dialog->findChild<QTableWidget *>(QLatin1String(c.list))) {
            const QList<QTableWidgetItem *> found = table->findItems(QString::fromUtf8(c.option), Qt::MatchExactly);
            QVERIFY2(!found.isEmpty(), c.option);
            emit table->itemClicked(table->item(found.first()->row(), 0));
        }
    }
    // Runs act, which opens the dialog and presses OK; returns the request
    // named by sent as "request[ path]; key=value; ..." with the keys of sent,
    // or what went wrong.
    QString sentFor(const Choice &c, const std::function<void()> &act)
    {
        const QStringList parts = QString::fromUtf8(c.sent).split(QStringLiteral("; "));
        const QString label = QStringLiteral("POST ") + parts.first().section(QLatin1Char(' '), 0, 0);
        const QStringList path = parts.first().section(QLatin1Char(' '), 1).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        const size_t before = s.requests(label.toStdString()).size();
        act();
        if (s.requests(label.toStdString()).size() != before + 1)
            return QStringLiteral("not one %1 but %2").arg(label).arg(s.requests(label.toStdString()).size() - before);
        Json::Value node = lastBody(s, label.toStdString());
        for (const QString &step : path)
            node = node.isArray() ? node[step.toUInt()] : node[step.toStdString()];
        QStringList out{parts.first()};
        for (int i = 1; i < parts.size(); ++i) {
            const QString key = parts.at(i).section(QLatin1Char('='), 0, 0);
            out << key + QLatin1Char('=') + QString::fromStdString(node[key.toStdString()].asString());
        }
        return out.join(QStringLiteral("; "));
    }
    // Opens the dialog of the page's row, chooses and presses OK.
    QString throughPage(QTableWidget *table, int id, const Choice &c, const std::function<void(QWidget *)> &before)
    {
        return sentFor(c, [&] {
            answering({[&](QWidget *w) {
                          before(w);
                          choose(w, c);
                          ModalChain::click(QStringLiteral("fOkBtn"))(w);
                      }},
                      [&] { doubleClickRow(table, id); });
        });
    }
    static void checkCallBox(QWidget *w)
    {
        w->findChild<QGroupBox *>(QStringLiteral("fCallConfigGroupBox"))->setChecked(true);
    }

    // Gives the server the interface with that trigger type and channel 1 linked
    // to that task, and waits until the model holds it.
    bool serveAlarm(int type, int task)
    {
        s.sim.withData([&](ZnSimData &d) {
            d.table("firealarm") = {terminalRow(30001, "FA", 1, "FR")};
            d.table("firealarm")[0]["triggerType"] = std::to_string(type);
            d.table("firealarm")[0]["shortCircuit"] = "0";
            d.table("firealarm")[0]["broadcast"] = "Door#$%" + std::to_string(task);
        });
        ZnFAlarmListMgr *m = ZnFAlarmListMgr::instance();
        return signalled(m, &ZnFAlarmListMgr::gotFAlarmList, [m] { m->registerAndWait(); });
    }

private slots:
    void initTestCase()
    {
        ZnModalGuard::install();
        s.sim.setPushChanges(true);
        s.sim.withData([](ZnSimData &d) {
            auto task = [](const char *id, const char *name) {
                return record(
                    {{"sourceId", id}, {"name", name}, {"sourceCategory", "2"}, {"sourceType", "1"}, {"status", "2"}});
            };
            d.table("soundsource") = {task("21", "Drill"), task("22", "Evacuate")};
            d.table("dsk72") = {terminalRow(50001, "Gate", 1, "2")};
            d.table("dsk74") = {terminalRow(60001, "Lobby", 1, "4")};
            d.table("dsk81") = {terminalRow(70001, "Desk", 1, "3"), terminalRow(70002, "Tower", 1, "3")};
            d.table("d82") = {terminalRow(80001, "Phone", 1, "8")};
            auto group = [](const char *id, const char *name) {
                return record({{"groupId", id},
                               {"name", name},
                               {"callWaitRule", "1"},
                               {"ringTime", "60"},
                               {"terminalId", "70001"}});
            };
            d.table("callservergroup") = {group("1", "Front"), group("2", "Night")};
            Json::Value cap = terminalRow(20001, "C", 1, "CAP");
            cap["capSamplerate"] = "22050";
            d.table("capd73") = {cap};
            // Base terminals: the default-setting dialog lists no other.
            d.table("ipamp") = {terminalRow(10, "P10", 1, "IP"), terminalRow(20, "P20", 1, "IP")};
        });
        QVERIFY(startModels(s));
        ZnSsTaskDataMgr::instance();
        QVERIFY(signalled(ZnMicListMgr::instance(), &ZnMicListMgr::gotMicList,
                          [] { ZnMicListMgr::instance()->requestMicList(); }));
        QVERIFY(signalled(ZnD82ListMgr::instance(), &ZnD82ListMgr::gotD82List,
                          [] { ZnD82ListMgr::instance()->requestD82List(); }));
        d72.reset(new ZnD72InfoForm);
        d74.reset(new ZnD74InfoForm);
        caps.reset(new ZnCapInfoForm);
        groups.reset(new ZnMicGroupInfoForm);
        for (QWidget *page : std::initializer_list<QWidget *>{d72.get(), d74.get(), caps.get(), groups.get()}) {
            page->resize(1000, 600);
            page->show();
        }
        QTRY_COMPARE(d72->tableWidget()->rowCount(), 1);
        QTRY_COMPARE(d74->tableWidget()->rowCount(), 1);
        QTRY_COMPARE(caps->tableWidget()->rowCount(), 1);
        QTRY_COMPARE(groups->tableWidget()->rowCount(), 2);
        QTRY_COMPARE(int(ZnSsTaskDataMgr::instance()->taskList().size()), 2);
    }
    // No key calls stored: each dialog opens with every key unset.
    void init()
    {
        s.sim.withData([](ZnSimData &d) {
            d.table("d72buttoncall").clear();
            d.table("d74buttoncall").clear();
        });
    }

    void d72Choices_data() { addCases(kD72); }
    void d72Choices()
    {
        QFETCH(const Choice *, c);
        QCOMPARE(throughPage(d72->tableWidget(), 50001, *c, checkCallBox), QString::fromUtf8(c->sent));
    }

    void d74Choices_data() { addCases(kD74); }
    void d74Choices()
    {
        QFETCH(const Choice *, c);
        ZnMic mic;
        QVERIFY(ZnD74ListMgr::instance()->findD74(60001, mic));
        mic.switchMode = 0, mic.ledColor = 0;
        QCOMPARE(ZnD74ListMgr::instance()->modifyD74(mic, ZnD74ListMgr::LedSettings), 0);
        QCOMPARE(throughPage(d74->tableWidget(), 60001, *c, checkCallBox), QString::fromUtf8(c->sent));
    }

    void dsk81Choices_data() { addCases(kDsk81); }
    void dsk81Choices()
    {
        QFETCH(const Choice *, c);
        ZnMic mic;
        QVERIFY(ZnMicListMgr::instance()->getMic(70001, mic));
        mic.pttMode = c->stored;
        QCOMPARE(ZnMicListMgr::instance()->modifyMic(mic), 0);
        const QString sent = sentFor(*c, [&] {
            ZnD81SettingDialog dialog(&mic);
            choose(&dialog, *c);
            dialog.form().fOkBtn->click();
        });
        QCOMPARE(sent, QString::fromUtf8(c->sent));
    }

    void captureChoices_data() { addCases(kCapture); }
    void captureChoices()
    {
        QFETCH(const Choice *, c);
        QCOMPARE(throughPage(caps->tableWidget(), 20001, *c, [](QWidget *) {}), QString::fromUtf8(c->sent));
    }

    void fireAlarmChoices_data() { addCases(kFireAlarm); }
    void fireAlarmChoices()
    {
        QFETCH(const Choice *, c);
        const bool channel = QLatin1String(c->list) == QLatin1String("fChannelTb");
        QVERIFY(serveAlarm(channel ? 1 : c->stored, channel ? c->stored : 0));
        ZnFAlarm alarm;
        QVERIFY(ZnFAlarmListMgr::instance()->findFAlarm(30001, alarm));
        const QString sent = sentFor(*c, [&] {
            ZnFAlarmSettingDialog dialog(&alarm);
            if (!channel) {
                choose(&dialog, *c);
                return dialog.form().fOkBtn->click();
            }
            dialog.form().fChannelTb->setCurrentCell(0, 0);
            answering({[&](QWidget *w) {
                          choose(w, *c);
                          ModalChain::click(QStringLiteral("fOkBtn"))(w);
                      }},
                      [&] { dialog.form().fEditChannelBtn->click(); });
        });
        QCOMPARE(sent, QString::fromUtf8(c->sent));
    }

    void groupChoices_data() { addCases(kGroup); }
    void groupChoices()
    {
        QFETCH(const Choice *, c);
        ZnMicGroup g;
        QVERIFY(ZnMicGroupListMgr::instance()->getGroup(2, g));
        g.callWaitRule = c->stored;
        QCOMPARE(ZnMicGroupListMgr::instance()->modifyGroup(g, ZnMicGroupListMgr::Modify), 0);
        QTableWidget *t = groups->tableWidget();
        const QString sent = sentFor(*c, [&] {
            answering({[&](QWidget *w) {
                          choose(w, *c);
                          ModalChain::click(QStringLiteral("fOkBtn"))(w);
                      }},
                      [&] {
                          t->setCurrentCell(rowOfId(t, 2), 0);
                          groups->form().fEditBtn->click();
                      });
        });
        QCOMPARE(sent, QString::fromUtf8(c->sent));
    }

    void playerChoices_data() { addCases(kPlayer); }
    void playerChoices()
    {
        QFETCH(const Choice *, c);
        const bool firewall = QLatin1String(c->list) == QLatin1String("firewall");
        ZnPlayTermListMgr *players = ZnPlayTermListMgr::instance();
        if (!players->lockList())
            QVERIFY(signalled(players, &ZnPlayTermListMgr::gotPlayTermList, [&] { players->requestPlayTermList(); }));
        else
            players->unlockList();
        ZnTerminal t;
        QVERIFY(players->hasTerminal(10, t));
        t.viaFirewall = c->stored, t.defaultPower = c->stored != 0, t.isDefault = c->stored != 0;
        QCOMPARE(players->mergeList(t), 0);

        QList<ZnTerminal> results;
        const QString box = QLatin1String(c->box);
        if (firewall) {
            ZnSetTCPForm dialog(1);
            QTableWidget *table = dialog.form().fTableWidget;
            if (box == QLatin1String("row box"))
                qobject_cast<QCheckBox *>(table->cellWidget(rowOfId(table, 10), 2))->click();
            else
                dialog.findChild<QAbstractButton *>(box)->click();
            dialog.form().fOkBtn->click();
            results = dialog.results();
        } else {
            ZnTerDefaultSetCtr dialog;
            dialog.loadTable();
            QTableWidget *table = dialog.form().fTerTableWidget;
            table->setCurrentCell(rowOfId(table, 10), 0);
            if (box == QLatin1String("row box"))
                qobject_cast<QCheckBox *>(table->cellWidget(rowOfId(table, 10), 3))->click();
            else
                dialog.findChild<QAbstractButton *>(box)->click();
            dialog.form().fOkBtn->click();
            results = dialog.results();
        }
        QString got = QStringLiteral("no record");
        for (const ZnTerminal &r : results) {
            if (r.id != 10)
                continue;
            const QString key = QString::fromUtf8(c->sent).section(QLatin1Char('='), 0, 0);
            const int value = key == QLatin1String("viaFirewall")    ? r.viaFirewall
                              : key == QLatin1String("defaultPower") ? int(r.defaultPower)
                                                                     : int(r.isDefault);
            got = key + QLatin1Char('=') + QString::number(value);
        }
        QCOMPARE(got, QString::fromUtf8(c->sent));
    }
};

QTEST_MAIN(TstDialogChoices)
#include "tst_dialogchoices.moc"
