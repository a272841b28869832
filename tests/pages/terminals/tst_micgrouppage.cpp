#include "PageSim.h"
#include "ZnMicGroupEditDialog.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

// The microphone-group page and its edit dialog against the simulated server.
class TstMicGroupPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void membersFollowTheCurrentGroup();
    void savedMembers_data();
    void savedMembers();
    void addDrawsANewId();
    void refusedDeleteKeepsTheRow();

private:
    ZnMicGroupListMgr *model() { return ZnMicGroupListMgr::instance(); }
    QTableWidget *groups() { return page->form().fGroupTableWidget; }
    void setCurrent(int id);
    Json::Value lastSent() { return jsonOf(s.lastBody("POST CallService")); }

    SimSession s;
    std::unique_ptr<ZnMicGroupInfoForm> page;
};

namespace {

QString idsOf(QTableWidget *t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << QString::number(t->item(r, 0)->data(Qt::UserRole).toInt());
    return out.join(QLatin1Char(' '));
}

// Sets the check box of the dialog's row of each console id.
void setChecks(QWidget *dialog, const QList<int> &ids, Qt::CheckState state)
{
    auto *t = dialog->findChild<QTableWidget *>(QStringLiteral("fMicTableWidget"));
    for (int r = 0; r < t->rowCount(); ++r) {
        if (ids.contains(t->item(r, 0)->data(Qt::UserRole).toInt()))
            t->item(r, 0)->setCheckState(state);
    }
}

} // namespace

void TstMicGroupPage::initTestCase()
{
    QVERIFY(startModels(s));
    QSignalSpy mics(ZnMicListMgr::instance(), &ZnMicListMgr::gotMicList);
    QCOMPARE(ZnMicListMgr::instance()->requestMicList(), 0);
    QVERIFY(SimSession::spinUntil([&] { return mics.count() == 1; }));
    page.reset(new ZnMicGroupInfoForm);
    page->show();
    // Filled when the model's first list arrives, last group on top.
    QTRY_COMPARE(idsOf(groups()), QStringLiteral("2 1"));
}

void TstMicGroupPage::setCurrent(int id)
{
    const int row = page->findRowById(id);
    groups()->setCurrentCell(row, 0);
    emit groups()->itemClicked(groups()->item(row, 0));
}

// Members in the reverse of their stored order; a change to the current group
// redraws them, a deletion clears them.
void TstMicGroupPage::membersFollowTheCurrentGroup()
{
    QTableWidget *members = page->form().fTermTableWidget;
    setCurrent(1);
    QCOMPARE(idsOf(members), QStringLiteral("70002 70001"));
    ZnMicGroup g;
    QVERIFY(model()->getGroup(1, g));
    g.members = {70002};
    QCOMPARE(model()->modifyGroup(g, ZnMicGroupListMgr::Modify), 0);
    QCOMPARE(idsOf(members), QStringLiteral("70002"));
    setCurrent(2);
    QCOMPARE(idsOf(members), QStringLiteral("70002"));
    QSignalSpy deleted(model(), &ZnMicGroupListMgr::groupDeleted);
    s.sim.pushDelete("MicGroup", 1);
    QVERIFY(SimSession::spinUntil([&] { return deleted.count() == 1; }));
    QTRY_COMPARE(members->rowCount(), 0);
    QCOMPARE(idsOf(groups()), QStringLiteral("2"));
}

void TstMicGroupPage::savedMembers_data()
{
    QTest::addColumn<std::vector<int>>("stored");
    QTest::addColumn<QList<int>>("unchecked");
    QTest::addColumn<QList<int>>("checked");
    QTest::addColumn<QString>("sent");
    QTest::newRow("unknown member kept") << std::vector<int>{99999, 70001} << QList<int>{} << QList<int>{}
                                         << "99999 70001";
    QTest::newRow("unchecked one dropped, unknown kept")
        << std::vector<int>{99999, 70001} << QList<int>{70001} << QList<int>{} << "99999";
    QTest::newRow("checked one appended")
        << std::vector<int>{70001} << QList<int>{} << QList<int>{70002} << "70001 70002";
}

void TstMicGroupPage::savedMembers()
{
    QFETCH(std::vector<int>, stored);
    QFETCH(QList<int>, unchecked);
    QFETCH(QList<int>, checked);
    QFETCH(QString, sent);
    ZnMicGroup g;
    QVERIFY(model()->getGroup(2, g));
    g.members = stored;
    QCOMPARE(model()->modifyGroup(g, ZnMicGroupListMgr::Modify), 0);

    setCurrent(2);
    ModalChain chain;
    chain.arm({[&](QWidget *dialog) {
        setChecks(dialog, unchecked, Qt::Unchecked);
        setChecks(dialog, checked, Qt::Checked);
        ModalChain::click(QStringLiteral("fOkBtn"))(dialog);
    }});
    page->form().fEditBtn->click();
    QVERIFY(chain.finished());
    QCOMPARE(QString::fromStdString(lastSent()["Dsk81Id"].asString()), sent);
    QCOMPARE(lastSent()["Id"].asString(), std::string("2"));
}

// Cancelled: nothing sent. Accepted: an id above the largest held, and the new
// group's row on top.
void TstMicGroupPage::addDrawsANewId()
{
    const int posts = s.sim.count("POST CallService");
    ModalChain cancel;
    cancel.arm({ModalChain::click(QStringLiteral("fCancelBtn"))});
    page->form().fNewBtn->click();
    QVERIFY(cancel.finished());
    QCOMPARE(s.sim.count("POST CallService"), posts);

    const int largest = model()->maxGroupId();
    ModalChain add;
    add.arm({[](QWidget *dialog) {
        dialog->findChild<QLineEdit *>(QStringLiteral("fNameEdit"))->setText(QStringLiteral("Lobby"));
        ModalChain::click(QStringLiteral("fOkBtn"))(dialog);
    }});
    page->form().fNewBtn->click();
    QVERIFY(add.finished());
    const int id = std::atoi(lastSent()["Id"].asString().c_str());
    QVERIFY2(id > largest && id <= largest + 10, qPrintable(QString::number(id)));
    QCOMPARE(groups()->item(0, 0)->text(), QStringLiteral("Lobby"));
    QCOMPARE(groups()->item(0, 0)->data(Qt::UserRole).toInt(), id);
}

void TstMicGroupPage::refusedDeleteKeepsTheRow()
{
    s.sim.addRule(ZnSimRule::make("POST CallService", ZnSimRule::Fail, "busy", 0, 1));
    const QString before = idsOf(groups());
    groups()->clearSelection();
    groups()->selectRow(page->findRowById(2));
    ModalChain chain;
    chain.arm({ModalChain::click(QStringLiteral("ConfirmButton")), ModalChain::click(QStringLiteral("ConfirmButton"))});
    page->form().fDelBtn->click();
    QVERIFY(chain.finished());
    QVERIFY(chain.seen.at(1).contains(QStringLiteral("Delete Error!")));
    QCOMPARE(idsOf(groups()), before);
}

QTEST_MAIN(TstMicGroupPage)
#include "tst_micgrouppage.moc"
