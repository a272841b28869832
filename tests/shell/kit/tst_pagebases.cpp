#include "ZnDataViewCtrl.h"
#include "ZnTableWidgetHelper.h"
#include "ZnTerBaseCtr.h"
#include "ZnTermTbCtrl.h"
#include "ui_fCommonTableForm.h"

#include <QTableWidget>
#include <QtTest>

namespace {

class Page : public QWidget, public ZnTerBaseCtr
{
public:
    Page()
    {
        table.setColumnCount(3);
        table.setParent(this);
    }
    QWidget *widget() override { return this; }
    QTableWidget *tableWidget() override { return &table; }
    void updateRow(int row, int id) override { updated << qMakePair(row, id); }

    void addRow(int id, const char *name)
    {
        const int row = table.rowCount();
        table.insertRow(row);
        setItem(name, row, 0, id);
    }

    QTableWidget table;
    QList<QPair<int, int>> updated;
};

class AmpTable : public ZnTermTbCtrl
{
public:
    AmpTable() { table.setColumnCount(3); initColumns(); }
    void initColumns() override { numberColumn = 1; ampColumn = 2; }
    int fillRow(const ZnTerminal &) override { return 0; }
    QWidget *widget() override { return nullptr; }
    QTableWidget *tableWidget() override { return &table; }
    QTableWidget table;
};

} // namespace

class tst_pagebases : public QObject
{
    Q_OBJECT

private slots:
    void emptyTable()
    {
        Page p;
        QCOMPARE(p.findRowById(1), -1);
        QCOMPARE(p.updateRowById(1), -1);
        QCOMPARE(p.removeRowById(1), -1);
        QVERIFY(p.updated.isEmpty());
        p.clearTable();
        QCOMPARE(p.table.rowCount(), 0);
    }

    void findUpdateRemoveById()
    {
        Page p;
        p.addRow(10, "a");
        p.addRow(20, "b");
        p.addRow(30, "c");
        QCOMPARE(p.findRowById(20), 1);
        QCOMPARE(p.updateRowById(30), 0);
        QCOMPARE(p.updated, (QList<QPair<int, int>>{{2, 30}}));
        QCOMPARE(p.removeRowById(20), 0);
        QCOMPARE(p.table.rowCount(), 2);
        QCOMPARE(p.findRowById(30), 1);
        QCOMPARE(p.itemValue(1, 0), 30);
        QCOMPARE(p.table.item(1, 0)->text(), QString("c"));
    }

    void duplicateIdsHitTheUpperRow()
    {
        Page p;
        p.addRow(5, "first");
        p.addRow(5, "second");
        QCOMPARE(p.findRowById(5), 0);
        QCOMPARE(p.removeRowById(5), 0);
        QCOMPARE(p.table.item(0, 0)->text(), QString("second"));
    }

    void missingItemReadsAsMinusOne()
    {
        Page p;
        p.addRow(7, "x");
        p.table.insertRow(1);
        QCOMPARE(p.itemValue(1, 0), -1);
        QCOMPARE(p.itemValue(0, 2), -1);
        QCOMPARE(p.findRowById(-1), 1);
        QCOMPARE(p.itemValue(99, 0), -1);
    }

    void cellWritersStayInsideTheTable()
    {
        Page p;
        p.addRow(1, "x");
        QVERIFY(!p.setItem("y", 5, 0, 2));
        QVERIFY(!p.setItem("y", 0, 9, 2));
        QVERIFY(!p.setItem("y", -1, 0, 2));
        p.setItemText(nullptr, "z", 3);
        QTableWidgetItem *big = p.setItemQString("big", 0, 1, 123456789);
        QVERIFY(big);
        QCOMPARE(p.itemValue(0, 1), 123456789);
        p.setItemQString("neg", 0, 1, -1);
        QCOMPARE(p.itemValue(0, 1), -1);
        QTableWidgetItem *first = p.setFirstRowItem("top", 2, 4);
        QCOMPARE(first, p.table.item(0, 2));
        p.setItemText(first, "renamed", 8);
        QCOMPARE(p.itemValue(0, 2), 8);
        QCOMPARE(first->text(), QString("renamed"));
    }

