// Every list model's requests against a line that stays busy: how often each asks
// and the pause it makes after each try. The line is held by an unanswered
// keep-alive; every try takes a CSeq without sending, so the gap between that
// keep-alive's CSeq and the next one's is the number of tries.
#include "../consoles/ModelSim.h"
#include "BookRequest.h"
#include "ServiceHub.h"
#include "ZnCapListMgr.h"
#include "ZnClock.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnD82ListMgr.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmTrigger.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"
#include "ZnPauseLog.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRegionListMgr.h"
#include "ZnSchemeList.h"
#include "ZnServerConfigMgr.h"
#include "ZnServiceLogMgr.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTtsListMgr.h"

#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <functional>
#include <map>

namespace {
// The connection's time. The receive thread's stands still unless the test moves
// it, so no keep-alive goes out and no loss is counted meanwhile; while racing, each
// look of the GUI thread is 3 s after its last, so every wait for a free line ends
// after one step.
class RacingClock : public ZnClock
{
public:
    RacingClock() : m_gui(ZnClock::now()), m_receive(m_gui.load()) { ZnClock::install(this); }
    ~RacingClock() override { ZnClock::install(nullptr); }

    int64_t seconds() const override
    {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            return m_receive.load();
        return racing ? m_gui += 3 : m_gui.load();
    }
    void moveReceive(int64_t seconds) { m_receive += seconds; }

    std::atomic<bool> racing{false};

private:
    mutable std::atomic<int64_t> m_gui;
    std::atomic<int64_t> m_receive;
};

template <class T>
T terminal(int id, const char *type)
{
    T t;
    t.id = id;
    t.type = type;
    t.name = "T" + std::to_string(id);
    return t;
}

ZnBookRequest book(int type, int id, const char *text = "")
{
    ZnBookRequest r;
    r.type = type;
    r.terminalId = id;
    r.text = text;
    return r;
}
} // namespace

class TstBusyRetries : public QObject
{
    Q_OBJECT

    struct Call
    {
        std::function<void()> prepare; // with a free line
        std::function<void()> run;     // with the line busy
    };

    SimSession s;
    std::unique_ptr<RacingClock> clock;
    std::map<QString, Call> calls;

    ZnManageCenter *centre() { return s.centre.get(); }

    // The keep-alive that holds the line: its CSeq, or -1.
    int holdLine()
    {
        const size_t before = s.requests("ONLINE").size();
        s.sim.addRule(ZnSimRule::make("ONLINE", ZnSimRule::Withhold, "", 0, 1));
        clock->moveReceive(ZnLoginNetHandle::kInterval + 1);
        if (!QTest::qWaitFor(
                [&] { return s.centre->pendingCount() == 1 && s.requests("ONLINE").size() == before + 1; }))
            return -1;
        return s.requests("ONLINE").back().cseq;
    }
    // Frees the line; the CSeq of the next keep-alive, or -1.
    int freeLine()
    {
        s.sim.releaseHeld();
        if (!QTest::qWaitFor([&] { return s.centre->pendingCount() == 0; }))
            return -1;
        const size_t before = s.requests("ONLINE").size();
        clock->moveReceive(ZnLoginNetHandle::kInterval + 1);
        if (!QTest::qWaitFor(
                [&] { return s.requests("ONLINE").size() == before + 1 && s.centre->pendingCount() == 0; }))
            return -1;
        return s.requests("ONLINE").back().cseq;
    }

