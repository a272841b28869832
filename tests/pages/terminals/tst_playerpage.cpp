#include "PageSim.h"
#include "ZnPlayTermListMgr.h"
#include "ZnPlayerInfoForm.h"
#include "ZnSetAmpFormCtr.h"
#include "ZnVolumeStepper.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

// The player page and its three table dialogs against the simulated server.
class TstPlayerPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void volumeSteps_data();
    void volumeSteps();
    void pressWhilePendingPostponesTheSend();
    void amplifiers_data();
    void amplifiers();
    void deleteAndRefusal();
    void renameAndSpeakerCheck();
    void dialogResultsSent_data();
    void dialogResultsSent();

private:
    ZnPlayTermListMgr *model() { return ZnPlayTermListMgr::instance(); }
    QTableWidget *table() { return page->tableWidget(); }
    void select(const QList<int> &ids);
    // Changes fields of the model's copy, as the pages and dialogs do.
    void edit(int id, const std::function<void(ZnTerminal &)> &change);
    std::vector<std::string> sent(const std::string &label, const char *key);
    QString cellOf(int id, int column);

    SimSession s;
    std::unique_ptr<ZnPlayerInfoForm> page;
    std::map<std::string, size_t> before;
};

namespace {
const char *const kLabels[] = {"POST IpAmpSet",      "POST IpAmpPower", "POST RemoveDevice",
                               "POST IpAmpSpkCheck", "POST Terminal",   "SET PlayTermConfig"};

Json::Value amp(int id, const std::string &type, const std::string &exten, int status, int temp)
{
    Json::Value r = terminalRow(id, "T" + std::to_string(id), status, type);
    r["exten"] = exten;
    r["ampTemp"] = std::to_string(temp);
    r["broVol"] = "50";
    r["speaker"] = "1";
    r["power"] = status ? "1" : "0";
    return r;
}

// 20005 is no base terminal; 20 is no IP amplifier.
const std::vector<Json::Value> kRows = {amp(30, "IP", "--", 1, 41), amp(10, "IP", "IP", 0, 0),
                                        amp(20, "PR", "PR", 1, 0), amp(20005, "IP", "IP", 2, 37)};

// "id" of each row of a table, top to bottom, read from column 0 data.
QString idsOf(QTableWidget *t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << QString::number(t->item(r, 0)->data(Qt::UserRole).toInt());
    return out.join(QLatin1Char(' '));
}
} // namespace

void TstPlayerPage::initTestCase()
{
    s.sim.setPushChanges(true);
    QVERIFY(startModels(s));
    page.reset(new ZnPlayerInfoForm);
    page->resize(1000, 600);
    page->show();
    // Steps and sends are driven by timer events below, never by the clock.
    page->volume()->setIntervals(3600 * 1000, 3600 * 1000);
}

void TstPlayerPage::init()
{
    s.sim.clearRules();
    s.sim.withData([](ZnSimData &d) { d.table("ipamp") = kRows; });
    QSignalSpy list(model(), &ZnPlayTermListMgr::gotPlayTermList);
    QCOMPARE(model()->requestPlayTermList(), 0);
    QVERIFY(SimSession::spinUntil([&] { return list.count() >= 1; }));
    QCoreApplication::processEvents();
    QCOMPARE(idsOf(table()), QStringLiteral("10 20 30 20005"));
    for (const char *label : kLabels)
        before[label] = s.requests(label).size();
}

