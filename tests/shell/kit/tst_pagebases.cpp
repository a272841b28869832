#include "ServiceHub.h"
#include "ZnAdvancedCtr.h"
#include "ZnDataViewCtrl.h"
#include "ZnLevelList.h"
#include "ZnModalHelper.h"
#include "ZnPlayTermListMgr.h"
#include "ZnResources.h"
#include "ZnSelectTableCtrl.h"
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

    void addRow(int id, const char *name)
    {
        table.insertRow(table.rowCount());
        this->setItem(name, table.rowCount() - 1, 0, id);
    }

    QTableWidget table;
    QList<QPair<int, int>> updated;
};
using Page = PageOf<ZnTerBaseCtr>;

class AmpTable : public ZnTermTbCtrl
{
public:
    AmpTable()
    {
        table.setColumnCount(3);
        initColumns();
    }
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
    QWidget *widget() override { return nullptr; }
    QTableWidget *tableWidget() override { return &table; }
    QList<int> ids()
    {
        QList<int> out;
        for (int r = 0; r < table.rowCount(); ++r)
            out << itemValue(r, 0);
        return out;
    }
    QTableWidget table;
};

ZnLevel level(int type, int lv)
{
    ZnLevel l;
    l.type = uint16_t(type);
    l.lv = uint16_t(lv);
    return l;
}

ZnTerminal terminal(int id, int modelNo)
{
    ZnTerminal t;
    t.id = id;
    t.modelNo = modelNo;
    return t;
}

