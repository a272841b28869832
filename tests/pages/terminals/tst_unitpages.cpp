#include "PageSim.h"
#include "ZnApi.h"
#include "ZnCapInfoForm.h"
#include "ZnCapListMgr.h"
#include "ZnColumnFit.h"
#include "ZnD72InfoForm.h"
#include "ZnD72ListMgr.h"
#include "ZnD72SettingDialog.h"
#include "ZnD74InfoForm.h"
#include "ZnD74ListMgr.h"
#include "ZnD74SettingDialog.h"
#include "ZnFAlarmChannelDialog.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmSettingDialog.h"
#include "ZnMicGroupEditDialog.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnPlayerInfoForm.h"
#include "ZnRow.h"
#include "ZnSetAmpFormCtr.h"
#include "ZnSetCapDialog.h"
#include "ZnSetTCPForm.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTalkSetting.h"
#include "ZnTerDefaultSetCtr.h"
#include "ZnTtsInfoForm.h"
#include "ZnTtsListMgr.h"
#include "ZnVolumeStepper.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
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
     "ButtonPopUp:0/2 AlarmShortPress:70001/0 Alarm2ShortPress:0/0 alarm:BackupShortPress BackupLongPress", ""},
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
    {"mode 0 written as the left move it shows, time 0 kept", 60001, "", false, "", "28/2/0/", "", ""},
    {"LED text alone: time 0 kept", 60001, "Hey", false, "", "28/2/0/Hey", "", ""},
    {"its own call sent back", 60001, "", true, "", "", "70002/0", ""},
    {"volume only: no LED", 60002, "", false, "", "", "", ""},
    {"LED text", 60002, "Hello", false, "", "0/3/5/Hello", "", ""},
    {"call box, nothing chosen", 60002, "", true, "", "", "0/0", ""},
    {"refused modify: nothing more", 60001, "Hi", true, "POST ModTalkTerminal", "", "", "Setting Error!"},
    {"refused call: no LED", 60002, "Hi", true, "POST D74ButtonCall", "", "", "Button Call Config Setting Error!"},
    {"unknown mode kept: no LED", 60003, "", false, "", "", "", ""},
    {"unknown mode kept beside a new text", 60003, "Ho", false, "", "224/7/5/Ho", "", ""},
};

// A dialog opened on a record with values its fields cannot all show (volumes
// beyond 0 to 100, a ring time beyond its box, a rule and a trigger type none of
// the offered, repeated members), then one field changed or none: "sent" lists
// the keys of the request that differ from the stored record, "-" when no
// request goes out.
struct KeepCase
{
    const char *tag, *dialog, *step, *sent; // step: "objectName value" or ""
};
const KeepCase kKeepCases[] = {
    {"d72: unchanged sends the stored volumes", "d72", "", ""},
    {"d72: ring volume alone", "d72", "fRingSpinBox 40", "BellVol=40"},
    {"d72: name alone", "d72", "fNameEdit Yard 2", "Name=Yard 2"},
    {"d74: unchanged sends the stored volumes", "d74", "", ""},
    {"d74: broadcast volume alone", "d74", "fBcastSpinBox 40", "BroVol=40"},
    {"cap: unchanged keeps a volume beyond the box", "cap", "", ""},
    {"cap: name alone", "cap", "fNameEdit C2", "Name=C2"},
    {"fire alarm: unchanged sends nothing", "falarm", "", "-"},
    {"fire alarm: name alone keeps the trigger type", "falarm", "fNameEdit FA2", "Name=FA2"},
    {"fire alarm: type alone", "falarm", "fNormalCb", "TriggerType=1"},
    {"fire alarm: a name past 32 characters whole", "falarm", "fNameEdit Fire alarm input of the east stairs, floor 2",
     "Name=Fire alarm input of the east stairs, floor 2"},
    {"group: unchanged keeps id, rule, ring time and members", "group", "", ""},
    {"group: name alone", "group", "fNameEdit Desk group", "Name=Desk group"},
    {"group: ring time alone", "group", "timeSpinBox 30", "RingTime=30"},
    {"group: rule alone", "group", "ruleComboBox 1", "CallWaitRule=2"},
    {"group: a member unchecked alone", "group", "member 70001", "Dsk81Id=70002"},
};

// Watches the width of a table's column at every paint of its cells: a paint
// while the column's fit is under way that shows it narrower than the paint
// before it is noted.
class WidthsAtPaint : public QObject
{
public:
    WidthsAtPaint(QTableWidget *t, int c, const ZnColumnFit *f) : table(t), column(c), fit(f), last(t->columnWidth(c))
    {
        table->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        const int width = table->columnWidth(column);
        if (fit->isFitting()) {
            ++whileFitting;
            if (width < last)
                narrower << QStringLiteral("%1 to %2").arg(last).arg(width);
        }
        last = width;
        return false;
    }
    int whileFitting = 0;
    QStringList narrower;

private:
    QTableWidget *table;
    int column;
    const ZnColumnFit *fit;
    int last;
};
} // namespace

Q_DECLARE_METATYPE(const D72Case *)
Q_DECLARE_METATYPE(const D74Case *)
Q_DECLARE_METATYPE(const KeepCase *)

// The terminal pages' own controls and dialogs beyond the shared list frame
// (call and emergency microphones, players, fire alarms, capture and
// text-to-speech units, microphone groups) against one simulated server.
class TstUnitPages : public QObject
{
    Q_OBJECT

    SimSession s;
    std::unique_ptr<ZnFAlarmInfoForm> alarmPage;
    std::unique_ptr<ZnTtsInfoForm> tts;
    std::unique_ptr<ZnCapInfoForm> caps;
    std::unique_ptr<ZnMicGroupInfoForm> groupPage;
    std::unique_ptr<ZnD72InfoForm> d72;
    std::unique_ptr<ZnD74InfoForm> d74;
    std::unique_ptr<ZnPlayerInfoForm> playerPage;
    std::map<std::string, size_t> before;

    ZnPlayTermListMgr *amps() { return ZnPlayTermListMgr::instance(); }
    QTableWidget *players() { return playerPage->tableWidget(); }

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

    // "id:value of key" of each request under that label since init.
    std::vector<std::string> sent(const std::string &label, const char *key = nullptr)
    {
        std::vector<std::string> out;
        const std::vector<ZnSimRequest> all = s.requests(label);
        for (size_t i = before[label]; i < all.size(); ++i) {
            const Json::Value body = jsonOf(all[i].body);
            out.push_back(body["Id"].asString() + (key ? ":" + body[key].asString() : std::string()));
        }
        return out;
    }
    QString cell(int id, int column) { return rowText(players(), id).section(QLatin1Char('|'), column, column); }
    // The stepper's timers are driven by hand, never by the clock.
    void tick(int timerId, QObject *stepper = nullptr)
    {
        QTimerEvent event(timerId);
        QCoreApplication::sendEvent(stepper ? stepper : playerPage->volume(), &event);
    }

