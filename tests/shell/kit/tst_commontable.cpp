#include "ZnCommonTable.h"

#include <QTableWidget>
#include <QtTest>

class TestZnCommonTable : public QObject
{
    Q_OBJECT

private slots:
    void itemsAndRows()
    {
        QTableWidget t(3, 3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                QVERIFY(ZnCommon::setTableItem(&t, QStringLiteral("r%1c%2").arg(r).arg(c).toUtf8().constData(), r, c,
                                               r * 10 + c));
        // Outside the table no item is made (the table would drop it without freeing it).
        QVERIFY(!ZnCommon::setTableItem(&t, "x", 3, 0, 1));
        QVERIFY(!ZnCommon::setTableItem(&t, "x", 0, -1, 1));
        QCOMPARE(
            ZnCommon::setTableItem2(&t, QStringLiteral("f"), 0, 1, 5000000000ull)->data(Qt::UserRole).toULongLong(),
            5000000000ull);
        QCOMPARE(ZnCommon::itemIntData(&t, 9, 9), -1);

        // Swaps only columns below the count, and only where both rows have a cell.
        delete t.takeItem(2, 1);
        ZnCommon::swapRows(&t, 0, 2, 2);
        QCOMPARE(t.item(0, 0)->text(), QStringLiteral("r2c0"));
        QCOMPARE(t.item(2, 0)->text(), QStringLiteral("r0c0"));
        QCOMPARE(t.item(0, 2)->text(), QStringLiteral("r0c2"));
        QCOMPARE(ZnCommon::itemIntData(&t, 0, 0), 20);
        QCOMPARE(t.selectionModel()->selectedRows().at(0).row(), 0);
        ZnCommon::swapRows(&t, 0, -1, 3);
        QCOMPARE(t.item(0, 0)->text(), QStringLiteral("r2c0"));

        t.setSelectionBehavior(QAbstractItemView::SelectRows);
        t.selectRow(1);
        ZnCommon::setSelectedColumnText(&t, 1, "方案", 99);
        QCOMPARE(t.item(1, 1)->text(), QString::fromUtf8("方案"));
        QCOMPARE(ZnCommon::itemIntData(&t, 1, 1), 99);
        QCOMPARE(t.item(0, 1)->text(), QStringLiteral("f"));

        QCOMPARE(ZnCommon::removeTableRow(&t, 1), 0);
        QCOMPARE(ZnCommon::itemIntData(&t, 1, 0), 0);
        QCOMPARE(ZnCommon::removeTableRow(&t, 99), 0);
        QCOMPARE(t.rowCount(), 2);
        QCOMPARE(ZnCommon::clearTable(&t), 0);
        QCOMPARE(t.rowCount(), 0);
        QCOMPARE(t.columnCount(), 3);
    }
};

QTEST_MAIN(TestZnCommonTable)
#include "tst_commontable.moc"