    void add(const char *name, std::function<void()> run)
    {
        calls[QLatin1String(name)] = Call{[] {}, std::move(run)};
    }
    // A call of a model made beforehand, with a free line.
    void add(std::function<void()> made, const char *name, std::function<void()> run)
    {
        calls[QLatin1String(name)] = Call{std::move(made), std::move(run)};
    }

private slots:
    void initTestCase()
    {
        clock.reset(new RacingClock);
        QVERIFY(startModels(s));
        // The consoles and devices the queries below name.
        QSignalSpy mics(ZnMicListMgr::instance(), &ZnMicListMgr::gotMicList);
        QCOMPARE(ZnMicListMgr::instance()->requestMicList(), 0);
        QVERIFY(mics.count() || mics.wait());
        QSignalSpy d82s(ZnD82ListMgr::instance(), &ZnD82ListMgr::gotD82List);
        QCOMPARE(ZnD82ListMgr::instance()->requestD82List(), 0);
        QVERIFY(d82s.count() || d82s.wait());

        // The models that ask for their list on first use are made inside the busy
        // line by their getter's row; a change of theirs has them made beforehand.
        const auto d72 = [] { ZnD72ListMgr::instance(); };
        const auto d74 = [] { ZnD74ListMgr::instance(); };
        const auto tts = [] { ZnTtsListMgr::instance(); };
        const auto groups = [] { ZnMicGroupListMgr::instance(); };
        const auto regions = [] { ZnRegionListMgr::instance(); };
        const auto tasks = [] { ZnSsTaskDataMgr::instance(); };
        const ZnMic d72Console = terminal<ZnMic>(50001, "DSK72"), d74Console = terminal<ZnMic>(60001, "DSK74");
        add("d72 list", d72);
        add(d72, "d72 change", [=] { ZnD72ListMgr::instance()->modifyD72(d72Console); });
        add(d72, "d72 removal", [=] { ZnD72ListMgr::instance()->removeD72(d72Console); });
        add(d72, "d72 button calls", [=] { ZnD72ListMgr::instance()->requestBtnCalls(d72Console); });
        add(d72, "d72 button call change", [] {
            ZnMicBtnCall c;
            c.terminalId = 50001;
            ZnD72ListMgr::instance()->setBtnCalls(std::vector<ZnMicBtnCall>(4, c));
        });
        add("d74 list", d74);
        add(d74, "d74 change", [=] { ZnD74ListMgr::instance()->modifyD74(d74Console, 0); });
        add(d74, "d74 removal", [=] { ZnD74ListMgr::instance()->removeD74(d74Console); });
        add(d74, "d74 button calls", [=] { ZnD74ListMgr::instance()->requestBtnCalls(d74Console); });
        add(d74, "d74 button call change", [] {
            ZnMicBtnCall c;
            c.terminalId = 60001;
            ZnD74ListMgr::instance()->setBtnCalls(c);
        });
        add("tts list", tts);
        add(tts, "tts change", [] { ZnTtsListMgr::instance()->updateTts(terminal<ZnTts>(40001, "TTS71")); });
        add(tts, "tts removal", [] { ZnTtsListMgr::instance()->deleteTts(terminal<ZnTts>(40001, "TTS71")); });
        add("group list", groups);
        add(groups, "group change", [] {
            ZnMicGroup g;
            g.groupId = 1;
            g.name = "G";
            ZnMicGroupListMgr::instance()->modifyGroup(g, 5);
        });
        add("region list", regions);
        add(regions, "region change", [] {
            ZnRegion r;
            r.regionId = 1;
            r.name = "R";
            ZnRegionListMgr::instance()->modifyRegion(r, 5);
        });
        add("task list", tasks);
        add(tasks, "task change", [] {
            ZnSsTask t;
            t.Id = 1;
            t.Name = "T";
            ZnSsTaskDataMgr::instance()->commitTask(&t, 1);
        });
        add("plan list", [] {
            std::list<ZnScheme> held;
            ZnSchemeList::instance()->requestSchemes(1, held);
        });
        const auto plan = [](int (ZnSchemeList::*change)(ZnScheme &, int)) {
            return [change] {
                ZnScheme p;
                p.id = 2;
                p.name = "P";
                (ZnSchemeList::instance()->*change)(p, 0);
            };
        };
        add("plan add", plan(&ZnSchemeList::addScheme));
        add("plan change", plan(&ZnSchemeList::modifyScheme));
        add("plan switch", plan(&ZnSchemeList::toggleScheme));
        add("plan removal", plan(&ZnSchemeList::deleteScheme));

        ZnMicListMgr *dsk81 = ZnMicListMgr::instance();
        const ZnMic desk = terminal<ZnMic>(70001, "Dsk81");
        add("dsk81 list", [=] { dsk81->requestMicList(); });
        add("dsk81 console", [=] { dsk81->requestMic(centre(), 70001); });
        add("dsk81 change", [=] { dsk81->modifyMic(desk); });
        add("dsk81 removal", [=] { dsk81->deleteMic(desk); });
        add("dsk81 book", [=] {
            const ZnBookRequest r = book(272, 70001);
            dsk81->requestMicBooks(&r);
        });
        add("dsk81 book change", [=] {
            const ZnBookRequest r = book(273, 70001, "10001");
            dsk81->setMicBooks(&r);
        });
        ZnD82ListMgr *d82 = ZnD82ListMgr::instance();
        const ZnD82 device = terminal<ZnD82>(80001, "D82");
        add("d82 list", [=] { d82->requestD82List(); });
        add("d82 device", [=] { d82->requestD82(centre(), 80001); });
        add("d82 change", [=] { d82->modifyD82(&device); });
        add("d82 removal", [=] { d82->deleteD82(device); });
        add("d82 book", [=] {
            const ZnBookRequest r = book(282, 80001);
            d82->requestD82Books(&r);
        });
        add("d82 book change", [=] {
            const ZnBookRequest r = book(284, 80001, "70001");
            d82->setD82Books(&r);
        });

        ZnFAlarmListMgr *alarms = ZnFAlarmListMgr::instance();
        const ZnFAlarm alarm = terminal<ZnFAlarm>(30001, "FR");
        add("fire alarm list", [=] { alarms->registerAndWait(); });
        add("fire alarm change", [=] { alarms->modifyFAlarm(alarm); });
        add("fire alarm removal", [=] { alarms->deleteFAlarm(alarm); });
        add("fire alarm trigger", [=] {
            ZnFAlarmTrigger t;
            t.id = 30001;
            t.channel = 1;
            alarms->setTrigger(t);
        });

        ZnPlayTermListMgr *amps = ZnPlayTermListMgr::instance();
        const ZnTerminal amp = terminal<ZnTerminal>(10001, "IP");
        add("amp list", [=] { amps->requestPlayTermList(); });
        add("amp removal", [=] { amps->removeTerminal(amp); });
        add("amp power", [=] { amps->setAmpPower(10001, "", true); });
        add("amp change", [=] { amps->modifyTerminal(amp); });
        add("amp speaker check", [=] { amps->speakerCheck(amp); });
        add("amp config", [=] { amps->setPlayTermConfig(amp); });
        add("amp whole record", [=] { amps->setTerminal(amp); });

        const ZnCap cap = terminal<ZnCap>(20001, "CAP");
        add("cap list", [this] { gCapList.waitReady(centre()); });
        add("cap removal", [this, cap] { gCapList.removeCap(centre(), cap); });
        add("cap change", [this, cap] { gCapList.modifyCap(centre(), cap); });

        ZnServiceLogMgr *logs = ZnServiceLogMgr::instance();
        add("log count", [=] { logs->requestLogs(ZnServiceLogMgr::TalkLogCount, 0); });
        add("log page", [=] { logs->requestLogs(ZnServiceLogMgr::TermLogPage, 100); });

        ZnServerConfigMgr *config = ZnServerConfigMgr::instance();
        add("settings query", [=] { config->requestSystemParameter(); });
        add("log server query", [=] {
            std::string host;
            config->requestLogServer(host);
        });
        add("setting change", [=] { config->setParameter("Hall", 173); });
        add("voice time-out change", [=] { config->modifyAdmin("30"); });
        add("restore", [=] { config->backupData("0123456789abcdef0123456789abcdef", "db.bak", 182); });
    }

