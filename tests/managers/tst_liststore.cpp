// The list store behind every family model: busy retries, changes applied only on
// success, copies handed out, and changes that come before the first list.
#include "ZnD82ListMgr.h"
#include "ZnD82Manage.h"
#include "ZnListStore.h"
#include "ZnMicListMgr.h"
#include "ZnMicManage.h"
#include "ZnOwnedList.h"
#include "ZnPauseLog.h"
#include "ZnPlayTermListMgr.h"

#include <QThread>
#include <QtTest>

#include <atomic>

namespace {
struct Item
{
    int id = 0;
    std::string name;
};

std::string text(const std::list<Item>& list)
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
typedef ZnListStore<Item, ZnListKind::RetryBusy> StoreRetryAsReceived;

// What a store must hold after each step, worked out by walking a plain list from
// the front, as the store did before it kept an index.
struct Walked
{
    bool once = true, byId = false;
    std::list<Item> list;

    std::list<Item>::iterator find(int id)
    {
        return std::find_if(list.begin(), list.end(), [id](const Item& i) { return i.id == id; });
    }
    void replace(std::list<Item> fresh)
    {
        if (byId)
            fresh.sort([](const Item& a, const Item& b) { return a.id < b.id; });
        list = fresh;
    }
    void upsert(const Item& item)
    {
        auto it = find(item.id);
        if (once && it != list.end()) {
            *it = item;
            return;
        }
        if (it != list.end())
            list.erase(it);
        auto at = list.end();
        while (byId && at != list.begin() && std::prev(at)->id > item.id)
            --at;
        list.insert(at, item);
    }
    bool erase(int id)
    {
        auto it = find(id);
        if (it == list.end())
            return false;
        list.erase(it);
        return true;
    }
};

// Steps separated by ';': "L 4a 2b" a new list, "U 4x" a changed record, "E 4" a
// removal, "M 4x" an edit in place. Items are an id and an optional name.
template <class Store>
void runSteps(Store& store, Walked& walked, const QString& steps)
{
    const auto item = [](const QString& word) {
        int digits = 0;
        while (digits < word.size() && (word.at(digits).isDigit() || word.at(digits) == QLatin1Char('-')))
            ++digits;
        return Item{word.left(digits).toInt(), word.mid(digits).toStdString()};
    };
    for (const QString& step : steps.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList words = step.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString op = words.value(0);
        if (op == QLatin1String("L")) {
            std::list<Item> fresh;
            for (const QString& w : words.mid(1))
                fresh.push_back(item(w));
            store.replaceAll(&fresh);
            walked.replace(fresh);
        } else if (op == QLatin1String("U")) {
            store.upsert(item(words.value(1)));
            walked.upsert(item(words.value(1)));
        } else if (op == QLatin1String("E")) {
            const int id = words.value(1).toInt();
            QCOMPARE(store.erase(id), walked.erase(id));
        } else if (op == QLatin1String("M")) {
            const Item changed = item(words.value(1));
            const auto it = walked.find(changed.id);
            QCOMPARE(store.edit(changed.id, [&](Item& held) { held.name = changed.name; }), it != walked.list.end());
            if (it != walked.list.end())
                it->name = changed.name;
        }
        QCOMPARE(text(store.copyList()), text(walked.list));
        // Every id finds the first record the walk finds, and no other.
        for (int id = -2; id <= 12; ++id) {
            Item got;
            const auto it = walked.find(id);
            QCOMPARE(store.copyRecord(id, got), it != walked.list.end());
            QCOMPARE(store.contains(id), it != walked.list.end());
            if (it != walked.list.end())
                QCOMPARE(got.name, it->name);
        }
    }
}

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

class TstListStore : public QObject
{
    Q_OBJECT
private slots:
    // What a list or change request returns for the centre's results in turn, how
    // often it calls, the pauses it makes (after every try, the last one included)
    // and whether the change is applied (only on 0).
    void busyAndRefusedResults_data()
    {
        QTest::addColumn<bool>("retry"); // RetryBusy, else CallOnce
        QTest::addColumn<bool>("list");  // a list request, else a change
        QTest::addColumn<QList<int>>("codes");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("calls");
        QTest::addColumn<QList<int>>("pauses");
        const int max = StoreOnce::MaxAttempts;
        QTest::newRow("retry: busy twice, then done")
            << true << false << QList<int>{2, 2, 0} << 0 << 3 << QList<int>{100, 100, 100};
        QTest::newRow("retry: busy once, then done: pauses 100 ms twice")
            << true << false << QList<int>{2, 0} << 0 << 2 << QList<int>{100, 100};
        QTest::newRow("retry list: busy twice: pauses 10 ms three times")
            << true << true << QList<int>{2, 2, 0} << 0 << 3 << QList<int>{10, 10, 10};
        QTest::newRow("retry list: busy for good ends, a pause after each")
            << true << true << QList<int>{2} << 2 << max << QVector<int>(max, 10).toList();
        QTest::newRow("once: busy change reported") << false << false << QList<int>{2, 0} << 2 << 1 << QList<int>{};
        QTest::newRow("list: busy thrice, then refused, at once")
            << false << true << QList<int>{2, 2, 2, 1} << 1 << 4 << QList<int>{};
        QTest::newRow("list: busy for good ends") << false << true << QList<int>{2} << 2 << max << QList<int>{};
        for (int code : {1, 3, 4, -1}) {
            QTest::addRow("once: %d", code) << false << false << QList<int>{code} << code << 1 << QList<int>{};
            QTest::addRow("retry: %d, one pause", code)
                << true << false << QList<int>{code} << code << 1 << QList<int>{100};
        }
    }
    void busyAndRefusedResults()
    {
        QFETCH(bool, retry);
        QFETCH(bool, list);
        QFETCH(QList<int>, codes);
        QFETCH(QList<int>, pauses);
        ZnPauseLog paused;
        Results r{std::vector<int>(codes.begin(), codes.end())};
        int applied = 0;
        const auto apply = [&] { ++applied; };
        const int got = list ? (retry ? StoreRetry::requestList(r) : StoreOnce::requestList(r))
                             : (retry ? StoreRetry::change(r, apply) : StoreOnce::change(r, apply));
        QTEST(got, "result");
        QTEST(r.calls, "calls");
        QCOMPARE(paused.pauses(), std::vector<int>(pauses.begin(), pauses.end()));
        QCOMPARE(applied, !list && got == 0 ? 1 : 0);
    }

