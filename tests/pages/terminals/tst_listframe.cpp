#include "PageSim.h"
#include "ZnCapInfoForm.h"
#include "ZnD72InfoForm.h"
#include "ZnD72ListMgr.h"
#include "ZnD74InfoForm.h"
#include "ZnD74ListMgr.h"
#include "ZnD82InfoForm.h"
#include "ZnD82ListMgr.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicInfoForm.h"
#include "ZnMicListMgr.h"
#include "ZnPlayerInfoForm.h"
#include "ZnRegionListMgr.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTtsInfoForm.h"

#include <QtTest>

#include <map>

// The list frame the terminal pages share (fill, order, rename, delete with
// refusal, the model's signals), told once per page against the simulated server.
class TstListFrame : public QObject
{
    Q_OBJECT

    struct Page
    {
        ZnTerBaseCtr *ctr;
        QString del; // the delete button
    };
    SimSession s;
    std::vector<std::unique_ptr<QWidget>> owned;
    std::map<QString, Page> pages;

    template <class Form>
    void add(const char *name, const char *del = "fDelBtn")
    {
        auto *form = new Form;
        owned.emplace_back(form);
        form->resize(1000, 600);
        form->show();
        pages[QLatin1String(name)] = Page{form, QLatin1String(del)};
    }
    QTableWidget *table(const QString &page) { return pages.at(page).ctr->tableWidget(); }
    ZnD82InfoForm *d82() { return static_cast<ZnD82InfoForm *>(pages.at(QStringLiteral("d82")).ctr); }

    // Gives the server these D82 rows and waits until the page shows its new list.
    bool serveD82(const std::vector<Json::Value> &rows)
    {
        s.sim.withData([&](ZnSimData &d) { d.table("d82") = rows; });
        ZnD82ListMgr *m = ZnD82ListMgr::instance();
        return signalled(m, &ZnD82ListMgr::gotD82List, [m] { m->requestD82List(); });
    }

private slots:
    // Each family holds N1 (online), N2 and N3 (offline), ids base+1 to base+3.
    void initTestCase()
    {
        s.sim.setPushChanges(true);
        s.sim.withData([](ZnSimData &d) {
            const struct
            {
                const char *table, *type;
                int base;
            } families[] = {{"d82", "8", 80000},    {"dsk72", "2", 50000},     {"dsk74", "4", 60000},
                            {"dsk81", "3", 70000},  {"tts71", "TTS71", 40000}, {"capd73", "CAP", 20000},
                            {"ipamp", "IP", 10000}, {"firealarm", "FR", 30000}};
            for (const auto &f : families) {
                d.table(f.table).clear();
                for (int i = 1; i <= 3; ++i)
                    d.table(f.table).push_back(terminalRow(f.base + i, "N" + std::to_string(i), i == 1, f.type));
            }
            d.table("callservergroup").resize(3, d.table("callservergroup").front());
            for (int i = 0; i < 3; ++i)
                d.table("callservergroup")[i]["groupId"] = std::to_string(i + 1);
        });
        QVERIFY(startModels(s));
        ZnSsTaskDataMgr::instance();
        ZnRegionListMgr::instance();
        ZnD72ListMgr::instance();
        ZnD74ListMgr::instance();
        QCOMPARE(ZnMicListMgr::instance()->requestMicList(), 0);
        add<ZnD82InfoForm>("d82");
        add<ZnD72InfoForm>("d72");
        add<ZnD74InfoForm>("d74");
        add<ZnMicInfoForm>("d81");
        add<ZnTtsInfoForm>("tts");
        add<ZnCapInfoForm>("cap");
        add<ZnPlayerInfoForm>("player", "fDelTerBtn");
        add<ZnFAlarmInfoForm>("falarm");
        add<ZnMicGroupInfoForm>("group");
        for (const auto &p : pages)
            QTRY_COMPARE(p.second.ctr->tableWidget()->rowCount(), 3);
    }

