#include "../tasks/FileServiceLink.h"
#include "DialogSteps.h"
#include "PageHolder.h"
#include "QtSchemeInfo.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicGroupListMgr.h"
#include "ZnPlanTaskMgrForm.h"
#include "ZnRegionListMgr.h"
#include "ZnRegionMgrForm.h"
#include "ZnSsTaskMgrForm.h"
#include "ZnTimerTaskMgrForm.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QtTest>

namespace {

// A record made new by the operator: the button that opens its dialog, the
// fields the dialog opens with ("name=value", ';' between them; a dialog opened
// from it follows after " >> "), what is typed before OK (as the fields; a bare
// name clicks that button, which may open the next dialog; " >> " between the
// dialogs), and the change request that reached the server ("LABEL body").
//
// Only what a new record cannot do without is typed (a name, a terminal, a
// speech text in place of a play file, an execution time taken as it opens);
// every other field goes on the wire as it opened. "%new" is an id the page drew
// (the largest it holds plus 1 to 10), "%date" today, "%midnight" its start in
// seconds, "%soon" three minutes after the current minute and "%soonsecs" the
// same in seconds of the day.
struct NewRecord
{
    const char *tag;
    const char *page, *button, *opened, *typed, *sent;
};

const char *const kTaskOpened = "fVolSpinBox=75;fVolSlider=75;fPlayCountCheckBox=on;fPlayCountLineEdit=1;"
                                "fPlayTimeCheckBox=off;fPlayTimeEdit=00:01:00 (disabled);"
                                "fTypeComboBox=File Play Broadcast;fSizeLabel=200/200";

const NewRecord kNewRecords[] = {
    {"microphone group: ring time 60, the first rule, no member", "group", "fNewBtn",
     "fNameEdit=;timeSpinBox=60;ruleComboBox=All Ring;fMicTableWidget=", "fNameEdit=Desk",
     "POST CallService {\"Action\":\"Add\",\"CallWaitRule\":\"1\",\"Dsk81Id\":\"\",\"Id\":\"%new\","
     "\"Name\":\"Desk\",\"RingTime\":\"60\"}"},
    {"region: no terminal", "region", "fNewBtn", "fNameEdit=;fTableWidget=", "fNameEdit=Hall",
     "POST BroadRegion {\"Action\":\"Add\",\"Id\":\"%new\",\"Name\":\"Hall\",\"TerminalId\":\"\"}"},
    {"plan task: no name, volume 75, once, no timer plan", "plan", "fNewBtn",
     "fNameEdit=", "fNameEdit=Bell;fTypeComboBox=2;fTtsContentTextEdit=hi",
     "POST SoundSource "
     "{\"Action\":\"Add\",\"Duration\":\"0\",\"EndDate\":\"0\",\"ExecuteTime\":\"\",\"Id\":\"0\",\"Name\":\"Bell\","
     "\"OpenAmp\":\"0\",\"PlayTimes\":\"1\",\"PlayVol\":\"75\",\"SourceCategory\":\"1\",\"SourceContent\":\"hi\","
     "\"SourceType\":\"3\",\"StartDate\":\"0\",\"TerminalId\":\"\",\"TimerPlanId\":\"-1\",\"Week\":\"0\"}"},
    {"manual task: its name, every day, no dates or times", "manual", "fNewBtn",
     "fNameEdit=新建任务;fPreOpenAmpSpinBox=3 (disabled);fStartTimeGroupBox=hidden;fTerminalTable=",
     "fTerminalTable=10001;fTypeComboBox=2;fTtsContentTextEdit=hi",
     "POST SoundSource "
     "{\"Action\":\"Add\",\"Duration\":\"0\",\"EndDate\":\"0\",\"ExecuteTime\":\"\",\"Id\":\"0\",\"Name\":\"新建任务\","
     "\"OpenAmp\":\"0\",\"PlayTimes\":\"1\",\"PlayVol\":\"75\",\"SourceCategory\":\"2\",\"SourceContent\":\"hi\","
     "\"SourceType\":\"3\",\"StartDate\":\"0\",\"TerminalId\":\"10001\",\"TimerPlanId\":\"-1\",\"Week\":\"127\"}"},
    {"timer task and its execution time: the plan shown, from today, every day, pre-power 3", "timer", "fNewBtn",
     "fNameEdit=新建任务;fPreOpenAmpSpinBox=3;fStartDateEdit=%date;fStopDateCb=off;fStopDateEdit=%date (disabled);"
     "fMondayCb=on;fTuesdayCb=on;fWednesdayCb=on;fThursdayCb=on;fFridayCb=on;fSaturdayCb=on;fSundayCb=on;"
     "fExecTimeTable=;fTerminalTable= >> fNameEdit=执行时间;fExecTimeEdit=%soon",
     "fTimeAddBtn;fTerminalTable=10001;fTypeComboBox=2;fTtsContentTextEdit=hi >> ",
     "POST SoundSource "
     "{\"Action\":\"Add\",\"Duration\":\"0\",\"EndDate\":\"0\",\"ExecuteTime\":\"执行时间#$%%soonsecs\",\"Id\":\"0\","
     "\"Name\":\"新建任务\",\"OpenAmp\":\"3\",\"PlayTimes\":\"1\",\"PlayVol\":\"75\",\"SourceCategory\":\"3\","
     "\"SourceContent\":\"hi\",\"SourceType\":\"3\",\"StartDate\":\"%midnight\",\"TerminalId\":\"10001\","
     "\"TimerPlanId\":\"1\",\"Week\":\"127\"}"},
    {"timer plan: enabled, id -1 until the server names it", "plan panel", "fSchNewBtn",
     "fSchemeNameLe=;fSchemeCommentLe=", "fSchemeNameLe=Night",
     "POST TimerPlan {\"Action\":\"Add\",\"Comment\":\"\",\"Enable\":\"1\",\"Id\":\"-1\",\"Name\":\"Night\"}"},
};

// The clock's values a row may name, read at one moment.
struct Moment
{
    QString date, soon, midnight, soonSecs;
};

Moment now()
{
    const QDateTime t = QDateTime::currentDateTime();
    const QTime soon = QTime(t.time().hour(), t.time().minute()).addSecs(180);
    return {t.date().toString(QStringLiteral("yyyy-MM-dd")), soon.toString(QStringLiteral("hh:mm:ss")),
            QString::number(QDateTime(t.date(), QTime(0, 0)).toSecsSinceEpoch()),
            QString::number(QTime(0, 0).secsTo(soon))};
}

QString at(QString text, const Moment &m)
{
    return text.replace(QStringLiteral("%soonsecs"), m.soonSecs)
        .replace(QStringLiteral("%soon"), m.soon)
        .replace(QStringLiteral("%midnight"), m.midnight)
        .replace(QStringLiteral("%date"), m.date);
}

} // namespace

