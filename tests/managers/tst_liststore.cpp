#include "ZnD82ListMgr.h"
#include "ZnD82Manage.h"
#include "ZnListStore.h"
#include "ZnMicListMgr.h"
#include "ZnMicManage.h"
#include "ZnPlayTermListMgr.h"

#include <QObject>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <future>
#include <string>

namespace {

struct Item
{
    int id = 0;
    std::string name;
};

Item item(int id, const char* name = "")
{
    return Item{id, name};
}

std::string ids(const std::list<Item>& list)
{
    std::string out;
    for (const Item& i : list)
        out += std::to_string(i.id) + i.name + " ";
    return out;
}

// A stand-in for a centre call: hands out the queued result codes in turn.
struct Results
{
    std::vector<int> codes;
    int calls = 0;
    int operator()() { return codes[std::min<size_t>(calls++, codes.size() - 1)]; }
};

typedef ZnListStore<Item, ZnListKind::CallOnce> StoreOnce;
typedef ZnListStore<Item, ZnListKind::RetryBusy, ZnListOrder::ById> StoreRetry;

} // namespace

// A RetryBusy model as the families build it: notify updates the store, then emits.
class SortedModel : public QObject
{
    Q_OBJECT
public:
    StoreRetry store;
    void notifyChanged(const Item& i)
    {
        const StoreRetry::Change c = store.upsert(i);
        if (c == StoreRetry::Replaced)
            emit changed(i.id);
        else if (c == StoreRetry::Added)
            emit gotList();
    }
signals:
    void gotList();
    void changed(int id);
};

class TstListStore : public QObject
{
    Q_OBJECT
private slots:
    void retriesWhileBusy();
    void appliesOnlyOnSuccess_data();
    void appliesOnlyOnSuccess();
    void listsAndChanges();
    void noLockHeldWhileEmitting();
    void readersHandOutCopies();
    void changeBeforeTheFirstList_data();
    void changeBeforeTheFirstList();
};

void TstListStore::retriesWhileBusy()
{
    // RetryBusy repeats a busy change and applies it once; a line busy for good ends the retries.
    Results busyTwice{{2, 2, 0}};
    int applied = 0;
    QCOMPARE(StoreRetry::change(busyTwice, [&] { ++applied; }), 0);
    QCOMPARE(busyTwice.calls, 3);
    QCOMPARE(applied, 1);
    Results busyListOnce{{2, 2, 2, 1}};
    QCOMPARE(StoreOnce::requestList(busyListOnce), 1);
    QCOMPARE(busyListOnce.calls, 4);
    Results alwaysBusy{{2}};
    QCOMPARE(StoreOnce::requestList(alwaysBusy), 2);
    QCOMPARE(alwaysBusy.calls, int(StoreOnce::MaxAttempts));

    // CallOnce calls a change once and reports the busy centre to its caller.
    Results busyOnce{{2, 0}};
    QCOMPARE(StoreOnce::change(busyOnce, [&] { ++applied; }), 2);
    QCOMPARE(busyOnce.calls, 1);
    QCOMPARE(applied, 1);
}

void TstListStore::appliesOnlyOnSuccess_data()
{
    QTest::addColumn<int>("code");
    QTest::newRow("refused") << 1;
    QTest::newRow("no answer") << 3;
    QTest::newRow("stopped") << 4;
    QTest::newRow("no centre") << -1;
}

void TstListStore::appliesOnlyOnSuccess()
{
    QFETCH(int, code);
    StoreOnce a;
    a.replaceAll(StoreOnce::List{item(1, "old")});
    Results r{{code}};
    QCOMPARE(StoreOnce::change(r, [&] { a.upsert(item(1, "new")); }), code);
    QCOMPARE(ids(a.copyList()), std::string("1old "));
    StoreRetry b;
    b.replaceAll(StoreRetry::List{item(1)});
    Results rb{{code}};
    QCOMPARE(StoreRetry::change(rb, [&] { b.erase(1); }), code);
    QVERIFY(b.contains(1));
}

void TstListStore::listsAndChanges()
{
    // Kinds and orders are seen through the family models; here what they rarely meet.
    // A null list empties CallOnce and leaves RetryBusy.
    StoreOnce a;
    QVERIFY(a.replaceAll(StoreOnce::List{item(4, "x"), item(2)}));
    QVERIFY(!a.replaceAll(nullptr));
    QCOMPARE(a.size(), 0);

    SortedModel m;
    QSignalSpy list(&m, &SortedModel::gotList);
    QSignalSpy changed(&m, &SortedModel::changed);
    // Before the first list a push has nothing to change.
    m.notifyChanged(item(9));
    QVERIFY(m.store.lockList() == nullptr);
    QCOMPARE(list.count(), 0);
    QCOMPARE(changed.count(), 0);
    // Equal ids keep their order of arrival.
    const StoreRetry::List unsorted{item(10), item(30, "a"), item(20), item(30, "b")};
    QVERIFY(m.store.replaceAll(&unsorted));
    m.notifyChanged(item(10, "moved"));
    QCOMPARE(ids(m.store.copyList()), std::string("10moved 20 30a 30b "));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!m.store.replaceAll(nullptr));
    QCOMPARE(m.store.size(), 4);
}

