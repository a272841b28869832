#include "InfoCenterMgr.h"
#include "ZnPlanTaskMgrForm.h"
#include "ZnPlayerInfoForm.h"
#include "ZnResources.h"
#include "ZnSystemSettingForm.h"
#include "ZnUserLogInfoForm.h"

#include <QDir>
#include <QListWidget>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The window with a server clock the test controls.
class Window : public InfoCenterMgr
{
public:
    Window() : InfoCenterMgr(1) {}
    QString serverTimeText() override { return timeText; }
    void requestServerTime() override { ++requests; }
    QString timeText;
    int requests = 0;
};

template <class Page>
int countPages(InfoCenterMgr &w)
{
    return w.form().fCenterRightStacked->findChildren<Page *>(QString(), Qt::FindDirectChildrenOnly).size();
}

} // namespace

class tst_mainwindow : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString oldDir;

private slots:
    void initTestCase()
    {
        znInitResources();
        oldDir = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void cleanupTestCase() { QDir::setCurrent(oldDir); }

    void startState()
    {
        Window w;
        auto &ui = w.form();
        // The form's two empty pages, then the seven start pages.
        QCOMPARE(ui.fCenterRightStacked->count(), 9);
        QCOMPARE(ui.fCenterRightStacked->currentWidget()->objectName(), QString("ZnPlanTaskMgrForm"));
        QCOMPARE(ui.fCenterLeftStacked->currentIndex(), 0);
        QVERIFY(!ui.fSsTaskMgrBtn->isEnabled());
        QVERIFY(ui.fSsTaskMgrBtn->font().bold());
        QVERIFY(ui.fMicGroupMgrBtn->isEnabled());
        QVERIFY(w.isMaximisedFrame());
        QVERIFY(ui.max_btn->isHidden() && !ui.show_normal_btn->isHidden());
        QCOMPARE(w.navList()->count(), 5);
        QVERIFY(w.navList()->item(4)->isHidden());
        QCOMPARE(w.navList()->currentRow(), 0);
        for (QWidget *b : {(QWidget *)ui.fSdkTaskMgrBtn, (QWidget *)ui.fCallMicMgrBtn, (QWidget *)ui.fEmMicMgrBtn,
                           (QWidget *)ui.fD82MgrBtn, (QWidget *)ui.fMicGroupMgrBtn, (QWidget *)ui.fTalkLogMgrBtn})
            QVERIFY(b->isHidden());
        QCOMPARE(w.windowTitle(), QString("管理中心"));
    }

    void pagesAreBuiltOnce()
    {
        Window w;
        auto &ui = w.form();
        QCOMPARE(countPages<ZnUserLogInfoForm>(w), 0);
        ui.fUserLogMgrBtn->click();
        QCOMPARE(countPages<ZnUserLogInfoForm>(w), 1);
        ui.fPlayerMgrBtn->click();
        ui.fUserLogMgrBtn->click();
        w.showUserLogInfoForm();
        QCOMPARE(countPages<ZnUserLogInfoForm>(w), 1);
        QCOMPARE(ui.fCenterRightStacked->currentWidget()->objectName(), QString("ZnUserLogInfoForm"));
        QVERIFY(!ui.fUserLogMgrBtn->isEnabled());
        QVERIFY(ui.fPlayerMgrBtn->isEnabled());
        w.showPlayerInfoForm();
        QCOMPARE(countPages<ZnPlayerInfoForm>(w), 1);
        // The current button is disabled: pressing it again does nothing.
        QTest::mouseClick(ui.fPlayerMgrBtn, Qt::LeftButton);
        QCOMPARE(ui.fCenterRightStacked->count(), 10);
    }

    void navRowsSwitchGroups()
    {
        Window w;
        auto &ui = w.form();
        w.navList()->setCurrentRow(1);
        QCOMPARE(ui.fCenterLeftStacked->currentIndex(), 1);
        QCOMPARE(ui.fCenterRightStacked->currentWidget()->objectName(), QString("ZnPlayerInfoForm"));
        w.navList()->setCurrentRow(3);
        QCOMPARE(ui.fCenterLeftStacked->currentIndex(), 3);
        QCOMPARE(ui.fCenterRightStacked->currentWidget()->objectName(), QString("ZnUserLogInfoForm"));
    }

    void titleWrittenOnlyWhenItChanges()
    {
        QFile::remove("config.ini");
        {
            Window w;
            QSettings s("config.ini", QSettings::IniFormat);
            QCOMPARE(s.value("Setting/Title").toString(), QString("管理中心"));
        }
        const QDateTime first = QFileInfo("config.ini").lastModified();
        QTest::qWait(1100);
        Window w;
        w.slot_setTitleName("管理中心");
        QCOMPARE(QFileInfo("config.ini").lastModified(), first);
        emit w.findChild<ZnSystemSettingForm *>()->sendTitleString("二号楼");
        QCOMPARE(w.form().title_name_le->text(), QString("二号楼"));
        QSettings s("config.ini", QSettings::IniFormat);
        QCOMPARE(s.value("Setting/Title").toString(), QString("二号楼"));
    }

    void doubleClickOnTitleToggles()
    {
        Window w;
        QWidget *title = w.form().title_widget;
        QTest::mouseDClick(title, Qt::LeftButton);
        QVERIFY(!w.isMaximisedFrame());
        QVERIFY(!w.form().max_btn->isHidden());
        QCOMPARE(w.form().centralWidgetGridLayout->contentsMargins(), QMargins(6, 6, 6, 6));
        QTest::mouseDClick(title, Qt::LeftButton);
        QVERIFY(w.isMaximisedFrame());
        QCOMPARE(w.form().centralWidgetGridLayout->contentsMargins(), QMargins(0, 0, 0, 0));
    }

    void clock()
    {
        Window w;
        auto &ui = w.form();
        // The constructor's start ran before the test's clock existed; start again.
        w.startClock();
        QCOMPARE(w.requests, 1);
        QCOMPARE(w.serverTime(), 0);

        // Unknown: local time shown, the server asked again now and then.
        for (int i = 0; i < 5; ++i)
            w.clockTick();
        QCOMPARE(w.serverTime(), 0);
        QCOMPARE(ui.mSrvDateLe->text(), QDate::currentDate().toString("yyyy-MM-dd"));
        QCOMPARE(w.requests, 2);

        // Texts that are not a positive time never start the clock at 1970.
        for (const char *bad : {"----", "0", "-5", "12abc", ""}) {
            w.timeText = bad;
            w.clockTick();
            QCOMPARE(w.serverTime(), 0);
            QVERIFY(!ui.mSrvDateLe->text().startsWith("1970"));
        }

        const qint64 t = QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)).toSecsSinceEpoch();
        w.timeText = QString::number(t);
        const QString shownBefore = ui.mSrvTimeLe->text();
        w.clockTick();
        QCOMPARE(w.serverTime(), t + 1);
        QCOMPARE(ui.mSrvTimeLe->text(), shownBefore);
        w.timeText = "----";
        w.clockTick();
        QCOMPARE(w.serverTime(), t + 2);
        QCOMPARE(ui.mSrvDateLe->text(), QString("2026-03-04"));
        QCOMPARE(ui.mSrvTimeLe->text(), QString("05:06:09"));
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
