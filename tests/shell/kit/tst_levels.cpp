#include "ServiceHub.h"
#include "ZnAdvancedCtr.h"
#include "ZnLevelList.h"
#include "ZnModalHelper.h"
#include "ZnPlayTermListMgr.h"
#include "ZnResources.h"
#include "ZnTermTbCtrl.h"
#include "ZnUser.h"

#include <QTableWidget>
#include <QtTest>

namespace {

class Page : public ZnTerBaseCtr
{
public:
    QWidget *widget() override { return nullptr; }
    QTableWidget *tableWidget() override { return nullptr; }
};

class AdvancedPage : public ZnAdvancedCtr
{
public:
    QWidget *widget() override { return nullptr; }
    QTableWidget *tableWidget() override { return nullptr; }
};

class AmpTable : public ZnTermTbCtrl
{
public:
    AmpTable() { table.setColumnCount(2); }
    void initColumns() override {}
    int fillRow(const ZnTerminal &t) override
    {
        const int row = table.rowCount();
        table.insertRow(row);
        setItem(t.name.c_str(), row, 0, t.id);
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

ZnTerminal terminal(int id, int valueA)
{
    ZnTerminal t;
    t.id = id;
    t.name = "amp" + std::to_string(id);
    t.settingValueA = valueA;
    return t;
}

} // namespace

class tst_levels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { znInitResources(); }

    // Order matters: the hub is process-wide and made once.
    void noHubNoRights()
    {
        Page p;
        QVERIFY(!p.hasLevel());
    }

    void levelByKind()
    {
        ServiceHub::create(nullptr);
        Page ordinary;
        AdvancedPage advanced;
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
    }

    void deniedEditIsExplained()
    {
        gLevelList.replace({level(5, 1)});
        gCurrentUser.lv = 9;
        Page p;
        ZnModalHelper modal;
        modal.clickButton("OkBtn");
        QVERIFY(!p.checkLevel());
        QVERIFY(modal.handled());
        QVERIFY(modal.seenTexts().contains("Current user does not have permission to edit!"));
    }

    void playTerminalFills()
    {
        AmpTable t;
        t.fillAllTerminals();
        QCOMPARE(t.table.rowCount(), 0);

        std::list<ZnTerminal> list{terminal(30, 17), terminal(10, 0), terminal(20, 17)};
        ZnPlayTermListMgr::onNotify(ZnPlayTermListMgr::ListCode, &list);
        t.table.setRowCount(4);
        t.fillAllTerminals();
        QCOMPARE(t.ids(), (QList<int>{10, 20, 30}));
        t.fillTerminalsWhere(17);
        QCOMPARE(t.ids(), (QList<int>{20, 30}));
    }
};

QTEST_MAIN(tst_levels)
#include "tst_levels.moc"