void TstListStore::noLockHeldWhileEmitting()
{
    // A slot reached directly that waits for another thread reading the model
    // would hang if the signal left under the model's lock.
    SortedModel m;
    m.store.replaceAll(StoreRetry::List{item(1)});
    bool readerFinished = false;
    connect(
        &m, &SortedModel::changed, this,
        [&](int) {
            auto reader = std::async(std::launch::async, [&] { return m.store.copyList().size(); });
            readerFinished = reader.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
            if (!readerFinished)
                m.store.unlockList(); // never reached when the rule holds
        },
        Qt::DirectConnection);
    m.notifyChanged(item(1, "again"));
    QVERIFY(readerFinished);
}

void TstListStore::readersHandOutCopies()
{
    StoreOnce a;
    a.replaceAll(StoreOnce::List{item(1), item(2)});
    StoreOnce::List snapshot = a.copyList();

    // The receive thread replaces the list many times while the reader walks its copy.
    // It starts once the reader runs: a busy machine may not schedule both at once.
    std::atomic<bool> reading{false};
    QThread* worker = QThread::create([&] {
        while (!reading.load())
            QThread::yieldCurrentThread();
        for (int n = 0; n < 2000; ++n)
            a.replaceAll(StoreOnce::List{item(n), item(n + 1), item(n + 2)});
    });
    worker->start();
    int walked = 0;
    do {
        for (const Item& i : a.copyList())
            walked += i.id >= 0;
        Item out;
        a.copyRecord(5, out);
        reading.store(true);
    } while (!worker->isFinished());
    worker->wait();
    delete worker;
    QVERIFY(walked > 0);
    QCOMPARE(ids(snapshot), std::string("1 2 "));
}

void TstListStore::changeBeforeTheFirstList_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("taken");
    QTest::newRow("D82 device") << int(ZnD82Manage::DeviceType) << true;
    QTest::newRow("Dsk81 console") << int(ZnMicManage::ConsoleType) << true;
    QTest::newRow("IP amplifier waits") << int(ZnPlayTermListMgr::ChangedCode) << false;
}

namespace {
// Feeds a family's model as its manager does: one change, then the first list.
template <class Record, class Model, class Signal>
void earlyChange(Model* model, Signal changedSignal, std::list<Record> (Model::*copy)() const,
                 void (*notify)(int, void*), int listCode, int changedCode, bool taken)
{
    const auto held = [&] {
        std::vector<int> out;
        for (const Record& r : (model->*copy)())
            out.push_back(r.id);
        return out;
    };
    QSignalSpy changed(model, changedSignal);
    Record one;
    one.id = 7;
    notify(changedCode, &one);
    QCOMPARE(changed.count(), taken ? 1 : 0);
    QCOMPARE(held(), taken ? std::vector<int>{7} : std::vector<int>{});
    // The first list replaces whatever came before it.
    std::list<Record> rows(1);
    rows.front().id = 5;
    notify(listCode, &rows);
    QCOMPARE(held(), std::vector<int>{5});
}
} // namespace

void TstListStore::changeBeforeTheFirstList()
{
    QFETCH(int, family);
    QFETCH(bool, taken);
    if (family == ZnD82Manage::DeviceType)
        earlyChange(ZnD82ListMgr::instance(), &ZnD82ListMgr::d82Changed, &ZnD82ListMgr::d82List,
                    &ZnD82ListMgr::onNotify, ZnD82Manage::ListType, family, taken);
    else if (family == ZnMicManage::ConsoleType)
        earlyChange(ZnMicListMgr::instance(), &ZnMicListMgr::micChanged, &ZnMicListMgr::micList,
                    &ZnMicListMgr::onNotify, ZnMicManage::ListType, family, taken);
    else
        earlyChange(ZnPlayTermListMgr::instance(), &ZnPlayTermListMgr::gotPlayTermList, &ZnPlayTermListMgr::copyList,
                    &ZnPlayTermListMgr::onNotify, ZnPlayTermListMgr::ListCode, family, taken);
}

QTEST_GUILESS_MAIN(TstListStore)
#include "tst_liststore.moc"
