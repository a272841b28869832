#include "TaskSim.h"
#include "ZnApi.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRegion.h"
#include "ZnRegionEditDialog.h"
#include "ZnRegionListMgr.h"
#include "ZnRegionMgrForm.h"

#include <QSignalSpy>
#include <QtTest>

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

// The region page and its dialog against the simulated server.
class TstRegionPage : public QObject
{
    Q_OBJECT

    SimSession s;
    std::unique_ptr<ZnRegionMgrForm> page;
    QTableWidget *table() { return page->tableWidget(); }

private slots:
    void initTestCase()
    {
        s.sim.setPushChanges(true);
        QVERIFY(startModels(s));
        QSignalSpy players(ZnPlayTermListMgr::instance(), &ZnPlayTermListMgr::gotPlayTermList);
        QCOMPARE(ZnPlayTermListMgr::instance()->requestPlayTermList(), 0);
        QVERIFY(SimSession::spinUntil([&] { return players.count() == 1; }));
        QVERIFY(SimSession::spinUntil([] {
            return !ZnD72ListMgr::instance()->micList().empty() && !ZnD74ListMgr::instance()->micList().empty();
        }));
        page.reset(new ZnRegionMgrForm);
        page->show();
    }
    void init()
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
    // Up to ten above the largest id.
    void newIds()
    {
        for (int largest : {0, 40}) {
            for (int i = 0; i < 20; ++i) {
                const int id = ZnRegionMgrForm::newRegionId(largest);
                QVERIFY2(id > largest && id <= largest + 10, qPrintable(QString::number(id)));
            }
        }
    }
    // D74 members on top, then D72, then the play terminals, each in stored order.
    void membersByKind()
    {
        clickIds(table(), {2});
        QCOMPARE(rowsOf(page->form().fTermTableWidget),
                 QStringLiteral("60001:Lobby help 60002:D74_60002 50001:Gate call 50002:D72_50002 "
                                "10001:Speaker 10001 10002:Speaker 10002"));
        clickIds(table(), {3});
        QCOMPARE(rowsOf(page->form().fTermTableWidget), QStringLiteral("10001:Speaker 10001"));
    }
    // A member no list offers stays through an edit and the row follows what the
    // server took; a refusal is shown and the table stays as it was (a refused
    // deletion is the walk's).
    void changes_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("region");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QStringList>("boxes"); // after the dialog or question
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("members"); // of the region, as stored afterwards
        const QString before = QStringLiteral("3:Far 2:Mixed 1:Ground floor");
        const QString setting = QStringLiteral("Setting Error!");
        QTest::newRow("edit keeps unknown members")
            << QStringLiteral("fEditBtn") << 3 << false << QStringList()
            << QStringLiteral("3:Renamed 2:Mixed 1:Ground floor") << QStringLiteral("10001 99999");
        QTest::newRow("edit refused") << QStringLiteral("fEditBtn") << 1 << true
                                      << QStringList{setting, QStringLiteral("Edit Error!")} << before
                                      << QStringLiteral("10001 10002");
        QTest::newRow("add refused") << QStringLiteral("fNewBtn") << 1 << true
                                     << QStringList{setting, QStringLiteral("Add Error!")} << before
                                     << QStringLiteral("10001 10002");
    }
    void changes()
    {
        QFETCH(QString, button);
        QFETCH(int, region);
        QFETCH(bool, refused);
        QFETCH(QStringList, boxes);
        QFETCH(QString, rows);
        if (refused)
            s.sim.addRule(ZnSimRule::make("POST BroadRegion", ZnSimRule::Fail, "Region is in use"));
        clickIds(table(), {region});
        std::vector<ModalChain::Action> steps(size_t(boxes.size()) + 1, yes());
        steps[0] = fill(QStringLiteral("fNameEdit"), QStringLiteral("Renamed"), QStringLiteral("fOkBtn"));
        const QStringList seen = clickThrough(page.get(), button, steps);
        QCOMPARE(seen.size(), boxes.size() + 1);
        for (int i = 0; i < boxes.size(); ++i)
            QVERIFY2(seen[i + 1].contains(boxes[i]), qPrintable(seen[i + 1]));
        QTRY_COMPARE(rowsOf(table()), rows);
        ZnRegion stored;
        QVERIFY(ZnRegionListMgr::instance()->getRegion(region, &stored));
        QStringList members;
        for (const ZnBaseTerminal &m : stored.terminals)
            members << QString::number(m.id);
        QTEST(members.join(QLatin1Char(' ')), "members");
    }
    // Members no list offers keep their stored fields, so does a member that stays
    // checked; a newly checked one takes them from its row.
    void dialogKeepsStoredFields()
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
};

QTEST_MAIN(TstRegionPage)
#include "tst_regionpage.moc"
