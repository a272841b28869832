#include "ServiceHub.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnLockedList.h"
#include "ZnLogManage.h"
#include "ZnManageCenter.h"
#include "ZnQtViewCtrl.h"
#include "ZnQtViewSignal.h"
#include "ZnViewConnectRequest.h"

#include <QtTest>

class ViewReceiver : public QObject
{
    Q_OBJECT
public:
    QList<int> ids;
    int lists = 0;
public slots:
    void onId(int id) { ids << id; }
    void onList() { ++lists; }
};

class TstSingletons : public QObject
{
    Q_OBJECT

private slots:
    void centreAndHubAreMadeOnce();
    void viewsConnectByKind();
};

void TstSingletons::centreAndHubAreMadeOnce()
{
    QVERIFY(!ServiceHub::instance());
    int page = 0;
    QCOMPARE(ifHubExists(&page), static_cast<int*>(nullptr));
    ZnManageCenter* centre = ZnManageCenter::create();
    QCOMPARE(ZnManageCenter::create(), centre);
    for (int i = 0; i < ZnManageCenter::SlotCount; ++i)
        QVERIFY(centre->slot(i));
    // The log manager sits in slot 8 although it is made sixteenth.
    QCOMPARE(centre->slot(ZnManageCenter::LogSlot), static_cast<ZnBaseMgr*>(centre->logManage()));
    QCOMPARE(centre->slot(ZnManageCenter::SlotCount), static_cast<ZnBaseMgr*>(nullptr));

    ServiceHub* hub = ServiceHub::create(centre);
    ZnManageCenter other;
    QCOMPARE(ServiceHub::create(&other), hub);
    QCOMPARE(hub->centre(), centre);
    QCOMPARE(ifHubExists(&page), &page);
    // Not connected: the request ends at once with 4, not in a loop.
    QCOMPARE(hub->requestCapList(), 4);
}

void TstSingletons::viewsConnectByKind()
{
    QVERIFY(!ZnCreateViewCtrMgr::createView(1));
    ViewReceiver r;
    ZnViewConnectRequest req;
    req.receiver = &r;
    req.kind = 1;
    req.slot = SLOT(onId(int));
    ZnLockedList holder;
    QCOMPARE(ZnCreateViewCtrMgr::connectView(nullptr, req), -1);
    QCOMPARE(ZnCreateViewCtrMgr::connectView(&holder, req), -1); // no view yet
    holder.setView(ZnCreateViewCtrMgr::createView(0));
    ZnQtViewCtrl& view = *holder.view();
    QCOMPARE(ZnCreateViewCtrMgr::connectView(&holder, req), 0);
    req.kind = 4;
    QCOMPARE(view.connectView(req), 0);
    req.slot = nullptr;
    QCOMPARE(view.connectView(req), -1);

    // Kind 1 is addTerminal(int); kind 4 connects nothing.
    view.addTerminal(7);
    view.delTerminal(8);
    view.updateTerminal(9);
    view.haveTerminals();
    QCOMPARE(r.ids, QList<int>{7});
    req.kind = 0;
    req.slot = SLOT(onList());
    QCOMPARE(view.connectView(req), 0);
    view.haveTerminals();
    QCOMPARE(r.lists, 1);

    // A renewed signal object drops the old connections.
    view.renewSignal();
    view.addTerminal(11);
    view.haveTerminals();
    QCOMPARE(r.ids, QList<int>{7});
    QCOMPARE(r.lists, 1);
}

QTEST_GUILESS_MAIN(TstSingletons)
#include "tst_singletons.moc"
