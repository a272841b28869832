#include "PageSim.h"
#include "ZnCapInfoForm.h"
#include "ZnSetCapDialog.h"
#include "ZnTtsInfoForm.h"
#include "ZnTtsListMgr.h"

#include <QLineEdit>
#include <QtTest>

// The capture-unit and text-to-speech pages against the simulated server.
class TstUnitPages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ttsRename_data();
    void ttsRename();
    void deleteMixed_data();
    void deleteMixed();
    void capEdit_data();
    void capEdit();
    void capAttributesOnlyForBaseIds();

private:
    SimSession s;
    std::unique_ptr<ZnTtsInfoForm> tts;
    std::unique_ptr<ZnCapInfoForm> caps;
};

namespace {

Json::Value unitRow(int id, const std::string &type, int status)
{
    Json::Value r = terminalRow(id, "U" + std::to_string(id), status, type);
    if (type == "CAP") {
        r["capVol"] = "30";
        r["capSamplerate"] = id == 5 ? "44100" : "24000";
    }
    return r;
}

QString cell(QTableWidget *t, int id, int column)
{
    for (int r = 0; r < t->rowCount(); ++r) {
        if (t->item(r, 0)->data(Qt::UserRole).toInt() == id)
            return t->item(r, column)->text();
    }
    return QStringLiteral("-");
}

} // namespace

void TstUnitPages::initTestCase()
{
    s.sim.withData([](ZnSimData &d) {
        std::vector<Json::Value> units;
        // Statuses 0 to 4, then two the unit never has.
        const int statuses[] = {0, 1, 2, 3, 4, 5, -1};
        for (int i = 0; i < 7; ++i)
            units.push_back(unitRow(40001 + i, "TTS71", statuses[i]));
        units.push_back(unitRow(40008, "TTS71", 0));
        d.table("tts71") = units;
        d.table("capd73") = {unitRow(5, "CAP", 2), unitRow(20001, "CAP", 0), unitRow(20002, "CAP", 1),
                             unitRow(20003, "CAP", 0)};
    });
    QVERIFY(startModels(s));
    tts.reset(new ZnTtsInfoForm);
    caps.reset(new ZnCapInfoForm);
    QTRY_COMPARE(caps->tableWidget()->rowCount(), 4);
    QCOMPARE(tts->tableWidget()->rowCount(), 8);
    // A rate other than the three reads as the plain one, a status the unit
    // never has as off line.
    QCOMPARE(cell(caps->tableWidget(), 5, 3), QStringLiteral("General"));
    QCOMPARE(cell(caps->tableWidget(), 20001, 3), QStringLiteral("Medium "));
    const QStringList shown = {QStringLiteral("Off Line"), QStringLiteral("Idle"),     QStringLiteral("Begin Work"),
                               QStringLiteral("Working"),  QStringLiteral("End Work"), QStringLiteral("Off Line"),
                               QStringLiteral("Off Line")};
    for (int i = 0; i < shown.size(); ++i)
        QCOMPARE(cell(tts->tableWidget(), 40001 + i, 2), shown.at(i));
}

void TstUnitPages::ttsRename_data()
{
    QTest::addColumn<QString>("entered"); // empty: the dialog is cancelled
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("shown"); // the unit's name afterwards
    QTest::newRow("new name") << "语音一" << false << "语音一";
    QTest::newRow("same name still sent") << "语音一" << false << "语音一";
    QTest::newRow("cancelled") << "" << false << "语音一";
    QTest::newRow("refused") << "Other" << true << "语音一";
}

void TstUnitPages::ttsRename()
{
    QFETCH(QString, entered);
    QFETCH(bool, refused);
    QFETCH(QString, shown);
    if (refused)
        s.sim.addRule(ZnSimRule::make("POST TTs71Name", ZnSimRule::Fail, "", 0, 1));
    const size_t sent = s.requests("POST TTs71Name").size();
    std::vector<ModalChain::Action> steps = {[&](QWidget *w) {
        w->findChild<QLineEdit *>(QStringLiteral("fNameEdit"))->setText(entered);
        ModalChain::click(entered.isEmpty() ? QStringLiteral("fCancelBtn") : QStringLiteral("fOkBtn"))(w);
    }};
    if (refused)
        steps.push_back(ModalChain::click(QStringLiteral("ConfirmButton")));
    ModalChain chain;
    chain.arm(steps);
    QTableWidget *t = tts->tableWidget();
    t->setCurrentCell(tts->findRowById(40002), 1);
    tts->form().fEditBtn->click();
    QVERIFY(chain.finished());
    QCOMPARE(s.requests("POST TTs71Name").size(), sent + (entered.isEmpty() ? 0 : 1));
    if (refused)
        QVERIFY(chain.seen.at(1).contains(QStringLiteral("Setting Error!")));
    QTRY_COMPARE(cell(t, 40002, 1), shown);
}

