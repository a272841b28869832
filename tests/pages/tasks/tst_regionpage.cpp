#include "TaskSim.h"
#include "ZnApi.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRegion.h"
#include "ZnRegionEditDialog.h"
#include "ZnRegionListMgr.h"
#include "ZnRegionMgrForm.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

// The region page and its dialog against the simulated server.
class TstRegionPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void newIds_data();
    void newIds();
    void membersByKind();
    void unknownMembersKept();
    void dialogKeepsStoredFields();
    void refusals_data();
    void refusals();

private:
    QTableWidget *table() { return page->tableWidget(); }
    void current(int id);

    SimSession s;
    std::unique_ptr<ZnRegionMgrForm> page;
};

namespace {
Json::Value regionRow(int id, const std::string &name, const std::string &members)
{
    Json::Value r(Json::objectValue);
    r["regionId"] = std::to_string(id);
    r["name"] = name;
    r["terminalId"] = members;
    return r;
}
} // namespace

void TstRegionPage::initTestCase()
{
    s.sim.setPushChanges(true);
    QVERIFY(startModels(s));
    QSignalSpy players(ZnPlayTermListMgr::instance(), &ZnPlayTermListMgr::gotPlayTermList);
    QCOMPARE(ZnPlayTermListMgr::instance()->requestPlayTermList(), 0);
    QVERIFY(SimSession::spinUntil([&] { return players.count() == 1; }));
    QVERIFY(SimSession::spinUntil(
        [] { return !ZnD72ListMgr::instance()->micList().empty() && !ZnD74ListMgr::instance()->micList().empty(); }));
    page.reset(new ZnRegionMgrForm);
    page->show();
}

void TstRegionPage::init()
{
    s.sim.clearRules();
    s.sim.withData([](ZnSimData &d) {
        d.table("region") = {regionRow(1, "Ground floor", "10001 10002"),
                             regionRow(2, "Mixed", "10001 50001 60001 10002 60002 50002"),
                             regionRow(3, "Far", "10001 99999")};
    });
    QSignalSpy list(ZnRegionListMgr::instance(), &ZnRegionListMgr::gotRegionList);
    QCOMPARE(apiGetRegionList(s.centre.get()), 0);
    QVERIFY(SimSession::spinUntil([&] { return list.count() == 1; }));
    QTRY_COMPARE(rowsOf(table()), QStringLiteral("3:Far 2:Mixed 1:Ground floor"));
}

void TstRegionPage::current(int id)
{
    const int row = page->findRowById(id);
    table()->setCurrentCell(row, 0);
    table()->selectRow(row);
    emit table()->itemClicked(table()->item(row, 0));
}

void TstRegionPage::newIds_data()
{
    QTest::addColumn<int>("largest");
    QTest::newRow("empty model") << 0;
    QTest::newRow("largest 40") << 40;
}

void TstRegionPage::newIds()
{
    QFETCH(int, largest);
    for (int i = 0; i < 20; ++i) {
        const int id = ZnRegionMgrForm::newRegionId(largest);
        QVERIFY2(id > largest && id <= largest + 10, qPrintable(QString::number(id)));
    }
}

// D74 members on top, then D72, then the play terminals, each in stored order.
void TstRegionPage::membersByKind()
{
    current(2);
    QCOMPARE(rowsOf(page->form().fTermTableWidget),
             QStringLiteral("60001:Lobby help 60002:D74_60002 50001:Gate call 50002:D72_50002 "
                            "10001:Speaker 10001 10002:Speaker 10002"));
}

