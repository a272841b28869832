#include "TaskSim.h"
#include "ZnExecTimeDialog.h"
#include "ZnExecTimeViewCtrl.h"
#include "ZnPlanTaskEditDialog.h"
#include "ZnRegionListMgr.h"
#include "ZnTimerTaskEditDialog.h"

#include <QSignalSpy>
#include <QtTest>

// The task edit dialogs and the execution times, offscreen against the simulator.
class TstTaskDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void execTimes_data();
    void execTimes();
    void execTimeNames_data();
    void execTimeNames();
    void defaultTime_data();
    void defaultTime();
    void playListRoundTrip();
    void playListPathWithSeparator();
    void speechTextLimit_data();
    void speechTextLimit();
    void planOkStopsAtFirstFailure();
    void captureRowByAnyCell();
    void timerDialogWrites_data();
    void timerDialogWrites();
    void playListRows_data();
    void playListRows();
    void regionClickChecksMembers();
    void storedTerminalsNotOfferedAreKept();

private:
    // Presses OK, answering one refusal box; its text, or "" when none opened.
    template <class Dialog>
    QString pressOk(Dialog &d);

    SimSession s;
};

template <class Dialog>
QString TstTaskDialogs::pressOk(Dialog &d)
{
    ZnModalHelper box;
    box.answer(QStringLiteral("ConfirmButton"));
    d.form().fOkBtn->click();
    return box.handled() ? box.seenTexts().join(QLatin1Char('|')) : QString();
}

void TstTaskDialogs::initTestCase()
{
    QVERIFY(startModels(s));
    QSignalSpy regions(ZnRegionListMgr::instance(), &ZnRegionListMgr::gotRegionList);
    QVERIFY(SimSession::spinUntil([&] { return !ZnRegionListMgr::instance()->regionList().empty(); }));
}

void TstTaskDialogs::execTimes_data()
{
    QTest::addColumn<QStringList>("steps"); // "add name hh:mm:ss" or "edit row hh:mm:ss"
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("added out of order") << QStringList{QStringLiteral("add x 12:00:00"),
                                                       QStringLiteral("add y 08:30:00"),
                                                       QStringLiteral("add z 23:59:59")}
                                        << QStringLiteral("08:30:00 12:00:00 23:59:59")
                                        << QStringLiteral("y#$%30600!!!x#$%43200!!!z#$%86399");
    QTest::newRow("edit moves the row") << QStringList{QStringLiteral("add x 12:00:00"),
                                                       QStringLiteral("add y 08:30:00"),
                                                       QStringLiteral("edit 0 13:00:00")}
                                        << QStringLiteral("12:00:00 13:00:00")
                                        << QStringLiteral("x#$%43200!!!y#$%46800");
    QTest::newRow("B then A") << QStringList{QStringLiteral("add B 08:00:00"), QStringLiteral("add A 07:30:00")}
                              << QStringLiteral("07:30:00 08:00:00") << QStringLiteral("A#$%27000!!!B#$%28800");
}

void TstTaskDialogs::execTimes()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    QTableWidget table(0, 2);
    ZnExecTimeViewCtrl view(&table);
    for (const QString &step : steps) {
        const QStringList p = step.split(QLatin1Char(' '));
        ZnExecTime e;
        const QTime t = QTime::fromString(p[2], QStringLiteral("hh:mm:ss"));
        e.seconds = QTime(0, 0).secsTo(t);
        if (p[0] == QLatin1String("add")) {
            e.setName(p[1].toStdString());
            view.addEntry(e);
        } else {
            table.setCurrentCell(p[1].toInt(), 0);
            QVERIFY(view.currentEntry(e) == 0);
            e.seconds = QTime(0, 0).secsTo(t);
            QCOMPARE(view.updateCurrent(e), 0);
        }
    }
    QCOMPARE(columnOf(&table, 1), shown);
    std::list<ZnExecTime> entries;
    view.entries(entries);
    QCOMPARE(QString::fromStdString(ZnSsTask::joinExecuteTimes(entries)), stored);
    // What was written reads back the same.
    QCOMPARE(QString::fromStdString(ZnSsTask::joinExecuteTimes(ZnSsTask::splitExecuteTimes(stored.toStdString()))),
             stored);
}

void TstTaskDialogs::execTimeNames_data()
{
    QTest::addColumn<QString>("old");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // "refused" when OK is refused
    QTest::newRow("32 two-byte characters cut to 15")
        << QStringLiteral("") << QString(32, QChar(0x00e9)) << QString(15, QChar(0x00e9));
    QTest::newRow("32 three-byte characters cut to 10")
        << QStringLiteral("") << QString(32, QChar(0x4e2d)) << QString(10, QChar(0x4e2d));
    QTest::newRow("cleared name keeps the old one")
        << QStringLiteral("old") << QStringLiteral("") << QStringLiteral("old");
    QTest::newRow("entry separator refused")
        << QStringLiteral("") << QStringLiteral("a!!!b") << QStringLiteral("refused");
    QTest::newRow("time separator refused")
        << QStringLiteral("") << QStringLiteral("a#$%b") << QStringLiteral("refused");
}

