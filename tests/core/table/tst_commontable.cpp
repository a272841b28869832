#include "ZnColours.h"
#include "ZnCommonTable.h"

#include <QTableWidget>
#include <QTextCodec>
#include <QtTest>

#include <memory>

class TestZnCommonTable : public QObject
{
    Q_OBJECT

private:
    // A 3 x 3 table whose cells hold "r<row>c<column>" and id row * 10 + column.
    static std::unique_ptr<QTableWidget> filledTable()
    {
        auto t = std::make_unique<QTableWidget>(3, 3);
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 3; ++c)
                ZnCommon::setTableItem(t.get(), QString("r%1c%2").arg(r).arg(c).toUtf8().constData(),
                                       r, c, r * 10 + c);
        }
        return t;
    }

private slots:
    void initTestCase() { QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8")); }

    void itemsCarryIds()
    {
        QTableWidget t(2, 2);
        QTableWidgetItem* item = ZnCommon::setTableItem(&t, "广播区 1", 1, 0, 42);
        QVERIFY(item);
        QCOMPARE(t.item(1, 0), item);
        QCOMPARE(item->text(), QString::fromUtf8("广播区 1"));
        QCOMPARE(ZnCommon::itemIntData(&t, 1, 0), 42);
        QCOMPARE(ZnCommon::itemIntData(&t, 0, 0), -1);
        QCOMPARE(ZnCommon::itemIntData(&t, 9, 9), -1);
        QCOMPARE(ZnCommon::itemIntData(nullptr, 0, 0), -1);

        QTableWidgetItem* big = ZnCommon::setTableItem2(&t, "file.mp3", 0, 1, 5000000000ull);
        QVERIFY(big);
        QCOMPARE(big->data(Qt::UserRole).toULongLong(), 5000000000ull);

        ZnCommon::setItemTextAndData(item, "Hall", 7);
        QCOMPARE(item->text(), QString("Hall"));
        QCOMPARE(ZnCommon::itemIntData(&t, 1, 0), 7);

        // Outside the table no item is made.
        QVERIFY(!ZnCommon::setTableItem(&t, "x", 2, 0, 1));
        QVERIFY(!ZnCommon::setTableItem(&t, "x", 0, -1, 1));
    }

    void clearAndRemove()
    {
        auto t = filledTable();
        QCOMPARE(ZnCommon::removeTableRow(t.get(), 1), 0);
        QCOMPARE(t->rowCount(), 2);
        QCOMPARE(ZnCommon::itemIntData(t.get(), 1, 0), 20);
        QCOMPARE(ZnCommon::removeTableRow(t.get(), 99), 0);
        QCOMPARE(t->rowCount(), 2);

        QCOMPARE(ZnCommon::clearTable(t.get()), 0);
        QCOMPARE(t->rowCount(), 0);
        QCOMPARE(t->columnCount(), 3);
        QCOMPARE(ZnCommon::clearTable(nullptr), -1);
        QCOMPARE(ZnCommon::removeTableRow(nullptr, 0), -1);
    }

    void swapRows()
    {
        auto t = filledTable();
        delete t->takeItem(2, 1);
        // Only columns below the count, and only where both rows have a cell.
        ZnCommon::swapRows(t.get(), 0, 2, 2);
        QCOMPARE(t->item(0, 0)->text(), QString("r2c0"));
        QCOMPARE(ZnCommon::itemIntData(t.get(), 0, 0), 20);
        QCOMPARE(t->item(2, 0)->text(), QString("r0c0"));
        QCOMPARE(ZnCommon::itemIntData(t.get(), 2, 0), 0);
        QCOMPARE(t->item(0, 1)->text(), QString("r0c1"));
        QCOMPARE(t->item(0, 2)->text(), QString("r0c2"));
        QCOMPARE(t->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(t->selectionModel()->selectedRows().at(0).row(), 0);
        // Moving a row off either end changes nothing.
        ZnCommon::swapRows(t.get(), 0, -1, 3);
        QCOMPARE(t->item(0, 0)->text(), QString("r2c0"));
    }

    void selectedColumn()
    {
        auto t = filledTable();
        t->setSelectionBehavior(QAbstractItemView::SelectRows);
        t->selectRow(0);
        t->selectionModel()->select(t->model()->index(2, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
        ZnCommon::setSelectedColumnText(t.get(), 1, "方案", 99);
        QCOMPARE(t->item(0, 1)->text(), QString::fromUtf8("方案"));
        QCOMPARE(ZnCommon::itemIntData(t.get(), 2, 1), 99);
        QCOMPARE(t->item(1, 1)->text(), QString("r1c1"));
        QCOMPARE(t->item(0, 0)->text(), QString("r0c0"));
    }

    void rowColours()
    {
        auto t = filledTable();
        delete t->takeItem(1, 2);
        QCOMPARE(ZnCommon::setRowBackground(t.get(), 1, gSelectOrange), 3);
        QCOMPARE(t->item(1, 0)->background().color(), QColor(254, 230, 192));
        QCOMPARE(t->item(1, 1)->background().color(), QColor(254, 230, 192));
        QVERIFY(!t->item(1, 2));
        QCOMPARE(t->item(0, 0)->background().style(), Qt::NoBrush);

        ZnCommon::setItemStyle(t->item(0, 0), Qt::AlignCenter, gFAlarmRed);
        QCOMPARE(t->item(0, 0)->textAlignment(), int(Qt::AlignCenter));
        QCOMPARE(t->item(0, 0)->foreground().color(), QColor(252, 65, 54));
    }
};

QTEST_MAIN(TestZnCommonTable)
#include "tst_commontable.moc"
