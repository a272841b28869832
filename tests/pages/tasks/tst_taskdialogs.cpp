#include "TaskSim.h"
#include "ZnExecTimeDialog.h"
#include "ZnExecTimeViewCtrl.h"
#include "ZnPlanTaskEditDialog.h"
#include "ZnRegionListMgr.h"
#include "ZnTimerTaskEditDialog.h"

#include <QtTest>

#include <type_traits>

Q_DECLARE_METATYPE(ZnSsTask)

// The task edit dialogs and the execution times, offscreen against the simulator.
class TstTaskDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void edits_data();
    void edits();
    void execTimeNames_data();
    void execTimeNames();
    void defaultTime();
    void speechTextLimit_data();
    void speechTextLimit();

private:
    SimSession s;
};

namespace {
ZnSsTask task(int id, int category, int type, const char *content, std::list<int32_t> terminals = {10001})
{
    ZnSsTask t;
    t.Id = id;
    t.Name = id ? "Task" : "";
    t.SourceCategory = category;
    t.SourceType = type;
    t.SourceContent = content;
    t.terminalIds = terminals;
    return t;
}

// Runs act and answers the box it opens; what the box said.
QString answered(const std::function<void()> &act)
{
    ZnModalHelper box;
    box.answer(QStringLiteral("ConfirmButton"));
    act();
    return box.seenTexts().join(QLatin1Char('|'));
}

// Runs the operator's steps in the dialog, then presses OK; what the boxes said.
template <class Dialog>
QString operate(Dialog &d, const QStringList &steps)
{
    QString said;
    for (const QString &step : steps) {
        const QStringList w = step.split(QLatin1Char(' '));
        QTableWidget *t = d.template findChild<QTableWidget *>(w.value(1));
        QList<int> numbers;
        for (const QString &n : w.mid(2))
            numbers << n.toInt();
        if (w[0] == QLatin1String("text")) { // a line edit, then its text
            d.template findChild<QLineEdit *>(w[1])->setText(w.mid(2).join(QLatin1Char(' ')));
        } else if (w[0] == QLatin1String("ids")) { // a click on the rows of those ids
            clickIds(t, numbers);
        } else if (w[0] == QLatin1String("cell")) { // a click on one cell
            emit t->itemClicked(t->item(numbers[0], numbers[1]));
        } else if (w[0] == QLatin1String("select")) { // rows selected, then a button clicked
            t->setSelectionMode(QAbstractItemView::MultiSelection);
            for (int r : numbers.mid(0, numbers.size() - 1))
                t->selectRow(r);
            t->setCurrentCell(numbers[numbers.size() - 2], 0, QItemSelectionModel::NoUpdate);
            d.template findChild<QPushButton *>(w.last())->click();
        } else if (w[0] == QLatin1String("file")) { // a file from the media browser
            said += answered(
                [&] { d.source()->addPlayFile(w[1].toStdString(), w[1].section(QLatin1Char('/'), -1).toStdString()); });
        } else if constexpr (std::is_same<Dialog, ZnTimerTaskEditDialog>::value) {
            // "time name hh:mm:ss" adds an execution time, "retime row hh:mm:ss" edits one.
            ZnExecTime e;
            e.setName(w[1].toStdString());
            if (w[0] == QLatin1String("retime")) {
                d.form().fExecTimeTable->setCurrentCell(w[1].toInt(), 0);
                d.execTimes()->currentEntry(e);
            }
            e.seconds = QTime(0, 0).secsTo(QTime::fromString(w[2], QStringLiteral("hh:mm:ss")));
            if (w[0] == QLatin1String("retime"))
                d.execTimes()->updateCurrent(e);
            else
                d.execTimes()->addEntry(e);
        }
    }
    return said + answered([&] { d.form().fOkBtn->click(); });
}
// Operates the dialog on the row's steps and checks what it said and wrote.
template <class Dialog>
void checkEdit(Dialog &d, const ZnSsTask &t)
{
    QFETCH(QStringList, steps);
    QFETCH(QString, said);
    QFETCH(QStringList, written);
    const QString boxes = operate(d, steps);
    QVERIFY2(said.isEmpty() ? boxes.isEmpty() : boxes.contains(said), qPrintable(boxes));
    QCOMPARE(d.result() == QDialog::Accepted, !written.isEmpty());
    const bool today = t.StartDate == int(QDateTime(QDate::currentDate(), QTime(0, 0)).toSecsSinceEpoch());
    const QStringList when{QString::number(t.Week), today ? QStringLiteral("today") : QString::number(t.StartDate),
                           QString::number(t.EndDate),
                           t.ExecuteTime.empty() ? QStringLiteral("-") : QString::fromStdString(t.ExecuteTime),
                           QString::number(t.OpenAmp)};
    const QMap<QString, QString> fields{{QStringLiteral("content"), QString::fromStdString(t.SourceContent)},
                                        {QStringLiteral("shown"), columnOf(d.form().fPlayTableWidget, 0)},
                                        {QStringLiteral("terminals"), QString::fromStdString(t.TerminalId)},
                                        {QStringLiteral("when"), when.join(QLatin1Char(' '))}};
    for (const QString &f : written) {
        const QString name = f.section(QLatin1Char('='), 0, 0);
        QCOMPARE(name + QLatin1Char('=') + fields.value(name), f);
    }
}
} // namespace

