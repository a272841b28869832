#include "PageSim.h"
#include "ZnD82InfoForm.h"
#include "ZnD82ListMgr.h"
#include "ZnD82SettingDialog.h"
#include "ZnMicListMgr.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

// The list page frame, told on the D82 page, against the simulated server.
class TstD82Page : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void followsTheModel_data();
    void followsTheModel();
    void deletesOfflineRowsOnly();
    void pushDuringDeleteQuestion();
    void editOpensTheRowsDevice();
    void dialogBooks_data();
    void dialogBooks();
    void refusedNameKeepsDialogOpen();

private:
    ZnD82ListMgr *model() { return ZnD82ListMgr::instance(); }
    QTableWidget *table() { return page->tableWidget(); }
    bool serve(const std::vector<Json::Value> &rows);
    void selectIds(const QList<int> &ids);
    std::vector<int> removedIds();

    SimSession s;
    std::unique_ptr<ZnD82InfoForm> page;
    size_t removalsBefore = 0;
};

namespace {
const std::vector<Json::Value> kThree = {terminalRow(80001, "A", 0, "8"), terminalRow(80002, "B", 1, "8"),
                                         terminalRow(80003, "C", 0, "8")};
const QString kShown = QStringLiteral("80001:A 80002:B 80003:C");
}

// Gives the server these D82 rows and waits until the page shows its new list.
bool TstD82Page::serve(const std::vector<Json::Value> &rows)
{
    s.sim.withData([&](ZnSimData &d) { d.table("d82") = rows; });
    QSignalSpy list(model(), &ZnD82ListMgr::gotD82List);
    if (model()->requestD82List() != 0 || !SimSession::spinUntil([&] { return list.count() == 1; }))
        return false;
    QCoreApplication::processEvents();
    return true;
}

void TstD82Page::selectIds(const QList<int> &ids)
{
    table()->setSelectionMode(QAbstractItemView::MultiSelection);
    table()->clearSelection();
    for (int id : ids)
        table()->selectRow(page->findRowById(id));
}

std::vector<int> TstD82Page::removedIds()
{
    std::vector<int> out;
    const std::vector<ZnSimRequest> sent = s.requests("POST RemoveDevice");
    for (size_t i = removalsBefore; i < sent.size(); ++i)
        out.push_back(std::atoi(jsonOf(sent[i].body)["Id"].asString().c_str()));
    return out;
}

void TstD82Page::initTestCase()
{
    QVERIFY(startModels(s));
    // The console list the main window's server-microphone page asks for.
    QCOMPARE(ZnMicListMgr::instance()->requestMicList(), 0);
    page.reset(new ZnD82InfoForm);
    page->show();
    // The page asked for the list itself.
    QTRY_COMPARE(table()->rowCount(), 2);
}

void TstD82Page::init()
{
    QVERIFY(serve(kThree));
    QCOMPARE(rowsOf(table()), kShown);
    removalsBefore = s.requests("POST RemoveDevice").size();
}

void TstD82Page::followsTheModel_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("shown");
    QTest::newRow("empty list") << "list" << 0 << "";
    QTest::newRow("second list") << "list" << 80005 << "80004:D 80005:E";
    QTest::newRow("changed, has a row") << "push" << 80002 << "80001:A 80002:N 80003:C";
    QTest::newRow("changed, new id at the top") << "push" << 80009 << "80009:N 80001:A 80002:B 80003:C";
    QTest::newRow("changed, vanished id") << "changed" << 4242 << kShown;
    QTest::newRow("deleted") << "delete" << 80002 << "80001:A 80003:C";
    QTest::newRow("deleted, no row") << "deleted" << 4242 << kShown;
}

