#include "PageSim.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"

#include <QtTest>

// The microphone-group page's members and its edit dialog against the simulated server.
class TstMicGroupPage : public QObject
{
    Q_OBJECT

    SimSession s;
    std::unique_ptr<ZnMicGroupInfoForm> page;

    ZnMicGroupListMgr *model() { return ZnMicGroupListMgr::instance(); }
    QTableWidget *groups() { return page->form().fGroupTableWidget; }
    void setCurrent(int id)
    {
        const int row = rowOfId(groups(), id);
        groups()->setCurrentCell(row, 0);
        emit groups()->itemClicked(groups()->item(row, 0));
    }
    void setMembers(int id, const std::vector<int> &members)
    {
        ZnMicGroup g;
        QVERIFY(model()->getGroup(id, g));
        g.members = members;
        QCOMPARE(model()->modifyGroup(g, ZnMicGroupListMgr::Modify), 0);
    }
    Json::Value lastSent() { return lastBody(s, "POST CallService"); }

private slots:
    void initTestCase()
    {
        QVERIFY(startModels(s));
        QVERIFY(signalled(ZnMicListMgr::instance(), &ZnMicListMgr::gotMicList,
                          [] { ZnMicListMgr::instance()->requestMicList(); }));
        page.reset(new ZnMicGroupInfoForm);
        page->show();
        QTRY_COMPARE(idsOf(groups()), QStringLiteral("2 1"));
    }

    // Members in the reverse of their stored order; a change to the current group
    // redraws them, a deletion clears them.
    void membersFollowTheCurrentGroup()
    {
        QTableWidget *members = page->form().fTermTableWidget;
        setCurrent(1);
        QCOMPARE(idsOf(members), QStringLiteral("70002 70001"));
        setMembers(1, {70002});
        QCOMPARE(idsOf(members), QStringLiteral("70002"));
        QVERIFY(signalled(model(), &ZnMicGroupListMgr::groupDeleted, [&] { s.sim.pushDelete("MicGroup", 1); }));
        QTRY_COMPARE(members->rowCount(), 0);
        QCOMPARE(idsOf(groups()), QStringLiteral("2"));
    }

    // Members the console list lacks are kept in their order; only unchecked ones are dropped.
    void savedMembers_data()
    {
        QTest::addColumn<std::vector<int>>("stored");
        QTest::addColumn<QList<int>>("toggled");
        QTest::addColumn<QString>("sent");
        QTest::newRow("unknown member kept") << std::vector<int>{99999, 70001} << QList<int>{} << "99999 70001";
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
                      [&] { page->form().fEditBtn->click(); });
        QCOMPARE(seen.size(), 1);
        QCOMPARE(QString::fromStdString(lastSent()["Dsk81Id"].asString()), sent);
        QCOMPARE(lastSent()["Id"].asString(), std::string("2"));
    }

    // Cancelled: nothing sent. Accepted: an id above the largest held, and the new
    // group's row on top.
    void addDrawsANewId()
    {
        const int posts = s.sim.count("POST CallService");
        answering({ModalChain::click(QStringLiteral("fCancelBtn"))}, [&] { page->form().fNewBtn->click(); });
        QCOMPARE(s.sim.count("POST CallService"), posts);
        const int largest = model()->maxGroupId();
        answering({ModalChain::type(QStringLiteral("fNameEdit"), QStringLiteral("Lobby"), QStringLiteral("fOkBtn"))},
                  [&] { page->form().fNewBtn->click(); });
        const int id = std::atoi(lastSent()["Id"].asString().c_str());
        QVERIFY2(id > largest && id <= largest + 10, qPrintable(QString::number(id)));
        QCOMPARE(rowsOf(groups()).section(QLatin1Char(' '), 0, 0), QString::number(id) + QStringLiteral(":Lobby"));
    }
};

QTEST_MAIN(TstMicGroupPage)
#include "tst_micgrouppage.moc"
