// The id index of a table: after every way the pages change their tables it must
// give the row a walk over column 0 gives (the upper one of repeated ids, -1 for
// an id no row has).
#include "ZnTableFill.h"
#include "ZnTableRow.h"
#include "ZnTableRowIndex.h"
#include "ZnTerBaseCtr.h"

#include <QTableWidget>
#include <QtTest>

namespace {

QTableWidgetItem *idCell(int id)
{
    auto *item = new QTableWidgetItem(QString::number(id));
    item->setData(Qt::UserRole, id);
    return item;
}

int walkedRow(QTableWidget &t, int id)
{
    for (int row = 0; row < t.rowCount(); ++row) {
        const QTableWidgetItem *item = t.item(row, 0);
        if ((item ? item->data(Qt::UserRole).toInt() : -1) == id)
            return row;
    }
    return -1;
}

// Fills the whole table through the fill helper with the ids given.
void fill(QTableWidget &t, const QList<int> &ids, ZnTableFill::Mode mode)
{
    ZnTableFill f(&t, ids.size(), mode);
    for (int id : ids) {
        ZnTableRow row;
        row.add(QString::number(id), id);
        row.addText(QStringLiteral("x"));
        f.append(row);
    }
}

// Steps separated by ';': "A 5" appends a row, "T 5" inserts one at the top,
// "E 2" inserts a row without an id cell (id -1) at row 2,
// "R 2" removes row 2, "S" sorts by column 0 descending, "D 2 7" sets the id
// of row 2 to 7, "F 1 2 3" and "N 1 2 3" fill anew (reusing or making the
// cells), "G 1 2 3" fills announcing a row too few, "C" clears the contents,
// "Z" drops every row, "V 5" inserts at the top through the fill helper,
// "W 1 7" rewrites row 1 through it.
void apply(QTableWidget &t, const QString &step)
{
    const QStringList w = step.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString op = w.value(0);
    QList<int> numbers;
    for (const QString &n : w.mid(1))
        numbers << n.toInt();
    if (op == QLatin1String("A")) {
        t.insertRow(t.rowCount());
        t.setItem(t.rowCount() - 1, 0, idCell(numbers.value(0)));
    } else if (op == QLatin1String("E")) {
        t.insertRow(numbers.value(0));
    } else if (op == QLatin1String("T")) {
        t.insertRow(0);
        t.setItem(0, 0, idCell(numbers.value(0)));
    } else if (op == QLatin1String("R")) {
        t.removeRow(numbers.value(0));
    } else if (op == QLatin1String("S")) {
        t.sortItems(0, Qt::DescendingOrder);
    } else if (op == QLatin1String("D")) {
        t.item(numbers.value(0), 0)->setData(Qt::UserRole, numbers.value(1));
    } else if (op == QLatin1String("F") || op == QLatin1String("N")) {
        fill(t, numbers, op == QLatin1String("F") ? ZnTableFill::ReuseCells : ZnTableFill::NewCells);
    } else if (op == QLatin1String("C")) {
        t.clearContents();
    } else if (op == QLatin1String("Z")) {
        t.setRowCount(0);
    } else if (op == QLatin1String("G")) {
        // Announces one row fewer than it appends.
        ZnTableFill f(&t, numbers.size() - 1);
        for (int id : numbers) {
            ZnTableRow row;
            row.add(QString::number(id), id);
            f.append(row);
        }
    } else if (op == QLatin1String("V") || op == QLatin1String("W")) {
        ZnTableRow row;
        const int id = numbers.value(op == QLatin1String("V") ? 0 : 1);
        row.add(QString::number(id), id);
        if (op == QLatin1String("V"))
            ZnTableFill::insertRow(&t, 0, row);
        else
            ZnTableFill::writeRow(&t, numbers.value(0), row);
    }
}

} // namespace

class TstTableRowIndex : public QObject
{
    Q_OBJECT
private slots:
    void followsTheTable_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::newRow("appended rows") << "A 10; A 20; A 30";
        QTest::newRow("rows inserted at the top move the others") << "A 10; A 20; T 5; T 1; V 7";
        QTest::newRow("removed rows move the others up") << "A 10; A 20; A 30; A 40; R 1; R 0; R 1";
        QTest::newRow("sorted") << "A 10; A 30; A 20; S; T 5; S";
        QTest::newRow("an id changed in place") << "A 10; A 20; D 0 25; D 1 10; W 0 40";
        QTest::newRow("refill reusing the cells") << "F 1 2 3; F 3 2 1; F 9 8; F 4 5 6 7";
        QTest::newRow("refill with new cells") << "N 1 2 3; N 3 4; A 9; N";
        QTest::newRow("cleared, emptied, filled again") << "A 10; A 20; C; A 30; Z; A 40; T 50";
        QTest::newRow("repeated ids: the upper row") << "A 30; A 10; A 30; R 0; T 10; R 0; A 10; S; R 1";
        QTest::newRow("repeated ids in a fill") << "N 5 6 5 6; R 0; T 6; R 0; R 0; F 7 7 8; R 0; R 0";
        QTest::newRow("top rows in and out, then rows below") << "N 1 2 3; T 4; T 5; R 0; V 6; R 2; A 7; R 1; T 8";
        QTest::newRow("a fill that grows past its count") << "A 1; A 2; G 10 11 12 13; T 14; R 4";
        QTest::newRow("rows without an id cell read -1")
            << "A 10; A 20; E 1; E 0; E 4; R 0; T 5; R 2; R 0; E 2; D 1 7; W 2 8";
    }
    void followsTheTable()
    {
        QFETCH(QString, steps);
        QTableWidget t(0, 2);
        ZnTableRowIndex *index = ZnTableRowIndex::of(&t);
        QCOMPARE(ZnTableRowIndex::of(&t), index);
        for (const QString &step : steps.split(QLatin1Char(';'))) {
            apply(t, step);
            // Looked up after each step, so that the index has something to follow.
            for (int id = -1; id <= 50; ++id)
                QVERIFY2(index->row(id) == walkedRow(t, id),
                         qPrintable(QStringLiteral("id %1 after \"%2\"").arg(id).arg(step.trimmed())));
        }
    }

    // A page's lookups by id go through the index.
    void pageLookupsByIdUseIt()
    {
        struct Page : ZnTerBaseCtr
        {
            QTableWidget table{0, 1};
            QWidget *widget() override { return &table; }
            QTableWidget *tableWidget() override { return &table; }
        } p;
        for (int id : {10, 20, 30})
            apply(p.table, QStringLiteral("A %1").arg(id));
        QCOMPARE(p.findRowById(20), 1);
        QCOMPARE(p.removeRowById(10), 0);
        QCOMPARE(p.findRowById(30), 1);
        QCOMPARE(p.findRowById(10), -1);
    }
};

QTEST_MAIN(TstTableRowIndex)
#include "tst_tablerowindex.moc"
