#include "ZnListStore.h"

#include <QObject>
#include <QThread>
#include <QtTest>

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
    Item i;
    i.id = id;
    i.name = name;
    return i;
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

typedef ZnListStore<Item, ZnListKind::A> StoreA;
typedef ZnListStore<Item, ZnListKind::B, ZnListOrder::ById> StoreB;

} // namespace

// A kind B model as the families build it: notify updates the store, then emits.
class SortedModel : public QObject
{
    Q_OBJECT
public:
    StoreB store;
    void notifyChanged(const Item& i)
    {
        const StoreB::Change c = store.upsert(i);
        if (c == StoreB::Replaced)
            emit changed(i.id);
        else if (c == StoreB::Added)
            emit gotList();
    }
signals:
    void gotList();
    void changed(int id);
};

class Receiver : public QObject
{
    Q_OBJECT
public:
    QThread* ranOn = nullptr;
    int hits = 0;
public slots:
    void onChanged(int) { ranOn = QThread::currentThread(); ++hits; }
};

class TstListStore : public QObject
{
    Q_OBJECT
private slots:
    void retriesWhileBusy();
    void appliesOnlyOnSuccess_data();
    void appliesOnlyOnSuccess();
    void busyCentreEndsTheRetries();
    void secondListReplacesFirst();
    void nullList();
    void kindAChangesInPlace();
    void kindBKeepsIdOrder();
    void signalsFromAnotherThreadAreQueued();
    void noLockHeldWhileEmitting();
    void readersHandOutCopies();
};

void TstListStore::retriesWhileBusy()
{
    // Kind B repeats a busy change and applies it once.
    Results busyTwice{{2, 2, 0}};
    int applied = 0;
    QCOMPARE(StoreB::change(busyTwice, [&] { ++applied; }), 0);
    QCOMPARE(busyTwice.calls, 3);
    QCOMPARE(applied, 1);

    Results busyList{{2, 0}};
    QCOMPARE(StoreB::requestList(busyList), 0);
    QCOMPARE(busyList.calls, 2);
    Results busyListA{{2, 2, 2, 1}};
    QCOMPARE(StoreA::requestList(busyListA), 1);
    QCOMPARE(busyListA.calls, 4);

    // Kind A calls a change once and reports the busy centre to its caller.
    Results busyA{{2, 0}};
    QCOMPARE(StoreA::change(busyA, [&] { ++applied; }), 2);
    QCOMPARE(busyA.calls, 1);
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
    StoreA a;
    a.replaceAll(StoreA::List{item(1, "old")});
    Results r{{code}};
    QCOMPARE(StoreA::change(r, [&] { a.upsert(item(1, "new")); }), code);
    QCOMPARE(ids(a.copyList()), std::string("1old "));

    StoreB b;
    b.replaceAll(StoreB::List{item(1)});
    Results rb{{code}};
    QCOMPARE(StoreB::change(rb, [&] { b.erase(1); }), code);
    QVERIFY(b.contains(1));
}

void TstListStore::busyCentreEndsTheRetries()
{
    Results alwaysBusy{{2}};
    QCOMPARE(StoreA::requestList(alwaysBusy), 2);
    QCOMPARE(alwaysBusy.calls, int(StoreA::MaxAttempts));
}

void TstListStore::secondListReplacesFirst()
{
    StoreA a;
    const StoreA::List first{item(1), item(2)};
    const StoreA::List second{item(3)};
    QVERIFY(a.replaceAll(&first));
    QVERIFY(a.replaceAll(&second));
    QCOMPARE(ids(a.copyList()), std::string("3 "));

    StoreB b;
    const StoreB::List unsorted{item(5, "a"), item(2), item(5, "b")};
    QVERIFY(b.replaceAll(&unsorted));
    QVERIFY(b.replaceAll(&unsorted));
    QCOMPARE(ids(b.copyList()), std::string("2 5a 5b "));
}

void TstListStore::nullList()
{
    StoreA a;
    a.replaceAll(StoreA::List{item(1)});
    QVERIFY(!a.replaceAll(nullptr));
    QCOMPARE(a.size(), 0);

    StoreB b;
    b.replaceAll(StoreB::List{item(1)});
    QVERIFY(!b.replaceAll(nullptr));
    QCOMPARE(b.size(), 1);
}

