#include "ServiceHub.h"
#include "ZnAdvancedCtr.h"
#include "ZnCommonTable.h"
#include "ZnDataViewCtrl.h"
#include "ZnLevelList.h"
#include "ZnModalHelper.h"
#include "ZnPlayTermListMgr.h"
#include "ZnResources.h"
#include "ZnSelectTableCtrl.h"
#include "ZnServerText.h"
#include "ZnTableWidgetHelper.h"
#include "ZnTerBaseCtr.h"
#include "ZnTermTbCtrl.h"
#include "ZnUser.h"

#include <QCheckBox>
#include <QTableWidget>
#include <QtTest>

namespace {

template <class Base>
class PageOf : public Base
{
public:
    PageOf() { table.setColumnCount(3); }
    QWidget *widget() override { return nullptr; }
    QTableWidget *tableWidget() override { return &table; }
    void updateRow(int row, int id) override { updated << qMakePair(row, id); }
    QList<int> ids()
    {
        QList<int> out;
        for (int r = 0; r < table.rowCount(); ++r)
            out << this->itemValue(r, 0);
        return out;
    }

    QTableWidget table;
    QList<QPair<int, int>> updated;
};
using Page = PageOf<ZnTerBaseCtr>;

class AmpTable : public PageOf<ZnTermTbCtrl>
{
public:
    AmpTable() { initColumns(); }
    void initColumns() override
    {
        numberColumn = 1;
        ampColumn = 2;
    }
    int fillRow(const ZnTerminal &t) override
    {
        table.insertRow(table.rowCount());
        setItem("amp", table.rowCount() - 1, 0, t.id);
        return 0;
    }
};

ZnLevel level(int type, int lv)
{
    ZnLevel l;
    l.type = uint16_t(type);
    l.lv = uint16_t(lv);
    return l;
}

// Rows whose flag, check box and tint all say ticked; a row out of step gives -1.
QList<int> tickedRows(QTableWidget &t)
{
    QList<int> rows;
    for (int r = 0; r < t.rowCount(); ++r) {
        const bool flag = t.item(r, 1) && t.item(r, 1)->data(Qt::UserRole).toInt() == 1;
        const bool box = t.item(r, 0)->checkState() == Qt::Checked;
        const bool tint = t.item(r, 0)->background().color() == QColor(254, 230, 192);
        if (flag || box || tint)
            rows << (flag && box && tint ? r : -1);
    }
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

class tst_pagebases : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { znInitResources(); }

    // A base terminal has 0 in the ten-thousands group of its id: only those take
    // default settings and amplifier changes.
    void baseTerminalIds_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<bool>("base");
        QTest::newRow("small id") << 9999 << true;
        QTest::newRow("first extension") << 10000 << false;
        QTest::newRow("base in the next hundred million") << 100000005 << true;
        QTest::newRow("extension there") << 100010005 << false;
    }
    void baseTerminalIds()
    {
        QFETCH(int, id);
        QTEST(ZnTerBaseCtr::isBaseId(id), "base");
    }

    // Ordinary and advanced pages need different levels; no hub, no rights; a
    // denied edit is explained.
    void levelByKind()
    {
        Page ordinary;
        PageOf<ZnAdvancedCtr> advanced;
        QVERIFY(!ordinary.hasLevel());
        ServiceHub::create(nullptr);
        gLevelList.replace({level(5, 5), level(4, 2)});
        gCurrentUser.lv = 3;
        QVERIFY(ordinary.hasLevel() && !advanced.hasLevel());
        gCurrentUser.lv = 2;
        QVERIFY(advanced.checkLevel());
        gLevelList.replace({level(4, 2)});
        ZnModalHelper modal;
        modal.answer(QStringLiteral("OkBtn"));
        QVERIFY(!ordinary.checkLevel());
        QVERIFY(modal.seenTexts().contains(QStringLiteral("Current user does not have permission to edit!")));
    }

    // Filled from the model in id order, by model number; the amplifier cell is
    // written only where the row has one.
    void playTerminalTable()
    {
        AmpTable t;
        std::list<ZnTerminal> list(3);
        int n = 0;
        for (ZnTerminal &term : list) {
            term.id = 30 - 10 * n;
            term.modelNo = n++ == 1 ? 0 : 17;
        }
        ZnPlayTermListMgr::onNotify(ZnPlayTermListMgr::ListCode, &list);
        t.table.setRowCount(4);
        t.fillAllTerminals();
        QCOMPARE(t.ids(), (QList<int>{10, 20, 30}));
        t.fillTerminalsWhere(17);
        QCOMPARE(t.ids(), (QList<int>{10, 30}));

        t.setAmpStateCell(0, 1);
        QVERIFY(!t.table.item(0, 2));
        t.table.setItem(1, 2, new QTableWidgetItem);
        t.setAmpStateCell(1, 0);
        QCOMPARE(t.table.item(1, 2)->text(), QStringLiteral("close"));
        QCOMPARE(t.itemValue(1, 2), 0);
    }

