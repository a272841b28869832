#include "../terminals/PageSim.h"
#include "BaseMessageDialog.h"
#include "BaseSetNameDialog.h"
#include "LogExportDialog.h"
#include "LoginDialog.h"
#include "QtSchemePropertyDialog.h"
#include "TcpSocketClient.h"
#include "ZnD72SettingDialog.h"
#include "ZnD74SettingDialog.h"
#include "ZnD81SettingDialog.h"
#include "ZnD82.h"
#include "ZnD82SettingDialog.h"
#include "ZnExecTimeDialog.h"
#include "ZnFAlarm.h"
#include "ZnFAlarmChannelDialog.h"
#include "ZnFAlarmSettingDialog.h"
#include "ZnMic.h"
#include "ZnMicGroup.h"
#include "ZnMicGroupEditDialog.h"
#include "ZnPlanTaskEditDialog.h"
#include "ZnRegion.h"
#include "ZnRegionEditDialog.h"
#include "ZnSetAmpFormCtr.h"
#include "ZnSetCapDialog.h"
#include "ZnSetTCPForm.h"
#include "ZnSimFileService.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTerDefaultSetCtr.h"
#include "ZnTimerTaskEditDialog.h"

#include <QLoggingCategory>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// A 1366 x 768 screen less a taskbar.
const QSize kScreen(1366, 728);

using Make = std::function<QDialog *()>;

template <class Record>
Record *kept()
{
    static Record record;
    return &record;
}

ZnMic *console(int id)
{
    ZnMic *m = kept<ZnMic>();
    m->id = id;
    m->name = "Desk";
    return m;
}

ZnSsTask *task(int category)
{
    static ZnSsTask tasks[5];
    ZnSsTask *t = &tasks[category];
    t->Id = 1;
    t->Name = "Task";
    t->SourceCategory = category;
    return t;
}

} // namespace

Q_DECLARE_METATYPE(Make)

// Every dialog of the console opens within a small laptop's screen, with every
// button it shows (OK and cancel among them) inside it.
class TstDialogFit : public QObject
{
    Q_OBJECT

    SimSession s;
    ZnSimFileService files;

private slots:
    void initTestCase()
    {
        // The file worker writes debug lines from its own thread; QtTest's logger
        // reads the running test's name for each, which races with the switch to
        // the next test and crashed a run. Debug lines are not logged here.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        ZnModalGuard::install();
        QVERIFY(startModels(s));
        ZnSsTaskDataMgr::instance();
        // The task dialogs list the media folder as they open.
        QVERIFY(files.start(0));
        TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(files.port()));
        TcpSocketClient::instance()->start();
    }
    void cleanupTestCase()
    {
        TcpSocketClient::instance()->stop();
        files.stop();
    }

    void fits_data()
    {
        QTest::addColumn<Make>("make");
        QTest::newRow("D72 setting") << Make([] { return new ZnD72SettingDialog(console(50001)); });
        QTest::newRow("D74 setting") << Make([] { return new ZnD74SettingDialog(console(60001)); });
        QTest::newRow("D81 setting") << Make([] { return new ZnD81SettingDialog(console(70001)); });
        QTest::newRow("D82 setting") << Make([] {
            ZnD82 *d = kept<ZnD82>();
            d->id = 80001;
            return new ZnD82SettingDialog(d);
        });
        QTest::newRow("fire alarm setting") << Make([] {
            ZnFAlarm *a = kept<ZnFAlarm>();
            a->id = 30001;
            return new ZnFAlarmSettingDialog(a);
        });
        QTest::newRow("fire alarm channel") << Make([] {
            static std::list<ZnSsTask> tasks;
            return new ZnFAlarmChannelDialog(&tasks, 0, QStringLiteral("通道1"));
        });
        QTest::newRow("group edit") << Make([] { return new ZnMicGroupEditDialog(kept<ZnMicGroup>()); });
        QTest::newRow("capture unit") << Make([] { return new ZnSetCapDialog; });
        QTest::newRow("amplifier thresholds") << Make([] {
            auto *d = new ZnSetAmpFormCtr;
            d->loadTable();
            return d;
        });
        QTest::newRow("firewall") << Make([] { return new ZnSetTCPForm(1); });
        QTest::newRow("default setting") << Make([] {
            auto *d = new ZnTerDefaultSetCtr;
            d->loadTable();
            return d;
        });
        QTest::newRow("plan task") << Make([] { return new ZnPlanTaskEditDialog(task(1)); });
        QTest::newRow("manual task") << Make([] { return new ZnTimerTaskEditDialog(task(2)); });
        QTest::newRow("timer task") << Make([] { return new ZnTimerTaskEditDialog(task(3)); });
        QTest::newRow("execution time") << Make([] { return new ZnExecTimeDialog; });
        QTest::newRow("region edit") << Make([] { return new ZnRegionEditDialog(kept<ZnRegion>()); });
        QTest::newRow("scheme") << Make([] { return new QtSchemePropertyDialog(nullptr); });
        QTest::newRow("message box") << Make(
            [] { return new BaseMessageDialog(QStringLiteral("Tips"), QStringLiteral("Delete current record?"), 1); });
        QTest::newRow("name entry") << Make([] { return new BaseSetNameDialog; });
        QTest::newRow("log export") << Make([] {
            return new LogExportDialog(nullptr, {QStringLiteral("时间"), QStringLiteral("内容")}, 0);
        });
        QTest::newRow("login") << Make([] { return new LoginDialog(QString()); });
    }
    void fits()
    {
        QFETCH(Make, make);
        std::unique_ptr<QDialog> dialog(make());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        // Nothing squeezed below what its layout needs, and still within the screen.
        const QSize size = dialog->size(), needed = dialog->minimumSizeHint();
        const QString sizes = QStringLiteral("%1 x %2, needs %3 x %4")
                                  .arg(size.width())
                                  .arg(size.height())
                                  .arg(needed.width())
                                  .arg(needed.height());
        QVERIFY2(size.width() >= needed.width() && size.height() >= needed.height(), qPrintable(sizes));
        QVERIFY2(size.width() <= kScreen.width() && size.height() <= kScreen.height(), qPrintable(sizes));
        int shown = 0;
        for (QPushButton *b : dialog->findChildren<QPushButton *>()) {
            if (!b->isVisibleTo(dialog.get()))
                continue;
            ++shown;
            const QRect at(b->mapTo(dialog.get(), QPoint()), b->size());
            QVERIFY2(dialog->rect().contains(at), qPrintable(b->objectName() + b->text()));
        }
        QVERIFY(shown > 0);
    }

    // The call microphone dialog opens at 528 x 554 and shrinks to 380 x 480,
    // each grown only where its contents need more.
    void callMicrophoneSize()
    {
        ZnD72SettingDialog dialog(console(50001));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QSize needed = dialog.minimumSizeHint();
        QCOMPARE(dialog.size(), QSize(528, 554).expandedTo(needed));
        QCOMPARE(dialog.minimumSize(), QSize(380, 480).expandedTo(needed));
    }
};

QTEST_MAIN(TstDialogFit)
#include "tst_dialogfit.moc"