    // One volume control of a page used with the page's own slot for it cut off
    // or not; returns the volumes sent for terminal id.
    template <class Page>
    std::vector<std::string> useVolumeControl(Page *page, const QString &control, bool cut, int id)
    {
        auto &ui = page->form();
        ZnVolumeStepper *stepper = page->volume();
        stepper->setIntervals(3600 * 1000, 3600 * 1000);
        selectIds(page->tableWidget(), {id});
        QSlider *slider = ui.fVolumeSlider;
        slider->setValue(40);
        before["POST IpAmpSet"] = s.requests("POST IpAmpSet").size();
        if (control == QStringLiteral("slider")) {
            if (cut)
                QObject::disconnect(slider, &QSlider::valueChanged, page, &Page::slot_sliderChanged);
            slider->setValue(33);
            QTest::mouseRelease(slider, Qt::LeftButton);
            if (cut)
                connect(slider, &QSlider::valueChanged, page, &Page::slot_sliderChanged);
            return sent("POST IpAmpSet", "BroVol");
        }
        if (control == QStringLiteral("timed")) {
            // The send after the last release goes through the page's doChangeVol().
            QTest::mouseClick(ui.fAddVolumnBtn, Qt::LeftButton);
            if (cut)
                QObject::disconnect(stepper, &ZnVolumeStepper::applyDue, page, &Page::doChangeVol);
            tick(stepper->applyTimerId(), stepper);
            if (cut)
                connect(stepper, &ZnVolumeStepper::applyDue, page, &Page::doChangeVol);
            return sent("POST IpAmpSet", "BroVol");
        }
        const bool add = control == QStringLiteral("add");
        QPushButton *button = add ? ui.fAddVolumnBtn : ui.fDecVolumnBtn;
        void (Page::*pressed)() = add ? &Page::addVolumnPressed : &Page::decVolumnPressed;
        void (Page::*released)() = add ? &Page::addVolumnReleased : &Page::decVolumnReleased;
        if (cut) {
            QObject::disconnect(button, &QPushButton::pressed, page, pressed);
            QObject::disconnect(button, &QPushButton::released, page, released);
        }
        QTest::mouseClick(button, Qt::LeftButton);
        if (cut) {
            connect(button, &QPushButton::released, page, released);
            connect(button, &QPushButton::pressed, page, pressed);
        }
        if (stepper->applyTimerId() >= 0)
            tick(stepper->applyTimerId(), stepper);
        return sent("POST IpAmpSet", "BroVol");
    }

private slots:
    void initTestCase()
    {
        ZnModalGuard::install();
        s.sim.setPushChanges(true);
        s.sim.withData([](ZnSimData &d) {
            auto task = [](const char *id, const char *name, const char *category) {
                return record({{"sourceId", id},
                               {"name", name},
                               {"sourceCategory", category},
                               {"sourceType", "1"},
                               {"status", "2"}});
            };
            d.table("soundsource") = {task("21", "疏散广播", "2"), task("22", "Drill", "2"), task("23", "Plan", "1")};
            d.table("firealarm") = {terminalRow(30001, "FA", 0, "FR"), terminalRow(30002, "FB", 1, "FR")};
            d.table("firealarm")[1]["shortCircuit"] = "4";
            d.table("firealarm")[1]["triggerType"] = "1";
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
            auto mic = [](int id, const char *name, int status) { return terminalRow(id, name, status, "2"); };
            d.table("dsk72") = {mic(50001, "Gate", 1), mic(50002, "Yard", 7), mic(50003, "Old", 8)};
            d.table("dsk74") = {mic(60001, "Lobby", 1), mic(60002, "Hall", 1)};
            for (const char *f : {"ledColor", "switchMode", "displayTime"})
                d.table("dsk74")[0][f] = "0";
            d.table("dsk74")[0]["ledColor"] = "28";
            d.table("dsk74")[1]["switchMode"] = "3";
            d.table("dsk74")[1]["ledColor"] = "0";
            // Modes and colours for the texts: 60003 has a mode the display lacks.
            auto led = [&](int id, int status, const char *mode, const char *colour) {
                Json::Value r = mic(id, "L", status);
                r["switchMode"] = mode, r["ledColor"] = colour, r["displayTime"] = "5", r["ledTxt"] = "Hi";
                d.table("dsk74").push_back(r);
            };
            led(60003, 7, "7", "224");
            led(60004, 1, "5", "252");
            led(60005, 1, "4", "100");
            d.table("dsk81") = {terminalRow(70001, "Desk", 1, "3"), terminalRow(70002, "Tower", 1, "3")};
            auto call = [](const char *id, const char *start, const char *dsk81, const char *group) {
                return record({{"terminalId", id},
                               {"startCall", start},
                               {"stopCall", "x"},
                               {"dsk81Id", dsk81},
                               {"groupId", group}});
            };
            d.table("d72buttoncall") = {
                call("50001", "ButtonPopUp", "0", "2"), call("50001", "BackupShortPress", "0", "0"),
                call("50002", "AlarmShortPress", "70002", "0"), call("50002", "Alarm2ShortPress", "0", "99")};
            d.table("d74buttoncall") = {call("60001", "ButtonPushDown", "70002", "0")};
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
        d72.reset(new ZnD72InfoForm);
        d74.reset(new ZnD74InfoForm);
        d72->show();
        d74->show();
        playerPage.reset(new ZnPlayerInfoForm);
        playerPage->resize(1000, 600);
        playerPage->show();
        playerPage->volume()->setIntervals(3600 * 1000, 3600 * 1000);
        QTRY_COMPARE(alarms()->rowCount(), 2);
        QTRY_COMPARE(caps->tableWidget()->rowCount(), 3);
        QTRY_COMPARE(tts->tableWidget()->rowCount(), 7);
        QTRY_COMPARE(idsOf(groups()), QStringLiteral("2 1"));
        QTRY_COMPARE(d72->tableWidget()->rowCount(), 3);
        QTRY_COMPARE(d74->tableWidget()->rowCount(), 5);
    }
    // The players served afresh for each case: 20005 is no base terminal, 20 no
    // IP amplifier.
    void init()
    {
        s.sim.clearRules();
        s.sim.withData([](ZnSimData &d) {
            auto amp = [](int id, const char *type, int status) {
                Json::Value r = terminalRow(id, "T" + std::to_string(id), status, type);
                r["exten"] = type, r["ampTemp"] = "0", r["broVol"] = "50", r["speaker"] = "1";
                r["power"] = status ? "1" : "0";
                return r;
            };
            d.table("ipamp") = {amp(30, "IP", 1), amp(10, "IP", 0), amp(20, "PR", 1), amp(20005, "IP", 2)};
        });
        QVERIFY(signalled(amps(), &ZnPlayTermListMgr::gotPlayTermList, [&] { amps()->requestPlayTermList(); }));
        QCOMPARE(idsOf(players()), QStringLiteral("10 20 30 20005"));
        for (const char *label :
             {"POST IpAmpSet", "POST IpAmpPower", "POST IpAmpSpkCheck", "POST Terminal", "SET PlayTermConfig"})
            before[label] = s.requests(label).size();
    }

    // New players pushed one message each, faster than the page refills: the
    // refills they ask for collapse, and the table ends with every player in
    // id order, the last one pushed included. The name column is wide enough
    // for the longest name, far below the rows in view.
    void playerStormEndsWithEveryPlayer()
    {
        QStringList ids{QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30")};
        const std::string longest = "N699 in the far corner of the underground car park";
        for (int id = 500; id < 700; ++id) {
            Json::Value r = terminalRow(id, id == 699 ? longest : "N" + std::to_string(id), 1, "IP");
            r["exten"] = "IP";
            s.sim.pushPost("SqlConfig", "ipamp", "[" + ZnSimData::json(r) + "]");
            ids << QString::number(id);
        }
        ids << QStringLiteral("20005");
        QTRY_COMPARE(idsOf(players()), ids.join(QLatin1Char(' ')));
        QTRY_VERIFY(!playerPage->nameColumnFit()->isFitting());
        QCOMPARE(cell(699, ZnPlayerInfoForm::NameColumn), QString::fromStdString(longest));
        QVERIFY(players()->rowViewportPosition(rowOfId(players(), 699)) > players()->viewport()->height());
        QVERIFY(players()->columnWidth(ZnPlayerInfoForm::NameColumn)
                > players()->fontMetrics().horizontalAdvance(QString::fromStdString(longest)));
    }

    // After a list the name column is as wide as the view's own fit over every
    // row makes it: the widest name as a cell shows it (bounded, line by line),
    // or the header (here a translated one wider than any name). The names
    // measured stand far below the rows in view, with more look-alikes than the
    // page has the view measure.
    void playerNameColumnFitsEveryName_data()
    {
        QTest::addColumn<QStringList>("earlier");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("header");
        auto times = [](int n, const QString &name) {
            QStringList out;
            for (int i = 0; i < n; ++i)
                out << name;
            return out;
        };
        const QString wide(12, QLatin1Char('W'));
        const QString asIs;
        QTest::newRow("widest in pixels, not in letters")
            << QStringList() << times(10, QString(30, QLatin1Char('i'))) + QStringList{wide} << asIs;
        QTest::newRow("a name longer than a cell shows")
            << QStringList() << times(10, QString(1000, QLatin1Char('i'))) + QStringList{QString(60, QLatin1Char('W'))}
            << asIs;
        QTest::newRow("names on two lines")
            << QStringList() << times(10, QStringLiteral("WWWWWWWW\nWWWWWWWW")) + QStringList{wide} << asIs;
        QTest::newRow("no name as wide as the header")
            << QStringList() << QStringList{wide} << QStringLiteral("Name of the play terminal as configured");
        QTest::newRow("the widest name gone")
            << QStringList{QString(60, QLatin1Char('W'))} << QStringList{wide} << asIs;
        QTest::newRow("no players left") << QStringList{QString(60, QLatin1Char('W'))} << QStringList() << asIs;
    }
    void playerNameColumnFitsEveryName()
    {
        QFETCH(QStringList, earlier);
        QFETCH(QStringList, names);
        QFETCH(QString, header);
        QTableWidgetItem *title = players()->horizontalHeaderItem(ZnPlayerInfoForm::NameColumn);
        const QString pageTitle = title->text();
        if (!header.isEmpty())
            title->setText(header);
        // Short names first, so that the ones measured are out of view.
        auto serve = [&](const QStringList &shown) {
            std::vector<Json::Value> rows;
            for (int id = 1000; id < 1040 && !shown.isEmpty(); ++id)
                rows.push_back(terminalRow(id, "N" + std::to_string(id), 1, "IP"));
            for (int i = 0; i < shown.size(); ++i)
                rows.push_back(terminalRow(2000 + i, shown.at(i).toStdString(), 1, "IP"));
            s.sim.withData([&](ZnSimData &d) { d.table("ipamp") = rows; });
            QVERIFY(signalled(amps(), &ZnPlayTermListMgr::gotPlayTermList, [&] { amps()->requestPlayTermList(); }));
            QTRY_COMPARE(players()->rowCount(), int(rows.size()));
        };
        if (!earlier.isEmpty())
            serve(earlier);
        serve(names);
        if (!names.isEmpty()) {
            QCOMPARE(cell(2000 + names.size() - 1, ZnPlayerInfoForm::NameColumn), names.last());
            QVERIFY(players()->rowViewportPosition(players()->rowCount() - 1) > players()->viewport()->height());
        }
        QTRY_VERIFY(!playerPage->nameColumnFit()->isFitting());
        const int width = players()->columnWidth(ZnPlayerInfoForm::NameColumn);
        players()->horizontalHeader()->setResizeContentsPrecision(-1);
        players()->resizeColumnToContents(ZnPlayerInfoForm::NameColumn);
        title->setText(pageTitle);
        QCOMPARE(width, players()->columnWidth(ZnPlayerInfoForm::NameColumn));
    }

    // A list of 10,000 players fills the rows in view at once and measures the
    // names of the others afterwards; whatever arrives meanwhile, the column
    // ends as wide as the view's own fit over every row. "wide" is the row of
    // the one wide name in the first list (-1: none); then, while the rest is
    // measured (or after it, "late ..."), a push gives row "at" the wide name,
    // a second list has it on row "at" (-1: none), or row "at" is removed. A
    // name in view fits the column at once. The names further down are wider
    // than those in view, yet while names are measured the column is never
    // narrower than it was, when it is resized nor when it is painted (the
    // columns to its right would jump left and back): only the end narrows it.
    void playerNameColumnFitsWhileMeasuring_data()
    {
        QTest::addColumn<int>("wide");
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("at");
        QTest::addColumn<bool>("fitsAtOnce");
        QTest::newRow("widest name on row 9,999 of 10,000") << 9999 << "" << -1 << false;
        QTest::newRow("widest name in view") << 3 << "" << -1 << true;
        QTest::newRow("wider name pushed into a row in view") << -1 << "push" << 2 << true;
        QTest::newRow("wider name pushed into a row not yet measured") << -1 << "push" << 9000 << false;
        QTest::newRow("wider name pushed once everything is measured") << -1 << "late push" << 9000 << true;
        QTest::newRow("wider name with a second list") << -1 << "list" << 9999 << false;
        QTest::newRow("the same names again keep the width") << -1 << "late list" << -1 << false;
        QTest::newRow("widest name gone with a later list narrows at the end") << 9999 << "late list" << -1 << false;
        QTest::newRow("widest name gone with a second list") << 3 << "list" << -1 << false;
        QTest::newRow("widest row removed") << 3 << "remove" << 3 << false;
        QTest::newRow("row removed above the widest") << 9999 << "remove" << 2 << false;
    }
    void playerNameColumnFitsWhileMeasuring()
    {
        QFETCH(int, wide);
        QFETCH(QString, event);
        QFETCH(int, at);
        QFETCH(bool, fitsAtOnce);
        const std::string wideName(60, 'W');
        const int firstId = 100000;
        auto list = [&](int wideRow) {
            std::list<ZnTerminal> terminals;
            for (int i = 0; i < 10000; ++i) {
                ZnTerminal t;
                t.id = firstId + i;
                t.name = i == wideRow ? wideName : "Hall speaker " + std::to_string(i);
                t.type = t.exten = "IP";
                t.status = 1;
                terminals.push_back(t);
            }
            return terminals;
        };
        ZnColumnFit *fit = playerPage->nameColumnFit();
        // The model's list signal queues the refill: it runs here, before any slice.
        auto serve = [&](int wideRow) {
            std::list<ZnTerminal> terminals = list(wideRow);
            ZnPlayTermListMgr::onNotify(ZnPlayTermListMgr::ListCode, &terminals);
            QCoreApplication::sendPostedEvents(playerPage.get(), QEvent::MetaCall);
            QCOMPARE(players()->rowCount(), 10000);
        };
        auto push = [&](int row) {
            ZnTerminal t;
            QVERIFY(amps()->hasTerminal(firstId + row, t));
            t.name = wideName;
            ZnPlayTermListMgr::onNotify(ZnPlayTermListMgr::ChangedCode, &t);
            QCOMPARE(players()->item(row, ZnPlayerInfoForm::NameColumn)->text(), QString::fromStdString(wideName));
        };
        players()->scrollToTop();
        QStringList narrowed;
        const QMetaObject::Connection resized = connect(
            players()->horizontalHeader(), &QHeaderView::sectionResized, this, [&](int section, int was, int now) {
                if (section == ZnPlayerInfoForm::NameColumn && fit->isFitting() && now < was)
                    narrowed << QStringLiteral("%1 to %2").arg(was).arg(now);
            });
        WidthsAtPaint painted(players(), ZnPlayerInfoForm::NameColumn, fit);
        serve(wide);
        QVERIFY(fit->isFitting());
        if (event.startsWith(QStringLiteral("late "))) {
            QSignalSpy done(fit, &ZnColumnFit::fitted);
            QVERIFY(done.wait(10000));
            event.remove(0, 5);
        }
        if (event == QStringLiteral("push"))
            push(at);
        else if (event == QStringLiteral("list"))
            serve(at);
        else if (event == QStringLiteral("remove"))
            playerPage->removeRow(at);
        const int wideWidth = players()->fontMetrics().horizontalAdvance(QString::fromStdString(wideName));
        if (fitsAtOnce)
            QVERIFY(players()->columnWidth(ZnPlayerInfoForm::NameColumn) > wideWidth);
        QTRY_VERIFY(!fit->isFitting());
        disconnect(resized);
        QCOMPARE(narrowed.join(QStringLiteral(", ")), QString());
        QCOMPARE(painted.narrower.join(QStringLiteral(", ")), QString());
        QVERIFY(painted.whileFitting > 0);
        const int width = players()->columnWidth(ZnPlayerInfoForm::NameColumn);
        players()->resizeColumnToContents(ZnPlayerInfoForm::NameColumn);
        QCOMPARE(width, players()->columnWidth(ZnPlayerInfoForm::NameColumn));
    }

    // A page gone while it measures leaves nothing behind that runs later.
    void playerPageGoneWhileMeasuring()
    {
        std::list<ZnTerminal> terminals;
        for (int i = 0; i < 10000; ++i) {
            ZnTerminal t;
            t.id = 100000 + i;
            t.name = "N" + std::to_string(i);
            terminals.push_back(t);
        }
        ZnPlayTermListMgr::onNotify(ZnPlayTermListMgr::ListCode, &terminals);
        auto gone = std::make_unique<ZnPlayerInfoForm>();
        gone->show();
        gone->showTerminals();
        QVERIFY(gone->nameColumnFit()->isFitting());
        gone.reset();
        // The page under test measures the same list meanwhile: its slices and
        // those of the gone page would have taken turns.
        QSignalSpy done(playerPage->nameColumnFit(), &ZnColumnFit::fitted);
        QCoreApplication::sendPostedEvents(playerPage.get(), QEvent::MetaCall);
        QVERIFY(playerPage->nameColumnFit()->isFitting());
        QVERIFY(done.wait(10000));
    }

    // A status the unit never has reads as off line, a rate other than the
    // three as the plain one; a fire-alarm interface off line or triggered as
    // a plain input is not red (a fire trigger is, below).
    void texts()
    {
        QStringList states;
        for (int id = 40001; id <= 40007; ++id)
            states << rowText(tts->tableWidget(), id).section(QLatin1Char('|'), 2, 2);
        QCOMPARE(states.join(QLatin1Char('/')),
                 QStringLiteral("Off Line/Idle/Begin Work/Working/End Work/Off Line/Off Line"));
        QCOMPARE(rowText(caps->tableWidget(), 5).section(QLatin1Char('|'), 3, 3), QStringLiteral("General"));
        QCOMPARE(rowText(caps->tableWidget(), 20002).section(QLatin1Char('|'), 3, 3), QStringLiteral("Medium "));
        QCOMPARE(rowText(alarms(), 30001).section(QLatin1Char('|'), 2, 2), QStringLiteral("断线"));
        QCOMPARE(rowText(alarms(), 30002).section(QLatin1Char('|'), 2, 2), QStringLiteral("短路触发"));
        QVERIFY(!red(alarms()->item(0, 2)) && !red(alarms()->item(1, 2)));
    }

    // The interface's list text and trigger bits as the dialog reads them.
    void channelsRead_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bits");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no task, not a number") << "大厅#$%0!!!x" << 0 << "1|大厅|空闲|[未配置] / 2|通道2|空闲|[未配置]";
        QTest::newRow("empty") << QString() << 0 << QString();
        QTest::newRow("a plan task is no manual task") << "23" << 0 << "1|通道1|空闲|[任务不存在]";
        QTest::newRow("a name stored empty stays empty")
            << "#$%21!!!21" << 0 << "1||空闲|疏散广播 / 2|通道2|空闲|疏散广播";
        // Bit i is channel i + 1, the sign bit too; no bit is left for a 33rd.
        QStringList text, shown;
        for (int c = 1; c <= 33; ++c) {
            text << QStringLiteral("0");
            shown << QStringLiteral("%1|通道%1|%2|[未配置]")
                         .arg(c)
                         .arg(c == 1 || c == 32 ? QStringLiteral("报警") : QStringLiteral("空闲"));
        }
        QTest::newRow("channels 1 and 32 triggered")
            << text.join(QStringLiteral("!!!")) << int(0x80000001u) << shown.join(QStringLiteral(" / "));
    }
    void channelsRead()
    {
        QFETCH(QString, text);
        QFETCH(int, bits);
        QFETCH(QString, shown);
        ZnFAlarm a;
        a.id = 30001;
        a.shortCircuit = bits;
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
        // Longer than 32 characters: the name has no limit of its own.
        const QString corridor = QStringLiteral("二楼走廊").repeated(9);
        answering({[](QWidget *w) {
                       auto *t = w->findChild<QTableWidget *>(QStringLiteral("fChannelTb"));
                       t->setCurrentCell(1, 1);
                       emit t->cellDoubleClicked(1, 1);
                       ModalChain::click(QStringLiteral("fOkBtn"))(w);
                   },
                   [&](QWidget *w) {
                       auto &ui = qobject_cast<ZnFAlarmChannelDialog *>(w)->form();
                       ui.fChannelNameLe->setText(corridor);
                       emit ui.fChannelTb->itemClicked(ui.fChannelTb->item(1, 0)); // Drill
                       ui.fOkBtn->click();
                   }},
                  [&] { doubleClickRow(alarms(), 30001); });
        const Json::Value sent = lastBody(s, "POST SetFRTrigger");
        QCOMPARE(QString::fromStdString(sent["ChannelName"].asString()), corridor);
        QCOMPARE(sent["Channel"].asString() + "/" + sent["SourceId"].asString(), std::string("2/22"));
        QTRY_COMPARE(alarm().broadcast, "Door#$%21!!!" + corridor.toStdString() + "#$%22");

        ZnFAlarm a = alarm();
        ZnFAlarmSettingDialog again(&a);
        QTableWidget *t = again.form().fChannelTb;
        QCOMPARE(channelsOf(t), QStringLiteral("1|Door|空闲|疏散广播 / 2|%1|空闲|Drill").arg(corridor));
        QCOMPARE(t->item(1, 0)->background().color(), QColor(240, 240, 240));
        t->setCurrentCell(0, 0);
        again.form().fDelChannelBtn->click();
        QCOMPARE(lastBody(s, "POST SetFRTrigger")["SourceId"].asString(), std::string("0"));
        QCOMPARE(channelsOf(t), QStringLiteral("1|通道1|空闲|[未配置] / 2|%1|空闲|Drill").arg(corridor));
        QCOMPARE(t->item(0, 0)->background().color(), QColor(255, 255, 255));
        QVERIFY(!again.isChanged());
    }

    // The page asks for the list again after its dialog changed a channel, even
    // when the dialog was closed by ×; closed untouched, it asks nothing.
    void alarmListAgainAfterTheDialog_data()
    {
        QTest::addColumn<bool>("channel"); // a channel named in the channel dialog first
        QTest::addColumn<int>("asked");
        QTest::newRow("closed by × after a channel change: reloaded") << true << 1;
        QTest::newRow("closed by × untouched: not reloaded") << false << 0;
    }
    void alarmListAgainAfterTheDialog()
    {
        QFETCH(bool, channel);
        QVERIFY(serve(1, 0, 2, "Door#$%21!!!0"));
        const int asked = s.sim.count("GET SqlConfig/FAlarmList");
        std::vector<ModalChain::Action> steps{[&](QWidget *w) {
            auto *t = w->findChild<QTableWidget *>(QStringLiteral("fChannelTb"));
            t->setCurrentCell(1, 1);
            if (channel)
                emit t->cellDoubleClicked(1, 1);
            ModalChain::click(QStringLiteral("dialogCloseBtn"))(w);
        }};
        if (channel)
            steps.push_back(
                ModalChain::type(QStringLiteral("fChannelNameLe"), QStringLiteral("Hall"), QStringLiteral("fOkBtn")));
        answering(steps, [&] { doubleClickRow(alarms(), 30001); });
        QVERIFY(s.settle());
        QTEST(s.sim.count("GET SqlConfig/FAlarmList") - asked, "asked");
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

    // Trigger bits sent as an unsigned number reach the page and the channel
    // table as the 32 bits they are, by a list answer (small: jsoncpp; large:
    // simdjson) and by a push alike: channels shown triggered, and so refused
    // for configuration, are exactly the bits set.
    void triggerBitsAsSent_data()
    {
        QTest::addColumn<QByteArray>("value"); // the "shortCircuit" value as the server writes it
        QTest::addColumn<QString>("how");      // "list", "large list" or "push"
        QTest::addColumn<QString>("triggered");
        QTest::addColumn<QString>("state");
        QStringList all;
        for (int c = 1; c <= 32; ++c)
            all << QString::number(c);
        const QString every = all.join(QLatin1Char(','));
        const auto row = [](const char *name, const char *value, const char *how, const QString &triggered,
                            const char *state) {
            QTest::newRow(name) << QByteArray(value) << QString::fromLatin1(how) << triggered
                                << QString::fromUtf8(state);
        };
        row("unsigned text, channels 1 and 32, list", R"("2147483649")", "list", QStringLiteral("1,32"), "消防报警");
        row("unsigned text, channels 1 and 32, push", R"("2147483649")", "push", QStringLiteral("1,32"), "消防报警");
        row("every bit as unsigned number, large list", "4294967295", "large list", every, "消防报警");
        row("every bit as -1, push", R"("-1")", "push", every, "消防报警");
        row("past 32 bits: every channel, list", R"("99999999999")", "list", every, "消防报警");
        row("not a number: none, push", R"("none")", "push", QString(), "空闲");
    }
    void triggerBitsAsSent()
    {
        QFETCH(QByteArray, value);
        QFETCH(QString, how);
        QFETCH(QString, triggered);
        QFETCH(QString, state);
        QStringList channels;
        for (int c = 1; c <= 32; ++c)
            channels << QStringLiteral("0");
        QVERIFY(serve(1, 0, 2, channels.join(QStringLiteral("!!!")).toStdString()));
        Json::Value bits;
        QVERIFY(Json::Reader().parse(value.toStdString(), bits));
        Json::Value row;
        s.sim.withData([&](ZnSimData &d) {
            Json::Value &r = d.table("firealarm")[0];
            r["shortCircuit"] = bits;
            if (how == QStringLiteral("large list"))
                r["ver"] = std::string(2 * ZnRow::kSmallBody, '9');
            row = r;
        });
        ZnFAlarmListMgr *m = ZnFAlarmListMgr::instance();
        if (how == QStringLiteral("push"))
            QVERIFY(signalled(m, &ZnFAlarmListMgr::fAlarmChanged,
                              [&] { s.sim.pushPost("SqlConfig", "firealarm", "[" + ZnSimData::json(row) + "]"); }));
        else
            QVERIFY(signalled(m, &ZnFAlarmListMgr::gotFAlarmList, [m] { m->registerAndWait(); }));
        QCOMPARE(rowText(alarms(), 30001).section(QLatin1Char('|'), 2, 2), state);
        ZnFAlarm a = alarm();
        ZnFAlarmSettingDialog dialog(&a);
        QTableWidget *t = dialog.form().fChannelTb;
        QCOMPARE(t->rowCount(), 32);
        QStringList shown;
        for (int r = 0; r < t->rowCount(); ++r) {
            if (t->item(r, 2)->text() == QStringLiteral("报警")) {
                QVERIFY(red(t->item(r, 2)));
                shown << t->item(r, 0)->text();
            }
        }
        QCOMPARE(shown.join(QLatin1Char(',')), triggered);
    }

    // While a channel's dialog is open the channel is triggered, or the
    // interface removed: OK then sends nothing and says why.
    void channelDialogUnderPush_data()
    {
        QTest::addColumn<bool>("removed");
        QTest::addColumn<QString>("told");
        QTest::newRow("channel triggered meanwhile") << false << QStringLiteral("通道2触发状态，请空闲再配置！");
        QTest::newRow("interface removed meanwhile")
            << true << QStringLiteral("The record no longer exists, nothing was changed!");
    }
    void channelDialogUnderPush()
    {
        QFETCH(bool, removed);
        QFETCH(QString, told);
        QVERIFY(serve(1, 0, 2, "0!!!0"));
        ZnFAlarm a = alarm();
        ZnFAlarmSettingDialog dialog(&a);
        QTableWidget *t = dialog.form().fChannelTb;
        t->setCurrentCell(1, 0);
        const size_t sent = s.requests("POST SetFRTrigger").size();
        bool changed = false;
        const QStringList seen = answering({[&](QWidget *w) {
                                                if (removed) {
                                                    s.sim.withData([](ZnSimData &d) { d.table("firealarm").clear(); });
                                                    ZnFAlarmListMgr::instance()->registerAndWait();
                                                } else {
                                                    s.sim.pushAlarmTrigger(30001, 2);
                                                }
                                                changed = ZnModalHelper::waitFor([&] {
                                                    return removed ? rowOfId(alarms(), 30001) < 0
                                                                   : t->item(1, 2)->text() == QStringLiteral("报警");
                                                });
                                                auto &ui = qobject_cast<ZnFAlarmChannelDialog *>(w)->form();
                                                ui.fChannelNameLe->setText(QStringLiteral("After"));
                                                ui.fOkBtn->click();
                                            },
                                            ModalChain::confirm()},
                                           [&] { dialog.form().fEditChannelBtn->click(); });
        QVERIFY(changed);
        QCOMPARE(seen.size(), 2);
        QVERIFY2(seen.at(1).contains(told), qPrintable(seen.at(1)));
        QCOMPARE(s.requests("POST SetFRTrigger").size(), sent);
        QCOMPARE(t->item(1, 1)->text(), QStringLiteral("通道2"));
        QVERIFY(serve(1, 0, 2, "0!!!0"));
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
        const QStringList shown = edit(d72.get(), id, [&](QWidget *w) {
            Ui::fMicSettingForm &ui = qobject_cast<ZnD72SettingDialog *>(w)->form();
            ui.fNameEdit->setText(name);
            // Moved on the slider: what is sent is read from its spin box.
            ui.fTalkSlider->setValue(33);
            ui.fCallConfigGroupBox->setChecked(c->callBox);
            ui.fRedLeftMicCb->setChecked(true);
            QVERIFY(ZnTalkSetting::selectId(ui.fRedLeftMicCombo, 70001));
            if (!name.isEmpty()) {
                ui.fOkBtn->click();
            } else {
                // The message comes inside the dialog's OK, answered as the box after the
                // dialog; the dialog stays open for another name.
                ui.fOkBtn->click();
                ui.fCancelBtn->click();
            }
        });
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

    // The LED is sent only when changed (a stored mode or time the boxes cannot
    // show stays as stored while left alone); the dialog's own call is sent
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
        QString moveShown;
        const QStringList shown = edit(d74.get(), c->id, [&](QWidget *w) {
            Ui::fD74SettingForm &ui = qobject_cast<ZnD74SettingDialog *>(w)->form();
            // A mode the list lacks shows the first one.
            moveShown = ui.fMoveComboBox->currentText();
            ui.fRingSlider->setValue(12);
            if (!ledText.isEmpty())
                ui.fDispTextLineEdit->setText(ledText);
            ui.fCallConfigGroupBox->setChecked(c->callBox);
            ui.fOkBtn->click();
        });
        QCOMPARE(shown.join(QLatin1Char(' ')).contains(message), true);
        QCOMPARE(shown.isEmpty(), message.isEmpty());
        if (c->id == 60003)
            QCOMPARE(moveShown, QStringLiteral("Left Move"));
        QCOMPARE(posts("ModTalkTerminal") - modified, 1);
        QCOMPARE(lastPost("ModTalkTerminal")["BellVol"].asString(), std::string("12"));
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

    // What the operator reads of a D74: the state (an emergency in red), the
    // move mode (below 2 as the left move, above 5 as its number) and the colour
    // (any code but green and yellow as red).
    void d74Texts_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("cells"); // state|move mode|colour
        QTest::addColumn<bool>("stateRed");
        QTest::newRow("mode 0 left, 28 green") << 60001 << "Idle|Left Move|Green" << false;
        QTest::newRow("mode 3 right, 0 red") << 60002 << "Idle|Right Move|Red" << false;
        QTest::newRow("mode 7 its number, emergency in red") << 60003 << "EmergencyBroadcast|7|Red" << true;
        QTest::newRow("mode 5 down, 252 yellow") << 60004 << "Idle|Down Move|Yellow" << false;
        QTest::newRow("mode 4 up, 100 red") << 60005 << "Idle|Up Move|Red" << false;
    }
    void d74Texts()
    {
        QFETCH(int, id);
        QFETCH(bool, stateRed);
        QTableWidget *t = d74->tableWidget();
        const QString row = rowText(t, id);
        QTEST(QStringList({row.section(QLatin1Char('|'), 2, 2), row.section(QLatin1Char('|'), 5, 5),
                           row.section(QLatin1Char('|'), 6, 6)})
                  .join(QLatin1Char('|')),
              "cells");
        QCOMPARE(t->item(rowOfId(t, id), 2)->foreground().color() == QColor(255, 0, 0), stateRed);
    }

    // The player row of an amplifier in each state: an IP amplifier off line
    // shows crosses, not its last temperature; on line its temperature with the
    // unit; other kinds grey dashes. An emergency and an amplifier warning are red.
    void playerCells_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("warning");
        QTest::addColumn<int>("speaker");
        QTest::addColumn<QString>("cells"); // work|temperature|speaker, each "text/colour"
        QTest::newRow("IP off line: crosses") << "IP" << 0 << false << 1 << "Off Line/-|×/-|×/-";
        QTest::newRow("IP idle: temperature and unit") << "IP" << 1 << false << 1 << "Idle/-|41 ℃/-|Pass/-";
        QTest::newRow("IP emergency in red") << "IP" << 5 << false << 1 << "EmergencyBroadcast/red|41 ℃/-|Pass/-";
        QTest::newRow("IP warning in red") << "IP" << 2 << true << 1 << "Amp Warning/red|41 ℃/-|×/red";
        QTest::newRow("IP open speaker in red") << "IP" << 1 << false << 0 << "Idle/-|41 ℃/-|Open Circuit/red";
        QTest::newRow("IP warning off line: no warning") << "IP" << 0 << true << 1 << "Off Line/-|×/-|×/-";
        QTest::newRow("other kind: grey dashes") << "PR" << 1 << false << 1 << "Idle/-|---/grey|---/grey";
        QTest::newRow("other kind emergency in red")
            << "PR" << 5 << false << 1 << "EmergencyBroadcast/red|---/grey|---/grey";
    }
    void playerCells()
    {
        QFETCH(QString, type);
        QFETCH(int, status);
        QFETCH(bool, warning);
        QFETCH(int, speaker);
        ZnTerminal t;
        QVERIFY(amps()->hasTerminal(30, t));
        t.type = t.exten = type.toStdString();
        t.status = status;
        t.ampTemp = 41;
        t.ampWarning = warning;
        t.speaker = speaker;
        QCOMPARE(amps()->mergeList(t), 0);
        playerPage->updateTer(30);
        QStringList cells;
        for (int column :
             {ZnPlayerInfoForm::WorkColumn, ZnPlayerInfoForm::TempColumn, ZnPlayerInfoForm::SpeakerColumn}) {
            const QTableWidgetItem *item = players()->item(rowOfId(players(), 30), column);
            const QBrush ink = item->foreground();
            const QString colour = ink.style() == Qt::NoBrush || ink.color() == Qt::black ? QStringLiteral("-")
                                   : ink.color() == QColor(255, 0, 0)                     ? QStringLiteral("red")
                                   : ink.color() == QColor(192, 192, 192)                 ? QStringLiteral("grey")
                                                                                          : ink.color().name();
            cells << item->text() + QLatin1Char('/') + colour;
        }
        QTEST(cells.join(QLatin1Char('|')), "cells");
    }

    // Each terminal that follows another stands directly below it, grey; one
    // whose leader is not above it stays in id order. Not base terminals are
    // not listed.
    void defaultSettingRows_data()
    {
        QTest::addColumn<QList<int>>("leaders"); // of 10, 20 and 30
        QTest::addColumn<QString>("rows");       // "id" or "id grey", top to bottom
        QTest::newRow("none") << QList<int>{0, 0, 0} << "10 20 30";
        QTest::newRow("30 below 10") << QList<int>{0, 0, 10} << "10 30g 20";
        QTest::newRow("two below 10, the later first") << QList<int>{0, 10, 10} << "10 30g 20g";
        QTest::newRow("leader below: id order") << QList<int>{30, 0, 0} << "10g 20 30";
        QTest::newRow("chain") << QList<int>{0, 10, 20} << "10 20g 30g";
    }
    void defaultSettingRows()
    {
        QFETCH(QList<int>, leaders);
        const int ids[] = {10, 20, 30};
        for (int i = 0; i < 3; ++i) {
            ZnTerminal t;
            QVERIFY(amps()->hasTerminal(ids[i], t));
            t.masterId = leaders.at(i);
            QCOMPARE(amps()->mergeList(t), 0);
        }
        ZnTerDefaultSetCtr dialog;
        dialog.loadTable();
        QTableWidget *t = dialog.findChild<QTableWidget *>(QStringLiteral("fTerTableWidget"));
        QStringList rows;
        for (int r = 0; r < t->rowCount(); ++r) {
            const bool grey = t->item(r, 0)->background().color() == QColor(200, 200, 200);
            for (int c = 1; c < 3; ++c)
                QCOMPARE(t->item(r, c)->background().color(), t->item(r, 0)->background().color());
            rows << t->item(r, 0)->data(Qt::UserRole).toString() + (grey ? QStringLiteral("g") : QString());
        }
        QTEST(rows.join(QLatin1Char(' ')), "rows");
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
        slider->setValue(64);
        QTest::mouseRelease(slider, Qt::LeftButton);
        QTRY_COMPARE(t->item(rowOfId(t, 60002), 3)->text(), QStringLiteral("64"));
        s.sim.addRule(ZnSimRule::make("POST IpAmpSet", ZnSimRule::Fail, "refused"));
        slider->setValue(20);
        const QStringList seen =
            answering({ModalChain::confirm()}, [&] { QTest::mouseRelease(slider, Qt::LeftButton); });
        QVERIFY(seen.join(QLatin1Char(' ')).contains(QStringLiteral("Setting Error!")));
        QCOMPARE(t->item(rowOfId(t, 60002), 3)->text(), QStringLiteral("64"));
    }

    // The first tick after a press is skipped; the release steps once more and
    // starts the send, which goes to every selected row.
    void volumeSteps_data()
    {
        QTest::addColumn<bool>("increase");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("volume");
        QTest::newRow("one click") << true << 75 << 0 << 76;
        QTest::newRow("held for three ticks") << true << 75 << 3 << 78;
        QTest::newRow("held down at 1 stops at 0") << false << 1 << 5 << 0;
        QTest::newRow("held up at 99 stops at 100") << true << 99 << 4 << 100;
    }
    void volumeSteps()
    {
        QFETCH(bool, increase);
        QFETCH(int, start);
        QFETCH(int, ticks);
        QFETCH(int, volume);
        selectIds(players(), {10, 30});
        playerPage->form().fVolumeSlider->setValue(start);
        ZnVolumeStepper *stepper = playerPage->volume();
        QPushButton *button = increase ? playerPage->form().fAddVolumnBtn : playerPage->form().fDecVolumnBtn;
        QTest::mousePress(button, Qt::LeftButton);
        for (int i = 0; i < ticks; ++i)
            tick(stepper->repeatTimerId());
        QTest::mouseRelease(button, Qt::LeftButton);
        QCOMPARE(playerPage->form().fVolumeSlider->value(), volume);
        QCOMPARE(stepper->repeatTimerId(), -1);
        QVERIFY(sent("POST IpAmpSet").empty());
        tick(stepper->applyTimerId());
        const std::string v = std::to_string(volume);
        QCOMPARE(sent("POST IpAmpSet", "BroVol"), (std::vector<std::string>{"10:" + v, "30:" + v}));
        QCOMPARE(cell(10, ZnPlayerInfoForm::VolumeColumn), QString::number(volume));
        QCOMPARE(stepper->applyTimerId(), -1);
    }

    // Rows of a list answer without a usable id are no players: no row shows
    // them, and a volume set for every row goes to the listed players alone.
    void playerRowsWithoutIdLeftOut()
    {
        s.sim.withData([](ZnSimData &d) {
            for (const char *id : {"{}", "[1]", "null", "true", "1.5", "\"ghost\"", ""}) {
                Json::Value r = terminalRow(0, "ghostname", 1, "IP");
                r.removeMember("terminalId");
                if (*id)
                    Json::Reader().parse(id, r["terminalId"]);
                d.table("ipamp").push_back(r);
            }
        });
        QVERIFY(signalled(amps(), &ZnPlayTermListMgr::gotPlayTermList, [&] { amps()->requestPlayTermList(); }));
        QCOMPARE(idsOf(players()), QStringLiteral("10 20 30 20005"));
        players()->selectAll();
        QTest::mouseClick(playerPage->form().fAddVolumnBtn, Qt::LeftButton);
        tick(playerPage->volume()->applyTimerId());
        QCOMPARE(sent("POST IpAmpSet"), (std::vector<std::string>{"10", "20", "30", "20005"}));
    }

    // The volume buttons and the slider work through the page's own slots: with
    // the page's slot cut off, the control sends nothing (or, for the slider,
    // the value it had before).
    void volumeControlsGoThroughThePage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QString>("sent");
        for (const char *page : {"player", "d74"}) {
            const char *id = page == QByteArray("player") ? "30:" : "60002:";
            QTest::addRow("%s: add", page) << page << "add" << false << QLatin1String(id) + QLatin1String("41");
            QTest::addRow("%s: decrease", page) << page << "dec" << false << QLatin1String(id) + QLatin1String("39");
            QTest::addRow("%s: slider release", page)
                << page << "slider" << false << QLatin1String(id) + QLatin1String("33");
            QTest::addRow("%s: add without its slot", page) << page << "add" << true << QString();
            QTest::addRow("%s: decrease without its slot", page) << page << "dec" << true << QString();
            QTest::addRow("%s: slider without its slot", page)
                << page << "slider" << true << QLatin1String(id) + QLatin1String("40");
            QTest::addRow("%s: timed send without doChangeVol", page) << page << "timed" << true << QString();
        }
    }
    void volumeControlsGoThroughThePage()
    {
        QFETCH(QString, page);
        QFETCH(QString, control);
        QFETCH(bool, cut);
        const std::vector<std::string> volumes = page == QStringLiteral("player")
                                                     ? useVolumeControl(playerPage.get(), control, cut, 30)
                                                     : useVolumeControl(d74.get(), control, cut, 60002);
        QStringList out;
        for (const std::string &v : volumes)
            out << QString::fromStdString(v);
        QTEST(out.join(QLatin1Char(' ')), "sent");
    }