// Rows whose flag, check box and tint all say ticked; a row out of step fails.
QList<int> tickedRows(QTableWidget &t)
{
    QList<int> rows;
    for (int r = 0; r < t.rowCount(); ++r) {
        const bool flag = t.item(r, 1) && t.item(r, 1)->data(Qt::UserRole).toInt() == 1;
        const bool box = t.item(r, 0)->checkState() == Qt::Checked;
        const bool tint = t.item(r, 0)->background().color() == QColor(254, 230, 192);
        if (flag && box && tint)
            rows << r;
        else if (flag || box || tint)
            rows << -1;
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
        QTest::newRow("extension of a base") << 10001 << false;
        QTest::newRow("high extension") << 99990001 << false;
        QTest::newRow("base in the next hundred million") << 100000005 << true;
        QTest::newRow("extension there") << 100010005 << false;
    }
    void baseTerminalIds()
    {
        QFETCH(int, id);
        QTEST(ZnTerBaseCtr::isBaseId(id), "base");
    }

    // Ordinary and advanced pages need different levels; no hub, no rights.
    void levelByKind()
    {
        Page ordinary;
        PageOf<ZnAdvancedCtr> advanced;
        QVERIFY(!ordinary.hasLevel());
        ServiceHub::create(nullptr);
        QVERIFY(!ordinary.hasLevel());

        gLevelList.replace({level(5, 5), level(4, 2)});
        gCurrentUser.lv = 3;
        QVERIFY(ordinary.hasLevel());
        QVERIFY(!advanced.hasLevel());
        gCurrentUser.lv = 2;
        QVERIFY(advanced.hasLevel());
        QVERIFY(advanced.checkLevel());

        gLevelList.replace({level(4, 2)});
        QVERIFY(!ordinary.hasLevel());
        QVERIFY(ordinary.getLevel(nullptr, nullptr) == -1);

        // A denied edit is explained.
        ZnModalHelper modal;
        modal.answer(QStringLiteral("OkBtn"));
        QVERIFY(!ordinary.checkLevel());
        QVERIFY(modal.seenTexts().contains(QStringLiteral("Current user does not have permission to edit!")));
    }

    void playTerminalFills()
    {
        AmpTable t;
        std::list<ZnTerminal> list{terminal(30, 17), terminal(10, 0), terminal(20, 17)};
        ZnPlayTermListMgr::onNotify(ZnPlayTermListMgr::ListCode, &list);
        t.table.setRowCount(4);
        t.fillAllTerminals();
        QCOMPARE(t.ids(), (QList<int>{10, 20, 30}));
        t.fillTerminalsWhere(17);
        QCOMPARE(t.ids(), (QList<int>{20, 30}));
    }

    // Rows are looked up again on every call; duplicates hit the upper row;
    // a missing item reads as -1.
    void rowsById()
    {
        Page p;
        QCOMPARE(p.updateRowById(1), -1);
        QCOMPARE(p.removeRowById(1), -1);
        for (auto [id, name] : {std::pair{10, "a"}, {20, "b"}, {30, "c"}, {30, "d"}})
            p.addRow(id, name);
        QCOMPARE(p.updateRowById(30), 0);
        QCOMPARE(p.updated, (QList<QPair<int, int>>{{2, 30}}));
        QCOMPARE(p.removeRowById(20), 0);
        QCOMPARE(p.removeRowById(30), 0);
        QCOMPARE(p.findRowById(30), 1);
        QCOMPARE(p.table.item(1, 0)->text(), QStringLiteral("d"));

        p.table.insertRow(2);
        QCOMPARE(p.itemValue(2, 0), -1);
        QCOMPARE(p.itemValue(0, 2), -1);
        QCOMPARE(p.itemValue(99, 0), -1);
        QCOMPARE(p.findRowById(-1), 2);
    }

    void cellWritersStayInsideTheTable()
    {
        Page p;
        p.addRow(1, "x");
        QVERIFY(!p.setItem("y", 5, 0, 2));
        p.setItemText(nullptr, "z", 3);
        QVERIFY(p.setItem("big", 0, 1, 123456789));
        QCOMPARE(p.itemValue(0, 1), 123456789);
        p.setItem("neg", 0, 1, -1);
        QCOMPARE(p.itemValue(0, 1), -1);
        QTableWidgetItem *first = p.setFirstRowItem("top", 2, 4);
        QCOMPARE(first, p.table.item(0, 2));
        p.setItemText(first, "renamed", 8);
        QCOMPARE(p.itemValue(0, 2), 8);
        QCOMPARE(first->text(), QStringLiteral("renamed"));
    }

    void ampAndNumberCells()
    {
        AmpTable t;
        QVERIFY(t.ampStateText(2).isEmpty() && t.ampStateText(-1).isEmpty());
        // Missing cells are left alone.
        t.table.setRowCount(1);
        t.setAmpStateCell(0, 1);
        t.setNumberCellAt(0, 42);
        QVERIFY(!t.table.item(0, 1) && !t.table.item(0, 2));

        t.table.setItem(0, 1, new QTableWidgetItem);
        t.table.setItem(0, 2, new QTableWidgetItem);
        t.setAmpStateCell(0, 0);
        t.setNumberCellAt(0, 42);
        QCOMPARE(t.table.item(0, 2)->text(), QStringLiteral("close"));
        QCOMPARE(t.itemValue(0, 2), 0);
        QCOMPARE(t.table.item(0, 1)->text(), QStringLiteral("42"));
        QCOMPARE(t.itemValue(0, 1), 42);
    }

    // Ids in the first column's user data; no item, no id; writers grow the
    // table but never invent an item for data alone.
    void dataViewAndHelper()
    {
        QTableWidget table(2, 2);
        ZnDataViewCtrl view(&table);
        QCOMPARE(view.rowId(0), -1);
        view.setRowId(5, 77);
        table.setCurrentCell(5, 0);
        QCOMPARE(view.currentId(), 77);
        QCOMPARE(view.findRow(77), 5);
        QCOMPARE(ZnDataViewCtrl(new QTableWidget(0, 1, &table)).findRow(1), -1);

        ZnTableWidgetHelper h(&table);
        h.setText(7, 1, QStringLiteral("x"));
        QCOMPARE(table.rowCount(), 8);
        h.setItemData(0, 0, 5);
        QVERIFY(!h.item(0, 0) && !h.itemData(0, 0).isValid());
        h.selectRow(10);
        h.clearRows();
        QCOMPARE(table.rowCount(), 0);
    }

    // --- selection table ---

    void columnsByMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QString>("col1");
        QTest::newRow("1") << 1 << QStringList{QStringLiteral("名称"), QStringLiteral("类型")} << QStringLiteral("IP");
        QTest::newRow("2") << 2 << QStringList{QStringLiteral("名称"), QStringLiteral("ID")} << QStringLiteral("IP");
        QTest::newRow("3") << 3 << QStringList{QStringLiteral("名称"), QStringLiteral("ID"), QStringLiteral("类型")}
                           << QStringLiteral("100");
        QTest::newRow("4") << 4 << QStringList{QStringLiteral("名称"), QStringLiteral("ID")} << QStringLiteral("100");
        QTest::newRow("other") << 0 << QStringList{QStringLiteral("名称"), QStringLiteral("ID"), QStringLiteral("类型")}
                               << QStringLiteral("IP");
    }
    void columnsByMode()
    {
        QFETCH(int, mode);
        QTableWidget t;
        ZnSelectTableCtrl c;
        c.initSingleSelect(&t, mode);
        QStringList shown;
        for (int i = 0; i < t.columnCount(); ++i)
            shown << t.horizontalHeaderItem(i)->text();
        QTEST(shown, "headers");
        QCOMPARE(t.isColumnHidden(1), mode == 4);
        fill(c, 1);
        QCOMPARE(t.item(0, 0)->data(Qt::UserRole).toInt(), 100);
        QTEST(t.item(0, 1)->text(), "col1");
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

QTEST_MAIN(tst_pagebases)
#include "tst_pagebases.moc"
