#include "ZnModalHelper.h"
#include "ZnNetLosssHandle.h"
#include "ZnResources.h"
#include "ZnTerminal.h"

#include <QAbstractButton>
#include <QtTest>

class tst_netloss : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        znInitResources();
        QVERIFY(ZnNetLosssHandle::create(nullptr));
    }

    void conflictTextForTwoTerminals()
    {
        auto list = ZnNetLosssHandle::parseConflictList(
            R"([{"terminalId":"7","name":"","type":"IP","ip":"10.0.0.7"},)"
            R"({"terminalId":"12","name":"Hall","ip":"10.0.0.12"}])");
        QVERIFY(list);
        QCOMPARE(list->size(), 2);
        QCOMPARE(ZnNetLosssHandle::conflictText(*list),
                 QString("设备ID冲突，请重新设置!\r\n\r\n  ID:7 Name:7 IP:10.0.0.7\r\n  ID:12 Name:Hall IP:10.0.0.12\r\n"));
        auto empty = ZnNetLosssHandle::parseConflictList("[]");
        QVERIFY(empty);
        QCOMPARE(ZnNetLosssHandle::conflictText(*empty), QString("设备ID冲突，请重新设置!\r\n\r\n"));
    }

    void oddBodies()
    {
        for (const char *bad : {"", "{", "{\"terminalId\":\"1\"}", "\"text\"", "null", "[1,"})
            QVERIFY2(!ZnNetLosssHandle::parseConflictList(bad), bad);
        auto mixed = ZnNetLosssHandle::parseConflictList(
            R"([1, "x", [], {"terminalId":{"a":1},"name":[1],"ip":5}, {"terminalId":3}])");
        QVERIFY(mixed);
        QCOMPARE(mixed->size(), 2);
        QCOMPARE(mixed->at(0).id, 0);
        QCOMPARE(mixed->at(0).ip, std::string("5"));
        QCOMPARE(mixed->at(1).name, std::string("3"));
    }

    void invalidPushShowsNothing()
    {
        ZnNetLosssHandle::onDeviceConflict(0, "not json");
        ZnNetLosssHandle::onDeviceConflict(0, nullptr);
        QTest::qWait(50);
        QVERIFY(!ZnModalHelper::activeModal());
        QVERIFY(!ZnNetLosssHandle::instance()->isShowingConflict());
    }

    void secondReportWhileOpenIsDropped()
    {
        ZnNetLosssHandle *h = ZnNetLosssHandle::instance();
        int shown = 0;
        ZnModalHelper modal;
        modal.onModal([&](QWidget *box) {
            ++shown;
            QVERIFY(h->isShowingConflict());
            // Arrives while the first message is open.
            ZnNetLosssHandle::onDeviceConflict(0, R"([{"terminalId":"2","ip":"10.0.0.2"}])");
            QTest::qWait(50);
            QCOMPARE(ZnModalHelper::activeModal(), box);
            QTest::mouseClick(ZnModalHelper::findButton(box, "ConfirmButton"), Qt::LeftButton);
        });
        ZnNetLosssHandle::onDeviceConflict(0, R"([{"terminalId":"1","ip":"10.0.0.1"}])");
        QVERIFY(ZnModalHelper::waitFor([&] { return modal.handled() && !h->isShowingConflict(); }));
        QTest::qWait(50);
        QCOMPARE(shown, 1);
        QVERIFY(!ZnModalHelper::activeModal());
        QVERIFY(modal.seenTexts().join("").contains("ID:1 Name:1 IP:10.0.0.1"));
    }

    void lossShowsMessageAndClosesWindows()
    {
        QWidget window;
        window.show();
        ZnModalHelper modal;
        modal.clickButton("ConfirmButton");
        ZnNetLosssHandle::onNetLoss();
        QVERIFY(ZnModalHelper::waitFor([&] { return modal.handled() && !window.isVisible(); }));
        QVERIFY(modal.seenTexts().join("").contains("连接超时，请重新登陆!"));
        QVERIFY(modal.seenTexts().contains("提示"));
    }
};

QTEST_MAIN(tst_netloss)
#include "tst_netloss.moc"
