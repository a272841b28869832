#include "ServiceHub.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnLogManage.h"
#include "ZnLockedList.h"
#include "ZnManageCenter.h"
#include "ZnQtViewCtrl.h"
#include "ZnQtViewSignal.h"
#include "ZnViewConnectRequest.h"

#include <QSignalSpy>
#include <QtTest>

class Receiver : public QObject
{
    Q_OBJECT
public:
    int last = -1;
public slots:
    void onAdded(int id) { last = id; }
};

class TstSingletons : public QObject
{
    Q_OBJECT

private slots:
    void centreIsCreatedOnceWithItsSlots();
    void hubKeepsTheFirstCentre();
    void viewRegistryConnectsHolders();
};

void TstSingletons::centreIsCreatedOnceWithItsSlots()
{
    ZnManageCenter* centre = ZnManageCenter::create();
    QVERIFY(centre);
    QCOMPARE(ZnManageCenter::create(), centre);
    QCOMPARE(centre->state(), int(ZnNetManage::NotStarted));
    QCOMPARE(centre->systemTime(), std::string("."));
    for (int i = 0; i < ZnManageCenter::SlotCount; ++i)
        QVERIFY(centre->slot(i));
    // The log manager sits in slot 8 although it is made sixteenth.
    QCOMPARE(centre->slot(ZnManageCenter::LogSlot), static_cast<ZnBaseMgr*>(centre->logManage()));
    QCOMPARE(int(ZnManageCenter::LogSlot), 7);
    QCOMPARE(centre->slot(ZnManageCenter::SlotCount), static_cast<ZnBaseMgr*>(nullptr));
}

void TstSingletons::hubKeepsTheFirstCentre()
{
    QVERIFY(!ServiceHub::instance());
    int page = 0;
    QCOMPARE(ifHubExists(&page), static_cast<int*>(nullptr));
    ZnManageCenter* centre = ZnManageCenter::create();
    ServiceHub* hub = ServiceHub::create(centre);
    QCOMPARE(ServiceHub::instance(), hub);
    QCOMPARE(hub->centre(), centre);
    ZnManageCenter other;
    QCOMPARE(ServiceHub::create(&other), hub);
    QCOMPARE(hub->centre(), centre);
    QCOMPARE(ifHubExists(&page), &page);
    // Not connected: the request ends at once with 4, not in a loop.
    QCOMPARE(hub->requestCapList(), 4);
}

void TstSingletons::viewRegistryConnectsHolders()
{
    ZnCreateViewCtrMgr* registry = ZnCreateViewCtrMgr::create();
    QCOMPARE(ZnCreateViewCtrMgr::create(), registry);
    QCOMPARE(ZnCreateViewCtrMgr::createView(1), static_cast<ZnQtViewCtrl*>(nullptr));

    Receiver receiver;
    ZnViewConnectRequest request;
    request.kind = 1;
    request.receiver = &receiver;
    request.slot = SLOT(onAdded(int));
    ZnLockedList holder;
    QCOMPARE(ZnCreateViewCtrMgr::connectView(nullptr, request), -1);
    QCOMPARE(ZnCreateViewCtrMgr::connectView(&holder, request), -1);
    holder.setView(ZnCreateViewCtrMgr::createView(0));
    QCOMPARE(ZnCreateViewCtrMgr::connectView(&holder, request), 0);
    holder.view()->addTerminal(42);
    QCOMPARE(receiver.last, 42);
    request.kind = 4;
    QCOMPARE(ZnCreateViewCtrMgr::connectView(&holder, request), 0);
    request.slot = nullptr;
    QCOMPARE(ZnCreateViewCtrMgr::connectView(&holder, request), -1);

    QSignalSpy spy(holder.view()->signalObject(), SIGNAL(delTerminal(int)));
    holder.view()->delTerminal(7);
    QCOMPARE(spy.count(), 1);
}

QTEST_GUILESS_MAIN(TstSingletons)
#include "tst_singletons.moc"
