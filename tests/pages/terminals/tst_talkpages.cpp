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

#include <QSignalSpy>
#include <QtTest>

#include <map>

// The call and emergency microphone pages and their setting dialogs against the
// simulated server.
class TstTalkPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void redrawKeepsInsertedColumns();
    void d72Edit_data();
    void d72Edit();
    void d72ShowsOnlyItsOwnCalls();
    void d74Edit_data();
    void d74Edit();
    void d74ShowsOnlyItsOwnCall();
    void d74VolumeOfSelectedRow();

private:
    using Fields = std::map<std::string, std::string>;
    static Json::Value mic(int id, const std::string &name, int status, const Fields &more);
    static Json::Value call(int id, const char *start, int dsk81, int group);
    // Opens the row's dialog and runs act on it; returns the texts of the boxes shown afterwards.
    QStringList edit(ZnTerListPage *page, int id, const std::function<void(QWidget *)> &act);
    Json::Value lastPost(const std::string &type) { return lastBody(s, "POST " + type); }

    SimSession s;
    std::unique_ptr<ZnD72InfoForm> d72;
    std::unique_ptr<ZnD74InfoForm> d74;
    std::map<std::string, int> before;
};

namespace {
const char *const kCounted[] = {"ModTalkTerminal", "D72ButtonCall", "D74ButtonCall", "ModD74Led", "IpAmpSet"};

QString cell(QTableWidget *t, int row, int column)
{
    const QTableWidgetItem *item = t->item(row, column);
    return item ? item->text() : QStringLiteral("?");
}

// Answers the box that opens inside the dialog's OK and notes its text.
void clickOkAnsweringBox(QWidget *dialog, QStringList &seen)
{
    ZnModalHelper box;
    box.answer(QStringLiteral("ConfirmButton"), dialog);
    ZnModalHelper::findButton(dialog, QStringLiteral("fOkBtn"))->click();
    seen << box.seenTexts().join(QLatin1Char('|'));
}
} // namespace

Json::Value TstTalkPages::mic(int id, const std::string &name, int status, const Fields &more)
{
    Json::Value r = terminalRow(id, name, status, "2");
    for (const auto &f : more)
        r[f.first] = f.second;
    return r;
}

Json::Value TstTalkPages::call(int id, const char *start, int dsk81, int group)
{
    Json::Value r(Json::objectValue);
    r["terminalId"] = std::to_string(id);
    r["startCall"] = start;
    r["stopCall"] = "x";
    r["dsk81Id"] = std::to_string(dsk81);
    r["groupId"] = std::to_string(group);
    return r;
}

void TstTalkPages::initTestCase()
{
    s.sim.setPushChanges(true);
    s.sim.withData([](ZnSimData &d) {
        d.table("dsk72") = {mic(50001, "Gate", 1, {{"aec", "1"}, {"ppt", "0"}}), mic(50002, "Yard", 7, {}),
                            mic(50003, "Old", 8, {})};
        d.table("dsk74") = {
            mic(60001, "Lobby", 1, {{"broVol", "40"}, {"ledColor", "28"}, {"switchMode", "0"}, {"displayTime", "0"}}),
            mic(60002, "Hall", 1, {{"broVol", "50"}, {"ledColor", "0"}, {"switchMode", "3"}})};
        d.table("dsk81") = {terminalRow(70001, "Desk", 1, "3"), terminalRow(70002, "Tower", 1, "3")};
        d.table("d82") = {};
        Json::Value group(Json::objectValue);
        group["groupId"] = "5";
        group["name"] = "Front";
        d.table("callservergroup") = {group};
        d.table("d72buttoncall") = {call(50001, "ButtonPopUp", 0, 5), call(50001, "BackupShortPress", 0, 0),
                                    call(50002, "AlarmShortPress", 70002, 0), call(50002, "Alarm2ShortPress", 0, 99)};
        d.table("d74buttoncall") = {call(60001, "ButtonPushDown", 70002, 0)};
    });
    QVERIFY(startModels(s));
    QCOMPARE(ZnMicListMgr::instance()->requestMicList(), 0);
    QTRY_COMPARE(int(ZnMicGroupListMgr::instance()->groupList().size()), 1);
    QTRY_COMPARE(int(ZnD72ListMgr::instance()->micList().size()), 3);
    QTRY_COMPARE(int(ZnD74ListMgr::instance()->micList().size()), 2);
    d72.reset(new ZnD72InfoForm);
    d74.reset(new ZnD74InfoForm);
    d72->show();
    d74->show();
}