    // A new press cancels the pending send (a stale tick of it sends nothing);
    // the next release starts it again. A release on the slider sends at once.
    void pressWhilePendingPostponesTheSend()
    {
        selectIds(players(), {30});
        playerPage->form().fVolumeSlider->setValue(40);
        ZnVolumeStepper *stepper = playerPage->volume();
        QPushButton *add = playerPage->form().fAddVolumnBtn;
        QTest::mouseClick(add, Qt::LeftButton);
        const int pending = stepper->applyTimerId();
        QVERIFY(pending >= 0);
        QTest::mousePress(add, Qt::LeftButton);
        QCOMPARE(stepper->applyTimerId(), -1);
        tick(pending);
        QTest::mouseRelease(add, Qt::LeftButton);
        QVERIFY(sent("POST IpAmpSet").empty());
        tick(stepper->applyTimerId());
        QCOMPARE(sent("POST IpAmpSet", "BroVol"), std::vector<std::string>{"30:42"});
        playerPage->form().fVolumeSlider->setValue(12);
        QTest::mouseRelease(playerPage->form().fVolumeSlider, Qt::LeftButton);
        QCOMPARE(sent("POST IpAmpSet", "BroVol"), (std::vector<std::string>{"30:42", "30:12"}));
    }

    // A volume the server refuses is told, and the volume cell keeps what the
    // server holds; the slider stays where the operator moved it.
    void refusedVolume_data()
    {
        QTest::addColumn<bool>("player"); // else the emergency microphone page
        QTest::addColumn<bool>("slider"); // else one click on the + button
        QTest::newRow("player: slider release refused, cell kept") << true << true;
        QTest::newRow("player: + button refused, cell kept") << true << false;
        QTest::newRow("emergency microphone: + button refused, cell kept") << false << false;
    }
    void refusedVolume()
    {
        QFETCH(bool, player);
        QFETCH(bool, slider);
        QTableWidget *t = player ? players() : d74->tableWidget();
        QSlider *bar = player ? playerPage->form().fVolumeSlider : d74->form().fVolumeSlider;
        ZnVolumeStepper *stepper = player ? playerPage->volume() : d74->volume();
        const int id = player ? 30 : 60002, column = player ? int(ZnPlayerInfoForm::VolumeColumn) : 3;
        selectIds(t, {id});
        const QString before = t->item(rowOfId(t, id), column)->text();
        QVERIFY(before != QLatin1String("33") && before != QLatin1String("34"));
        s.sim.addRule(ZnSimRule::make("POST IpAmpSet", ZnSimRule::Fail, "refused"));
        bar->setValue(33);
        const int posts = s.sim.count("POST IpAmpSet");
        const QStringList seen = answering({ModalChain::confirm()}, [&] {
            if (slider)
                return QTest::mouseRelease(bar, Qt::LeftButton);
            QTest::mouseClick(player ? playerPage->form().fAddVolumnBtn : d74->form().fAddVolumnBtn, Qt::LeftButton);
            tick(stepper->applyTimerId(), stepper);
        });
        QCOMPARE(s.sim.count("POST IpAmpSet"), posts + 1);
        QCOMPARE(seen.size(), 1);
        QVERIFY2(seen.at(0).contains(QStringLiteral("Setting Error!")), qPrintable(seen.at(0)));
        QCOMPARE(t->item(rowOfId(t, id), column)->text(), before);
        QCOMPARE(bar->value(), slider ? 33 : 34);
    }