void TstD82Page::followsTheModel()
{
    QFETCH(QString, event);
    QFETCH(int, id);
    QFETCH(QString, shown);
    if (event == QStringLiteral("list")) {
        std::vector<Json::Value> rows;
        if (id)
            rows = {terminalRow(id, "E", 0, "8"), terminalRow(id - 1, "D", 0, "8")};
        QVERIFY(serve(rows));
    } else if (event == QStringLiteral("push") || event == QStringLiteral("delete")) {
        QSignalSpy changed(model(), &ZnD82ListMgr::d82Changed);
        QSignalSpy deleted(model(), &ZnD82ListMgr::d82Deleted);
        if (event == QStringLiteral("push")) {
            Json::Value rows(Json::arrayValue);
            rows.append(terminalRow(id, "N", 0, "8"));
            s.sim.pushPost("SqlConfig", "d82", ZnSimData::json(rows));
        } else {
            s.sim.pushDelete("D82", id);
        }
        QVERIFY(SimSession::spinUntil([&] { return changed.count() + deleted.count() == 1; }));
        QCoreApplication::processEvents();
    } else if (event == QStringLiteral("changed")) {
        emit model()->d82Changed(id);
    } else {
        emit model()->d82Deleted(id);
    }
    QCOMPARE(rowsOf(table()), shown);
}

// Three rows selected, the middle one online: one question, one online
// message, the two offline devices removed and their rows gone.
void TstD82Page::deletesOfflineRowsOnly()
{
    selectIds({80001, 80002, 80003});
    ModalChain boxes;
    boxes.arm({ModalChain::click(QStringLiteral("ConfirmButton")), ModalChain::click(QStringLiteral("ConfirmButton"))});
    page->form().fDelBtn->click();
    QVERIFY(boxes.finished());
    QCOMPARE(boxes.seen.size(), 2);
    QVERIFY(boxes.seen.at(1).contains(QStringLiteral("Terminal can not be removed without offline!")));
    QCOMPARE(removedIds(), (std::vector<int>{80003, 80001}));
    QCOMPARE(rowsOf(table()), QStringLiteral("80002:B"));
}

// The list arrives again while the question is open and moves the selected
// device to another row: the device the operator chose is the one removed.
void TstD82Page::pushDuringDeleteQuestion()
{
    selectIds({80003});
    ModalChain boxes;
    boxes.arm({[&](QWidget *box) {
        std::vector<Json::Value> rows = kThree;
        rows.insert(rows.begin(), terminalRow(80000, "Z", 0, "8"));
        QVERIFY(serve(rows));
        QCOMPARE(page->findRowById(80003), 3);
        ModalChain::click(QStringLiteral("ConfirmButton"))(box);
    }});
    page->form().fDelBtn->click();
    QVERIFY(boxes.finished());
    QCOMPARE(removedIds(), std::vector<int>{80003});
    QCOMPARE(rowsOf(table()), QStringLiteral("80000:Z 80001:A 80002:B"));
}

void TstD82Page::editOpensTheRowsDevice()
{
    // No current row: nothing opens, nothing is asked.
    {
        table()->setCurrentCell(-1, -1);
        const int gets = s.sim.count("GET");
        ZnModalHelper none;
        none.answer(QStringLiteral("fCancelBtn"));
        page->form().fEditBtn->click();
        QVERIFY(!none.handled());
        QCOMPARE(s.sim.count("GET"), gets);
    }

    // A double click on any cell opens the dialog of that row's device.
    ZnModalHelper dialog;
    QString name;
    dialog.onModal([&](QWidget *w) {
        name = w->findChild<QLineEdit *>(QStringLiteral("fNameEdit"))->text();
        ModalChain::click(QStringLiteral("fCancelBtn"))(w);
    });
    // As a double click does: the cell becomes current, then the signal.
    const int row = page->findRowById(80003);
    table()->setCurrentCell(row, 2);
    emit table()->cellDoubleClicked(row, 2);
    QVERIFY(dialog.handled());
    QCOMPARE(name, QStringLiteral("C"));
}

namespace {

// "type id" of every checked row of a book table, in table order.
QString checkedRows(QTableWidget *t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r) {
        if (t->item(r, 0)->checkState() == Qt::Checked)
            out << (t->columnCount() == 3 ? t->item(r, 2)->text() + QLatin1Char('_') : QString())
                       + QString::number(t->item(r, 0)->data(Qt::UserRole).toInt());
    }
    return out.join(QLatin1Char(' '));
}

QTableWidgetItem *rowOfId(QTableWidget *t, int id)
{
    for (int r = 0; r < t->rowCount(); ++r) {
        if (t->item(r, 0)->data(Qt::UserRole).toInt() == id)
            return t->item(r, 0);
    }
    return nullptr;
}

} // namespace

