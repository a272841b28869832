#include "BookEntry.h"
#include "BookRequest.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnMicListMgr.h"

#include <QSignalSpy>
#include <QtTest>

#include <list>

// The models' side of the manager callbacks, without a server: what each event
// does to the copy, to the signals and to the per-console lists. No service hub
// exists here, so every request the models make ends at once with -1.
namespace {

ZnMic mic(int id, const char* name = "", int capVol = 0)
{
    ZnMic m;
    m.id = id;
    m.name = name;
    m.capVol = capVol;
    return m;
}

std::list<ZnMic> mics(std::initializer_list<int> ids)
{
    std::list<ZnMic> list;
    for (int id : ids)
        list.push_back(mic(id));
    return list;
}

std::vector<int> idsOf(const std::list<ZnMic>& list)
{
    std::vector<int> ids;
    for (const ZnMic& m : list)
        ids.push_back(m.id);
    return ids;
}

ZnMicBtnCall btn(int terminalId, const char* start)
{
    ZnMicBtnCall c;
    c.terminalId = terminalId;
    c.startCall = start;
    return c;
}

BookEntry entry(int terminalId, int itemId)
{
    BookEntry e;
    e.terminalId = terminalId;
    e.itemId = itemId;
    return e;
}

} // namespace

class TstConsoleModels : public QObject
{
    Q_OBJECT

private slots:
    void d72ListPushesAndDeletions();
    void d74ListPushesAndDeletions();
    void changesWithoutACentreLeaveTheCopyAlone();
    void buttonCallsBelongToTheirConsole();
    void dsk81ListIsKeptInDescendingOrder();
    void booksBelongToTheirConsole();
};

void TstConsoleModels::d72ListPushesAndDeletions()
{
    ZnD72ListMgr* model = ZnD72ListMgr::instance();
    QVERIFY(model->micList().empty()); // no centre: the first list was never answered
    QSignalSpy got(model, SIGNAL(gotD72List()));
    QSignalSpy changed(model, SIGNAL(d72Changed(int)));
    QSignalSpy deleted(model, SIGNAL(d72Deleted(int)));

    std::list<ZnMic> list = mics({4, 2});
    ZnD72ListMgr::onNotify(228, &list);
    list = mics({7, 8});
    ZnD72ListMgr::onNotify(228, &list);
    QCOMPARE(got.count(), 2);
    QCOMPARE(idsOf(model->micList()), std::vector<int>({7, 8}));

    ZnMic changedMic = mic(7, "Hall", 33);
    ZnD72ListMgr::onNotify(231, &changedMic);
    ZnMic newMic = mic(1, "New");
    ZnD72ListMgr::onNotify(231, &newMic);
    QCOMPARE(idsOf(model->micList()), std::vector<int>({7, 8, 1}));
    ZnMic found;
    QVERIFY(model->findD72(7, found));
    QCOMPARE(found.capVol, 33);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toInt(), 1);

    int id = 8;
    ZnD72ListMgr::onNotify(232, &id);
    id = 99;
    ZnD72ListMgr::onNotify(232, &id);
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0).at(0).toInt(), 8);
    QVERIFY(!model->findD72(8, &found));

    // A null list under the list code empties the copy without a signal.
    ZnD72ListMgr::onNotify(228, nullptr);
    QVERIFY(model->micList().empty());
    QCOMPARE(got.count(), 2);
}