// Units of mixed status selected: one question, the online one refused with its
// reason, the offline ones removed; a refused removal says so and keeps its row.
void TstUnitPages::deleteMixed_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("gone");
    QTest::newRow("tts") << "tts" << QList<int>{40001, 40002, 40008} << QList<int>{40008};
    QTest::newRow("capture") << "cap" << QList<int>{20001, 20002, 20003} << QList<int>{20003};
}

void TstUnitPages::deleteMixed()
{
    QFETCH(QString, page);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, gone);
    ZnTerListPage *p = page == QStringLiteral("tts") ? static_cast<ZnTerListPage *>(tts.get()) : caps.get();
    QTableWidget *t = p->tableWidget();
    t->setSelectionMode(QAbstractItemView::MultiSelection);
    t->clearSelection();
    for (int id : selected)
        t->selectRow(p->findRowById(id));
    // The removals go last row first (the lowest id); the first one sent is refused.
    s.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "", 0, 1));
    ModalChain chain;
    chain.arm({ModalChain::click(QStringLiteral("ConfirmButton")), ModalChain::click(QStringLiteral("ConfirmButton")),
               ModalChain::click(QStringLiteral("ConfirmButton"))});
    (page == QStringLiteral("tts") ? tts->form().fDelBtn : caps->form().fDelBtn)->click();
    QVERIFY(chain.finished());
    const QString texts = chain.seen.join(QLatin1Char('/'));
    QVERIFY2(texts.contains(QStringLiteral("Delete Error!"))
                 && texts.contains(QStringLiteral("Terminal can not be removed without offline!")),
             qPrintable(texts));
    for (int id : selected)
        QCOMPARE(p->findRowById(id) < 0, gone.contains(id));
}

// What the dialog shows of a unit and what OK sends back.
void TstUnitPages::capEdit_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("checked"); // the rate button checked on opening
    QTest::addColumn<bool>("ratesEnabled");
    QTest::addColumn<QString>("choose"); // the button clicked, or none
    QTest::addColumn<QString>("sentRate");
    QTest::newRow("own rate kept") << 5 << "" << false << ""
                                   << "44100";
    QTest::newRow("medium to high") << 20002 << "fMediumQualityRBtn" << true << "fHighQualityRBtn"
                                    << "32000";
}

void TstUnitPages::capEdit()
{
    QFETCH(int, id);
    QFETCH(QString, checked);
    QFETCH(bool, ratesEnabled);
    QFETCH(QString, choose);
    QFETCH(QString, sentRate);
    QTableWidget *t = caps->tableWidget();
    t->setCurrentCell(caps->findRowById(id), 1);
    QString on;
    QVector<bool> enabled;
    ZnModalHelper editor;
    editor.onModal([&](QWidget *w) {
        auto &ui = qobject_cast<ZnSetCapDialog *>(w)->form();
        for (QRadioButton *b : {ui.fNormalQualityRBtn, ui.fMediumQualityRBtn, ui.fHighQualityRBtn}) {
            if (b->isChecked())
                on = b->objectName();
            enabled << b->isEnabled();
        }
        ui.fNameEdit->setText(QStringLiteral("采集"));
        ui.fCapVolSpinBox->setValue(55);
        if (!choose.isEmpty())
            w->findChild<QRadioButton *>(choose)->click();
        ui.fOkBtn->click();
    });
    emit t->cellDoubleClicked(caps->findRowById(id), 1);
    QVERIFY(editor.handled());
    QCOMPARE(on, checked);
    QCOMPARE(enabled, QVector<bool>(3, ratesEnabled));
    const Json::Value body = lastBody(s, "POST CapD73Set");
    QCOMPARE(QString::fromStdString(body["CapSamplerate"].asString()), sentRate);
    QCOMPARE(body["CapVol"].asString(), std::string("55"));
    QCOMPARE(cell(t, id, 1), QStringLiteral("采集"));
    QCOMPARE(cell(t, id, 2), QStringLiteral("55"));
}

void TstUnitPages::capAttributesOnlyForBaseIds()
{
    QTableWidget *t = caps->tableWidget();
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int id : {20002, 5, 20002}) {
        t->clearSelection();
        t->setCurrentCell(caps->findRowById(id), 0);
        QCOMPARE(caps->form().fEditBtn->isEnabled(), id == 5);
    }
}

QTEST_MAIN(TstUnitPages)
#include "tst_unitpages.moc"