    void listsAndChanges()
    {
        // A null list empties CallOnce and leaves RetryBusy; neither asks for a signal.
        StoreOnce a;
        QVERIFY(a.replaceAll(StoreOnce::List{{4, "x"}, {2, ""}}));
        QVERIFY(!a.replaceAll(nullptr));
        QCOMPARE(a.size(), 0);
        // Before the first list a RetryBusy change has nothing to change.
        StoreRetry b;
        QCOMPARE(b.upsert({9, ""}), StoreRetry::NotApplied);
        QVERIFY(b.lockList() == nullptr);
        // Sorted by id; equal ids keep their order of arrival.
        const StoreRetry::List unsorted{{10, ""}, {30, "a"}, {20, ""}, {30, "b"}};
        QVERIFY(b.replaceAll(&unsorted));
        QCOMPARE(b.upsert({10, "moved"}), StoreRetry::Replaced);
        QCOMPARE(text(b.copyList()), std::string("10moved 20 30a 30b "));
        QVERIFY(!b.replaceAll(nullptr));
        QCOMPARE(b.size(), 4);
    }

    // Records are found by id through the store's index: it has to follow every
    // list, change, removal and edit, repeated ids and id order included.
    void idIndexFollowsChanges_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("new ids appended, found again") << "L 4a 2b; U 7c; U 1d; E 2; U 2e";
        QTest::newRow("a removed id is gone") << "L 4a 2b 9c; E 2; E 2; U 9x; E 4";
        QTest::newRow("a new list drops the old ids") << "L 1a 2b 3c; L 5d 3e; U 1f; E 2";
        QTest::newRow("repeated ids: the first, then the next") << "L 3a 5b 3c 3d; U 3x; E 3; E 3; U 3y; E 3; E 3";
        QTest::newRow("edits keep the place") << "L 6a 1b; M 1z; M 8q; E 6; M 6w";
        QTest::newRow("negative and zero ids") << "L 0a -1b; U -1c; E 0; U 0d";
        QTest::newRow("empty list, then changes") << "L; U 5a; U 5b; E 5; E 5";
        QTest::newRow("changed records move, each in turn") << "L 1a 2b 3c 4d; U 1x; U 3y; U 1z; U 4w; U 4v; E 3; U 2u";
        QTest::newRow("a move among repeated ids") << "L 2a 1b 2c; U 2x; U 1y; U 2z; E 2; U 1w";
    }
    void idIndexFollowsChanges()
    {
        QFETCH(QString, steps);
        StoreOnce once;
        Walked walkedOnce;
        runSteps(once, walkedOnce, steps);
        StoreRetry byId;
        Walked walkedById{false, true, {}};
        runSteps(byId, walkedById, steps);
        StoreRetryAsReceived asReceived;
        Walked walkedAsReceived{false, false, {}};
        runSteps(asReceived, walkedAsReceived, steps);
    }