void TstTaskDialogs::execTimeNames()
{
    QFETCH(QString, old);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    ZnExecTimeDialog d;
    ZnExecTime e;
    e.setName(old.toStdString());
    e.seconds = 3600;
    d.setEntry(e);
    d.form().fNameEdit->setText(typed);
    d.show();
    const QString box = pressOk(d);
    if (stored == QLatin1String("refused")) {
        QVERIFY(box.contains(QStringLiteral("#$%")));
        QVERIFY(d.isVisible());
        return;
    }
    QVERIFY(box.isEmpty());
    d.entry(e);
    QCOMPARE(QString::fromUtf8(e.name), stored);
}

void TstTaskDialogs::defaultTime_data()
{
    QTest::addColumn<QTime>("now");
    QTest::addColumn<QTime>("shown");
    QTest::newRow("past the hour") << QTime(10, 58, 40) << QTime(11, 1);
    QTest::newRow("past midnight") << QTime(23, 59, 10) << QTime(0, 2);
}

void TstTaskDialogs::defaultTime()
{
    QFETCH(QTime, now);
    QFETCH(QTime, shown);
    QCOMPARE(ZnExecTimeDialog::defaultTime(now), shown);
}

void TstTaskDialogs::playListRoundTrip()
{
    ZnSsTask t;
    t.Id = 3;
    t.Name = "Two files";
    t.SourceContent = "a/b/x.mp3@#$%a/y.mp3";
    ZnPlanTaskEditDialog d(&t);
    QCOMPARE(columnOf(d.form().fPlayTableWidget, 0), QStringLiteral("x.mp3 y.mp3"));
    QCOMPARE(pressOk(d), QString());
    QCOMPARE(t.SourceContent, std::string("a/b/x.mp3@#$%a/y.mp3"));
    QCOMPARE(d.result(), int(QDialog::Accepted));
}

void TstTaskDialogs::playListPathWithSeparator()
{
    ZnSsTask t;
    ZnPlanTaskEditDialog d(&t);
    ZnModalHelper box;
    box.answer(QStringLiteral("ConfirmButton"));
    QVERIFY(!d.source()->addPlayFile("/mp3/a@#$%b.mp3", "a@#$%b.mp3"));
    QVERIFY(box.seenTexts().join(QLatin1Char('|')).contains(QStringLiteral("@#$%")));
    QVERIFY(d.source()->playList().empty());
    QCOMPARE(d.form().fPlayTableWidget->rowCount(), 0);
}

void TstTaskDialogs::speechTextLimit_data()
{
    QTest::addColumn<int>("before"); // characters already there
    QTest::addColumn<int>("at");     // cursor position of the insertion
    QTest::addColumn<int>("inserted");
    QTest::addColumn<QString>("kept"); // runs of 'a' (old) and 'b' (new) characters
    QTest::addColumn<QString>("counter");
    QTest::newRow("250 pasted") << 0 << 0 << 250 << QStringLiteral("200b") << QStringLiteral("0/200");
    QTest::newRow("into the middle of 200") << 200 << 100 << 5 << QStringLiteral("200a") << QStringLiteral("0/200");
    QTest::newRow("fits") << 100 << 50 << 30 << QStringLiteral("50a30b50a") << QStringLiteral("70/200");
}

void TstTaskDialogs::speechTextLimit()
{
    QFETCH(int, before);
    QFETCH(int, at);
    QFETCH(int, inserted);
    QFETCH(QString, kept);
    QFETCH(QString, counter);
    ZnSsTask t;
    t.SourceType = ZnSsTask::SourceTts;
    t.SourceContent = std::string(size_t(before), 'a');
    t.Id = 1;
    ZnPlanTaskEditDialog d(&t);
    QTextEdit *edit = d.form().fTtsContentTextEdit;
    QTextCursor c = edit->textCursor();
    c.setPosition(at);
    edit->setTextCursor(c);
    edit->insertPlainText(QString(inserted, QLatin1Char('b')));
    QString runs;
    const QString text = edit->toPlainText();
    for (int i = 0; i < text.size();) {
        int j = i;
        while (j < text.size() && text[j] == text[i])
            ++j;
        runs += QString::number(j - i) + text[i];
        i = j;
    }
    QCOMPARE(runs, kept);
    QCOMPARE(d.form().fSizeLabel->text(), counter);
}

