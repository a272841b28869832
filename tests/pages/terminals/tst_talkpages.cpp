#include "PageSim.h"
#include "ZnD72InfoForm.h"
#include "ZnD72ListMgr.h"
#include "ZnD72SettingDialog.h"
#include "ZnD74InfoForm.h"
#include "ZnD74ListMgr.h"
#include "ZnD74SettingDialog.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"
#include "ZnTalkSetting.h"

#include <QtTest>

namespace {

// A D72 dialog edited: the name typed (the key calls of the box with its left
// key set to 70001), the request refused, and what reached the server.
struct D72Case
{
    const char *tag;
    int id;
    const char *name;
    bool callBox;
    const char *refuse;
    int modifies;                // requests the server got, refused ones included
    const char *calls, *message; // "key:microphone/group ... alarm:text" sent, the message shown
};
const D72Case kD72Cases[] = {
    {"box unchecked: name and volumes only", 50001, "Gate 2", false, "", 1, "", ""},
    {"box checked: its own calls once", 50001, "Gate", true, "", 1,
     "ButtonPopUp:0/5 AlarmShortPress:70001/0 Alarm2ShortPress:0/0 alarm:BackupShortPress BackupLongPress", ""},
    {"unknown group sent as none", 50002, "Yard", true, "", 1,
     "ButtonPopUp:0/0 AlarmShortPress:70001/0 Alarm2ShortPress:0/0 alarm: ", ""},
    {"refused modify: no calls", 50001, "Gate", true, "POST ModTalkTerminal", 1, "", "Setting Error!"},
    {"refused calls", 50001, "Gate", true, "POST D72ButtonCall", 1, "", "Button Call Config Setting Error!"},
    {"empty name: stays open", 50001, "", true, "", 0, "", "The name cannot be empty!"},
};

// A D74 dialog edited: the ring volume, the LED text typed, the call box.
struct D74Case
{
    const char *tag;
    int id;
    const char *ledText;
    bool callBox;
    const char *refuse, *led, *callSent, *message; // led: colour/mode/time/text; callSent: microphone/group
};
const D74Case kD74Cases[] = {
    {"normalised LED sent", 60001, "", false, "", "28/2/1/", "", ""},
    {"its own call sent back", 60001, "", true, "", "", "70002/0", ""},
    {"volume only: no LED", 60002, "", false, "", "", "", ""},
    {"LED text", 60002, "Hello", false, "", "0/3/5/Hello", "", ""},
    {"call box, nothing chosen", 60002, "", true, "", "", "0/0", ""},
    {"refused modify: nothing more", 60001, "Hi", true, "POST ModTalkTerminal", "", "", "Setting Error!"},
    {"refused call: no LED", 60002, "Hi", true, "POST D74ButtonCall", "", "", "Button Call Config Setting Error!"},
};

} // namespace

Q_DECLARE_METATYPE(const D72Case *)
Q_DECLARE_METATYPE(const D74Case *)

// The call and emergency microphone pages' own columns, their setting dialogs'
// key calls and LED, and the emergency volume against the simulated server.
class TstTalkPages : public QObject
{
    Q_OBJECT

    SimSession s;
    std::unique_ptr<ZnD72InfoForm> d72;
    std::unique_ptr<ZnD74InfoForm> d74;