void TstTalkPages::init()
{
    s.sim.clearRules();
    for (const char *type : kCounted)
        before[type] = s.sim.count(std::string("POST ") + type);
}

// A pushed change redraws name and status; the code and flag columns stay as inserted.
void TstTalkPages::redrawKeepsInsertedColumns()
{
    QSignalSpy changed(ZnD72ListMgr::instance(), &ZnD72ListMgr::d72Changed);
    s.sim.pushPost("SqlConfig", "dsk72",
                   R"([{"terminalId":"50003","name":"Renamed","status":"7","aec":"1","ppt":"1"}])");
    QVERIFY(SimSession::spinUntil([&] { return changed.count() == 1; }));
    QCoreApplication::processEvents();
    QTableWidget *t = d72->tableWidget();
    const int row = d72->findRowById(50003);
    QCOMPARE((QStringList{cell(t, row, 0), cell(t, row, 2), cell(t, row, 3), cell(t, row, 4)}),
             (QStringList{QStringLiteral("Renamed"), QStringLiteral("No"), QStringLiteral("No"),
                          QStringLiteral("EmergencyBroadcast")}));
}

QStringList TstTalkPages::edit(ZnTerListPage *page, int id, const std::function<void(QWidget *)> &act)
{
    page->tableWidget()->setCurrentCell(page->findRowById(id), 0);
    ModalChain boxes;
    boxes.arm({act, ModalChain::click(QStringLiteral("ConfirmButton"))});
    QPushButton *button = page == d72.get() ? d72->form().fEditBtn : d74->form().fEditBtn;
    button->click();
    QStringList seen = boxes.seen.mid(1);
    return seen;
}

void TstTalkPages::d72Edit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("callBox");
    QTest::addColumn<QString>("refuse");
    // Requests the server got, refused ones included.
    QTest::addColumn<int>("modifies");
    QTest::addColumn<int>("callPosts");
    QTest::addColumn<QString>("message");
    QTest::newRow("box unchecked: name and volumes only") << "Gate 2" << false << "" << 1 << 0 << "";
    QTest::newRow("box checked: the calls once") << "Gate" << true << "" << 1 << 1 << "";
    QTest::newRow("refused modify: no calls") << "Gate" << true << "POST ModTalkTerminal" << 1 << 0 << "Setting Error!";
    QTest::newRow("refused calls") << "Gate" << true << "POST D72ButtonCall" << 1 << 1
                                   << "Button Call Config Setting Error!";
    QTest::newRow("empty name: stays open") << "" << true << "" << 0 << 0 << "The name cannot be empty!";
}

