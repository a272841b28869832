#include "ZnSelectTableCtrl.h"

#include <QCheckBox>
#include <QTableWidget>
#include <QtTest>

namespace {

bool ticked(QTableWidget &t, int row)
{
    const bool flag = t.item(row, 1) && t.item(row, 1)->data(Qt::UserRole).toInt() == 1;
    const bool box = t.item(row, 0)->checkState() == Qt::Checked;
    const bool tint = t.item(row, 0)->background().color() == QColor(254, 230, 192);
    if (flag != box || flag != tint)
        qWarning("row %d out of step: flag %d box %d tint %d", row, flag, box, tint);
    return flag && box && tint;
}

QList<int> tickedRows(QTableWidget &t)
{
    QList<int> rows;
    for (int r = 0; r < t.rowCount(); ++r)
        if (ticked(t, r))
            rows << r;
    return rows;
}

void fill(ZnSelectTableCtrl &c, int n, int checkedRow = -1)
{
    for (int i = 0; i < n; ++i)
        c.fillTable(i == checkedRow ? Qt::Checked : Qt::Unchecked, "t" + std::to_string(i), 100 + i, "IP");
}

void click(QTableWidget &t, int row)
{
    emit t.itemClicked(t.item(row, 0));
}

} // namespace

class tst_selecttable : public QObject
{
    Q_OBJECT

private slots:
    void columnsByMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QString>("col1");
        QTest::newRow("1") << 1 << QStringList{"名称", "类型"} << "IP";
        QTest::newRow("2") << 2 << QStringList{"名称", "ID"} << "IP";
        QTest::newRow("3") << 3 << QStringList{"名称", "ID", "类型"} << "100";
        QTest::newRow("4") << 4 << QStringList{"名称", "ID"} << "100";
        QTest::newRow("other") << 0 << QStringList{"名称", "ID", "类型"} << "IP";
    }
    void columnsByMode()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, headers);
        QTableWidget t;
        ZnSelectTableCtrl c;
        c.initSingleSelect(&t, mode);
        QCOMPARE(t.columnCount(), headers.size());
        for (int i = 0; i < headers.size(); ++i)
            QCOMPARE(t.horizontalHeaderItem(i)->text(), headers[i]);
        QCOMPARE(t.isColumnHidden(1), mode == 4);
        fill(c, 1);
        QCOMPARE(t.item(0, 0)->data(Qt::UserRole).toInt(), 100);
        QFETCH(QString, col1);
        QCOMPARE(t.item(0, 1)->text(), col1);
    }

    void multiSelect()
    {
        QTableWidget t;
        QCheckBox all;
        ZnSelectTableCtrl c;
        c.initMultiSelect(&t, &all, 3);
        fill(c, 4);
        QVERIFY(!c.isChanged());
        all.setCheckState(Qt::Checked);
        QCOMPARE(tickedRows(t), (QList<int>{0, 1, 2, 3}));
        click(t, 1);
        QCOMPARE(tickedRows(t), (QList<int>{0, 2, 3}));
        QCOMPARE(all.checkState(), Qt::Unchecked);
        // Ticking every row by hand does not check the box.
        click(t, 1);
        QCOMPARE(all.checkState(), Qt::Unchecked);
        all.setCheckState(Qt::Checked);
        all.setCheckState(Qt::Unchecked);
        QCOMPARE(tickedRows(t), QList<int>());
        QVERIFY(c.isChanged());
    }

    // One row at most; a prefilled check is the current row; a row that lost
    // its flag cell still ticks, a null click is ignored.
    void singleSelect()
    {
        QTableWidget t;
        ZnSelectTableCtrl c;
        c.initSingleSelect(&t, 3);
        fill(c, 4, 1);
        QCOMPARE(tickedRows(t), QList<int>{1});
        click(t, 3);
        QCOMPARE(tickedRows(t), QList<int>{3});
        QCOMPARE(c.checkedRow(), 3);
        click(t, 3);
        QCOMPARE(tickedRows(t), QList<int>());
        QCOMPARE(c.checkedRow(), -1);
        QVERIFY(!c.isChanged());

        delete t.takeItem(0, 1);
        click(t, 0);
        QCOMPARE(tickedRows(t), QList<int>{0});
        emit t.itemClicked(nullptr);
    }
};

QTEST_MAIN(tst_selecttable)
#include "tst_selecttable.moc"