    int posts(const char *type) { return s.sim.count(std::string("POST ") + type); }
    Json::Value lastPost(const std::string &type) { return lastBody(s, "POST " + type); }
    // Opens the row's dialog, runs act on it and answers one box after it;
    // returns the texts of the boxes shown after the dialog.
    QStringList edit(ZnTerListPage *page, int id, const ModalChain::Action &act)
    {
        const QStringList seen =
            answering({act, ModalChain::confirm()}, [&] { doubleClickRow(page->tableWidget(), id); });
        return seen.mid(1);
    }

private slots:
    void initTestCase()
    {
        s.sim.setPushChanges(true);
        s.sim.withData([](ZnSimData &d) {
            auto mic = [](int id, const char *name, int status) { return terminalRow(id, name, status, "2"); };
            d.table("dsk72") = {mic(50001, "Gate", 1), mic(50002, "Yard", 7), mic(50003, "Old", 8)};
            d.table("dsk74") = {mic(60001, "Lobby", 1), mic(60002, "Hall", 1)};
            for (const char *f : {"ledColor", "switchMode", "displayTime"})
                d.table("dsk74")[0][f] = "0";
            d.table("dsk74")[0]["ledColor"] = "28";
            d.table("dsk74")[1]["switchMode"] = "3";
            d.table("dsk74")[1]["ledColor"] = "0";
            d.table("dsk81") = {terminalRow(70001, "Desk", 1, "3"), terminalRow(70002, "Tower", 1, "3")};
            d.table("callservergroup") = {record({{"groupId", "5"}, {"name", "Front"}})};
            auto call = [](const char *id, const char *start, const char *dsk81, const char *group) {
                return record({{"terminalId", id},
                               {"startCall", start},
                               {"stopCall", "x"},
                               {"dsk81Id", dsk81},
                               {"groupId", group}});
            };
            d.table("d72buttoncall") = {
                call("50001", "ButtonPopUp", "0", "5"), call("50001", "BackupShortPress", "0", "0"),
                call("50002", "AlarmShortPress", "70002", "0"), call("50002", "Alarm2ShortPress", "0", "99")};
            d.table("d74buttoncall") = {call("60001", "ButtonPushDown", "70002", "0")};
        });
        QVERIFY(startModels(s));
        QCOMPARE(ZnMicListMgr::instance()->requestMicList(), 0);
        QTRY_COMPARE(int(ZnMicGroupListMgr::instance()->groupList().size()), 1);
        d72.reset(new ZnD72InfoForm);
        d74.reset(new ZnD74InfoForm);
        d72->show();
        d74->show();
        QTRY_COMPARE(d72->tableWidget()->rowCount(), 3);
        QTRY_COMPARE(d74->tableWidget()->rowCount(), 2);
    }
    void init() { s.sim.clearRules(); }

    // A pushed change redraws name and status; the code and flag columns stay as inserted.
    void redrawKeepsInsertedColumns()
    {
        QVERIFY(signalled(ZnD72ListMgr::instance(), &ZnD72ListMgr::d72Changed, [&] {
            s.sim.pushPost("SqlConfig", "dsk72",
                           R"([{"terminalId":"50003","name":"Renamed","status":"7","aec":"1","ppt":"1"}])");
        }));
        QCOMPARE(rowText(d72->tableWidget(), 50003).section(QLatin1Char('|'), 0, 4),
                 QStringLiteral("Renamed|50003|No|No|EmergencyBroadcast"));
    }

    // Each dialog reads and sends only its own console's calls, once per OK, in
    // the order middle, left, right, alarm; a stored group the list lacks is sent
    // back as none, an alarm left off as a blank. Nothing is sent with the box
    // unchecked or the modify refused.
    void d72Edit_data() { addCases(kD72Cases); }
    void d72Edit()
    {
        QFETCH(const D72Case *, c);
        const int id = c->id;
        const QString name = QString::fromLatin1(c->name), refuse = QString::fromLatin1(c->refuse);
        const QString calls = QString::fromLatin1(c->calls), message = QString::fromLatin1(c->message);
        if (!refuse.isEmpty())
            s.sim.addRule(ZnSimRule::make(refuse.toStdString(), ZnSimRule::Fail, "refused"));
        const int modified = posts("ModTalkTerminal"), called = posts("D72ButtonCall");
        QStringList inside; // the message inside the dialog's OK
        QStringList shown = edit(d72.get(), id, [&](QWidget *w) {
            Ui::fMicSettingForm &ui = qobject_cast<ZnD72SettingDialog *>(w)->form();
            ui.fNameEdit->setText(name);
            ui.fTalkSpinBox->setValue(33);
            ui.fCallConfigGroupBox->setChecked(c->callBox);
            ui.fRedLeftMicCb->setChecked(true);
            QVERIFY(ZnTalkSetting::selectId(ui.fRedLeftMicCombo, 70001));
            if (!name.isEmpty()) {
                ui.fOkBtn->click();
            } else {
                // The message comes inside the dialog's OK; the dialog stays open for another name.
                inside = answering({ModalChain::confirm()}, [&] { ui.fOkBtn->click(); });
                ui.fCancelBtn->click();
            }
        });
        shown += inside;
        QCOMPARE(shown.join(QLatin1Char(' ')).contains(message), true);
        QCOMPARE(shown.isEmpty(), message.isEmpty());
        QCOMPARE(posts("ModTalkTerminal") - modified, c->modifies);
        // A refused request reached the server too.
        QCOMPARE(posts("D72ButtonCall") - called, calls.isEmpty() && !refuse.contains(QLatin1String("Call")) ? 0 : 1);
        if (c->modifies)
            QCOMPARE(lastPost("ModTalkTerminal")["CallVol"].asString(), std::string("33"));
        if (calls.isEmpty())
            return;
        const Json::Value sent = lastPost("D72ButtonCall");
        QStringList out;
        for (const Json::Value &b : sent["ButtonCalls"])
            out << QString::fromStdString(b["StartCall"].asString() + ":" + b["Dsk81"].asString() + "/"
                                          + b["CallServiceGroup"].asString());
        out << QStringLiteral("alarm:") + QString::fromStdString(sent["AlarmCall"].asString());
        QCOMPARE(out.join(QLatin1Char(' ')), calls);
        QCOMPARE(sent["Id"].asString(), std::to_string(id));
    }