void TstTalkPages::d72Edit()
{
    QFETCH(QString, name);
    QFETCH(bool, callBox);
    QFETCH(QString, refuse);
    QFETCH(int, modifies);
    QFETCH(int, callPosts);
    QFETCH(QString, message);
    if (!refuse.isEmpty())
        s.sim.addRule(ZnSimRule::make(refuse.toStdString(), ZnSimRule::Fail, "refused"));
    QStringList insideDialog;
    const QStringList after = edit(d72.get(), 50001, [&](QWidget *w) {
        auto *dialog = qobject_cast<ZnD72SettingDialog *>(w);
        Ui::fMicSettingForm &ui = dialog->form();
        ui.fNameEdit->setText(name);
        ui.fTalkSpinBox->setValue(33);
        ui.fCallConfigGroupBox->setChecked(callBox);
        ui.fRedLeftMicCb->setChecked(true);
        QVERIFY(ZnTalkSetting::selectId(ui.fRedLeftMicCombo, 70001));
        if (name.isEmpty()) {
            clickOkAnsweringBox(w, insideDialog);
            ZnModalHelper::findButton(w, QStringLiteral("fCancelBtn"))->click();
        } else {
            ui.fOkBtn->click();
        }
    });
    const QStringList shown = insideDialog + after;
    QCOMPARE(shown.join(QLatin1Char(' ')).contains(message), true);
    QCOMPARE(shown.isEmpty(), message.isEmpty());
    QCOMPARE(s.sim.count("POST ModTalkTerminal") - before["ModTalkTerminal"], modifies);
    QCOMPARE(s.sim.count("POST D72ButtonCall") - before["D72ButtonCall"], callPosts);
    if (modifies)
        QCOMPARE(lastPost("ModTalkTerminal")["CallVol"].asString(), std::string("33"));
    if (!callPosts || !refuse.isEmpty())
        return;
    // Middle (its stored group), left (the chosen microphone), right (nothing), then the stored alarm.
    const Json::Value sent = lastPost("D72ButtonCall");
    QStringList calls;
    for (const Json::Value &b : sent["ButtonCalls"])
        calls << QString::fromStdString(b["StartCall"].asString() + ":" + b["Dsk81"].asString() + "/"
                                        + b["CallServiceGroup"].asString());
    QCOMPARE(calls.join(QLatin1Char(' ')),
             QStringLiteral("ButtonPopUp:0/5 AlarmShortPress:70001/0 Alarm2ShortPress:0/0"));
    QCOMPARE(sent["AlarmCall"].asString(), std::string("BackupShortPress BackupLongPress"));
    QCOMPARE(sent["Id"].asString(), std::string("50001"));
}

// The model holds the calls of several consoles; each dialog presets its own.
void TstTalkPages::d72ShowsOnlyItsOwnCalls()
{
    QList<bool> leftMic, middleGroup, alarmOn;
    for (int id : {50002, 50001}) {
        edit(d72.get(), id, [&](QWidget *w) {
            Ui::fMicSettingForm &ui = qobject_cast<ZnD72SettingDialog *>(w)->form();
            leftMic << (ui.fRedLeftMicCb->isChecked() && ui.fRedLeftMicCombo->currentData().toInt() == 70002);
            middleGroup << (ui.fBlueGroupCheckBox->isChecked() && ui.fBlueGroupComboBox->currentData().toInt() == 5);
            alarmOn << ui.fOpenAlarmRadioButton->isChecked();
            // A stored group the list lacks is shown as no choice, so it is not sent back as another group.
            if (id == 50002)
                QCOMPARE(ui.fRedRightGroupCombo->currentIndex(), -1);
            QVERIFY(!ui.fCallConfigGroupBox->isChecked());
            ui.fCancelBtn->click();
        });
    }
    QCOMPARE(leftMic, (QList<bool>{true, false}));
    QCOMPARE(middleGroup, (QList<bool>{false, true}));
    QCOMPARE(alarmOn, (QList<bool>{false, true}));
}

void TstTalkPages::d74Edit_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("ledText");
    QTest::addColumn<bool>("callBox");
    QTest::addColumn<QString>("refuse");
    QTest::addColumn<QString>("led");
    QTest::addColumn<QString>("callSent");
    QTest::addColumn<QString>("message");
    // 60001 comes with mode 0 and switch time 0: shown and written as mode 2 and time 1.
    QTest::newRow("normalised LED sent") << 60001 << "" << false << ""
                                         << "28/2/1/"
                                         << ""
                                         << "";
    QTest::newRow("volume only: no LED") << 60002 << "" << false << ""
                                         << ""
                                         << ""
                                         << "";
    QTest::newRow("LED text") << 60002 << "Hello" << false << ""
                              << "0/3/5/Hello"
                              << ""
                              << "";
    QTest::newRow("call box, nothing chosen") << 60002 << "" << true << ""
                                              << ""
                                              << "0/0"
                                              << "";
    QTest::newRow("refused modify: nothing more") << 60001 << "Hi" << true << "POST ModTalkTerminal"
                                                  << ""
                                                  << ""
                                                  << "Setting Error!";
    QTest::newRow("refused call: no LED") << 60002 << "Hi" << true << "POST D74ButtonCall"
                                          << ""
                                          << ""
                                          << "Button Call Config Setting Error!";
}