// The books of device 80001 as the dialog lists them, a change sent on OK, and
// the book read back by the next dialog. Untouched books are not sent.
void TstD82Page::dialogBooks_data()
{
    QTest::addColumn<QList<int>>("clicks"); // contact rows clicked, by id
    QTest::addColumn<QString>("sent");      // "-": nothing sent
    QTest::addColumn<QString>("shown");     // checked when the dialog opens again
    QTest::newRow("untouched") << QList<int>{} << "-"
                               << "";
    QTest::newRow("a console and a device added") << QList<int>{70002, 80003} << "Dsk81_70002 Dsk81_70001 D82_80003"
                                                  << "Dsk81_70002 Dsk81_70001 D82_80003";
    QTest::newRow("every contact unchecked") << QList<int>{70001} << ""
                                             << "";
    // A contact no list of the console holds is written back as it was.
    QTest::newRow("unlisted amplifier kept") << QList<int>{70001, 70002} << "Dsk81_70002 IP_10001"
                                             << "Dsk81_70002";
}

void TstD82Page::dialogBooks()
{
    QFETCH(QList<int>, clicks);
    QFETCH(QString, sent);
    QFETCH(QString, shown);
    s.sim.withData([](ZnSimData &d) {
        Json::Value c(Json::objectValue);
        c["terminalId"] = "80001", c["contactId"] = "70001", c["contactType"] = "3", c["orderId"] = "1";
        d.table("d82call") = {c};
        if (QByteArray(QTest::currentDataTag()).startsWith("unlisted")) {
            c["contactId"] = "10001", c["contactType"] = "6", c["orderId"] = "2";
            d.table("d82call").push_back(c);
        }
    });
    const size_t posts = s.requests("POST D82").size();
    ZnD82 device;
    QVERIFY(model()->getD82(80001, device));
    {
        ZnD82SettingDialog dialog(&device);
        auto &ui = dialog.form();
        // The device never lists itself.
        QCOMPARE(checkedRows(ui.fTalkTb), QStringLiteral("Dsk81_70001"));
        QVERIFY(!rowOfId(ui.fTalkTb, 80001));
        for (int id : clicks)
            emit ui.fTalkTb->itemClicked(rowOfId(ui.fTalkTb, id));
        ui.fOkBtn->click();
    }
    const std::vector<ZnSimRequest> out = s.requests("POST D82");
    if (sent == QStringLiteral("-")) {
        QCOMPARE(out.size(), posts);
        return;
    }
    QCOMPARE(out.size(), posts + 1);
    QCOMPARE(QString::fromStdString(jsonOf(out.back().body)["Contacts"].asString()), sent);
    ZnD82SettingDialog again(&device);
    QCOMPARE(checkedRows(again.form().fTalkTb), shown);
}

// A rename the server refuses: the message, and the dialog still open after it.
void TstD82Page::refusedNameKeepsDialogOpen()
{
    s.sim.addRule(ZnSimRule::make("POST ModTalkTerminal", ZnSimRule::Fail, "", 0, 1));
    bool openAfterMessage = false;
    ModalChain chain;
    chain.arm({[](QWidget *w) {
                   w->findChild<QLineEdit *>(QStringLiteral("fNameEdit"))->setText(QStringLiteral("Renamed"));
                   ModalChain::click(QStringLiteral("fOkBtn"))(w);
               },
               ModalChain::click(QStringLiteral("ConfirmButton")),
               [&](QWidget *w) {
                   openAfterMessage = w->objectName() == QStringLiteral("fD82SettingForm");
                   ModalChain::click(QStringLiteral("fCancelBtn"))(w);
               }});
    ZnD82 device;
    QVERIFY(model()->getD82(80003, device));
    ZnD82SettingDialog dialog(&device);
    dialog.exec();
    QVERIFY(chain.finished());
    QVERIFY(chain.seen.at(1).contains(QStringLiteral("设置错误！")));
    QVERIFY(openAfterMessage);
    QCOMPARE(device.name, std::string("C"));
    QCOMPARE(rowsOf(table()), kShown);
}

QTEST_MAIN(TstD82Page)
#include "tst_d82page.moc"
