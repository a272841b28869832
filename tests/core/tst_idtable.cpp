// The id table finds what a std::map holding the same ids finds, through
// growth, runs of colliding ids and erasures in the middle of runs.
#include "ZnIdTable.h"

#include <QtTest>

#include <map>

class TstIdTable : public QObject
{
    Q_OBJECT
private slots:
    void findsWhatAMapFinds_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("count");
        QTest::newRow("ids one after another") << 100000 << 1 << 5000;
        QTest::newRow("ids that share their low bits") << 0 << 65536 << 3000;
        QTest::newRow("negative and zero ids") << -2000 << 1 << 4001;
        QTest::newRow("a few ids") << 7 << 3 << 5;
    }
    void findsWhatAMapFinds()
    {
        QFETCH(int, first);
        QFETCH(int, step);
        QFETCH(int, count);
        ZnIdTable<int> table;
        std::map<int, int> map;
        const auto check = [&] {
            QCOMPARE(table.size(), map.size());
            for (int i = -1; i <= count; ++i) {
                const int id = first + i * step;
                const auto *entry = table.find(id);
                const auto at = map.find(id);
                QCOMPARE(entry != nullptr, at != map.end());
                if (entry)
                    QCOMPARE(entry->value, at->second);
            }
        };
        for (int i = 0; i < count; ++i) {
            table.insert(first + i * step, i);
            map[first + i * step] = i;
        }
        check();
        // Every third id goes, then every other one comes back with a new value.
        for (int i = 0; i < count; i += 3) {
            table.erase(table.find(first + i * step));
            map.erase(first + i * step);
        }
        check();
        for (int i = 0; i < count; i += 6) {
            table.insert(first + i * step, -i);
            map[first + i * step] = -i;
        }
        table.forEach([](ZnIdTable<int>::Entry &e) { e.value += 1; });
        for (auto &m : map)
            m.second += 1;
        check();
        table.clear();
        map.clear();
        check();
    }
};

QTEST_MAIN(TstIdTable)
#include "tst_idtable.moc"