void TstListStore::kindAChangesInPlace()
{
    StoreA a;
    QCOMPARE(a.upsert(item(4, "x")), StoreA::Added);
    a.upsert(item(2));
    QCOMPARE(a.upsert(item(4, "y")), StoreA::Replaced);
    QCOMPARE(ids(a.copyList()), std::string("4y 2 "));
    QVERIFY(a.erase(4));
    QVERIFY(!a.erase(4));
}

void TstListStore::kindBKeepsIdOrder()
{
    SortedModel m;
    QSignalSpy list(&m, &SortedModel::gotList);
    QSignalSpy changed(&m, &SortedModel::changed);

    // Before the first list a push has nothing to change.
    m.notifyChanged(item(9));
    QVERIFY(m.store.lockList() == nullptr);
    QCOMPARE(list.count() + changed.count(), 0);

    m.store.replaceAll(StoreB::List{item(10), item(30), item(20)});
    m.notifyChanged(item(25));
    m.notifyChanged(item(10, "moved"));
    m.notifyChanged(item(5));
    m.notifyChanged(item(40));
    QCOMPARE(ids(m.store.copyList()), std::string("5 10moved 20 25 30 40 "));
    QCOMPARE(list.count(), 3);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 10);

    QVERIFY(m.store.edit(20, [](Item& i) { i.name = "e"; }));
    std::unique_ptr<Item> copy = m.store.takeCopy(20);
    QVERIFY(copy);
    QCOMPARE(copy->name, std::string("e"));
    QVERIFY(!m.store.takeCopy(21));

    const StoreB::List* locked = m.store.lockList();
    QVERIFY(locked);
    QCOMPARE(locked->size(), size_t(6));
    m.store.unlockList();
}

void TstListStore::signalsFromAnotherThreadAreQueued()
{
    SortedModel m;
    m.store.replaceAll(StoreB::List{item(1)});
    Receiver r;
    connect(&m, &SortedModel::changed, &r, &Receiver::onChanged);

    QThread* worker = QThread::create([&] { m.notifyChanged(item(1, "pushed")); });
    worker->start();
    QVERIFY(worker->wait(5000));
    // Nothing ran on the worker: the slot waits for this thread's event loop.
    QCOMPARE(r.hits, 0);
    QTRY_COMPARE(r.hits, 1);
    QCOMPARE(r.ranOn, QThread::currentThread());
    delete worker;
}

void TstListStore::noLockHeldWhileEmitting()
{
    // A slot reached directly that waits for another thread reading the model
    // would hang if the signal left under the model's lock.
    SortedModel m;
    m.store.replaceAll(StoreB::List{item(1)});
    bool readerFinished = false;
    connect(&m, &SortedModel::changed, this, [&](int) {
        auto reader = std::async(std::launch::async, [&] { return m.store.copyList().size(); });
        readerFinished = reader.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        if (!readerFinished)
            m.store.unlockList(); // never reached when the rule holds
    }, Qt::DirectConnection);
    m.notifyChanged(item(1, "again"));
    QVERIFY(readerFinished);
}

void TstListStore::readersHandOutCopies()
{
    StoreA a;
    a.replaceAll(StoreA::List{item(1), item(2)});
    StoreA::List snapshot = a.copyList();

    // The receive thread replaces the list many times while the reader walks its copy.
    QThread* worker = QThread::create([&] {
        for (int n = 0; n < 2000; ++n)
            a.replaceAll(StoreA::List{item(n), item(n + 1), item(n + 2)});
    });
    worker->start();
    int walked = 0;
    while (!worker->isFinished()) {
        for (const Item& i : a.copyList())
            walked += i.id >= 0;
        Item out;
        a.copyRecord(5, out);
    }
    worker->wait();
    delete worker;
    QVERIFY(walked > 0);
    QCOMPARE(ids(snapshot), std::string("1 2 "));
}

QTEST_GUILESS_MAIN(TstListStore)
#include "tst_liststore.moc"