void TstTalkPages::d74Edit()
{
    QFETCH(int, id);
    QFETCH(QString, ledText);
    QFETCH(bool, callBox);
    QFETCH(QString, refuse);
    QFETCH(QString, led);
    QFETCH(QString, callSent);
    QFETCH(QString, message);
    if (!refuse.isEmpty())
        s.sim.addRule(ZnSimRule::make(refuse.toStdString(), ZnSimRule::Fail, "refused"));
    const QStringList shown = edit(d74.get(), id, [&](QWidget *w) {
        Ui::fD74SettingForm &ui = qobject_cast<ZnD74SettingDialog *>(w)->form();
        ui.fRingSpinBox->setValue(12);
        if (!ledText.isEmpty())
            ui.fDispTextLineEdit->setText(ledText);
        ui.fCallConfigGroupBox->setChecked(callBox);
        ui.fOkBtn->click();
    });
    QCOMPARE(shown.join(QLatin1Char(' ')).contains(message), true);
    QCOMPARE(shown.isEmpty(), message.isEmpty());
    // Requests the server got, refused ones included.
    QCOMPARE(s.sim.count("POST ModTalkTerminal") - before["ModTalkTerminal"], 1);
    QCOMPARE(s.sim.count("POST ModD74Led") - before["ModD74Led"], led.isEmpty() ? 0 : 1);
    QCOMPARE(s.sim.count("POST D74ButtonCall") - before["D74ButtonCall"],
             callSent.isEmpty() && !refuse.contains(QStringLiteral("ButtonCall")) ? 0 : 1);
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

void TstTalkPages::d74ShowsOnlyItsOwnCall()
{
    QList<bool> micChosen;
    for (int id : {60001, 60002}) {
        edit(d74.get(), id, [&](QWidget *w) {
            Ui::fD74SettingForm &ui = qobject_cast<ZnD74SettingDialog *>(w)->form();
            micChosen << (ui.fBlueMicCheckBox->isChecked() && ui.fBlueMicComboBox->currentData().toInt() == 70002
                          && ui.fBlueMicComboBox->isEnabledTo(ui.fCallConfigGroupBox));
            ui.fCancelBtn->click();
        });
    }
    QCOMPARE(micChosen, (QList<bool>{true, false}));
}

// Releasing the slider sends its value to the selected terminal; a refusal
// leaves the cell and tells the operator.
void TstTalkPages::d74VolumeOfSelectedRow()
{
    QTableWidget *t = d74->tableWidget();
    const int row = d74->findRowById(60002);
    t->selectRow(row);
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, t->visualItemRect(t->item(row, 3)).center());
    QCOMPARE(d74->form().fVolumeSlider->value(), cell(t, row, 3).toInt());

    d74->form().fVolumeSlider->setValue(64);
    QTest::mouseRelease(d74->form().fVolumeSlider, Qt::LeftButton);
    QCOMPARE(s.sim.count("POST IpAmpSet") - before["IpAmpSet"], 1);
    QCOMPARE(lastPost("IpAmpSet")["BroVol"].asString(), std::string("64"));
    QCOMPARE(cell(t, d74->findRowById(60002), 3), QStringLiteral("64"));

    s.sim.addRule(ZnSimRule::make("POST IpAmpSet", ZnSimRule::Fail, "refused"));
    d74->form().fVolumeSlider->setValue(20);
    ZnModalHelper box;
    box.answer(QStringLiteral("ConfirmButton"));
    QTest::mouseRelease(d74->form().fVolumeSlider, Qt::LeftButton);
    QVERIFY(box.seenTexts().join(QLatin1Char(' ')).contains(QStringLiteral("Setting Error!")));
    QCOMPARE(cell(t, d74->findRowById(60002), 3), QStringLiteral("64"));
}

QTEST_MAIN(TstTalkPages)
#include "tst_talkpages.moc"