    void idChecks()
    {
        QVERIFY(ZnTerBaseCtr::isBaseId(9999));
        QVERIFY(!ZnTerBaseCtr::isBaseId(10000));
        QVERIFY(ZnTerBaseCtr::isBaseId(100000000));
        QVERIFY(!ZnTerBaseCtr::isBaseId(20070000));
        QVERIFY(ZnTerBaseCtr::isNull(0));
        QVERIFY(!ZnTerBaseCtr::isNull(1));
    }

    void ampAndNumberCells()
    {
        AmpTable t;
        QCOMPARE(t.ampStateText(0), QString("close"));
        QCOMPARE(t.ampStateText(1), QString("open"));
        QVERIFY(t.ampStateText(2).isEmpty());
        QVERIFY(t.ampStateText(-1).isEmpty());

        t.table.setRowCount(1);
        t.setAmpStateCell(0, 1);
        t.setNumberCellAt(0, 42);
        QVERIFY(!t.table.item(0, 1));
        QVERIFY(!t.table.item(0, 2));

        t.table.setItem(0, 1, new QTableWidgetItem);
        t.table.setItem(0, 2, new QTableWidgetItem);
        t.setAmpStateCell(0, 1);
        t.setNumberCellAt(0, 42);
        QCOMPARE(t.table.item(0, 2)->text(), QString("open"));
        QCOMPARE(t.itemValue(0, 2), 1);
        QCOMPARE(t.table.item(0, 1)->text(), QString("42"));
        QCOMPARE(t.itemValue(0, 1), 42);
    }

    void dataView()
    {
        QTableWidget table(2, 2);
        ZnDataViewCtrl view(&table);
        QCOMPARE(view.rowId(0), -1);
        QCOMPARE(view.findRow(-1), 0);
        view.setRowId(5, 77);
        QCOMPARE(table.rowCount(), 6);
        QCOMPARE(view.findRow(77), 5);
        QCOMPARE(view.currentId(), -1);
        table.setCurrentCell(5, 0);
        QCOMPARE(view.currentId(), 77);

        QTableWidget empty(0, 2);
        ZnDataViewCtrl none(&empty);
        QCOMPARE(none.findRow(1), -1);
    }

    void tableHelper()
    {
        QTableWidget table(0, 3);
        ZnTableWidgetHelper h(&table);
        h.setText(2, 1, "x");
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(h.itemText(2, 1), QString("x"));
        QVERIFY(h.itemText(0, 0).isEmpty());
        QVERIFY(!h.itemData(0, 0).isValid());
        h.setItemData(0, 0, 5);
        QVERIFY(!h.item(0, 0));
        h.setItemData(2, 1, 5);
        QCOMPARE(h.itemData(2, 1).toInt(), 5);
        h.appendRow();
        QCOMPARE(table.rowCount(), 4);
        h.selectRow(1);
        h.selectRow(3);
        QCOMPARE(table.selectionModel()->selectedRows().size(), 2);
        h.selectRow(10);
        h.clearRows();
        QCOMPARE(table.rowCount(), 0);
    }

    void sharedListForm()
    {
        QWidget page;
        Ui::fCommonTableForm ui;
        ui.setupUi(&page);
        QCOMPARE(page.objectName(), QString("fCommonTableForm"));
        QCOMPARE(page.size(), QSize(659, 420));
        QCOMPARE(ui.fCommonTableWidget->selectionMode(), QAbstractItemView::SingleSelection);
        page.show();
        ui.fConfigBtn->hide();
        page.resize(900, 700);
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QApplication::processEvents();
        // The remaining buttons sit at the lower right, in order.
        QCOMPARE(ui.fDelBtn->geometry().right() + ui.verticalLayout_2->contentsMargins().right(), 900 - 1);
        QVERIFY(ui.fNewBtn->x() < ui.fEditBtn->x() && ui.fEditBtn->x() < ui.fDelBtn->x());
        const int titleH = ui.right_title_widget->height(), buttonsY = ui.fDelBtn->y();
        page.resize(900, 900);
        QApplication::processEvents();
        QCOMPARE(ui.right_title_widget->height(), titleH);
        QCOMPARE(ui.fDelBtn->y(), buttonsY + 200);
        QCOMPARE(ui.fDelBtn->size(), QSize(75, 23));
    }
};

QTEST_MAIN(tst_pagebases)
#include "tst_pagebases.moc"