void TstPlayerPage::select(const QList<int> &ids)
{
    table()->clearSelection();
    for (int id : ids) {
        const int row = page->rowOf(id);
        table()->setCurrentCell(row, 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

void TstPlayerPage::edit(int id, const std::function<void(ZnTerminal &)> &change)
{
    ZnTerminal t;
    QVERIFY(model()->hasTerminal(id, t));
    change(t);
    QCOMPARE(model()->mergeList(t), 0);
}

std::vector<std::string> TstPlayerPage::sent(const std::string &label, const char *key)
{
    std::vector<std::string> out;
    const std::vector<ZnSimRequest> all = s.requests(label);
    for (size_t i = before[label]; i < all.size(); ++i) {
        const Json::Value body = jsonOf(all[i].body);
        out.push_back(body["Id"].asString() + (key ? ":" + body[key].asString() : std::string()));
    }
    return out;
}

QString TstPlayerPage::cellOf(int id, int column)
{
    const QTableWidgetItem *item = table()->item(page->rowOf(id), column);
    return item ? item->text() : QStringLiteral("?");
}

void TstPlayerPage::volumeSteps_data()
{
    QTest::addColumn<bool>("increase");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<int>("volume");
    // The first tick after a press is skipped; the release steps once more.
    QTest::newRow("one click") << true << 75 << 0 << 76;
    QTest::newRow("held for three ticks") << true << 75 << 3 << 78;
    QTest::newRow("held down at 1 stops at 0") << false << 1 << 5 << 0;
    QTest::newRow("held up at 99 stops at 100") << true << 99 << 4 << 100;
}

void TstPlayerPage::volumeSteps()
{
    QFETCH(bool, increase);
    QFETCH(int, start);
    QFETCH(int, ticks);
    QFETCH(int, volume);
    select({10, 30});
    page->form().fVolumeSlider->setValue(start);
    ZnVolumeStepper *stepper = page->volume();
    QPushButton *button = increase ? page->form().fAddVolumnBtn : page->form().fDecVolumnBtn;
    QTest::mousePress(button, Qt::LeftButton);
    for (int i = 0; i < ticks; ++i) {
        QTimerEvent tick(stepper->repeatTimerId());
        QCoreApplication::sendEvent(stepper, &tick);
    }
    QTest::mouseRelease(button, Qt::LeftButton);
    QCOMPARE(page->form().fVolumeSlider->value(), volume);
    QCOMPARE(stepper->repeatTimerId(), -1);
    QVERIFY(sent("POST IpAmpSet", "BroVol").empty());

    QTimerEvent apply(stepper->applyTimerId());
    QCoreApplication::sendEvent(stepper, &apply);
    const std::string v = std::to_string(volume);
    QCOMPARE(sent("POST IpAmpSet", "BroVol"), (std::vector<std::string>{"10:" + v, "30:" + v}));
    QCOMPARE(cellOf(10, ZnPlayerInfoForm::VolumeColumn), QString::number(volume));
    QCOMPARE(stepper->applyTimerId(), -1);
}

// A release starts the pending send; a new press cancels it, the next release
// starts it again, and only then is the volume sent, once per selected row.
void TstPlayerPage::pressWhilePendingPostponesTheSend()
{
    select({30});
    page->form().fVolumeSlider->setValue(40);
    ZnVolumeStepper *stepper = page->volume();
    QPushButton *add = page->form().fAddVolumnBtn;
    QTest::mouseClick(add, Qt::LeftButton);
    const int pending = stepper->applyTimerId();
    QVERIFY(pending >= 0);
    QTest::mousePress(add, Qt::LeftButton);
    QCOMPARE(stepper->applyTimerId(), -1);
    // The cancelled timer's event, should one still arrive, sends nothing.
    QTimerEvent stale(pending);
    QCoreApplication::sendEvent(stepper, &stale);
    QTest::mouseRelease(add, Qt::LeftButton);
    QVERIFY(sent("POST IpAmpSet", "BroVol").empty());
    QTimerEvent apply(stepper->applyTimerId());
    QCoreApplication::sendEvent(stepper, &apply);
    QCOMPARE(sent("POST IpAmpSet", "BroVol"), std::vector<std::string>{"30:42"});

    // Releasing the mouse on the slider sends its value at once.
    page->form().fVolumeSlider->setValue(12);
    QTest::mouseRelease(page->form().fVolumeSlider, Qt::LeftButton);
    QCOMPARE(sent("POST IpAmpSet", "BroVol"), (std::vector<std::string>{"30:42", "30:12"}));
}

void TstPlayerPage::amplifiers_data()
{
    QTest::addColumn<bool>("on");
    QTest::addColumn<bool>("refused");
    QTest::newRow("on") << true << false;
    QTest::newRow("off") << false << false;
    QTest::newRow("refused") << true << true;
}

void TstPlayerPage::amplifiers()
{
    QFETCH(bool, on);
    QFETCH(bool, refused);
    if (refused)
        s.sim.addRule(ZnSimRule::make("POST IpAmpPower", ZnSimRule::Fail, "no"));
    select({10, 20, 30});
    ModalChain boxes;
    if (refused)
        boxes.arm({ModalChain::click(QStringLiteral("ConfirmButton"))});
    (on ? page->form().fAmpOpenBtn : page->form().fAmpCloseBtn)->click();
    const std::string p = on ? "1" : "0";
    QCOMPARE(sent("POST IpAmpPower", "Power"), (std::vector<std::string>{"10:" + p, "20:" + p, "30:" + p}));
    QCOMPARE(boxes.seen.size(), refused ? 1 : 0);
    if (refused)
        QVERIFY(boxes.seen.at(0).contains(QStringLiteral("Setting Error!")));
    else
        QTRY_COMPARE(cellOf(10, ZnPlayerInfoForm::AmpColumn),
                     QString(on ? QStringLiteral("open") : QStringLiteral("close")));
}

// Two selected, one online: the online one is named, the offline one removed.
// A removal the server refuses shows its reason.
void TstPlayerPage::deleteAndRefusal()
{
    select({10, 30});
    ModalChain boxes;
    boxes.arm({ModalChain::click(QStringLiteral("ConfirmButton")), ModalChain::click(QStringLiteral("ConfirmButton"))});
    page->form().fDelTerBtn->click();
    QVERIFY(boxes.finished());
    QVERIFY(boxes.seen.at(1).contains(QStringLiteral("Terminal can not be removed without offline!")));
    QCOMPARE(sent("POST RemoveDevice", nullptr), std::vector<std::string>{"10"});
    QCOMPARE(idsOf(table()), QStringLiteral("20 30 20005"));

    s.sim.withData([](ZnSimData &d) { d.table("ipamp").push_back(amp(40, "IP", "IP", 0, 0)); });
    QSignalSpy list(model(), &ZnPlayTermListMgr::gotPlayTermList);
    QCOMPARE(model()->requestPlayTermList(), 0);
    QVERIFY(SimSession::spinUntil([&] { return list.count() == 1; }));
    QCoreApplication::processEvents();
    s.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "Terminal 40 is in a task"));
    select({40});
    ModalChain refused;
    refused.arm({ModalChain::click(QStringLiteral("ConfirmButton")), ModalChain::click(QStringLiteral("ConfirmButton")),
                 ModalChain::click(QStringLiteral("ConfirmButton"))});
    page->form().fDelTerBtn->click();
    QTRY_VERIFY(refused.finished());
    QVERIFY(refused.seen.join(QLatin1Char(' ')).contains(QStringLiteral("Delete Error!")));
    QVERIFY(refused.seen.join(QLatin1Char(' ')).contains(QStringLiteral("Terminal 40 is in a task")));
    QCOMPARE(idsOf(table()), QStringLiteral("20 30 40 20005"));
}

void TstPlayerPage::renameAndSpeakerCheck()
{
    ModalChain name;
    name.arm({[](QWidget *w) {
        w->findChild<QLineEdit *>(QStringLiteral("fNameEdit"))->setText(QStringLiteral("Hall"));
        ModalChain::click(QStringLiteral("fOkBtn"))(w);
    }});
    const int row = page->rowOf(30);
    table()->setCurrentCell(row, 1);
    emit table()->cellDoubleClicked(row, 1);
    QCOMPARE(sent("POST IpAmpSet", "Name"), std::vector<std::string>{"30:Hall"});
    QCOMPARE(cellOf(30, ZnPlayerInfoForm::NameColumn), QStringLiteral("Hall"));

    // 30 idle, 20005 broadcasting, 20 no IP amplifier (passed over).
    select({20, 30, 20005});
    ModalChain boxes;
    boxes.arm({ModalChain::click(QStringLiteral("ConfirmButton"))});
    page->speakerCheckClicked();
    QCOMPARE(boxes.seen.size(), 1);
    QVERIFY(boxes.seen.at(0).contains(QStringLiteral("Can't check speaker when terminal not idle!")));
    QCOMPARE(sent("POST IpAmpSpkCheck", nullptr), std::vector<std::string>{"30"});
    QCOMPARE(cellOf(30, ZnPlayerInfoForm::SpeakerColumn), QStringLiteral("Checking"));
}

void TstPlayerPage::dialogResultsSent_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("sentIds");
    // 10 is behind a firewall already: "all yes" changes the three others.
    QTest::newRow("firewall all yes") << "tcp" << false << "20 30 20005";
    QTest::newRow("thresholds: unset maximum not sent") << "amp" << false << "10";
    QTest::newRow("default setting, every row") << "default" << false << "10 20 30";
    QTest::newRow("refused settings told once") << "default" << true << "10 20 30";
}

