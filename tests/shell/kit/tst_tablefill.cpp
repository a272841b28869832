// A row rewritten through the fill helper shows what the new row says, cell by
// cell, colours included, whether or not a cell is the same as before.
#include "ZnTableFill.h"
#include "ZnTableRow.h"

#include <QBrush>
#include <QTableWidget>
#include <QtTest>

namespace {

// "name:7:red": text, int data and an optional foreground colour per cell.
void build(ZnTableRow &row, const QString &cells)
{
    for (const QString &cell : cells.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = cell.split(QLatin1Char(':'));
        QTableWidgetItem *item = row.add(parts.value(0), parts.value(1).toInt());
        if (!parts.value(2).isEmpty())
            item->setForeground(QColor(parts.value(2)));
    }
}

// What the operator reads of a row, in the same form.
QString shown(QTableWidget &t, int row)
{
    QStringList cells;
    for (int c = 0; c < t.columnCount(); ++c) {
        const QTableWidgetItem *item = t.item(row, c);
        if (!item)
            continue;
        QString cell = item->text() + QLatin1Char(':') + QString::number(item->data(Qt::UserRole).toInt());
        const QVariant colour = item->data(Qt::ForegroundRole);
        if (colour.isValid())
            cell += QLatin1Char(':') + colour.value<QBrush>().color().name();
        cells << cell;
    }
    return cells.join(QLatin1Char(' '));
}

} // namespace

class TstTableFill : public QObject
{
    Q_OBJECT
private slots:
    void writeRowShowsTheNewRow_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("the same row") << "a:1 b:0 c:0"
                                      << "a:1 b:0 c:0";
        QTest::newRow("one text changed") << "a:1 b:0 c:0"
                                          << "a:1 x:0 c:0";
        QTest::newRow("only the data changed") << "a:1 b:0 c:0"
                                               << "a:2 b:0 c:0";
        QTest::newRow("only a colour came") << "a:1 b:0 c:0"
                                            << "a:1 b:0:#ff0000 c:0";
        QTest::newRow("only a colour went") << "a:1 b:0:#ff0000 c:0"
                                            << "a:1 b:0 c:0";
        QTest::newRow("a colour changed") << "a:1 b:0:#ff0000 c:0"
                                          << "a:1 b:0:#0000ff c:0";
        QTest::newRow("a shorter row leaves the last cell") << "a:1 b:0 c:0"
                                                            << "z:1 y:0";
    }
    void writeRowShowsTheNewRow()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QTableWidget t(0, 3);
        ZnTableRow first;
        build(first, before);
        ZnTableFill::insertRow(&t, 0, first);
        ZnTableRow second;
        build(second, after);
        ZnTableFill::writeRow(&t, 0, second);
        QString expected = after;
        if (after.count(QLatin1Char(' ')) < before.count(QLatin1Char(' ')))
            expected += QLatin1Char(' ') + before.section(QLatin1Char(' '), -1);
        QCOMPARE(shown(t, 0), expected);
    }
};

QTEST_MAIN(TstTableFill)
#include "tst_tablefill.moc"
