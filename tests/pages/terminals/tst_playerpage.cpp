#include "PageSim.h"
#include "ZnPlayTermListMgr.h"
#include "ZnPlayerInfoForm.h"
#include "ZnSetAmpFormCtr.h"
#include "ZnVolumeStepper.h"

#include <QtTest>

// The player page's volume, amplifier and speaker controls and its three table
// dialogs against the simulated server.
class TstPlayerPage : public QObject
{
    Q_OBJECT

    SimSession s;
    std::unique_ptr<ZnPlayerInfoForm> page;
    std::map<std::string, size_t> before;

    ZnPlayTermListMgr *model() { return ZnPlayTermListMgr::instance(); }
    QTableWidget *table() { return page->tableWidget(); }
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
    QString cell(int id, int column) { return rowText(table(), id).section(QLatin1Char('|'), column, column); }
    // The stepper's timers are driven by hand, never by the clock.
    void tick(int timerId)
    {
        QTimerEvent event(timerId);
        QCoreApplication::sendEvent(page->volume(), &event);
    }

private slots:
    void initTestCase()
    {
        s.sim.setPushChanges(true);
        QVERIFY(startModels(s));
        page.reset(new ZnPlayerInfoForm);
        page->resize(1000, 600);
        page->show();
        page->volume()->setIntervals(3600 * 1000, 3600 * 1000);
    }
    // 20005 is no base terminal; 20 is no IP amplifier.
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
        QVERIFY(signalled(model(), &ZnPlayTermListMgr::gotPlayTermList, [&] { model()->requestPlayTermList(); }));
        QCOMPARE(idsOf(table()), QStringLiteral("10 20 30 20005"));
        for (const char *label :
             {"POST IpAmpSet", "POST IpAmpPower", "POST IpAmpSpkCheck", "POST Terminal", "SET PlayTermConfig"})
            before[label] = s.requests(label).size();
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
        selectIds(table(), {10, 30});
        page->form().fVolumeSlider->setValue(start);
        ZnVolumeStepper *stepper = page->volume();
        QPushButton *button = increase ? page->form().fAddVolumnBtn : page->form().fDecVolumnBtn;
        QTest::mousePress(button, Qt::LeftButton);
        for (int i = 0; i < ticks; ++i)
            tick(stepper->repeatTimerId());
        QTest::mouseRelease(button, Qt::LeftButton);
        QCOMPARE(page->form().fVolumeSlider->value(), volume);
        QCOMPARE(stepper->repeatTimerId(), -1);
        QVERIFY(sent("POST IpAmpSet").empty());
        tick(stepper->applyTimerId());
        const std::string v = std::to_string(volume);
        QCOMPARE(sent("POST IpAmpSet", "BroVol"), (std::vector<std::string>{"10:" + v, "30:" + v}));
        QCOMPARE(cell(10, ZnPlayerInfoForm::VolumeColumn), QString::number(volume));
        QCOMPARE(stepper->applyTimerId(), -1);
    }

    // A new press cancels the pending send (a stale tick of it sends nothing);
    // the next release starts it again. A release on the slider sends at once.
    void pressWhilePendingPostponesTheSend()
    {
        selectIds(table(), {30});
        page->form().fVolumeSlider->setValue(40);
        ZnVolumeStepper *stepper = page->volume();
        QPushButton *add = page->form().fAddVolumnBtn;
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
        page->form().fVolumeSlider->setValue(12);
        QTest::mouseRelease(page->form().fVolumeSlider, Qt::LeftButton);
        QCOMPARE(sent("POST IpAmpSet", "BroVol"), (std::vector<std::string>{"30:42", "30:12"}));
    }

    // Sent for every selected row; a refusal is told once.
    void amplifiers_data()
    {
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("refused");
        QTest::newRow("on") << true << false;
        QTest::newRow("off") << false << false;
        QTest::newRow("refused") << true << true;
    }
    void amplifiers()
    {
        QFETCH(bool, on);
        QFETCH(bool, refused);
        if (refused)
            s.sim.addRule(ZnSimRule::make("POST IpAmpPower", ZnSimRule::Fail, "no"));
        selectIds(table(), {10, 20, 30});
        const QStringList seen = answering(
            {ModalChain::confirm()}, [&] { (on ? page->form().fAmpOpenBtn : page->form().fAmpCloseBtn)->click(); });
        const std::string p = on ? "1" : "0";
        QCOMPARE(sent("POST IpAmpPower", "Power"), (std::vector<std::string>{"10:" + p, "20:" + p, "30:" + p}));
        QCOMPARE(seen.size(), refused ? 1 : 0);
        if (refused)
            QVERIFY(seen.at(0).contains(QStringLiteral("Setting Error!")));
        else
            QTRY_COMPARE(cell(10, ZnPlayerInfoForm::AmpColumn), on ? QStringLiteral("open") : QStringLiteral("close"));
    }

    // 30 idle, 20005 broadcasting (told once), 20 no IP amplifier (passed over);
    // "Checking" only for the one the server took.
    void speakerCheck()
    {
        selectIds(table(), {20, 30, 20005});
        const QStringList seen = answering({ModalChain::confirm()}, [&] { page->speakerCheckClicked(); });
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.at(0).contains(QStringLiteral("Can't check speaker when terminal not idle!")));
        QCOMPARE(sent("POST IpAmpSpkCheck"), std::vector<std::string>{"30"});
        QCOMPARE(cell(30, ZnPlayerInfoForm::SpeakerColumn), QStringLiteral("Checking"));
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
        QTest::newRow("refused settings told once") << "default" << true << 3;
    }
    void dialogResultsSent()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, refused);
        QFETCH(int, sends);
        ZnTerminal t;
        QVERIFY(model()->hasTerminal(10, t));
        t.viaFirewall = 1;
        QCOMPARE(model()->mergeList(t), 0);
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
        const QStringList seen = answering({fill, ModalChain::confirm()}, [&] { (page.get()->*open)(); });
        const std::string label = dialog == QLatin1String("amp") ? "SET PlayTermConfig" : "POST Terminal";
        QCOMPARE(int(s.requests(label).size() - before[label]), sends);
        if (dialog == QStringLiteral("amp")) {
            const std::string raw = s.requests(label).back().raw;
            QVERIFY(raw.find("Id: 10") != std::string::npos && raw.find("MaxVol: 60") != std::string::npos);
        }
        QCOMPARE(seen.size(), refused ? 2 : 1);
        if (refused)
            QVERIFY(seen.at(1).contains(QStringLiteral("Setting Error!")));
    }
};

QTEST_MAIN(TstPlayerPage)
#include "tst_playerpage.moc"