    // Sent for every selected row, in the order the rows were selected; a
    // refusal is not told: the cells follow what the server reports.
    void amplifiers_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QList<int>>("chosen");
        QTest::newRow("on") << true << false << QList<int>{10, 20, 30};
        QTest::newRow("off") << false << false << QList<int>{10, 20, 30};
        QTest::newRow("refused") << true << true << QList<int>{10, 20, 30};
        QTest::newRow("on, in the order chosen") << true << false << QList<int>{30, 10, 20};
    }
    void amplifiers()
    {
        QFETCH(bool, on);
        QFETCH(bool, refused);
        QFETCH(QList<int>, chosen);
        if (refused)
            s.sim.addRule(ZnSimRule::make("POST IpAmpPower", ZnSimRule::Fail, "no"));
        selectIds(players(), chosen);
        const QStringList seen = answering({ModalChain::confirm()}, [&] {
            (on ? playerPage->form().fAmpOpenBtn : playerPage->form().fAmpCloseBtn)->click();
        });
        const std::string p = on ? "1" : "0";
        std::vector<std::string> expected;
        for (int id : chosen)
            expected.push_back(std::to_string(id) + ":" + p);
        QCOMPARE(sent("POST IpAmpPower", "Power"), expected);
        QCOMPARE(seen.size(), 0);
        if (!refused)
            QTRY_COMPARE(cell(10, ZnPlayerInfoForm::AmpColumn), on ? QStringLiteral("open") : QStringLiteral("close"));
    }

    // 30 idle, 20005 broadcasting (told once), 20 no IP amplifier (passed over);
    // "Checking" only for the one the server took.
    void speakerCheck()
    {
        selectIds(players(), {20, 30, 20005});
        const QStringList seen = answering({ModalChain::confirm()}, [&] { playerPage->speakerCheckClicked(); });
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.at(0).contains(QStringLiteral("Can't check speaker when terminal not idle!")));
        QCOMPARE(sent("POST IpAmpSpkCheck"), std::vector<std::string>{"30"});
        QCOMPARE(cell(30, ZnPlayerInfoForm::SpeakerColumn), QStringLiteral("Checking"));
    }

    // Deleted last chosen first: both offline, chosen 20 then 10, the removal of
    // 10 goes out before that of 20.
    void deleteLastChosenFirst()
    {
        ZnTerminal t;
        QVERIFY(amps()->hasTerminal(20, t));
        t.status = 0;
        QCOMPARE(amps()->mergeList(t), 0);
        const size_t before = s.requests("POST RemoveDevice").size();
        selectIds(players(), {20, 10});
        answering({ModalChain::confirm()}, [&] { playerPage->form().fDelTerBtn->click(); });
        std::vector<std::string> ids;
        const std::vector<ZnSimRequest> all = s.requests("POST RemoveDevice");
        for (size_t i = before; i < all.size(); ++i)
            ids.push_back(jsonOf(all[i].body)["Id"].asString());
        QCOMPARE(ids, (std::vector<std::string>{"10", "20"}));
    }

    void dialogResultsSent_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("sends");
        // 10 is behind a firewall already: "all yes" changes the three others.
        QTest::newRow("firewall all yes") << "tcp" << false << 3;
        QTest::newRow("thresholds: unset maximum not sent") << "amp" << false << 1;
        QTest::newRow("default setting, every row") << "default" << false << 3;
        QTest::newRow("refused settings not told") << "default" << true << 3;
    }
    void dialogResultsSent()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, refused);
        QFETCH(int, sends);
        ZnTerminal t;
        QVERIFY(amps()->hasTerminal(10, t));
        t.viaFirewall = 1;
        QCOMPARE(amps()->mergeList(t), 0);
        if (refused)
            s.sim.addRule(ZnSimRule::make("POST Terminal", ZnSimRule::Fail, "no"));
        // "All yes" on the firewall dialog, a maximum volume for row 2 on the threshold one.
        auto fill = [&](QWidget *w) {
            if (dialog == QStringLiteral("tcp"))
                ModalChain::click(QStringLiteral("fTcpBtn"))(w);
            if (auto *amps = qobject_cast<ZnSetAmpFormCtr *>(w)) {
                amps->form().fAmpTableWidget->selectRow(2);
                amps->form().fVolumnSpinBox_4->setValue(60);
            }
            ModalChain::click(QStringLiteral("fOkBtn"))(w);
        };
        void (ZnPlayerInfoForm::*open)() = dialog == QStringLiteral("tcp")   ? &ZnPlayerInfoForm::tcpModeClicked
                                           : dialog == QStringLiteral("amp") ? &ZnPlayerInfoForm::ampTmptSetClick
                                                                             : &ZnPlayerInfoForm::defaultSetClicked;
        const QStringList seen = answering({fill, ModalChain::confirm()}, [&] { (playerPage.get()->*open)(); });
        const std::string label = dialog == QLatin1String("amp") ? "SET PlayTermConfig" : "POST Terminal";
        QCOMPARE(int(s.requests(label).size() - before[label]), sends);
        if (dialog == QStringLiteral("amp")) {
            const std::string raw = s.requests(label).back().raw;
            QVERIFY(raw.find("Id: 10") != std::string::npos && raw.find("MaxVol: 60") != std::string::npos);
        }
        QCOMPARE(seen.size(), 1);
    }

    // A change to the group shown redraws it as a click on it does, so Edit and
    // Delete are enabled; a change to another group leaves them as they are.
    void changeOfTheShownGroup_data()
    {
        QTest::addColumn<int>("changed");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("the group shown") << 2 << true;
        QTest::newRow("another group") << 1 << false;
    }
    void changeOfTheShownGroup()
    {
        QFETCH(int, changed);
        QFETCH(bool, enabled);
        auto &ui = groupPage->form();
        setCurrent(2);
        ui.fEditBtn->setEnabled(false);
        ui.fDelBtn->setEnabled(false);
        ZnMicGroup g;
        QVERIFY(micGroups()->getGroup(changed, g));
        setMembers(changed, g.members);
        QCOMPARE(ui.fEditBtn->isEnabled(), enabled);
        QCOMPARE(ui.fDelBtn->isEnabled(), enabled);
        QCOMPARE(idsOf(ui.fTermTableWidget), QStringLiteral("70002"));
        ui.fEditBtn->setEnabled(true);
        ui.fDelBtn->setEnabled(true);
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
        QCOMPARE(QString::fromStdString(lastPost("CallService")["Dsk81Id"].asString()), sent);
        QCOMPARE(lastPost("CallService")["Id"].asString(), std::string("2"));
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
        const int id = std::atoi(lastPost("CallService")["Id"].asString().c_str());
        QVERIFY2(id > largest && id <= largest + 10, qPrintable(QString::number(id)));
        QCOMPARE(rowsOf(groups()).section(QLatin1Char(' '), 0, 0), QString::number(id) + QStringLiteral(":Lobby"));
    }

    // The column headers of the tables in the dialogs these pages open, in order.
    void dialogHeaders_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("headers");
        QTest::newRow("fire alarm channels") << "channels"
                                             << "通道序号|通道名称|当前状态|任务名称";
        QTest::newRow("amplifier thresholds") << "amp"
                                              << "终端名称|功放报警温度|开启风扇温度|最大音量";
        QTest::newRow("firewall: the id first") << "tcp"
                                                << "ID|终端名称|经过防火墙";
        QTest::newRow("default setting") << "default"
                                         << "终端名称|默认音量|默认功放开关|是否指定默认";
        QTest::newRow("mic group: the consoles to choose") << "group"
                                                           << "Name|ID|IP";
    }
    void dialogHeaders()
    {
        QFETCH(QString, dialog);
        ZnFAlarm a = alarm();
        ZnMicGroup g;
        QVERIFY(micGroups()->getGroup(2, g));
        QTableWidget *t = nullptr;
        std::unique_ptr<QWidget> owner;
        if (dialog == QLatin1String("channels")) {
            auto *d = new ZnFAlarmSettingDialog(&a);
            owner.reset(d), t = d->form().fChannelTb;
        } else if (dialog == QLatin1String("amp")) {
            auto *d = new ZnSetAmpFormCtr;
            owner.reset(d), t = d->form().fAmpTableWidget;
        } else if (dialog == QLatin1String("tcp")) {
            auto *d = new ZnSetTCPForm(1);
            owner.reset(d), t = d->form().fTableWidget;
        } else if (dialog == QLatin1String("default")) {
            auto *d = new ZnTerDefaultSetCtr;
            owner.reset(d), t = d->form().fTerTableWidget;
        } else {
            auto *d = new ZnMicGroupEditDialog(&g);
            owner.reset(d), t = d->form().fMicTableWidget;
        }
        QTEST(headersOf(t), "headers");
    }

    // What a cell reads for each value the family lists, and its colour
    // ("-" black). Each push is a row of the server's table over a unit of
    // status 1; a second push redraws the row, and the cell reads each text in
    // turn: a redraw takes back the red of an emergency or a fire trigger.
    void cellTexts_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("pushes"); // "key=value,..." per push, pushes split by '|'
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("texts"); // after each push, split by '|'
        QTest::addColumn<QString>("ink");
        const QString red = QStringLiteral("#ff0000");
        const char *const d72States[] = {
            "Login Out", "Idle",    "Sound Source Broadcast", "Mic Broadcast", "Ring By Call",
            "Talking",   "Monitor", "EmergencyBroadcast"};
        for (int status = 0; status < 8; ++status) {
            for (const char *page : {"d72", "d74"}) {
                const bool d72Page = QLatin1String(page) == QLatin1String("d72");
                QTest::newRow(qPrintable(QStringLiteral("%1 status %2").arg(QLatin1String(page)).arg(status)))
                    << page << QStringLiteral("status=%1").arg(status) << (d72Page ? 4 : 2) << d72States[status]
                    << (status == 7 ? red : QStringLiteral("-"));
            }
        }
        QTest::newRow("d72 status 8 as 0") << "d72"
                                           << "status=8" << 4 << "Login Out"
                                           << "-";
        QTest::newRow("d72 status -1 as 0") << "d72"
                                            << "status=-1" << 4 << "Login Out"
                                            << "-";
        QTest::newRow("d74 status 8 as 0") << "d74"
                                           << "status=8" << 2 << "Login Out"
                                           << "-";
        QTest::newRow("d72 emergency over: black again") << "d72"
                                                         << "status=7|status=1" << 4 << "EmergencyBroadcast|Idle"
                                                         << "-";
        QTest::newRow("d72 emergency redrawn red") << "d72"
                                                   << "status=1|status=7" << 4 << "Idle|EmergencyBroadcast" << red;
        QTest::newRow("d74 emergency over: black again") << "d74"
                                                         << "status=7|status=1" << 2 << "EmergencyBroadcast|Idle"
                                                         << "-";
        QTest::newRow("d72 AEC 1 yes") << "d72"
                                       << "aec=1,ppt=0" << 2 << "Yes"
                                       << "-";
        QTest::newRow("d72 AEC 0 no") << "d72"
                                      << "aec=0,ppt=1" << 2 << "No"
                                      << "-";
        QTest::newRow("d72 AEC 2 yes") << "d72"
                                       << "aec=2" << 2 << "Yes"
                                       << "-";
        QTest::newRow("d72 AEC -1 no") << "d72"
                                       << "aec=-1" << 2 << "No"
                                       << "-";
        QTest::newRow("d72 PPT 1 yes") << "d72"
                                       << "aec=0,ppt=1" << 3 << "Yes"
                                       << "-";
        QTest::newRow("d72 PPT 0 no") << "d72"
                                      << "aec=1,ppt=0" << 3 << "No"
                                      << "-";
        QTest::newRow("d74 volume") << "d74"
                                    << "broVol=37" << 3 << "37"
                                    << "-";
        QTest::newRow("d74 LED text") << "d74"
                                      << "ledTxt=Exit left" << 7 << "Exit left"
                                      << "-";
        QTest::newRow("d74 LED text redrawn") << "d74"
                                              << "ledTxt=A|ledTxt=B" << 7 << "A|B"
                                              << "-";
        QTest::newRow("cap status 0 off line") << "cap"
                                               << "status=0" << 4 << "Off Line"
                                               << "-";
        QTest::newRow("cap status 1 idle") << "cap"
                                           << "status=1" << 4 << "Idle"
                                           << "-";
        QTest::newRow("cap status 2 broadcasting") << "cap"
                                                   << "status=2" << 4 << "Broadcasting"
                                                   << "-";
        QTest::newRow("cap status 3 off line") << "cap"
                                               << "status=3" << 4 << "Off Line"
                                               << "-";
        QTest::newRow("cap 16000 general") << "cap"
                                           << "capSamplerate=16000" << 3 << "General"
                                           << "-";
        QTest::newRow("cap 24000 medium, a blank after") << "cap"
                                                         << "capSamplerate=24000" << 3 << "Medium "
                                                         << "-";
        QTest::newRow("cap 32000 advanced") << "cap"
                                            << "capSamplerate=32000" << 3 << "Advanced"
                                            << "-";
        QTest::newRow("cap rate redrawn") << "cap"
                                          << "capSamplerate=32000|capSamplerate=16000" << 3 << "Advanced|General"
                                          << "-";
        QTest::newRow("cap volume") << "cap"
                                    << "capVol=64" << 2 << "64"
                                    << "-";
        QTest::newRow("alarm off line, bits set") << "falarm"
                                                  << "status=0,shortCircuit=4,triggerType=2" << 2 << "断线"
                                                  << "-";
        QTest::newRow("alarm fire trigger red") << "falarm"
                                                << "shortCircuit=4,triggerType=2" << 2 << "消防报警"
                                                << "#fc4136";
        QTest::newRow("alarm any type but 1 is fire") << "falarm"
                                                      << "shortCircuit=1,triggerType=3" << 2 << "消防报警"
                                                      << "#fc4136";
        QTest::newRow("alarm plain trigger") << "falarm"
                                             << "shortCircuit=4,triggerType=1" << 2 << "短路触发"
                                             << "-";
        QTest::newRow("alarm idle") << "falarm"
                                    << "shortCircuit=0,triggerType=2" << 2 << "空闲"
                                    << "-";
        QTest::newRow("alarm fire over: black again")
            << "falarm"
            << "shortCircuit=4,triggerType=2|shortCircuit=0,triggerType=2" << 2 << "消防报警|空闲"
            << "-";
    }
    void cellTexts()
    {
        QFETCH(QString, page);
        QFETCH(QString, pushes);
        QFETCH(int, column);
        QFETCH(QString, texts);
        struct Family
        {
            const char *table, *type, *removal;
            int base;
            QTableWidget *shown;
        };
        const std::map<QString, Family> families{
            {QStringLiteral("d72"), {"dsk72", "2", "D72", 51000, d72->tableWidget()}},
            {QStringLiteral("d74"), {"dsk74", "4", "D74", 61000, d74->tableWidget()}},
            {QStringLiteral("cap"), {"capd73", "CAP", "CAP", 21000, caps->tableWidget()}},
            {QStringLiteral("falarm"), {"firealarm", "FR", "", 31000, alarms()}}};
        const Family &f = families.at(page);
        static int n = 0;
        const int id = f.base + ++n;
        const QStringList steps = pushes.split(QLatin1Char('|')), shown = texts.split(QLatin1Char('|'));
        for (int i = 0; i < steps.size(); ++i) {
            Json::Value r = terminalRow(id, "X", 1, f.type);
            r["ip"] = "10.0.0.9";
            for (const QString &field : steps.at(i).split(QLatin1Char(',')))
                r[field.section(QLatin1Char('='), 0, 0).toStdString()] =
                    field.section(QLatin1Char('='), 1).toStdString();
            s.sim.pushPost("SqlConfig", f.table, "[" + ZnSimData::json(r) + "]");
            QTRY_VERIFY(rowOfId(f.shown, id) >= 0);
            QTRY_COMPARE(f.shown->item(rowOfId(f.shown, id), column)->text(), shown.at(i));
        }
        QTEST(inkOf(f.shown->item(rowOfId(f.shown, id), column)), "ink");
        if (*f.removal) {
            s.sim.pushDelete(f.removal, id);
            QTRY_COMPARE(rowOfId(f.shown, id), -1);
        } else {
            // The fire-alarm model takes no removal notice: the list read again drops the row.
            ZnFAlarmListMgr *m = ZnFAlarmListMgr::instance();
            QVERIFY(signalled(m, &ZnFAlarmListMgr::gotFAlarmList, [m] { m->registerAndWait(); }));
            QCOMPARE(rowOfId(f.shown, id), -1);
        }
    }

    // The player cells the other tests leave out: the kind of terminal, the
    // work states, the amplifier switch, the volume and the speaker faults.
    void playerTexts_data()
    {
        QTest::addColumn<QString>("exten");
        QTest::addColumn<QString>("type");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("power");
        QTest::addColumn<int>("speaker");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("ink");
        const int kind = ZnPlayerInfoForm::KindColumn, work = ZnPlayerInfoForm::WorkColumn;
        const int amp = ZnPlayerInfoForm::AmpColumn, speaker = ZnPlayerInfoForm::SpeakerColumn;
        QTest::newRow("kind PR") << "PR"
                                 << "PR" << 1 << true << 1 << kind << "PRTerm"
                                 << "-";
        QTest::newRow("kind IP") << "IP"
                                 << "IP" << 1 << true << 1 << kind << "IPTerm"
                                 << "-";
        QTest::newRow("kind NDX-S") << "NDX-S"
                                    << "NDX-S" << 1 << true << 1 << kind << "NDXSTerm"
                                    << "-";
        QTest::newRow("kind NDX") << "NDX"
                                  << "NDX" << 1 << true << 1 << kind << "NDXTerm"
                                  << "-";
        QTest::newRow("kind CL") << "CL"
                                 << "CL" << 1 << true << 1 << kind << "CLTerm"
                                 << "-";
        QTest::newRow("kind of another number") << "SW"
                                                << "SW" << 1 << true << 1 << kind << "01Term"
                                                << "-";
        QTest::newRow("kind unknown text") << "XYZ"
                                           << "XYZ" << 1 << true << 1 << kind << "01Term"
                                           << "-";
        QTest::newRow("kind: extension -- reads the type") << "--"
                                                           << "NDX" << 1 << true << 1 << kind << "NDXTerm"
                                                           << "-";
        QTest::newRow("work 2 broadcasting") << "PR"
                                             << "PR" << 2 << true << 1 << work << "Broadcasting"
                                             << "-";
        QTest::newRow("work 3 mic broadcast") << "PR"
                                              << "PR" << 3 << true << 1 << work << "Mic Broadcast"
                                              << "-";
        QTest::newRow("work 4 warning") << "PR"
                                        << "PR" << 4 << true << 1 << work << "Warning"
                                        << "-";
        QTest::newRow("work 6 off line") << "PR"
                                         << "PR" << 6 << true << 1 << work << "Off Line"
                                         << "-";
        QTest::newRow("work -1 off line") << "PR"
                                          << "PR" << -1 << true << 1 << work << "Off Line"
                                          << "-";
        QTest::newRow("amplifier on") << "IP"
                                      << "IP" << 1 << true << 1 << amp << "open"
                                      << "-";
        QTest::newRow("amplifier off") << "IP"
                                       << "IP" << 1 << false << 1 << amp << "close"
                                       << "-";
        QTest::newRow("speaker 2 short circuit red") << "IP"
                                                     << "IP" << 1 << true << 2 << speaker << "Short Circuit"
                                                     << "#ff0000";
        QTest::newRow("speaker 3 checking red") << "IP"
                                                << "IP" << 1 << true << 3 << speaker << "Checking"
                                                << "#ff0000";
        QTest::newRow("speaker pass black again") << "IP"
                                                  << "IP" << 1 << true << 1 << speaker << "Pass"
                                                  << "-";
    }
    void playerTexts()
    {
        QFETCH(QString, exten);
        QFETCH(QString, type);
        QFETCH(int, column);
        ZnTerminal t;
        QVERIFY(amps()->hasTerminal(30, t));
        t.exten = exten.toStdString();
        t.type = type.toStdString();
        QFETCH(int, status);
        QFETCH(bool, power);
        QFETCH(int, speaker);
        t.status = status, t.power = power, t.speaker = speaker;
        t.ampWarning = false;
        QCOMPARE(amps()->mergeList(t), 0);
        playerPage->updateTer(30);
        const QTableWidgetItem *item = players()->item(rowOfId(players(), 30), column);
        QTEST(item->text(), "text");
        QTEST(inkOf(item), "ink");
        // The volume cell follows the record, and the speaker column stays hidden.
        QCOMPARE(cell(30, ZnPlayerInfoForm::VolumeColumn), QStringLiteral("50"));
        QVERIFY(players()->isColumnHidden(ZnPlayerInfoForm::SpeakerColumn));
    }

    // What the player page's three dialogs show of a terminal: thresholds in
    // degrees, the firewall and default boxes, the default power by name.
    void playerDialogCells_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("on"); // through a firewall; default power on and applied
        QTest::addColumn<QString>("cells");
        QTest::newRow("amp: degrees, the volume plain") << "amp" << true << "T10|70 ℃|45 ℃|90";
        QTest::newRow("firewall: passed through, checked") << "tcp" << true << "10|T10|checked";
        QTest::newRow("firewall: direct, unchecked") << "tcp" << false << "10|T10|unchecked";
        QTest::newRow("default: open, applied") << "default" << true << "T10|33|open|checked";
        QTest::newRow("default: close, not applied") << "default" << false << "T10|33|close|unchecked";
    }
    void playerDialogCells()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, on);
        ZnTerminal t;
        QVERIFY(amps()->hasTerminal(10, t));
        t.modelNo = 17, t.warnTempThreshold = 70, t.fanTempThreshold = 45, t.maxVol = 90;
        t.viaFirewall = on, t.defaultVolume = 33, t.defaultPower = on, t.isDefault = on;
        QCOMPARE(amps()->mergeList(t), 0);
        std::unique_ptr<QWidget> owner;
        QTableWidget *table = nullptr;
        if (dialog == QLatin1String("amp")) {
            auto *d = new ZnSetAmpFormCtr;
            d->loadTable();
            owner.reset(d), table = d->form().fAmpTableWidget;
        } else if (dialog == QLatin1String("tcp")) {
            auto *d = new ZnSetTCPForm(1);
            owner.reset(d), table = d->form().fTableWidget;
        } else {
            auto *d = new ZnTerDefaultSetCtr;
            d->loadTable();
            owner.reset(d), table = d->form().fTerTableWidget;
        }
        const int row = rowOfId(table, 10);
        QVERIFY(row >= 0);
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c) {
            const QCheckBox *box =
                table->cellWidget(row, c) ? table->cellWidget(row, c)->findChild<QCheckBox *>() : nullptr;
            if (!box)
                box = qobject_cast<QCheckBox *>(table->cellWidget(row, c));
            QString text = table->item(row, c) ? table->item(row, c)->text() : QString();
            if (box)
                text += box->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
            cells << text;
        }
        QTEST(cells.join(QLatin1Char('|')), "cells");
    }

    // The group's rule by name and its ring time in seconds, as redrawn after a change.
    void groupTexts_data()
    {
        QTest::addColumn<int>("rule");
        QTest::addColumn<QString>("cells"); // rule|ring time
        QTest::newRow("1 all ring") << 1 << "All Ring|45 s";
        QTest::newRow("2 least ring first") << 2 << "Ring Least First|45 s";
        QTest::newRow("3 least answer first") << 3 << "Answer Least First|45 s";
        QTest::newRow("4 least talk first") << 4 << "Talk Least First|45 s";
        QTest::newRow("5 fixed order") << 5 << "Fixed Order|45 s";
    }
    void groupTexts()
    {
        QFETCH(int, rule);
        ZnMicGroup g;
        QVERIFY(micGroups()->getGroup(2, g));
        g.callWaitRule = rule;
        g.ringTime = 45;
        QCOMPARE(micGroups()->modifyGroup(g, ZnMicGroupListMgr::Modify), 0);
        QFETCH(QString, cells);
        QTRY_COMPARE(rowText(groups(), 2).section(QLatin1Char('|'), 2, 3), cells);
    }

    // A channel sent from the setting dialog is on the server at once: the page
    // reads the list again even when the dialog is closed by its × button. Closed
    // untouched, or after a channel reset alone, it reads nothing; OK reads.
    void alarmDialogClosedByCross_data()
    {
        QTest::addColumn<QString>("action"); // in the dialog before it closes
        QTest::addColumn<bool>("reloaded");
        QTest::newRow("channel edited, then ×: reloaded") << "edit" << true;
        QTest::newRow("channel reset, then ×: not reloaded") << "reset" << false;
        QTest::newRow("untouched, then ×: not reloaded") << "none" << false;
        QTest::newRow("OK untouched: reloaded") << "ok" << true;
    }
    void alarmDialogClosedByCross()
    {
        QFETCH(QString, action);
        QFETCH(bool, reloaded);
        QVERIFY(serve(1, 0, 2, "0!!!0"));
        // Renamed on the server without a notice: only a reload shows it.
        s.sim.withData([](ZnSimData &d) { d.table("firealarm")[0]["name"] = "Renamed"; });
        const int lists = s.sim.count("GET SqlConfig/FAlarmList");
        std::vector<ModalChain::Action> steps{[&](QWidget *w) {
            auto &ui = qobject_cast<ZnFAlarmSettingDialog *>(w)->form();
            if (action == QLatin1String("edit")) {
                ui.fChannelTb->setCurrentCell(1, 1);
                emit ui.fChannelTb->cellDoubleClicked(1, 1);
            } else if (action == QLatin1String("reset")) {
                ui.fChannelTb->setCurrentCell(0, 0);
                ui.fDelChannelBtn->click();
            }
            (action == QLatin1String("ok") ? ui.fOkBtn : ui.dialogCloseBtn)->click();
        }};
        if (action == QLatin1String("edit"))
            steps.push_back(ModalChain::click(QStringLiteral("fOkBtn"))); // the channel dialog
        const int triggers = s.sim.count("POST SetFRTrigger");
        answering(steps, [&] { doubleClickRow(alarms(), 30001); });
        QCOMPARE(s.sim.count("POST SetFRTrigger") - triggers,
                 action == QLatin1String("edit") || action == QLatin1String("reset") ? 1 : 0);
        QCOMPARE(s.sim.count("GET SqlConfig/FAlarmList") - lists, reloaded ? 1 : 0);
        if (reloaded)
            QTRY_COMPARE(rowText(alarms(), 30001).section(QLatin1Char('|'), 0, 0), QStringLiteral("Renamed"));
        else
            QCOMPARE(rowText(alarms(), 30001).section(QLatin1Char('|'), 0, 0), QStringLiteral("FA"));
    }

    // Each dialog confirmed unchanged sends the stored values; one field changed
    // changes only its own part of the request.
    void unchangedFieldsKeepStoredValues_data() { addCases(kKeepCases); }
    void unchangedFieldsKeepStoredValues()
    {
        QFETCH(const KeepCase *, c);
        const QString dialog = QLatin1String(c->dialog);
        std::map<std::string, std::string> stored;
        std::string label;
        int id = 0;
        ZnTerListPage *page = nullptr;
        if (dialog == QStringLiteral("d72") || dialog == QStringLiteral("d74")) {
            const bool led = dialog == QStringLiteral("d74");
            id = led ? 60002 : 50002;
            ZnMic mic;
            QVERIFY(led ? ZnD74ListMgr::instance()->findD74(id, mic) : ZnD72ListMgr::instance()->findD72(id, mic));
            mic.capVol = 130, mic.callVol = 7, mic.bellVol = -3, mic.broVol = 101;
            QCOMPARE(led ? ZnD74ListMgr::instance()->modifyD74(mic, 0) : ZnD72ListMgr::instance()->modifyD72(mic), 0);
            stored = {{"Id", std::to_string(id)}, {"Name", led ? "Hall" : "Yard"},
                      {"CapVol", "130"},          {"CallVol", "7"},
                      {"BellVol", "-3"},          {"BroVol", "101"}};
            label = "ModTalkTerminal";
            page = led ? static_cast<ZnTerListPage *>(d74.get()) : d72.get();
        } else if (dialog == QStringLiteral("cap")) {
            id = 20001;
            ZnCap cap;
            QVERIFY(gCapList.findCap(id, cap));
            cap.capVol = 150;
            QCOMPARE(gCapList.modifyCap(s.centre.get(), cap), 0);
            stored = {{"Id", "20001"}, {"Name", "C"}, {"CapVol", "150"}, {"CapSamplerate", "24000"}};
            label = "CapD73Set";
            page = caps.get();
        } else if (dialog == QStringLiteral("falarm")) {
            id = 30001;
            QVERIFY(serve(0, 0, 0, "")); // a trigger type neither of the two
            stored = {{"Id", "30001"}, {"Name", "FA"}, {"TriggerType", "0"}};
            label = "SetFRName";
            page = alarmPage.get();
        } else {
            id = 2;
            ZnMicGroup g;
            QVERIFY(micGroups()->getGroup(id, g));
            g.ringTime = 400, g.callWaitRule = 9, g.members = {70002, 70001, 70002};
            QCOMPARE(micGroups()->modifyGroup(g, ZnMicGroupListMgr::Modify), 0);
            stored = {{"Id", "2"},
                      {"Name", g.name},
                      {"CallWaitRule", "9"},
                      {"RingTime", "400"},
                      {"Dsk81Id", "70002 70001 70002"}};
            label = "CallService";
            page = groupPage.get();
        }
        const int before = posts(label.c_str());
        const QString step = QLatin1String(c->step);
        const QString field = step.section(QLatin1Char(' '), 0, 0), value = step.section(QLatin1Char(' '), 1);
        const auto change = [&](QWidget *w) {
            if (auto *spin = w->findChild<QSpinBox *>(field))
                spin->setValue(value.toInt());
            else if (auto *line = w->findChild<QLineEdit *>(field))
                line->setText(value);
            else if (auto *combo = w->findChild<QComboBox *>(field))
                combo->setCurrentIndex(value.toInt());
            else if (auto *button = w->findChild<QAbstractButton *>(field))
                button->click();
            else if (field == QStringLiteral("member")) {
                auto *t = w->findChild<QTableWidget *>(QStringLiteral("fMicTableWidget"));
                t->item(rowOfId(t, value.toInt()), 0)->setCheckState(Qt::Unchecked);
            }
            ModalChain::click(QStringLiteral("fOkBtn"))(w);
        };
        // One step more than the dialog: a box after it (a refusal) is counted instead of hanging.
        const QStringList seen = answering({change, ModalChain::confirm()}, [&] {
            if (page == groupPage.get()) {
                setCurrent(id);
                groupPage->form().fEditBtn->click();
            } else {
                doubleClickRow(page->tableWidget(), id);
            }
        });
        QCOMPARE(seen.size(), 1);
        if (QLatin1String(c->sent) == QLatin1String("-")) {
            QCOMPARE(posts(label.c_str()), before);
            return;
        }
        QCOMPARE(posts(label.c_str()), before + 1);
        for (const QString &f : QString::fromUtf8(c->sent).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            stored[f.section(QLatin1Char('='), 0, 0).toStdString()] = f.section(QLatin1Char('='), 1).toStdString();
        const Json::Value body = lastPost(label);
        for (const auto &k : stored)
            QCOMPARE(k.first + "=" + body[k.first].asString(), k.first + "=" + k.second);
    }

    // The server changes the record while its dialog is open, the operator types a
    // new name: OK sends the server's new value for the field left alone. Left
    // untouched, a name dialog sends the record as the list holds it at OK, so a
    // pushed rename stays.
    // Every save of a group writes its members: one the server stored as no
    // number the console keeps holds the save back, whatever changed, and the
    // operator is told; blanks alone separate members and name none.
    void groupMembersAsStored_data()
    {
        QTest::addColumn<QString>("members"); // group 2's members as the server stores them
        QTest::addColumn<QString>("name");    // typed into the dialog; empty: none
        QTest::addColumn<QString>("told");    // the box after OK
        QTest::addColumn<QString>("sent");    // Dsk81Id sent, "-" for nothing
        const QString told = QStringLiteral("Tips|The group holds consoles that cannot be written back (ID %1); "
                                            "the group was not changed.");
        QTest::newRow("a word beside a console: a new name held back, told")
            << "70002 abc"
            << "Desk group" << told.arg(QStringLiteral("\"abc\"")) << "-";
        QTest::newRow("an id beyond int, nothing changed: held back, told")
            << "70002 99999999999 70001" << QString() << told.arg(QStringLiteral("\"99999999999\"")) << "-";
        QTest::newRow("blanks repeated and at either end name no member") << " 70002  70001 "
                                                                          << "Desk group" << QString() << "70002 70001";
    }
    void groupMembersAsStored()
    {
        QFETCH(QString, members);
        QFETCH(QString, name);
        QFETCH(QString, told);
        QFETCH(QString, sent);
        const auto storedMembers = [&] {
            std::string text;
            s.sim.withData([&](ZnSimData &d) {
                for (const Json::Value &r : d.table("callservergroup")) {
                    if (r["groupId"].asString() == "2")
                        text = r["terminalId"].asString();
                }
            });
            return text;
        };
        const auto serve = [&](const std::string &text) {
            s.sim.withData([&](ZnSimData &d) {
                for (Json::Value &r : d.table("callservergroup")) {
                    if (r["groupId"].asString() == "2")
                        r["terminalId"] = text;
                }
            });
            return signalled(micGroups(), &ZnMicGroupListMgr::gotGroupList,
                             [&] { apiGetMicGroupList(s.centre.get()); });
        };
        const std::string stored = storedMembers();
        QVERIFY(serve(members.toStdString()));
        const int before = posts("CallService");
        QStringList seen = answering({[&](QWidget *w) {
                                          if (!name.isEmpty())
                                              w->findChild<QLineEdit *>(QStringLiteral("fNameEdit"))->setText(name);
                                          ModalChain::click(QStringLiteral("fOkBtn"))(w);
                                      },
                                      ModalChain::confirm()},
                                     [&] {
                                         setCurrent(2);
                                         groupPage->form().fEditBtn->click();
                                     })
                               .mid(1);
        // The box puts blanks and a line break before its text.
        seen.replaceInStrings(QRegularExpression(QStringLiteral("\\|\\s+")), QStringLiteral("|"));
        const int posted = posts("CallService") - before;
        const std::string dsk81Id = posted ? lastPost("CallService")["Dsk81Id"].asString() : std::string();
        QVERIFY(serve(stored));
        QCOMPARE(seen.join(QStringLiteral(" / ")), told);
        QCOMPARE(posted, sent == QStringLiteral("-") ? 0 : 1);
        if (posted)
            QCOMPARE(QString::fromStdString(dsk81Id), sent);
    }

    void pushedWhileOpen_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("field"); // the server's columns the push changes, blank-separated
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("sent");  // their keys in the request
        QTest::addColumn<QString>("typed"); // "objectName=value" the operator types, "Key=value" it sends; "": nothing
        const auto row = [](const char *name, const char *dialog, const char *field, int value, const char *sent,
                            const char *typed) {
            QTest::newRow(name) << QString::fromLatin1(dialog) << QString::fromLatin1(field) << value
                                << QString::fromLatin1(sent) << QString::fromLatin1(typed);
        };
        const char *name = "fNameEdit=Typed Name=Typed";
        row("d72: pushed broadcast volume kept", "d72", "broVol", 77, "BroVol", name);
        row("d74: pushed broadcast volume kept", "d74", "broVol", 77, "BroVol", name);
        row("d74: pushed display colour kept", "d74", "ledColor", 252, "LedColor",
            "fSwitchTimeSpinBox=9 DisplayTime=9");
        row("cap: pushed volume kept", "cap", "capVol", 77, "CapVol", name);
        row("cap: pushed rate kept", "cap", "capSamplerate", 32000, "CapSamplerate", name);
        row("group: ring time of a new list kept", "group", "ringTime", 77, "RingTime", name);
        row("fire alarm: pushed trigger type kept", "falarm", "triggerType", 1, "TriggerType", name);
        row("player: pushed volume kept beside a typed name", "ipamp", "broVol", 77, "BroVol", name);
        row("player: untouched name sends the pushed name and volume", "ipamp", "name broVol", 77, "Name BroVol", "");
        row("tts: typed name sent over a pushed one", "tts71", "name", 77, "", name);
        row("tts: untouched name sends the pushed one", "tts71", "name", 77, "Name", "");
    }
    void pushedWhileOpen()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, field);
        QFETCH(int, value);
        QFETCH(QString, sent);
        QFETCH(QString, typed);
        const QString step = typed.section(QLatin1Char(' '), 0, 0), typedSent = typed.section(QLatin1Char(' '), 1);
        const bool led = dialog == QLatin1String("d74");
        if (dialog == QLatin1String("falarm"))
            QVERIFY(serve(1, 0, 2, "0!!!0"));
        const bool named = dialog == QLatin1String("ipamp") || dialog == QLatin1String("tts71");
        const std::string table = named                               ? dialog.toStdString()
                                  : dialog == QLatin1String("falarm") ? "firealarm"
                                  : dialog == QLatin1String("cap")    ? "capd73"
                                  : dialog == QLatin1String("group")  ? "callservergroup"
                                  : led                               ? "dsk74"
                                                                      : "dsk72";
        const std::string key = table == "callservergroup" ? "groupId" : "terminalId";
        // The display colour on the console that shows a colour box checked.
        const int id = table == "firealarm"                 ? 30001
                       : table == "ipamp"                   ? 30
                       : table == "tts71"                   ? 40002
                       : table == "capd73"                  ? 20001
                       : table == "callservergroup"         ? 2
                       : field == QLatin1String("ledColor") ? 60001
                       : led                                ? 60002
                                                            : 50002;
        const std::string label = table == "firealarm"                 ? "SetFRName"
                                  : table == "ipamp"                   ? "IpAmpSet"
                                  : table == "tts71"                   ? "TTs71Name"
                                  : table == "capd73"                  ? "CapD73Set"
                                  : table == "callservergroup"         ? "CallService"
                                  : field == QLatin1String("ledColor") ? "ModD74Led"
                                                                       : "ModTalkTerminal";
        const auto modelHas = [&] {
            ZnMic mic;
            ZnCap cap;
            ZnMicGroup g;
            ZnTerminal player;
            ZnTts unit;
            const std::string text = std::to_string(value);
            if (table == "ipamp")
                return amps()->hasTerminal(id, player)
                       && (!field.contains(QLatin1String("name")) || player.name == text)
                       && (!field.contains(QLatin1String("broVol")) || player.broVol == value);
            if (table == "tts71")
                return ZnTtsListMgr::instance()->getTts(id, unit) && unit.name == text;
            if (table == "capd73")
                return gCapList.findCap(id, cap)
                       && (field == QLatin1String("capVol") ? cap.capVol : cap.capSamplerate) == value;
            if (table == "callservergroup")
                return micGroups()->getGroup(id, g) && g.ringTime == value;
            if (table == "firealarm")
                return alarm().triggerType == value;
            return (led ? ZnD74ListMgr::instance()->findD74(id, mic) : ZnD72ListMgr::instance()->findD72(id, mic))
                   && (field == QLatin1String("broVol") ? mic.broVol : mic.ledColor) == value;
        };
        QVERIFY(!modelHas());
        const auto push = [&] {
            Json::Value row;
            s.sim.withData([&](ZnSimData &d) {
                for (Json::Value &r : d.table(table)) {
                    if (r[key].asString() != std::to_string(id))
                        continue;
                    for (const QString &column : field.split(QLatin1Char(' ')))
                        r[column.toStdString()] = std::to_string(value);
                    row = r;
                }
            });
            if (table == "callservergroup")
                apiGetMicGroupList(s.centre.get());
            else
                s.sim.pushPost("SqlConfig", table, "[" + ZnSimData::json(row) + "]");
        };
        const int before = posts(label.c_str());
        bool pushed = false;
        const QStringList seen = answering({[&](QWidget *w) {
                                                push();
                                                pushed = ZnModalHelper::waitFor(modelHas);
                                                if (typed.isEmpty())
                                                    return ModalChain::click(QStringLiteral("fOkBtn"))(w);
                                                const QString box = step.section(QLatin1Char('='), 0, 0),
                                                              text = step.section(QLatin1Char('='), 1);
                                                if (auto *spin = w->findChild<QSpinBox *>(box))
                                                    spin->setValue(text.toInt());
                                                else
                                                    w->findChild<QLineEdit *>(box)->setText(text);
                                                ModalChain::click(QStringLiteral("fOkBtn"))(w);
                                            },
                                            ModalChain::confirm()},
                                           [&] {
                                               if (table == "callservergroup") {
                                                   setCurrent(id);
                                                   groupPage->form().fEditBtn->click();
                                               } else {
                                                   doubleClickRow(table == "firealarm" ? alarms()
                                                                  : table == "ipamp"   ? players()
                                                                  : table == "tts71"   ? tts->tableWidget()
                                                                  : table == "capd73"  ? caps->tableWidget()
                                                                  : led                ? d74->tableWidget()
                                                                                       : d72->tableWidget(),
                                                                  id);
                                               }
                                           });
        QVERIFY(pushed);
        QCOMPARE(seen.size(), 1);
        QCOMPARE(posts(label.c_str()), before + 1);
        const Json::Value body = lastPost(label);
        for (const QString &k : sent.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const std::string sentKey = k.toStdString();
            QCOMPARE(sentKey + "=" + body[sentKey].asString(), sentKey + "=" + std::to_string(value));
        }
        if (typed.isEmpty())
            return;
        const std::string typedKey = typedSent.section(QLatin1Char('='), 0, 0).toStdString();
        QCOMPARE(typedKey + "=" + body[typedKey].asString(), typedSent.toStdString());
    }
};

QTEST_MAIN(TstUnitPages)
#include "tst_unitpages.moc"