    // Tries and the pause after each, as each model's rule gives them: a kind that
    // asks once; one that asks again at once; one that pauses 10 ms after a list,
    // book or log query and 100 ms after a change. A line that stays busy ends the
    // tries after 10, or 50 for the capture units, the log pages and the settings.
    void triesWhileBusy_data()
    {
        QTest::addColumn<int>("tries");
        QTest::addColumn<int>("pause"); // ms after each try; 0 none
        const auto row = [](const char *call, int tries, int pause) { QTest::newRow(call) << tries << pause; };
        // The getters that ask on first use come first: nothing made them before.
        row("d72 list", 1, 0);
        row("d74 list", 10, 0);
        row("tts list", 10, 0);
        row("group list", 10, 0);
        row("region list", 10, 0);
        row("task list", 10, 0);
        row("plan list", 10, 10);

        row("d72 change", 1, 0);
        row("d72 removal", 1, 0);
        row("d72 button calls", 1, 0);
        row("d72 button call change", 1, 0);
        row("d74 change", 1, 0);
        row("d74 removal", 1, 0);
        row("d74 button calls", 1, 0);
        row("d74 button call change", 1, 0);
        row("tts change", 1, 0);
        row("tts removal", 1, 0);
        row("group change", 1, 0);
        row("region change", 1, 0);
        row("task change", 1, 0);
        row("plan add", 1, 0);
        row("plan change", 1, 0);
        row("plan switch", 1, 0);
        row("plan removal", 1, 0);

        row("dsk81 list", 10, 10);
        row("dsk81 console", 10, 100);
        row("dsk81 change", 10, 100);
        row("dsk81 removal", 10, 100);
        row("dsk81 book", 10, 10);
        row("dsk81 book change", 1, 100);
        row("d82 list", 10, 10);
        row("d82 device", 10, 100);
        row("d82 change", 10, 100);
        row("d82 removal", 10, 100);
        row("d82 book", 10, 10);
        row("d82 book change", 1, 100);

        row("fire alarm list", 10, 10);
        row("fire alarm change", 10, 100);
        row("fire alarm removal", 10, 100);
        row("fire alarm trigger", 1, 100);

        row("amp list", 10, 10);
        row("amp removal", 10, 100);
        row("amp power", 10, 100);
        row("amp change", 10, 100);
        row("amp speaker check", 10, 100);
        row("amp config", 10, 100);
        row("amp whole record", 10, 100);

        row("cap list", 50, 100);
        row("cap removal", 1, 0);
        row("cap change", 1, 0);

        row("log count", 50, 10);
        row("log page", 50, 10);

        row("settings query", 50, 100);
        row("log server query", 50, 100);
        row("setting change", 50, 100);
        row("voice time-out change", 50, 100);
        row("restore", 50, 100);
    }
    void triesWhileBusy()
    {
        QFETCH(int, tries);
        QFETCH(int, pause);
        const auto call = calls.find(QLatin1String(QTest::currentDataTag()));
        QVERIFY(call != calls.end());
        call->second.prepare();
        const int held = holdLine();
        QVERIFY(held > 0);
        std::vector<int> pauses;
        {
            ZnPauseLog paused;
            clock->racing = true;
            call->second.run();
            clock->racing = false;
            pauses = paused.pauses();
        }
        const int next = freeLine();
        QVERIFY(next > 0);
        QCOMPARE(next - held - 1, tries);
        // As text, so a failure shows the pauses made.
        const auto text = [](const std::vector<int> &ms) {
            QStringList out;
            for (int m : ms)
                out << QString::number(m);
            return out.join(QLatin1Char(' '));
        };
        QCOMPARE(text(pauses), text(std::vector<int>(size_t(pause ? tries : 0), pause)));
    }
};

QTEST_GUILESS_MAIN(TstBusyRetries)
#include "tst_busyretries.moc"