Q_DECLARE_METATYPE(const NewRecord *)

// What a record the operator makes new holds: the starting values its dialog
// opens with and what goes to the server when only the fields a new record
// cannot do without are filled in, read off the real pages against the
// simulated server and file service.
class TstNewRecords : public QObject
{
    Q_OBJECT

    SimSession s;
    FileServiceLink files;
    PageHolder pages;

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        ZnModalGuard::install();
        QVERIFY(startModels(s));
        QVERIFY(files.start());
        QVERIFY(fetchPageLists());
        QTRY_VERIFY(!ZnRegionListMgr::instance()->regionList().empty());
        QTRY_VERIFY(!ZnMicGroupListMgr::instance()->groupList().empty());
        pages.add<ZnMicGroupInfoForm>("group");
        pages.add<ZnRegionMgrForm>("region");
        pages.add<ZnPlanTaskMgrForm>("plan");
        pages.add<ZnSsTaskMgrForm>("manual", 2);
        auto *timer = pages.add<ZnTimerTaskMgrForm>("timer", 3);
        pages.addPart(QStringLiteral("plan panel"), timer->schemePanel());
        // New timer tasks go to the plan the page shows: the first one.
        QTRY_COMPARE(timer->schemePanel()->table()->rowCount(), 2);
    }
    void init() { s.sim.clearRules(); }

    void startingValues_data() { addCases(kNewRecords); }
    void startingValues()
    {
        QFETCH(const NewRecord *, c);
        const QString page = QLatin1String(c->page);
        const QStringList opened = QString::fromUtf8(c->opened).split(QStringLiteral(" >> "));
        const QStringList typed = QString::fromUtf8(c->typed).split(QStringLiteral(" >> "));
        const bool task =
            page == QLatin1String("plan") || page == QLatin1String("manual") || page == QLatin1String("timer");
        const int largest = page == QLatin1String("group")    ? ZnMicGroupListMgr::instance()->maxGroupId()
                            : page == QLatin1String("region") ? ZnRegionListMgr::instance()->maxRegionId()
                                                              : 0;
        // Each dialog as it opened, read before anything is typed.
        QStringList seen;
        std::vector<ModalChain::Action> steps;
        for (int i = 0; i < typed.size(); ++i) {
            const QString fields =
                (i == 0 && task ? QLatin1String(kTaskOpened) + QLatin1Char(';') : QString()) + opened.value(i);
            steps.push_back([&seen, fields, step = typed.at(i)](QWidget *w) {
                seen << fieldsOf(w, fields);
                typeAndConfirm(step)(w);
            });
        }
        // One step more than the dialogs: a box after them (a refusal) is counted instead of hanging.
        steps.push_back(ModalChain::confirm());
        const size_t mark = s.sim.requests().size();
        const Moment before = now();
        const QStringList dialogs =
            answering(steps, [&] { ModalChain::click(QLatin1String(c->button))(pages.at(page)); });
        QVERIFY(s.settle());
        const Moment after = now();
        QCOMPARE(dialogs.size(), typed.size());

        QString sent = changesSince(s.sim, mark);
        const QRegularExpressionMatch drawn = QRegularExpression(QStringLiteral("\"Id\":\"(\\d+)\"")).match(sent);
        if (drawn.hasMatch() && drawn.captured(1).toInt() > largest && drawn.captured(1).toInt() <= largest + 10)
            sent.replace(drawn.capturedStart(1), drawn.capturedLength(1), QStringLiteral("%new"));
        // A minute (or a day) may turn while the dialog is open: the values of either moment.
        const auto expected = [&](const Moment &m) {
            QStringList fields;
            for (int i = 0; i < opened.size(); ++i)
                fields << (i == 0 && task ? QLatin1String(kTaskOpened) + QLatin1Char(';') : QString())
                              + at(opened.at(i), m);
            return fields;
        };
        const Moment &m = seen == expected(before) && sent == at(QString::fromUtf8(c->sent), before) ? before : after;
        QCOMPARE(seen, expected(m));
        QCOMPARE(sent, at(QString::fromUtf8(c->sent), m));
    }

    void cleanupTestCase()
    {
        pages.clear();
        files.stop();
    }
};

QTEST_MAIN(TstNewRecords)
#include "tst_newrecords.moc"