void TstConsoleModels::d74ListPushesAndDeletions()
{
    ZnD74ListMgr* model = ZnD74ListMgr::instance();
    QSignalSpy got(model, SIGNAL(gotD74List()));
    QSignalSpy changed(model, SIGNAL(d74Changed(int)));
    QSignalSpy deleted(model, SIGNAL(d74Deleted(int)));
    std::list<ZnMic> list = mics({3, 5});
    ZnD74ListMgr::onNotify(238, &list);
    ZnMic led = mic(5, "Gate");
    led.ledTxt = "EXIT";
    ZnD74ListMgr::onNotify(241, &led);
    int id = 3;
    ZnD74ListMgr::onNotify(242, &id);
    // A D72 event number means nothing to this model.
    id = 5;
    ZnD74ListMgr::onNotify(232, &id);
    QCOMPARE(got.count(), 1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(deleted.count(), 1);
    ZnMic found;
    QVERIFY(model->findD74(5, found));
    QCOMPARE(found.ledTxt, std::string("EXIT"));
    QCOMPARE(idsOf(model->micList()), std::vector<int>({5}));
}

void TstConsoleModels::changesWithoutACentreLeaveTheCopyAlone()
{
    ZnD72ListMgr* d72 = ZnD72ListMgr::instance();
    std::list<ZnMic> list = mics({10});
    ZnD72ListMgr::onNotify(228, &list);
    QSignalSpy changed(d72, SIGNAL(d72Changed(int)));
    QSignalSpy deleted(d72, SIGNAL(d72Deleted(int)));
    QCOMPARE(d72->modifyD72(mic(10, "Renamed")), -1);
    QCOMPARE(d72->removeD72(mic(10)), -1);
    QCOMPARE(d72->setBtnCalls({}), -1);
    ZnMic found;
    QVERIFY(d72->findD72(10, found));
    QCOMPARE(found.name, std::string());
    QCOMPARE(changed.count() + deleted.count(), 0);

    ZnD74ListMgr* d74 = ZnD74ListMgr::instance();
    QCOMPARE(d74->modifyD74(mic(5, "Renamed"), ZnD74ListMgr::LedSettings), -1);
    QVERIFY(d74->findD74(5, found));
    QCOMPARE(found.name, std::string("Gate"));

    ZnMicListMgr* dsk81 = ZnMicListMgr::instance();
    QCOMPARE(dsk81->modifyMic(mic(1)), -1);
    QCOMPARE(dsk81->deleteMic(mic(1)), -1);
    QCOMPARE(dsk81->requestMic(nullptr, 1), -1);
}

void TstConsoleModels::buttonCallsBelongToTheirConsole()
{
    ZnD72ListMgr* model = ZnD72ListMgr::instance();
    std::list<ZnMicBtnCall> out{btn(0, "stale")};
    // Nothing asked yet: an answer belongs to no console and is dropped.
    std::list<ZnMicBtnCall> answer{btn(4, "ButtonPopUp")};
    ZnD72ListMgr::onNotify(233, &answer);
    QVERIFY(!model->btnCalls(4, out));
    QVERIFY(out.empty());

    model->requestBtnCalls(mic(4)); // no centre: nothing sent, but the console is named
    answer = {btn(4, "ButtonPopUp"), btn(9, "Foreign"), btn(4, "AlarmShortPress")};
    ZnD72ListMgr::onNotify(233, &answer);
    QVERIFY(model->btnCalls(4, out));
    QCOMPARE(int(out.size()), 2);
    QCOMPARE(out.back().startCall, std::string("AlarmShortPress"));
    QVERIFY(!model->btnCalls(9, out));
    QVERIFY(out.empty());

    // The dialog of console 5 asks; the answer empties the list for 5, and 4's
    // calls are no longer handed out.
    model->requestBtnCalls(mic(5));
    answer.clear();
    ZnD72ListMgr::onNotify(233, &answer);
    QVERIFY(model->btnCalls(5, out));
    QVERIFY(out.empty());
    QVERIFY(!model->btnCalls(4, out));

    ZnD74ListMgr* d74 = ZnD74ListMgr::instance();
    d74->requestBtnCalls(mic(6));
    answer = {btn(6, "ButtonPushDown")};
    ZnD74ListMgr::onNotify(243, &answer);
    QVERIFY(d74->btnCalls(6, out));
    QCOMPARE(out.front().startCall, std::string("ButtonPushDown"));
    QVERIFY(!model->btnCalls(6, out)); // the D72 model holds its own
}

void TstConsoleModels::dsk81ListIsKeptInDescendingOrder()
{
    ZnMicListMgr* model = ZnMicListMgr::instance();
    QSignalSpy got(model, SIGNAL(gotMicList()));
    QSignalSpy changed(model, SIGNAL(micChanged(int)));
    QSignalSpy deleted(model, SIGNAL(micDeleted(int)));

    // Before the first list a pushed console waits for it.
    ZnMic early = mic(2);
    ZnMicListMgr::onNotify(263, &early);
    QCOMPARE(changed.count(), 0);
    QVERIFY(model->lockMicList() == nullptr);

    std::list<ZnMic> list = mics({3, 9, 5});
    ZnMicListMgr::onNotify(262, &list);
    QCOMPARE(got.count(), 1);
    QCOMPARE(idsOf(model->micList()), std::vector<int>({9, 5, 3}));

    ZnMic five = mic(5, "Desk", 66);
    five.pttMode = 1;
    ZnMicListMgr::onNotify(263, &five);
    ZnMic seven = mic(7);
    ZnMicListMgr::onNotify(263, &seven);
    QCOMPARE(idsOf(model->micList()), std::vector<int>({9, 3, 5, 7}));
    QCOMPARE(changed.count(), 2);

    std::unique_ptr<ZnMic> copy(model->copyMic(5));
    QVERIFY(copy);
    QCOMPARE(copy->pttMode, 1);
    QCOMPARE(copy->capVol, 66);
    QVERIFY(!model->copyMic(42));

    int id = 9;
    ZnMicListMgr::onNotify(265, &id);
    ZnMicListMgr::onNotify(265, &id);
    QCOMPARE(deleted.count(), 1);

    const std::list<ZnMic>* held = model->lockMicList();
    QVERIFY(held);
    QCOMPARE(int(held->size()), 3);
    model->unlockMicList();

    // A null list changes nothing.
    ZnMicListMgr::onNotify(262, nullptr);
    QCOMPARE(got.count(), 1);
    QCOMPARE(int(model->micList().size()), 3);
}

void TstConsoleModels::booksBelongToTheirConsole()
{
    ZnMicListMgr* model = ZnMicListMgr::instance();
    BookRequest request;
    request.requestType = 272;
    request.terminalId = 5;
    QCOMPARE(model->requestMicBooks(&request), -1); // no centre, but 5 is now asked for
    std::list<BookEntry> rows{entry(5, 40), entry(5, 41)};
    ZnMicListMgr::onNotify(272, &rows);
    std::list<BookEntry> out;
    QVERIFY(model->monitorList(5, out));
    QCOMPARE(int(out.size()), 2);

    // Console 8's dialog asks next; until its answer comes, 5's book is still 5's
    // and 8 gets nothing of it.
    request.terminalId = 8;
    model->requestMicBooks(&request);
    QVERIFY(model->monitorList(5, out));
    QVERIFY(!model->monitorList(8, out));
    rows = {entry(8, 50), entry(5, 41)};
    ZnMicListMgr::onNotify(272, &rows);
    QVERIFY(model->monitorList(8, out));
    QCOMPARE(int(out.size()), 1);
    QCOMPARE(out.front().itemId, 50);
    QVERIFY(!model->monitorList(5, out));

    // Each book is kept apart.
    QVERIFY(!model->regionList(8, out));
    request.requestType = 276;
    model->requestMicBooks(&request);
    rows = {entry(8, 3)};
    ZnMicListMgr::onNotify(276, &rows);
    QVERIFY(model->regionList(8, out));
    QCOMPARE(out.front().itemId, 3);
    QVERIFY(!model->sourceList(8, out));
    QVERIFY(model->monitorList(8, out));
    QCOMPARE(out.front().itemId, 50);

    std::list<ZnMic> terminals = mics({40, 41});
    ZnMicListMgr::onNotify(269, &terminals);
    QCOMPARE(idsOf(model->playTermList()), std::vector<int>({40, 41}));
}

QTEST_MAIN(TstConsoleModels)
#include "tst_consolemodels.moc"