    void readersHandOutCopies()
    {
        StoreOnce a;
        a.replaceAll(StoreOnce::List{{1, ""}, {2, ""}});
        StoreOnce::List snapshot = a.copyList();
        // The receive thread replaces the list many times while the reader walks its copy.
        // It starts once the reader runs: a busy machine may not schedule both at once.
        std::atomic<bool> reading{false};
        QThread* worker = QThread::create([&] {
            while (!reading.load())
                QThread::yieldCurrentThread();
            for (int n = 0; n < 2000; ++n)
                a.replaceAll(StoreOnce::List{{n, ""}, {n + 1, ""}, {n + 2, ""}});
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
        QCOMPARE(text(snapshot), std::string("1 2 "));
    }

    void changeBeforeTheFirstList_data()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<bool>("taken");
        QTest::newRow("D82 device") << int(ZnD82Manage::DeviceType) << true;
        QTest::newRow("Dsk81 console") << int(ZnMicManage::ConsoleType) << true;
        QTest::newRow("IP amplifier waits") << int(ZnPlayTermListMgr::ChangedCode) << false;
    }
    void changeBeforeTheFirstList()
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
            earlyChange(ZnPlayTermListMgr::instance(), &ZnPlayTermListMgr::gotPlayTermList,
                        &ZnPlayTermListMgr::copyList, &ZnPlayTermListMgr::onNotify, ZnPlayTermListMgr::ListCode, family,
                        taken);
    }

    // A console's dialog sees only its own entries, whatever rows the answer mixes in.
    void ownedListKeepsOneConsole()
    {
        struct Entry
        {
            int terminalId;
            int n;
        };
        ZnOwnedList<Entry> list;
        std::list<Entry> out;
        list.take({{5, 1}});
        QVERIFY(!list.copyFor(5, out)); // nobody asked
        list.ask(5);
        list.take({{5, 1}, {6, 2}, {5, 3}});
        QVERIFY(!list.copyFor(6, out));
        QVERIFY(out.empty());
        QVERIFY(list.copyFor(5, out));
        QCOMPARE(out.size(), size_t(2));
        QCOMPARE(out.back().n, 3);
        list.ask(6);
        QVERIFY(list.copyOfAsked().empty()); // 6's answer is not in yet
    }
};

QTEST_GUILESS_MAIN(TstListStore)
#include "tst_liststore.moc"
