#include "ZnCap.h"
#include "ZnCapListMgr.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnQtViewCtrl.h"
#include "ZnQtViewSignal.h"

#include <QSignalSpy>
#include <QtTest>

#include <list>
#include <vector>

// The holder's own bookkeeping, driven through its callbacks as the manager would.
class TstCapList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void changesWaitForTheFirstList();
    void listIsSortedChangeMovesToTheEnd();
    void removalOfUnknownIdIsSilent();
    void changesWithoutCentreAreRefused();

private:
    static std::vector<int> ids();
    static ZnCap cap(int id, const char* name = "")
    {
        ZnCap c;
        c.id = id;
        c.name = name;
        return c;
    }
    ZnCapListMgr* m_caps = nullptr;
};

std::vector<int> TstCapList::ids()
{
    std::vector<int> out;
    if (std::list<ZnCap>* list = ZnCapListMgr::holder()->lockList()) {
        for (const ZnCap& c : *list)
            out.push_back(c.id);
        ZnCapListMgr::holder()->unlock();
    }
    return out;
}

void TstCapList::initTestCase()
{
    m_caps = ZnCapListMgr::holder();
    m_caps->setView(ZnCreateViewCtrMgr::createView(0));
}

void TstCapList::changesWaitForTheFirstList()
{
    QSignalSpy updated(m_caps->view()->signalObject(), &ZnQtViewSignal::updateTerminal);
    QSignalSpy removed(m_caps->view()->signalObject(), &ZnQtViewSignal::delTerminal);
    QVERIFY(!m_caps->lockList());
    ZnCap c = cap(4);
    ZnCapListMgr::onChanged(&c);
    ZnCapListMgr::onRemoved(4);
    ZnCapListMgr::onChanged(nullptr);
    ZnCapListMgr::onList(nullptr);
    QVERIFY(!m_caps->lockList());
    QCOMPARE(updated.count(), 0);
    QCOMPARE(removed.count(), 0);
}

void TstCapList::listIsSortedChangeMovesToTheEnd()
{
    QSignalSpy have(m_caps->view()->signalObject(), &ZnQtViewSignal::haveTerminals);
    QSignalSpy updated(m_caps->view()->signalObject(), &ZnQtViewSignal::updateTerminal);
    std::list<ZnCap> fresh{cap(9), cap(3), cap(5)};
    ZnCapListMgr::onList(&fresh);
    QCOMPARE(ids(), (std::vector<int>{3, 5, 9}));
    QCOMPARE(have.count(), 1);

    ZnCap changed = cap(3, "Gate");
    ZnCapListMgr::onChanged(&changed);
    QCOMPARE(ids(), (std::vector<int>{5, 9, 3}));
    ZnCap added = cap(1);
    ZnCapListMgr::onChanged(&added);
    QCOMPARE(ids(), (std::vector<int>{5, 9, 3, 1}));
    QCOMPARE(updated.count(), 2);
    QCOMPARE(updated.at(0).at(0).toInt(), 3);

    ZnCap out;
    QVERIFY(m_caps->findCap(3, out));
    QCOMPARE(out.name, std::string("Gate"));
    QVERIFY(!m_caps->findCap(42, out));

    // A second list replaces the first wholly.
    std::list<ZnCap> second{cap(7)};
    ZnCapListMgr::onList(&second);
    QCOMPARE(ids(), std::vector<int>{7});
}

void TstCapList::removalOfUnknownIdIsSilent()
{
    std::list<ZnCap> fresh{cap(2), cap(6)};
    ZnCapListMgr::onList(&fresh);
    QSignalSpy removed(m_caps->view()->signalObject(), &ZnQtViewSignal::delTerminal);
    ZnCapListMgr::onRemoved(8);
    QCOMPARE(removed.count(), 0);
    ZnCapListMgr::onRemoved(2);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(0).toInt(), 2);
    QCOMPARE(ids(), std::vector<int>{6});
}

void TstCapList::changesWithoutCentreAreRefused()
{
    std::list<ZnCap> fresh{cap(2)};
    ZnCapListMgr::onList(&fresh);
    QCOMPARE(m_caps->modifyCap(nullptr, cap(2, "x")), -1);
    QCOMPARE(m_caps->removeCap(nullptr, cap(2)), -1);
    ZnCap out;
    QVERIFY(m_caps->findCap(2, out));
    QVERIFY(out.name.empty());
}

QTEST_GUILESS_MAIN(TstCapList)
#include "tst_caplist.moc"
