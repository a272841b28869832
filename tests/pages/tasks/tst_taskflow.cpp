#include "QtSchemeInfo.h"
#include "TaskSim.h"
#include "TcpSocketClient.h"
#include "ZnExecTimeDialog.h"
#include "ZnSimFileService.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTimerTaskEditDialog.h"
#include "ZnTimerTaskMgrForm.h"

#include <QLineEdit>
#include <QTimeEdit>
#include <QtTest>

// The operator's whole road through the real dialogs, the simulated server and
// the simulated file service: a plan, a timer task in it with two execution
// times, a region and a file from the media browser, started, stopped, deleted.
class TstTaskFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void planTaskStartStopDelete();

private:
    int rowOf(QTableWidget *t, const QString &text);

    SimSession s;
    ZnSimFileService files;
};

void TstTaskFlow::initTestCase()
{
    s.sim.setPushChanges(true);
    QVERIFY(files.start(0));
    TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(files.port()));
    TcpSocketClient::instance()->start();
    TcpSocketClient::instance()->addGetFileRootTask();
    QTRY_VERIFY(!TcpSocketClient::instance()->mediaRoot().isEmpty());
    QVERIFY(startModels(s));
}

void TstTaskFlow::cleanupTestCase()
{
    TcpSocketClient::instance()->stop();
    files.stop();
}

int TstTaskFlow::rowOf(QTableWidget *t, const QString &text)
{
    for (int r = 0; r < t->rowCount(); ++r)
        if (t->item(r, 0) && t->item(r, 0)->text() == text)
            return r;
    return -1;
}

void TstTaskFlow::planTaskStartStopDelete()
{
    ZnTimerTaskMgrForm page(3);
    page.show();
    QtSchemeInfo *panel = page.schemePanel();
    QTRY_COMPARE(columnOf(panel->table(), 0), QStringLiteral("Weekdays Holidays"));

    // 1. A new plan, chosen in the panel.
    ModalChain plan;
    plan.arm({[](QWidget *w) {
        w->findChild<QLineEdit *>(QStringLiteral("fSchemeNameLe"))->setText(QStringLiteral("Flow"));
        ModalChain::click(QStringLiteral("fOkButton"))(w);
    }});
    panel->form().fSchNewBtn->click();
    QTRY_COMPARE(columnOf(panel->table(), 0), QStringLiteral("Weekdays Holidays Flow"));
    panel->table()->setCurrentCell(2, 0);
    emit panel->table()->cellClicked(2, 0);
    QCOMPARE(page.form().fSchemeNameText->text(), QStringLiteral("Flow"));
    const int planId = page.schemeId();
    QVERIFY(planId > 2);
    QCOMPARE(page.tableWidget()->rowCount(), 0);

    // 2. A timer task: two execution times, a region, a file from the browser.
    ModalChain edit;
    edit.arm({[&](QWidget *w) {
        auto *d = qobject_cast<ZnTimerTaskEditDialog *>(w);
        QVERIFY(d);
        Ui::fTimerTaskEditDialog &f = d->form();
        f.fNameEdit->setText(QStringLiteral("Flow task"));
        for (const QTime &t : {QTime(12, 0), QTime(7, 30)}) {
            ZnModalHelper time;
            time.onModal(
                [t](QWidget *e) {
                    e->findChild<QTimeEdit *>(QStringLiteral("fExecTimeEdit"))->setTime(t);
                    ModalChain::click(QStringLiteral("fOkBtn"))(e);
                },
                w);
            f.fTimeAddBtn->click();
            QVERIFY(time.handled());
        }
        const int region = rowOf(f.fRegionTable, QStringLiteral("Ground floor"));
        emit f.fRegionTable->itemClicked(f.fRegionTable->item(region, 0));
        const int song = rowOf(f.fFileTableWidget, QStringLiteral("school_song.mp3"));
        QVERIFY(song >= 0);
        f.fFileTableWidget->selectRow(song);
        f.fAddPlayListBtn->click();
        QCOMPARE(columnOf(f.fPlayTableWidget, 0), QStringLiteral("school_song.mp3"));
        f.fTypeComboBox->setCurrentIndex(0);
        ModalChain::click(QStringLiteral("fOkBtn"))(w);
    }});
    page.form().fNewBtn->click();
    QTRY_COMPARE(edit.seen.size(), 1);
    const Json::Value sent = lastBody(s, "POST SoundSource");
    QCOMPARE(sent["Action"].asString(), std::string("Add"));
    QCOMPARE(sent["TimerPlanId"].asString(), std::to_string(planId));
    QCOMPARE(sent["ExecuteTime"].asString(), std::string("执行时间#$%27000!!!执行时间#$%43200"));
    QCOMPARE(sent["TerminalId"].asString(), std::string("10001 10002"));
    QCOMPARE(sent["SourceContent"].asString(), std::string("/data/mp3/school_song.mp3"));
    QTRY_COMPARE(columnOf(page.tableWidget(), 0), QStringLiteral("Flow task"));
    QCOMPARE(columnOf(page.tableWidget(), 1), QStringLiteral("07:30:00"));
    const int id = page.itemValue(0, 0);

    // 3. Started: the state the server pushes reaches the row.
    page.tableWidget()->selectRow(0);
    page.form().fStartTask->click();
    QTRY_COMPARE(page.tableWidget()->item(0, 3)->text(), QStringLiteral("Running"));

    // 4. Stopped after the question.
    page.tableWidget()->selectRow(0);
    ModalChain stop;
    stop.arm({ModalChain::click(QStringLiteral("ConfirmButton"))});
    page.form().fStopTask->click();
    QTRY_COMPARE(page.tableWidget()->item(0, 3)->text(), QStringLiteral("Idle"));

    // 5. The plan keeps its task; the task is deleted, then the plan.
    ModalChain refused;
    refused.arm(
        {ModalChain::click(QStringLiteral("ConfirmButton")), ModalChain::click(QStringLiteral("ConfirmButton"))});
    panel->form().fSchDelBtn->click();
    QTRY_COMPARE(refused.seen.size(), 2);
    QVERIFY(refused.seen.at(1).contains(QStringLiteral("删除方案失败，如有任务请先删除!")));

    page.tableWidget()->selectRow(0);
    ModalChain del;
    del.arm({ModalChain::click(QStringLiteral("ConfirmButton"))});
    page.form().fDelBtn->click();
    QTRY_COMPARE(page.tableWidget()->rowCount(), 0);
    ZnSsTask gone;
    QVERIFY(!ZnSsTaskDataMgr::instance()->getTask(id, gone));

    ModalChain removed;
    removed.arm({ModalChain::click(QStringLiteral("ConfirmButton"))});
    panel->form().fSchDelBtn->click();
    QTRY_COMPARE(columnOf(panel->table(), 0), QStringLiteral("Weekdays Holidays"));
}

QTEST_MAIN(TstTaskFlow)
#include "tst_taskflow.moc"