void TstPlayerPage::dialogResultsSent()
{
    QFETCH(QString, dialog);
    QFETCH(bool, refused);
    QFETCH(QString, sentIds);
    edit(10, [](ZnTerminal &t) { t.viaFirewall = 1; });
    if (refused)
        s.sim.addRule(ZnSimRule::make("POST Terminal", ZnSimRule::Fail, "no"));
    ModalChain boxes;
    boxes.arm({[&](QWidget *w) {
                   if (dialog == QStringLiteral("tcp")) {
                       ModalChain::click(QStringLiteral("fTcpBtn"))(w);
                   } else if (dialog == QStringLiteral("amp")) {
                       auto *d = qobject_cast<ZnSetAmpFormCtr *>(w);
                       QTableWidget *t = d->form().fAmpTableWidget;
                       t->setCurrentCell(2, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
                       d->form().fVolumnSpinBox_4->setValue(60);
                   }
                   ModalChain::click(QStringLiteral("fOkBtn"))(w);
               },
               ModalChain::click(QStringLiteral("ConfirmButton"))});
    if (dialog == QStringLiteral("tcp"))
        page->tcpModeClicked();
    else if (dialog == QStringLiteral("amp"))
        page->ampTmptSetClick();
    else
        page->defaultSetClicked();
    const std::vector<ZnSimRequest> all =
        s.requests(dialog == QLatin1String("amp") ? "SET PlayTermConfig" : "POST Terminal");
    QCOMPARE(int(all.size() - before[dialog == QLatin1String("amp") ? "SET PlayTermConfig" : "POST Terminal"]),
             int(sentIds.split(QLatin1Char(' ')).size()));
    if (dialog == QStringLiteral("amp"))
        QVERIFY(all.back().raw.find("Id: 10") != std::string::npos
                && all.back().raw.find("MaxVol: 60") != std::string::npos);
    QCOMPARE(boxes.seen.size(), refused ? 2 : 1);
    if (refused)
        QVERIFY(boxes.seen.at(1).contains(QStringLiteral("Setting Error!")));
}

QTEST_MAIN(TstPlayerPage)
#include "tst_playerpage.moc"