// A region with a member no model offers keeps it through an edit, and the
// page's row follows the change the server took.
void TstRegionPage::unknownMembersKept()
{
    current(3);
    QCOMPARE(rowsOf(page->form().fTermTableWidget), QStringLiteral("10001:Speaker 10001"));
    ModalChain edit;
    edit.arm({[](QWidget *w) {
        w->findChild<QLineEdit *>(QStringLiteral("fNameEdit"))->setText(QStringLiteral("Far away"));
        ModalChain::click(QStringLiteral("fOkBtn"))(w);
    }});
    page->form().fEditBtn->click();
    QTRY_COMPARE(edit.seen.size(), 1);
    const Json::Value sent = lastBody(s, "POST BroadRegion");
    QCOMPARE(sent["TerminalId"].asString(), std::string("10001 99999"));
    QTRY_COMPARE(rowsOf(table()), QStringLiteral("3:Far away 2:Mixed 1:Ground floor"));
    ZnRegion stored;
    QVERIFY(ZnRegionListMgr::instance()->getRegion(3, &stored));
    QCOMPARE(stored.terminals.size(), size_t(2));
}

void TstRegionPage::dialogKeepsStoredFields()
{
    ZnRegion r;
    r.regionId = 7;
    r.name = "Yard";
    ZnBaseTerminal known, far, gone;
    known.id = 10001;
    known.name = "Old name";
    far.id = 88888;
    far.name = "Far";
    far.type = "IP";
    far.ip = "10.9.9.9";
    gone.id = 77777;
    r.terminals = {known, far, gone};
    ZnRegionEditDialog d(&r);
    QTableWidget *t = d.form().fTableWidget;
    QCOMPARE(t->item(t->rowCount() - 2, 0)->text(), QStringLiteral("Far"));
    QCOMPARE(t->item(t->rowCount() - 1, 0)->text(), QStringLiteral("77777"));
    t->item(t->rowCount() - 1, 0)->setCheckState(Qt::Unchecked); // the operator drops 77777
    t->item(1, 0)->setCheckState(Qt::Checked);                   // and adds 10002
    d.form().fOkBtn->click();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QStringList members;
    for (const ZnBaseTerminal &m : r.terminals)
        members << QString::fromStdString(std::to_string(m.id) + "/" + m.name + "/" + m.type + "/" + m.ip);
    QCOMPARE(members.join(QLatin1Char(' ')),
             QStringLiteral("10001/Old name// 10002/Speaker 10002/IP/10.0.40.3 88888/Far/IP/10.9.9.9"));
}

void TstRegionPage::refusals_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("edit") << QStringLiteral("fEditBtn")
                          << QStringList{QStringLiteral("Setting Error!"), QStringLiteral("Edit Error!")};
    QTest::newRow("add") << QStringLiteral("fNewBtn")
                         << QStringList{QStringLiteral("Setting Error!"), QStringLiteral("Add Error!")};
    QTest::newRow("delete") << QStringLiteral("fDelBtn") << QStringList{QStringLiteral("Delete Error!")};
}

// The server refuses: the page says so and the table stays as it was.
void TstRegionPage::refusals()
{
    QFETCH(QString, button);
    QFETCH(QStringList, messages);
    s.sim.addRule(ZnSimRule::make("POST BroadRegion", ZnSimRule::Fail, "Region is in use"));
    current(1);
    std::vector<ModalChain::Action> steps;
    if (button == QLatin1String("fDelBtn")) {
        steps.push_back(ModalChain::click(QStringLiteral("ConfirmButton")));
    } else {
        steps.push_back([](QWidget *w) {
            w->findChild<QLineEdit *>(QStringLiteral("fNameEdit"))->setText(QStringLiteral("Renamed"));
            ModalChain::click(QStringLiteral("fOkBtn"))(w);
        });
    }
    for (int i = 0; i < messages.size(); ++i)
        steps.push_back(ModalChain::click(QStringLiteral("ConfirmButton")));
    ModalChain chain;
    chain.arm(steps);
    ModalChain::click(button)(page.get());
    QTRY_COMPARE(chain.seen.size(), int(steps.size()));
    for (int i = 0; i < messages.size(); ++i)
        QVERIFY(chain.seen.at(int(steps.size()) - messages.size() + i).contains(messages.at(i)));
    QCOMPARE(rowsOf(table()), QStringLiteral("3:Far 2:Mixed 1:Ground floor"));
}

QTEST_MAIN(TstRegionPage)
#include "tst_regionpage.moc"
