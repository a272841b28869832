#include "ZnCreateViewCtrMgr.h"
#include "ZnLevelList.h"
#include "ZnQtViewCtrl.h"
#include "ZnQtViewSignal.h"
#include "ZnViewConnectRequest.h"

#include <QThread>
#include <QtTest>

class ViewReceiver : public QObject
{
    Q_OBJECT
public:
    QList<int> ids;
    int lists = 0;
    QThread* ranOn = nullptr;
public slots:
    void onId(int id)
    {
        ids << id;
        ranOn = QThread::currentThread();
    }
    void onList()
    {
        ++lists;
        ranOn = QThread::currentThread();
    }
};

class TstViewBridge : public QObject
{
    Q_OBJECT
private slots:
    void connectsByKind();
    void renewedSignalDropsOldConnections();
    void levelListAnnouncesFromTheReceiveThread();
};

void TstViewBridge::connectsByKind()
{
    ZnQtViewCtrl view;
    ViewReceiver r;
    ZnViewConnectRequest req;
    req.receiver = &r;

    req.slot = nullptr;
    QCOMPARE(view.connectView(req), -1);

    req.kind = 1;
    req.slot = SLOT(onId(int));
    QCOMPARE(view.connectView(req), 0);
    req.kind = 4;
    QCOMPARE(view.connectView(req), 0);

    view.addTerminal(7);
    view.delTerminal(8);
    view.updateTerminal(9);
    view.haveTerminals();
    // Only addTerminal(int) was connected.
    QCOMPARE(r.ids, QList<int>{7});

    req.kind = 3;
    QCOMPARE(view.connectView(req), 0);
    req.kind = 0;
    req.slot = SLOT(onList());
    QCOMPARE(view.connectView(req), 0);
    view.updateTerminal(9);
    view.haveTerminals();
    QCOMPARE(r.ids, (QList<int>{7, 9}));
    QCOMPARE(r.lists, 1);
}

void TstViewBridge::renewedSignalDropsOldConnections()
{
    ZnQtViewCtrl view;
    ViewReceiver r;
    ZnViewConnectRequest req;
    req.kind = 2;
    req.receiver = &r;
    req.slot = SLOT(onId(int));
    view.connectView(req);
    view.delTerminal(1);
    view.renewSignal();
    view.delTerminal(2);
    QCOMPARE(r.ids, QList<int>{1});
}

void TstViewBridge::levelListAnnouncesFromTheReceiveThread()
{
    ZnLevelList list;
    list.setView(ZnCreateViewCtrMgr::createView(0));
    QVERIFY(!ZnCreateViewCtrMgr::createView(1));
    ViewReceiver r;
    ZnViewConnectRequest req;
    req.kind = 0;
    req.receiver = &r;
    req.slot = SLOT(onList());
    QCOMPARE(ZnCreateViewCtrMgr::connectView(&list, req), 0);
    QCOMPARE(ZnCreateViewCtrMgr::connectView(nullptr, req), -1);

    QThread* worker = QThread::create([&] { list.replace(std::list<ZnLevel>(2)); });
    worker->start();
    QVERIFY(worker->wait(5000));
    delete worker;
    QCOMPARE(r.lists, 0);
    QTRY_COMPARE(r.lists, 1);
    QCOMPARE(r.ranOn, QThread::currentThread());
}

QTEST_GUILESS_MAIN(TstViewBridge)
#include "tst_viewbridge.moc"