void TstTaskDialogs::initTestCase()
{
    QVERIFY(startModels(s));
    QVERIFY(SimSession::spinUntil([&] { return !ZnRegionListMgr::instance()->regionList().empty(); }));
}

// What the operator does in a dialog, what it refuses with, and what it writes
// into the task when accepted.
void TstTaskDialogs::edits_data()
{
    QTest::addColumn<bool>("timer"); // else the plan task dialog
    QTest::addColumn<ZnSsTask>("task");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("said");        // by the boxes that opened
    QTest::addColumn<QStringList>("written"); // "field=value"; none: OK refused
    const int file = ZnSsTask::SourceFiles, tts = ZnSsTask::SourceTts;
    const QString terms = QStringLiteral("ids fTerminalTable 10002 50001");
    const char *abc = "/m/a.mp3@#$%/m/b.mp3@#$%/m/c.mp3";
    QTest::newRow("plan: files written back whole")
        << false << task(3, 1, file, "a/b/x.mp3@#$%a/y.mp3") << QStringList() << QString()
        << QStringList{QStringLiteral("content=a/b/x.mp3@#$%a/y.mp3"), QStringLiteral("shown=x.mp3 y.mp3")};
    QTest::newRow("plan: a path holding the separator refused")
        << false << task(3, 1, file, "/m/a.mp3") << QStringList{QStringLiteral("file /mp3/a@#$%b.mp3")}
        << QStringLiteral("@#$%") << QStringList{QStringLiteral("content=/m/a.mp3"), QStringLiteral("shown=a.mp3")};
    QTest::newRow("plan: empty name refused") << false << task(0, 1, tts, "hi") << QStringList()
                                              << QStringLiteral("The name cannot be empty!") << QStringList();
    QTest::newRow("plan: play count 0 refused")
        << false << task(3, 1, tts, "hi") << QStringList{QStringLiteral("text fPlayCountLineEdit 0")}
        << QStringLiteral("Play counts con't be 0!") << QStringList();
    QTest::newRow("plan: capture chosen by any cell of its row")
        << false << task(2, 1, ZnSsTask::SourceCapture, "20002")
        << QStringList{QStringLiteral("cell fCapTableWidget 0 2")} << QString()
        << QStringList{QStringLiteral("content=20001")};
    QTest::newRow("timer: manual task, no dates or times")
        << true << task(0, 2, tts, "hello", {}) << QStringList{terms} << QString()
        << QStringList{QStringLiteral("when=127 0 0 - 0"), QStringLiteral("terminals=10002 50001")};
    QTest::newRow("timer: sdk task without times refused")
        << true << task(7, 4, tts, "hello") << QStringList() << QStringLiteral("请添加执行时间！") << QStringList();
    QTest::newRow("timer: new timer task without times refused")
        << true << task(0, 3, tts, "hello") << QStringList() << QStringLiteral("请添加执行时间！") << QStringList();
    QTest::newRow("timer: times added out of order")
        << true << task(0, 3, tts, "hello")
        << QStringList{QStringLiteral("time B 08:00:00"), QStringLiteral("time A 07:30:00"), terms} << QString()
        << QStringList{QStringLiteral("when=127 today 0 A#$%27000!!!B#$%28800 3"),
                       QStringLiteral("terminals=10002 50001")};
    QTest::newRow("timer: an edited time moves")
        << true << task(0, 3, tts, "hello")
        << QStringList{QStringLiteral("time x 12:00:00"), QStringLiteral("time y 08:30:00"),
                       QStringLiteral("retime 0 13:00:00"), terms}
        << QString() << QStringList{QStringLiteral("when=127 today 0 x#$%43200!!!y#$%46800 3")};
    QTest::newRow("timer: delete first and third")
        << true << task(4, 2, file, abc) << QStringList{QStringLiteral("select fPlayTableWidget 0 2 fPlayListDelBtn")}
        << QString() << QStringList{QStringLiteral("content=/m/b.mp3"), QStringLiteral("shown=b.mp3")};
    QTest::newRow("timer: first up") << true << task(4, 2, file, abc)
                                     << QStringList{QStringLiteral("select fPlayTableWidget 0 fPlayListUpBtn")}
                                     << QString() << QStringList{QStringLiteral("shown=a.mp3 b.mp3 c.mp3")};
    QTest::newRow("timer: last down") << true << task(4, 2, file, abc)
                                      << QStringList{QStringLiteral("select fPlayTableWidget 2 fPlayListDownBtn")}
                                      << QString() << QStringList{QStringLiteral("content=") + QLatin1String(abc)};
    QTest::newRow("timer: second up") << true << task(4, 2, file, abc)
                                      << QStringList{QStringLiteral("select fPlayTableWidget 1 fPlayListUpBtn")}
                                      << QString()
                                      << QStringList{QStringLiteral("content=/m/b.mp3@#$%/m/a.mp3@#$%/m/c.mp3")};
    QTest::newRow("timer: second down") << true << task(4, 2, file, abc)
                                        << QStringList{QStringLiteral("select fPlayTableWidget 1 fPlayListDownBtn")}
                                        << QString() << QStringList{QStringLiteral("shown=a.mp3 c.mp3 b.mp3")};
    // A region's members are checked; clicking it again leaves them checked.
    QTest::newRow("timer: region members checked")
        << true << task(0, 2, tts, "hello", {})
        << QStringList{QStringLiteral("ids fRegionTable 2"), QStringLiteral("ids fRegionTable 2")} << QString()
        << QStringList{QStringLiteral("terminals=10001 10002 10003 60001")};
    QTest::newRow("timer: stored terminals no list offers kept")
        << true << task(9, 2, tts, "x", {10001, 77777, 88888})
        << QStringList{QStringLiteral("ids fTerminalTable 88888")} << QString()
        << QStringList{QStringLiteral("terminals=10001 77777")};
}