// The count set to 0: refused after name, volume, count and duration were written.
void TstTaskDialogs::planOkStopsAtFirstFailure()
{
    ZnSsTask t;
    t.Duration = 99;
    ZnPlanTaskEditDialog d(&t);
    QVERIFY(pressOk(d).contains(QStringLiteral("The name cannot be empty!")));
    d.form().fNameEdit->setText(QStringLiteral("Bell"));
    d.form().fVolSpinBox->setValue(40);
    d.form().fPlayCountLineEdit->setText(QStringLiteral("0"));
    QVERIFY(pressOk(d).contains(QStringLiteral("Play counts con't be 0!")));
    QCOMPARE(t.Name, std::string("Bell"));
    QCOMPARE(t.PlayVol, 40);
    QCOMPARE(t.PlayTimes, 0);
    QCOMPARE(t.Duration, 0);
    QVERIFY(d.result() != QDialog::Accepted);
}

void TstTaskDialogs::captureRowByAnyCell()
{
    ZnSsTask t;
    t.Id = 2;
    t.Name = "Capture";
    t.SourceType = ZnSsTask::SourceCapture;
    t.SourceContent = "20002";
    ZnPlanTaskEditDialog d(&t);
    QTableWidget *caps = d.form().fCapTableWidget;
    QCOMPARE(rowsOf(caps), QStringLiteral("20001:Capture A 20002:Cap_20002"));
    QCOMPARE(caps->item(1, 0)->checkState(), Qt::Checked);
    caps->setCurrentCell(0, 2);
    emit caps->itemClicked(caps->item(0, 2));
    QCOMPARE(caps->item(1, 0)->checkState(), Qt::Unchecked);
    QCOMPARE(pressOk(d), QString());
    QCOMPARE(t.SourceContent, std::string("20001"));
}

void TstTaskDialogs::timerDialogWrites_data()
{
    QTest::addColumn<int>("category");
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("times"); // execution times added
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored"); // Week, dates, ExecuteTime, OpenAmp, TerminalId
    QTest::newRow("new manual task") << 2 << 0 << QStringList() << QStringLiteral("")
                                     << QStringLiteral("127 0 0 - 0 10002 50001");
    QTest::newRow("sdk without times refused")
        << 4 << 7 << QStringList() << QStringLiteral("请添加执行时间！") << QStringLiteral("");
    QTest::newRow("new timer task without times refused")
        << 3 << 0 << QStringList() << QStringLiteral("请添加执行时间！") << QStringLiteral("");
    QTest::newRow("timer task with two times")
        << 3 << 0 << QStringList{QStringLiteral("B 08:00:00"), QStringLiteral("A 07:30:00")} << QStringLiteral("")
        << QStringLiteral("127 today 0 A#$%27000!!!B#$%28800 3 10002 50001");
}

void TstTaskDialogs::timerDialogWrites()
{
    QFETCH(int, category);
    QFETCH(int, id);
    QFETCH(QStringList, times);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    ZnSsTask t;
    t.Id = id;
    t.SourceCategory = category;
    t.SourceType = ZnSsTask::SourceTts;
    t.SourceContent = "hello";
    ZnTimerTaskEditDialog d(&t);
    Ui::fTimerTaskEditDialog &f = d.form();
    QCOMPARE(f.fNameEdit->text(), id ? QString() : QStringLiteral("新建任务"));
    QCOMPARE(f.fStartTimeGroupBox->isHidden(), category == 2);
    for (const QString &e : times) {
        ZnExecTime entry;
        entry.setName(e.section(QLatin1Char(' '), 0, 0).toStdString());
        entry.seconds =
            QTime(0, 0).secsTo(QTime::fromString(e.section(QLatin1Char(' '), 1), QStringLiteral("hh:mm:ss")));
        d.execTimes()->addEntry(entry);
    }
    if (id)
        f.fNameEdit->setText(QStringLiteral("Sdk"));
    // Terminals 10002 and 50001 checked by a click each.
    QTableWidget *terms = f.fTerminalTable;
    for (int row = 0; row < terms->rowCount(); ++row) {
        const int tid = terms->item(row, 0)->data(Qt::UserRole).toInt();
        if (tid == 10002 || tid == 50001)
            emit terms->itemClicked(terms->item(row, 0));
    }
    const QString box = pressOk(d);
    if (!message.isEmpty()) {
        QVERIFY(box.contains(message));
        return;
    }
    QCOMPARE(box, QString());
    const int today = int(QDateTime(QDate::currentDate(), QTime(0, 0)).toSecsSinceEpoch());
    const QString written =
        QStringList{QString::number(t.Week),
                    t.StartDate == today ? QStringLiteral("today") : QString::number(t.StartDate),
                    QString::number(t.EndDate),
                    t.ExecuteTime.empty() ? QStringLiteral("-") : QString::fromStdString(t.ExecuteTime),
                    QString::number(t.OpenAmp),
                    QString::fromStdString(t.TerminalId)}
            .join(QLatin1Char(' '));
    QCOMPARE(written, stored);
}