    // The LED is sent only when changed (a stored mode below 2 or time 0 counts
    // as changed: shown and written as 2 and 1); the dialog's own call is sent
    // back with the box checked; a refusal stops what would follow it.
    void d74Edit_data() { addCases(kD74Cases); }
    void d74Edit()
    {
        QFETCH(const D74Case *, c);
        const QString ledText = QString::fromLatin1(c->ledText), refuse = QString::fromLatin1(c->refuse);
        const QString led = QString::fromLatin1(c->led), callSent = QString::fromLatin1(c->callSent);
        const QString message = QString::fromLatin1(c->message);
        if (!refuse.isEmpty())
            s.sim.addRule(ZnSimRule::make(refuse.toStdString(), ZnSimRule::Fail, "refused"));
        const int modified = posts("ModTalkTerminal"), leds = posts("ModD74Led"), called = posts("D74ButtonCall");
        const QStringList shown = edit(d74.get(), c->id, [&](QWidget *w) {
            Ui::fD74SettingForm &ui = qobject_cast<ZnD74SettingDialog *>(w)->form();
            ui.fRingSpinBox->setValue(12);
            if (!ledText.isEmpty())
                ui.fDispTextLineEdit->setText(ledText);
            ui.fCallConfigGroupBox->setChecked(c->callBox);
            ui.fOkBtn->click();
        });
        QCOMPARE(shown.join(QLatin1Char(' ')).contains(message), true);
        QCOMPARE(shown.isEmpty(), message.isEmpty());
        QCOMPARE(posts("ModTalkTerminal") - modified, 1);
        QCOMPARE(posts("ModD74Led") - leds, led.isEmpty() ? 0 : 1);
        QCOMPARE(posts("D74ButtonCall") - called,
                 callSent.isEmpty() && !refuse.contains(QLatin1String("Call")) ? 0 : 1);
        if (!led.isEmpty()) {
            const Json::Value b = lastPost("ModD74Led");
            QCOMPARE(QString::fromStdString(b["LedColor"].asString() + "/" + b["SwitchMode"].asString() + "/"
                                            + b["DisplayTime"].asString() + "/" + b["LedTxt"].asString()),
                     led);
        }
        if (!callSent.isEmpty()) {
            const Json::Value b = lastPost("D74ButtonCall");
            QCOMPARE(QString::fromStdString(b["Dsk81"].asString() + "/" + b["CallServiceGroup"].asString()), callSent);
            QCOMPARE(b["StartCall"].asString(), std::string("ButtonPushDown"));
        }
    }

    // A click on the volume cell shows it on the slider; releasing the slider
    // sends its value to the selected terminal; a refusal leaves the cell and
    // tells the operator.
    void d74VolumeOfSelectedRow()
    {
        QTableWidget *t = d74->tableWidget();
        const int row = rowOfId(t, 60002);
        t->selectRow(row);
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->item(row, 3)).center());
        QCOMPARE(QString::number(d74->form().fVolumeSlider->value()), t->item(row, 3)->text());
        QSlider *slider = d74->form().fVolumeSlider;
        const int sets = posts("IpAmpSet");
        slider->setValue(64);
        QTest::mouseRelease(slider, Qt::LeftButton);
        QCOMPARE(posts("IpAmpSet") - sets, 1);
        QCOMPARE(lastPost("IpAmpSet")["BroVol"].asString(), std::string("64"));
        QCOMPARE(t->item(rowOfId(t, 60002), 3)->text(), QStringLiteral("64"));
        s.sim.addRule(ZnSimRule::make("POST IpAmpSet", ZnSimRule::Fail, "refused"));
        slider->setValue(20);
        const QStringList seen =
            answering({ModalChain::confirm()}, [&] { QTest::mouseRelease(slider, Qt::LeftButton); });
        QVERIFY(seen.join(QLatin1Char(' ')).contains(QStringLiteral("Setting Error!")));
        QCOMPARE(t->item(rowOfId(t, 60002), 3)->text(), QStringLiteral("64"));
    }
};

QTEST_MAIN(TstTalkPages)
#include "tst_talkpages.moc"