void TstTaskDialogs::edits()
{
    QFETCH(bool, timer);
    QFETCH(ZnSsTask, task);
    if (timer) {
        ZnTimerTaskEditDialog d(&task);
        QCOMPARE(d.form().fNameEdit->text(), task.Id ? QStringLiteral("Task") : QStringLiteral("新建任务"));
        QCOMPARE(d.form().fStartTimeGroupBox->isHidden(), task.SourceCategory == 2);
        checkEdit(d, task);
    } else {
        ZnPlanTaskEditDialog d(&task);
        checkEdit(d, task);
    }
}

void TstTaskDialogs::execTimeNames_data()
{
    QTest::addColumn<QString>("old");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // "refused" when OK is refused
    QTest::newRow("32 two-byte characters cut to 15")
        << QString() << QString(32, QChar(0x00e9)) << QString(15, QChar(0x00e9));
    QTest::newRow("32 three-byte characters cut to 10")
        << QString() << QString(32, QChar(0x4e2d)) << QString(10, QChar(0x4e2d));
    QTest::newRow("cleared name keeps the old one") << QStringLiteral("old") << QString() << QStringLiteral("old");
    QTest::newRow("entry separator refused") << QString() << QStringLiteral("a!!!b") << QStringLiteral("refused");
    QTest::newRow("time separator refused") << QString() << QStringLiteral("a#$%b") << QStringLiteral("refused");
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
    const QString said = answered([&] { d.form().fOkBtn->click(); });
    QCOMPARE(said.contains(QStringLiteral("#$%")), stored == QLatin1String("refused"));
    QCOMPARE(d.isVisible(), stored == QLatin1String("refused"));
    d.entry(e);
    if (!d.isVisible())
        QCOMPARE(QString::fromUtf8(e.name), stored);
}

// Two minutes on, to the minute, past midnight as well.
void TstTaskDialogs::defaultTime()
{
    QCOMPARE(ZnExecTimeDialog::defaultTime(QTime(10, 58, 40)), QTime(11, 1));
    QCOMPARE(ZnExecTimeDialog::defaultTime(QTime(23, 59, 10)), QTime(0, 2));
}

void TstTaskDialogs::speechTextLimit_data()
{
    QTest::addColumn<int>("before");   // 'a' characters already there
    QTest::addColumn<int>("at");       // cursor position of the insertion
    QTest::addColumn<int>("inserted"); // 'b' characters
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("counter");
    const QString a(50, QLatin1Char('a')), b(50, QLatin1Char('b'));
    QTest::newRow("250 pasted") << 0 << 0 << 250 << b + b + b + b << QStringLiteral("0/200");
    QTest::newRow("into the middle of 200") << 200 << 100 << 5 << a + a + a + a << QStringLiteral("0/200");
    QTest::newRow("fits") << 100 << 50 << 30 << a + b.left(30) + a << QStringLiteral("70/200");
}

void TstTaskDialogs::speechTextLimit()
{
    QFETCH(int, before);
    QFETCH(int, at);
    QFETCH(int, inserted);
    ZnSsTask t = task(1, 1, ZnSsTask::SourceTts, std::string(size_t(before), 'a').c_str());
    ZnPlanTaskEditDialog d(&t);
    QTextEdit *edit = d.form().fTtsContentTextEdit;
    QTextCursor c = edit->textCursor();
    c.setPosition(at);
    edit->setTextCursor(c);
    edit->insertPlainText(QString(inserted, QLatin1Char('b')));
    QTEST(edit->toPlainText(), "kept");
    QTEST(d.form().fSizeLabel->text(), "counter");
}

QTEST_MAIN(TstTaskDialogs)
#include "tst_taskdialogs.moc"