void TstTaskDialogs::playListRows_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QString>("left");
    QTest::newRow("delete first and third") << QStringLiteral("delete") << QList<int>{0, 2} << QStringLiteral("b.mp3");
    QTest::newRow("first up") << QStringLiteral("up") << QList<int>{0} << QStringLiteral("a.mp3 b.mp3 c.mp3");
    QTest::newRow("last down") << QStringLiteral("down") << QList<int>{2} << QStringLiteral("a.mp3 b.mp3 c.mp3");
    QTest::newRow("second up") << QStringLiteral("up") << QList<int>{1} << QStringLiteral("b.mp3 a.mp3 c.mp3");
    QTest::newRow("second down") << QStringLiteral("down") << QList<int>{1} << QStringLiteral("a.mp3 c.mp3 b.mp3");
}

void TstTaskDialogs::playListRows()
{
    QFETCH(QString, action);
    QFETCH(QList<int>, rows);
    QFETCH(QString, left);
    ZnSsTask t;
    t.Id = 4;
    t.SourceCategory = 2;
    t.SourceContent = "/m/a.mp3@#$%/m/b.mp3@#$%/m/c.mp3";
    ZnTimerTaskEditDialog d(&t);
    QTableWidget *play = d.form().fPlayTableWidget;
    play->setSelectionMode(QAbstractItemView::MultiSelection);
    for (int r : rows)
        play->selectRow(r);
    play->setCurrentCell(rows.last(), 0, QItemSelectionModel::NoUpdate);
    QPushButton *b = action == QLatin1String("delete") ? d.form().fPlayListDelBtn
                     : action == QLatin1String("up")   ? d.form().fPlayListUpBtn
                                                       : d.form().fPlayListDownBtn;
    b->click();
    QCOMPARE(columnOf(play, 0), left);
    QStringList entries;
    for (const auto &e : d.source()->playList())
        entries << QString::fromStdString(e.second);
    QCOMPARE(entries.join(QLatin1Char(' ')), left);
}

// A region's members are checked and painted; clicking the region again leaves
// them checked; a member no list offers gets a checked row of its own.
void TstTaskDialogs::regionClickChecksMembers()
{
    ZnSsTask t;
    t.SourceCategory = 2;
    ZnTimerTaskEditDialog d(&t);
    QTableWidget *regions = d.form().fRegionTable;
    QTableWidget *terms = d.form().fTerminalTable;
    int row = -1; // region 2, "Everywhere"
    for (int r = 0; r < regions->rowCount(); ++r)
        if (regions->item(r, 0)->data(Qt::UserRole).toInt() == 2)
            row = r;
    QVERIFY(row >= 0);
    const int before = terms->rowCount();
    emit regions->itemClicked(regions->item(row, 0));
    emit regions->itemClicked(regions->item(row, 0));
    QStringList checked;
    for (int r = 0; r < terms->rowCount(); ++r) {
        if (terms->item(r, 0)->checkState() == Qt::Checked) {
            checked << terms->item(r, 0)->data(Qt::UserRole).toString();
            QCOMPARE(terms->item(r, 0)->background().color(), QColor(254, 230, 192));
        }
    }
    QCOMPARE(checked.join(QLatin1Char(' ')), QStringLiteral("10001 10002 10003 60001"));
    QCOMPARE(terms->rowCount(), before);
}

// Stored terminals the loaded lists do not offer stay with the task unless the
// operator unchecks them.
void TstTaskDialogs::storedTerminalsNotOfferedAreKept()
{
    ZnSsTask t;
    t.Id = 9;
    t.SourceCategory = 2;
    t.SourceType = ZnSsTask::SourceTts;
    t.SourceContent = "x";
    t.Name = "Kept";
    t.terminalIds = {10001, 77777, 88888};
    ZnTimerTaskEditDialog d(&t);
    QTableWidget *terms = d.form().fTerminalTable;
    const int unknown = terms->rowCount() - 1;
    QCOMPARE(terms->item(unknown, 0)->data(Qt::UserRole).toInt(), 88888);
    emit terms->itemClicked(terms->item(unknown, 0)); // unchecks 88888
    QCOMPARE(pressOk(d), QString());
    QCOMPARE(t.TerminalId, std::string("10001 77777"));
}

QTEST_MAIN(TstTaskDialogs)
#include "tst_taskdialogs.moc"
