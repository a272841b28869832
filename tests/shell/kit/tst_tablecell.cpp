// The cells of the row builder keep their text and data outside the item's role
// values: whatever reads a cell, copies it, sorts it or changes it later must see
// what a plain item would show.
#include "ZnTableCell.h"
#include "ZnTableFill.h"
#include "ZnTableRow.h"

#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

class TstTableCell : public QObject
{
    Q_OBJECT
private slots:
    // Each kind of kept text (number, characters in the cell, shared string)
    // reads back as written, through copies and through a cell that held
    // another kind before.
    void keptTextsReadBack_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("number") << QStringLiteral("12345");
        QTest::newRow("negative number") << QStringLiteral("-7");
        QTest::newRow("leading zero") << QStringLiteral("007");
        QTest::newRow("past int") << QStringLiteral("99999999999");
        QTest::newRow("15 Latin-1 characters") << QStringLiteral("192.168.100.200");
        QTest::newRow("16 Latin-1 characters") << QStringLiteral("192.168.100.2001");
        QTest::newRow("accented Latin-1") << QStringLiteral("Caf\u00e9 S\u00fcd");
        QTest::newRow("a state in Chinese") << QStringLiteral("空闲");
        QTest::newRow("mixed") << QStringLiteral("Lobby 大厅");
        QTest::newRow("long Chinese") << QString(40, QChar(0x5385));
        QTest::newRow("long Latin-1") << QString(300, QLatin1Char('x'));
    }
    void keptTextsReadBack()
    {
        QFETCH(QString, text);
        QScopedPointer<QTableWidgetItem> cell(new ZnTableCell(text, 42));
        QCOMPARE(cell->text(), text);
        QCOMPARE(cell->data(Qt::UserRole).toInt(), 42);
        QScopedPointer<QTableWidgetItem> copy(cell->clone());
        cell.reset();
        QCOMPARE(copy->text(), text);
        QCOMPARE(copy->data(Qt::UserRole).toInt(), 42);
        // Over a cell of every other kind, and back.
        const QStringList others{QStringLiteral("5"), QStringLiteral("short"), QStringLiteral("离线"),
                                 QString(20, QLatin1Char('y'))};
        for (const QString &other : others) {
            ZnTableCell target(other);
            ZnTableCell::assign(target, *copy);
            QCOMPARE(target.text(), text);
            QCOMPARE(target.data(Qt::UserRole).toInt(), 42);
            ZnTableCell::assign(*copy, ZnTableCell(other));
            QCOMPARE(copy->text(), other);
            QVERIFY(!copy->data(Qt::UserRole).isValid());
            ZnTableCell::assign(*copy, target);
        }
        // A table frees them as it frees its own items.
        QTableWidget t(1, 1);
        t.setItem(0, 0, copy.take());
        QCOMPARE(t.model()->data(t.model()->index(0, 0)).toString(), text);
        t.setItem(0, 0, new ZnTableCell(text));
        QCOMPARE(t.item(0, 0)->text(), text);
    }

    // kind: "cell" a kept cell, "plain" a plain item; the contents of from go into to.
    void takesOverAnotherCell_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("fromHasData");
        QTest::newRow("cell over cell") << "cell"
                                        << "cell" << true;
        QTest::newRow("cell without data over cell with") << "cell"
                                                          << "cell" << false;
        QTest::newRow("cell over plain item") << "plain"
                                              << "cell" << true;
        QTest::newRow("plain item over cell") << "cell"
                                              << "plain" << true;
        QTest::newRow("number over text") << "cell"
                                          << "cell:17" << true;
    }
    void takesOverAnotherCell()
    {
        QFETCH(QString, to);
        QFETCH(QString, from);
        QFETCH(bool, fromHasData);
        const QString fromText = from.section(QLatin1Char(':'), 1, 1).isEmpty() ? QStringLiteral("new")
                                                                                : from.section(QLatin1Char(':'), 1, 1);
        from = from.section(QLatin1Char(':'), 0, 0);
        const auto make = [](const QString &kind, const QString &text, int data, bool hasData) -> QTableWidgetItem * {
            if (kind == QLatin1String("cell"))
                return hasData ? new ZnTableCell(text, data) : new ZnTableCell(text);
            auto *item = new QTableWidgetItem(text);
            if (hasData)
                item->setData(Qt::UserRole, data);
            return item;
        };
        QScopedPointer<QTableWidgetItem> target(make(to, QStringLiteral("old"), 5, true));
        QScopedPointer<QTableWidgetItem> source(make(from, fromText, 9, fromHasData));
        source->setForeground(Qt::red);
        ZnTableCell::assign(*target, *source);
        QCOMPARE(target->text(), fromText);
        QCOMPARE(target->data(Qt::UserRole), fromHasData ? QVariant(9) : QVariant());
        QCOMPARE(target->foreground().color(), QColor(Qt::red));
    }

    // Set later, a value is announced to the table and wins over the kept one;
    // copies, sorting and the model see the cell's own text.
    void laterChangesAndCopies()
    {
        QTableWidget t(2, 1);
        t.setItem(0, 0, new ZnTableCell(QStringLiteral("b"), 2));
        t.setItem(1, 0, new ZnTableCell(QStringLiteral("a"), 1));
        // Texts that only look like numbers stay as they were written.
        for (const QString &text : {QStringLiteral("007"), QStringLiteral("+5"), QStringLiteral("-12"),
                                    QStringLiteral("99999999999"), QStringLiteral("")})
            QCOMPARE(ZnTableCell(text).text(), text);
        QCOMPARE(t.model()->data(t.model()->index(1, 0)).toString(), QStringLiteral("a"));
        t.sortItems(0);
        QCOMPARE(t.item(0, 0)->data(Qt::UserRole).toInt(), 1);
        QSignalSpy changed(t.model(), &QAbstractItemModel::dataChanged);
        t.item(0, 0)->setText(QStringLiteral("c"));
        t.item(0, 0)->setData(Qt::UserRole, 3);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(t.item(0, 0)->text(), QStringLiteral("c"));
        QCOMPARE(t.item(0, 0)->data(Qt::UserRole).toInt(), 3);
        QScopedPointer<QTableWidgetItem> copy(t.item(1, 0)->clone());
        QCOMPARE(copy->text(), QStringLiteral("b"));
        QCOMPARE(copy->data(Qt::UserRole).toInt(), 2);
    }

    // A refill that reuses its cells shows the new rows' texts and data.
    void reusingRefill()
    {
        QTableWidget t(0, 2);
        for (const QStringList &names : {QStringList{QStringLiteral("x"), QStringLiteral("y")},
                                         QStringList{QStringLiteral("z"), QStringLiteral("w")}}) {
            ZnTableFill fill(&t, names.size(), ZnTableFill::ReuseCells);
            int id = 0;
            for (const QString &name : names) {
                ZnTableRow row;
                row.add(name, ++id);
                row.addText(name + name);
                fill.append(row);
            }
        }
        QCOMPARE(t.item(0, 0)->text(), QStringLiteral("z"));
        QCOMPARE(t.item(1, 1)->text(), QStringLiteral("ww"));
        QCOMPARE(t.item(1, 0)->data(Qt::UserRole).toInt(), 2);
    }
};

QTEST_MAIN(TstTableCell)
#include "tst_tablecell.moc"