    // Rows are looked up again on every call (duplicates hit the upper row); a
    // missing item reads as -1; ids keep 64 bits; no writer makes an item outside
    // the table (the table would drop it without freeing it) or for data alone.
    void rowsAndCells()
    {
        Page p;
        QCOMPARE(p.removeRowById(1), -1);
        for (int id : {10, 20, 30, 30}) {
            p.table.insertRow(p.table.rowCount());
            p.setItem(std::to_string(p.table.rowCount()).c_str(), p.table.rowCount() - 1, 0, id);
        }
        QCOMPARE(p.updateRowById(30), 0);
        QCOMPARE(p.updated, (QList<QPair<int, int>>{{2, 30}}));
        QCOMPARE(p.removeRowById(20), 0);
        QCOMPARE(p.removeRowById(30), 0);
        QCOMPARE(p.findRowById(30), 1);
        QCOMPARE(p.table.item(1, 0)->text(), QStringLiteral("4"));
        QCOMPARE(p.itemValue(1, 2), -1);
        QVERIFY(!p.setItem("y", 5, 0, 2));
        QVERIFY(!ZnCommon::setTableItem(&p.table, "x", 0, 3, 1));
        QCOMPARE(ZnCommon::setTableItem2(&p.table, QString(), 1, 1, 5000000000ull)->data(Qt::UserRole), 5000000000ull);
        QVERIFY(p.setItem("top", 0, 2, 4));

        ZnTableWidgetHelper(&p.table).setItemData(0, 1, 5);
        QVERIFY(!p.table.item(0, 1));
        p.table.setCurrentCell(1, 0);
        QCOMPARE(ZnDataViewCtrl(&p.table).currentId(), 30);

        // Swaps only columns below the count, and only where both rows have a cell.
        ZnCommon::swapRows(&p.table, 0, 1, 3);
        QCOMPARE(p.findRowById(30), 0);
        QCOMPARE(p.table.item(0, 2)->text(), QStringLiteral("top"));
    }

    // A cell of any length from the server: the column sized to its contents
    // stays within a screen, the item keeps the whole text.
    void longCellsElided_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("elided");
        QTest::newRow("a name of 16") << 16 << false;
        QTest::newRow("as long as is shown") << ZnServerText::kMaxShown << false;
        QTest::newRow("a megabyte") << (1 << 20) << true;
    }
    void longCellsElided()
    {
        QFETCH(int, length);
        QFETCH(bool, elided);
        QTableWidget t(1, 2);
        ZnCommon::initTableWidget(&t);
        const QString text(length, QLatin1Char('x'));
        ZnCommon::setTableItem2(&t, text, 0, 0, 1);
        t.resizeColumnToContents(0);
        QVERIFY2(t.columnWidth(0) <= 1366, qPrintable(QString::number(t.columnWidth(0))));
        QCOMPARE(t.item(0, 0)->text().size(), length);
        QCOMPARE(t.columnWidth(0) < t.fontMetrics().horizontalAdvance(text), elided);
    }

    // The box ticks all; a row clicked off clears the box; ticking every row by hand
    // does not check it.
    void multiSelect()
    {
        QTableWidget t;
        QCheckBox all;
        ZnSelectTableCtrl c;
        c.initMultiSelect(&t, &all, 3);
        fill(c, 4);
        all.setCheckState(Qt::Checked);
        QCOMPARE(tickedRows(t), (QList<int>{0, 1, 2, 3}));
        click(t, 1);
        QCOMPARE(tickedRows(t), (QList<int>{0, 2, 3}));
        QCOMPARE(all.checkState(), Qt::Unchecked);
        click(t, 1);
        QCOMPARE(all.checkState(), Qt::Unchecked);
        all.setCheckState(Qt::Checked);
        all.setCheckState(Qt::Unchecked);
        QCOMPARE(tickedRows(t), QList<int>());
        QVERIFY(c.isChanged());
    }

    // One row at most; a prefilled check is the current row; a row that lost its
    // flag cell still ticks.
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
        QCOMPARE(c.checkedRow(), -1);
        QVERIFY(!c.isChanged());
        delete t.takeItem(0, 1);
        click(t, 0);
        QCOMPARE(tickedRows(t), QList<int>{0});
    }
};

QTEST_MAIN(tst_pagebases)
#include "tst_pagebases.moc"