    // The row's dialog opened by a double click, a new name typed and OK: the
    // row shows the name once the server took it; a refusal tells the operator
    // and keeps the name. Some dialogs stay open for another try (then: the
    // button that closes them), the group page tells twice.
    void rename_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("refusal"); // the message, empty: accepted
        QTest::addColumn<QString>("then");    // the button of the window after it
        const QString setting = QStringLiteral("Setting Error!"), chinese = QStringLiteral("设置错误！");
        const QString cancel = QStringLiteral("fCancelBtn");
        const struct
        {
            const char *page;
            int id;
            QString refusal, then;
        } cases[] = {{"d82", 80001, chinese, cancel},
                     {"d72", 50001, setting, {}},
                     {"d74", 60001, setting, {}},
                     {"d81", 70001, setting, cancel},
                     {"tts", 40001, setting, {}},
                     {"cap", 20001, {}, {}},
                     {"player", 10001, setting, {}},
                     {"falarm", 30001, chinese, cancel},
                     {"group", 1, setting, QStringLiteral("ConfirmButton")}};
        for (const auto &c : cases) {
            QTest::newRow(c.page) << QString::fromLatin1(c.page) << c.id << QString() << QString();
            if (!c.refusal.isEmpty())
                QTest::addRow("%s refused", c.page) << QString::fromLatin1(c.page) << c.id << c.refusal << c.then;
        }
    }
    void rename()
    {
        QFETCH(QString, page);
        QFETCH(int, id);
        QFETCH(QString, refusal);
        QFETCH(QString, then);
        s.sim.clearRules();
        if (!refusal.isEmpty())
            s.sim.addRule(ZnSimRule::make("POST", ZnSimRule::Fail, "refused", 0, 1));
        const QString name = refusal.isEmpty() ? QStringLiteral("Renamed") : QStringLiteral("Refused");
        std::vector<ModalChain::Action> steps = {
            ModalChain::type(QStringLiteral("fNameEdit"), name, QStringLiteral("fOkBtn"))};
        if (!refusal.isEmpty())
            steps.push_back(ModalChain::confirm());
        if (!then.isEmpty())
            steps.push_back(ModalChain::click(then));
        QTableWidget *t = table(page);
        const QStringList seen = answering(steps, [&] { doubleClickRow(t, id); });
        QCOMPARE(seen.size(), int(steps.size()));
        if (refusal.isEmpty()) {
            QTRY_VERIFY2(rowText(t, id).contains(name), qPrintable(rowText(t, id)));
        } else {
            QVERIFY2(seen.at(1).contains(refusal), qPrintable(seen.at(1)));
            QVERIFY(s.settle());
            QVERIFY2(rowText(t, id).contains(QStringLiteral("Renamed")), qPrintable(rowText(t, id)));
        }
    }

    // The rows in the page's order; then all three selected and deleted: one
    // question, the online one refused with its reason, the first removal sent
    // (the bottom row) refused by the server and its row kept, the other removed.
    void deleteSelection_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("told"); // the messages after the question
        // The server's reason, then the page's own text where it has one.
        const struct
        {
            const char *page, *order, *kept, *told;
        } cases[] = {{"d82", "80001 80002 80003", "80001 80003", "without offline!/in use"},
                     {"d72", "50003 50002 50001", "50002 50001", "without offline!/in use/Delete Error!"},
                     {"d74", "60003 60002 60001", "60002 60001", "without offline!/in use/Delete Error!"},
                     {"d81", "70001 70002 70003", "70001 70003", "without offline!/in use"},
                     {"tts", "40003 40002 40001", "40002 40001", "without offline!/in use/Delete Error!"},
                     {"cap", "20003 20002 20001", "20002 20001", "without offline!/in use/Delete Error!"},
                     {"player", "10001 10002 10003", "10001 10003", "without offline!/in use/Delete Error!"},
                     {"falarm", "30003 30002 30001", "30002 30001", "without offline!/in use"},
                     {"group", "3 2 1", "1", "Delete Error!"}};
        for (const auto &c : cases)
            QTest::newRow(c.page) << QString::fromLatin1(c.page) << QString::fromLatin1(c.order)
                                  << QString::fromLatin1(c.kept) << QString::fromLatin1(c.told);
    }
    void deleteSelection()
    {
        QFETCH(QString, page);
        QFETCH(QString, order);
        QFETCH(QString, kept);
        QFETCH(QString, told);
        QTableWidget *t = table(page);
        QCOMPARE(idsOf(t), order);
        s.sim.clearRules();
        s.sim.addRule(ZnSimRule::make("POST", ZnSimRule::Fail, "in use", 0, 1));
        t->setSelectionMode(QAbstractItemView::MultiSelection);
        t->selectAll();
        auto *del = pages.at(page).ctr->widget()->findChild<QAbstractButton *>(pages.at(page).del);
        const QStringList seen =
            answering(std::vector<ModalChain::Action>(4, ModalChain::confirm()), [&] { del->click(); });
        QVERIFY(s.settle());
        QTRY_COMPARE(idsOf(t), kept);
        const QStringList expected = told.split(QLatin1Char('/'));
        QCOMPARE(seen.size() - 1, expected.size());
        for (const QString &text : expected)
            QVERIFY2(seen.join(QLatin1Char('/')).contains(text), qPrintable(seen.join(QLatin1Char('/'))));
    }

    // Edit without a current row opens nothing and asks nothing.
    void editNeedsACurrentRow()
    {
        d82()->tableWidget()->setCurrentCell(-1, -1);
        const int gets = s.sim.count("GET");
        const QStringList seen =
            answering({ModalChain::click(QStringLiteral("fCancelBtn"))}, [&] { d82()->form().fEditBtn->click(); });
        QVERIFY(seen.isEmpty());
        QCOMPARE(s.sim.count("GET"), gets);
    }

    // The list arrives again while the delete question is open and moves the
    // chosen device to another row: the device the operator chose is removed.
    void refillDuringDeleteQuestion()
    {
        s.sim.clearRules();
        QVERIFY(serveD82({terminalRow(80001, "A", 0, "8"), terminalRow(80002, "B", 0, "8")}));
        QTableWidget *t = d82()->tableWidget();
        selectIds(t, {80001});
        const size_t removals = s.requests("POST RemoveDevice").size();
        answering({[&](QWidget *box) {
                      QVERIFY(serveD82({terminalRow(80000, "Z", 0, "8"), terminalRow(80001, "A", 0, "8"),
                                        terminalRow(80002, "B", 0, "8")}));
                      QCOMPARE(rowOfId(t, 80001), 1);
                      ModalChain::confirm()(box);
                  }},
                  [&] { d82()->form().fDelBtn->click(); });
        QCOMPARE(s.requests("POST RemoveDevice").size(), removals + 1);
        QCOMPARE(lastBody(s, "POST RemoveDevice")["Id"].asString(), std::string("80001"));
        QCOMPARE(rowsOf(t), QStringLiteral("80000:Z 80002:B"));
    }

    // The model's list, changed and deleted signals on the page's rows.
    void followsTheModel_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty list") << "list" << 0 << "";
        QTest::newRow("second list") << "list" << 80005 << "80004:D 80005:E";
        QTest::newRow("changed, has a row") << "push" << 80002 << "80001:A 80002:N 80003:C";
        QTest::newRow("changed, new id at the top") << "push" << 80009 << "80009:N 80001:A 80002:B 80003:C";
        QTest::newRow("deleted") << "delete" << 80002 << "80001:A 80003:C";
    }
    void followsTheModel()
    {
        QFETCH(QString, event);
        QFETCH(int, id);
        QFETCH(QString, shown);
        ZnD82ListMgr *m = ZnD82ListMgr::instance();
        std::vector<Json::Value> rows = {terminalRow(80003, "C", 0, "8"), terminalRow(80002, "B", 1, "8"),
                                         terminalRow(80001, "A", 0, "8")};
        if (event == QStringLiteral("list"))
            rows = id ? std::vector<Json::Value>{terminalRow(id - 1, "D", 0, "8"), terminalRow(id, "E", 0, "8")}
                      : std::vector<Json::Value>{};
        QVERIFY(serveD82(rows));
        if (event == QStringLiteral("push")) {
            Json::Value pushed(Json::arrayValue);
            pushed.append(terminalRow(id, "N", 0, "8"));
            QVERIFY(signalled(m, &ZnD82ListMgr::d82Changed,
                              [&] { s.sim.pushPost("SqlConfig", "d82", ZnSimData::json(pushed)); }));
        } else if (event == QStringLiteral("delete")) {
            QVERIFY(signalled(m, &ZnD82ListMgr::d82Deleted, [&] { s.sim.pushDelete("D82", id); }));
        }
        QCOMPARE(rowsOf(d82()->tableWidget()), shown);
    }
};

QTEST_MAIN(TstListFrame)
#include "tst_listframe.moc"
