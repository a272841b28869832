#include "PageSim.h"
#include "ZnCapInfoForm.h"
#include "ZnD72InfoForm.h"
#include "ZnD72ListMgr.h"
#include "ZnD74InfoForm.h"
#include "ZnD74ListMgr.h"
#include "ZnD81SettingDialog.h"
#include "ZnD82InfoForm.h"
#include "ZnD82ListMgr.h"
#include "ZnD82SettingDialog.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnFAlarmListMgr.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicInfoForm.h"
#include "ZnMicListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnPlayerInfoForm.h"
#include "ZnRegionListMgr.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTtsInfoForm.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QTranslator>
#include <QtTest>

#include <algorithm>
#include <map>

namespace {

// Each page and what it shows and tells. Its family holds N1 (online), N2 and
// N3 (offline) under ids base+1 to base+3 (groups 1 to 3). order: the rows as
// shown; kept: those left by the delete; told: the messages after its question;
// refusal: the message for a refused rename; then: the button of the window
// after that message (the dialog again, or the group page's "Edit Error!").
struct PageCase
{
    const char *page, *table, *type;
    int base;
    const char *order, *kept, *told, *refusal, *then;
};
const char *const kNotOffline = "without offline!/in use";
// A refusal with the server's reason: the reason, then the page's own text.
const char *const kFailed = "without offline!/in use/Delete Error!";
const PageCase kPages[] = {
    {"d82", "d82", "8", 80000, "80001 80002 80003", "80001 80003", kNotOffline, "设置错误！", "fCancelBtn"},
    {"d72", "dsk72", "2", 50000, "50003 50002 50001", "50002 50001", kFailed, "Setting Error!", ""},
    {"d74", "dsk74", "4", 60000, "60003 60002 60001", "60002 60001", kFailed, "Setting Error!", ""},
    {"d81", "dsk81", "3", 70000, "70001 70002 70003", "70001 70003", kNotOffline, "Setting Error!", "fCancelBtn"},
    {"tts", "tts71", "TTS71", 40000, "40003 40002 40001", "40002 40001", kFailed, "Setting Error!", ""},
    {"cap", "capd73", "CAP", 20000, "20003 20002 20001", "20002 20001", kFailed, "Setting Error!", ""},
    {"player", "ipamp", "IP", 10000, "10001 10002 10003", "10001 10003", kFailed, "Setting Error!", ""},
    {"falarm", "firealarm", "FR", 30000, "30003 30002 30001", "30002 30001", kNotOffline, "设置错误！", "fCancelBtn"},
    {"group", "callservergroup", "", 0, "3 2 1", "1", "Delete Error!", "Setting Error!", "ConfirmButton"},
};

// Each book as read, one edit, what OK sends, and the book read back by the
// next dialog.
struct BookCase
{
    const char *tag, *book, *key,
        *fail;         // the request, its field, the query that fails
    QList<int> clicks; // rows clicked (monitor, region); tasks added, moved up when
                       // already chosen, removed when negative (sources)
    const char *read, *sent,
        *again; // shown, sent ("-": nothing), shown by the next dialog
    // The book the server holds instead of the usual one: "type_id" (monitors,
    // the type as the server's row writes it) or ids (regions, sources), in the
    // server's order.
    const char *stored = nullptr;
    // The boxes OK shows, joined by " / ".
    const char *told = "";
};
// Told for a monitor book that would lose an entry the text cannot name.
#define UNWRITABLE(ids)                                                                                                \
    "Tips|The monitor list holds terminals of a type that cannot be written back (ID " ids                             \
    "); the monitor list was not changed."
#define UNWRITABLE_CONTACTS(ids)                                                                                       \
    "Tips|The contact list holds terminals of a type that cannot be written back (ID " ids                             \
    "); the contact list was not changed."
// Told for a book that would change an entry whose id is no number the console
// keeps (each named as stored), beside any of a family the text cannot name.
#define UNREADABLE(list, items, ids)                                                                                   \
    "Tips|The " list " holds " items " that cannot be written back (ID " ids "); the " list " was not changed."

const BookCase kBooks[] = {
    {"monitor untouched", "D81MonitorBook", "Monitor", "", {}, "IP_10001", "-", ""},
    {"monitor: a console and a speaker, each row with its record's type",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001, 10002},
     "IP_10001",
     "Dsk74_60001 IpAmp_10001 IpAmp_10002",
     "4_60001 IP_10001 IP_10002"},
    {"monitor not read", "D81MonitorBook", "Monitor", "FixMonitorList", {}, "", "-", ""},
    // No row lists 999, 201 or 998 (a D82 device): after a changed tick they go
    // back, as the server had them, after the checked rows.
    {"monitor: unlisted ones kept in the server's order after a changed tick",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001},
     "2_50001 4_60002",
     "Dsk72_50001 Dsk74_60001 Dsk74_60002 IpAmp_999 Dsk72_201 D82_998",
     "2_50001 4_60001 4_60002",
     "6_999 2_50001 2_201 4_60002 8_998"},
    {"monitor: an unlisted D82 device goes back as D82 beside a changed tick",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001},
     "2_50001",
     "Dsk72_50001 Dsk74_60001 D82_80002",
     "2_50001 4_60001",
     "2_50001 8_80002"},
    // A server that keeps the word the text named the family by.
    {"monitor: an unlisted entry stored by its word goes back with that word",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001},
     "2_50001",
     "Dsk72_50001 Dsk74_60001 D82_80003 IpAmp_997",
     "2_50001 4_60001",
     "2_50001 D82_80003 IpAmp_997"},
    // Ticked and unticked: sent, and every entry goes back in its family and place.
    {"monitor: a book ticked back to as read goes back as read",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001, 60001},
     "2_50001",
     "Dsk72_50001 D82_80002 D82_80003 IpAmp_999",
     "2_50001",
     "2_50001 8_80002 D82_80003 6_999"},
    // No word of the text names type 0 or 77: written, the entry would be
    // dropped or filed in another family, so the changed book stays unsent.
    {"monitor: an unlisted entry of type 0 holds a changed book back, told",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001},
     "2_50001",
     "-",
     "",
     "2_50001 0_998",
     UNWRITABLE("998")},
    {"monitor: unlisted entries of an unknown type (77) and none hold a changed book back, told",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001},
     "2_50001",
     "-",
     "",
     "77_996 2_50001 8_80002 _995",
     UNWRITABLE("996, 995")},
    // Written back by its number, a word, an empty id or one beyond int would
    // name another terminal (D82_0, D82_2147483647).
    {"monitor: unlisted entries whose ids are no numbers hold a changed book back, told",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001},
     "2_50001",
     "-",
     "",
     "8_abc 2_50001 8_ 8_99999999999",
     UNREADABLE("monitor list", "terminals", "\"abc\", \"\", \"99999999999\"")},
    {"monitor: an unreadable id beside an entry of type 0: both named, told once",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001},
     "2_50001",
     "-",
     "",
     "0_998 2_50001 6_x1",
     UNREADABLE("monitor list", "terminals", "998, \"x1\"")},
    {"monitor: an unlisted entry of type 0 left alone: nothing sent, nothing told",
     "D81MonitorBook",
     "Monitor",
     "",
     {},
     "2_50001",
     "-",
     "",
     "0_998 2_50001"},
    // The row shows it, checked: the operator sees it, the row's rule writes it.
    {"monitor: an entry of type 0 a row shows is written by the row's family",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001},
     "2_50001 2_50002",
     "Dsk72_50001 Dsk72_50002 Dsk74_60001",
     "2_50001 2_50002 4_60001",
     "2_50001 0_50002"},
    {"monitor: unlisted ones kept with every row unchecked",
     "D81MonitorBook",
     "Monitor",
     "",
     {50001},
     "2_50001",
     "Dsk74_401",
     "",
     "4_401 2_50001"},
    {"sources untouched: sent all the same", "D81SoundSource", "SoundSource", "", {}, "C", "13", "C"},
    {"sources untouched: one not offered sent back", "D81SoundSource", "SoundSource", "", {}, "C", "12 13", "C"},
    {"sources: one added", "D81SoundSource", "SoundSource", "", {11}, "C", "13 11", "C A"},
    {"sources not read", "D81SoundSource", "SoundSource", "FixSsTaskList", {}, "", "-", ""},
    // 12 broadcasts a microphone, 14 is a manual task, no task has id 99: the
    // dialog shows none of them, so each stays after the source it followed.
    {"sources: one added, those never offered keep their places",
     "D81SoundSource",
     "SoundSource",
     "",
     {11},
     "C",
     "12 13 14 99 11",
     "C A",
     "12 13 14 99"},
    {"sources: the one before a never offered one removed, it keeps its place",
     "D81SoundSource",
     "SoundSource",
     "",
     {-11},
     "A C",
     "12 13",
     "C",
     "11 12 13"},
    {"sources: moved up, a never offered one stays after the source it followed",
     "D81SoundSource",
     "SoundSource",
     "",
     {13},
     "A C",
     "13 11 12",
     "C A",
     "11 12 13"},
    // Sent on every OK, but never over a source it cannot write back.
    {"sources untouched beside one whose id is no number: nothing sent, nothing told",
     "D81SoundSource",
     "SoundSource",
     "",
     {},
     "C",
     "-",
     "",
     "13 abc"},
    {"sources: one added beside one whose id is no number: held back, told",
     "D81SoundSource",
     "SoundSource",
     "",
     {11},
     "C",
     "-",
     "",
     "abc 13",
     UNREADABLE("audio source list", "tasks", "\"abc\"")},
    {"regions: one more", "D81BroadBook", "RegionId", "", {2}, "1", "1 2", "1 2"},
    {"regions: none left", "D81BroadBook", "RegionId", "", {1}, "1", "", ""},
    {"regions not read", "D81BroadBook", "RegionId", "FixRegionList", {}, "", "-", ""},
    {"regions: an unlisted one whose id is no number holds a changed book back, told",
     "D81BroadBook",
     "RegionId",
     "",
     {2},
     "1",
     "-",
     "",
     "1 abc",
     UNREADABLE("region list", "regions", "\"abc\"")},
    {"regions: unlisted ones kept in the server's order after a changed tick",
     "D81BroadBook",
     "RegionId",
     "",
     {2},
     "1",
     "1 2 9 7",
     "1 2",
     "9 1 7"},
};

} // namespace

Q_DECLARE_METATYPE(const PageCase *)
Q_DECLARE_METATYPE(const BookCase *)

// The list frame the terminal pages share (fill, order, rename, delete with
// refusal, the model's signals), told once per page, and the book dialogs of
// the server microphone (D81) and the D82 device, against the simulated server.
class TstListFrame : public QObject
{
    Q_OBJECT

    SimSession s;
    std::vector<std::unique_ptr<QWidget>> owned;
    std::map<QString, ZnTerBaseCtr *> pages;

    template <class Form>
    void add(const char *name)
    {
        auto *form = new Form;
        owned.emplace_back(form);
        form->resize(1000, 600);
        form->show();
        pages[QLatin1String(name)] = form;
    }
    QTableWidget *table(const char *page) { return pages.at(QLatin1String(page))->tableWidget(); }
    // The page itself: widget() is no way to it, the capture page answers none.
    QWidget *pageWidget(const QString &page) { return dynamic_cast<QWidget *>(pages.at(page)); }
    ZnD82InfoForm *d82() { return static_cast<ZnD82InfoForm *>(pages.at(QStringLiteral("d82"))); }

    // Gives the server these D82 rows and waits until the page shows its new
    // list.
    bool serveD82(const std::vector<Json::Value> &rows)
    {
        s.sim.withData([&](ZnSimData &d) { d.table("d82") = rows; });
        ZnD82ListMgr *m = ZnD82ListMgr::instance();
        return signalled(m, &ZnD82ListMgr::gotD82List, [m] { m->requestD82List(); });
    }

    ZnMic console(int id)
    {
        ZnMic m;
        ZnMicListMgr::instance()->getMic(id, m);
        return m;
    }
    static QString namesOf(QTableWidget *t)
    {
        QStringList out;
        for (int r = 0; r < t->rowCount(); ++r)
            out << t->item(r, 0)->text();
        return out.join(QLatin1Char(' '));
    }
    // "type_id" (or "id" without a type column) of every checked row, in table
    // order.
    static QString checkedRows(QTableWidget *t, int typeColumn)
    {
        QStringList out;
        for (int r = 0; r < t->rowCount(); ++r) {
            if (t->item(r, 0)->checkState() == Qt::Checked)
                out << (typeColumn < 0 ? QString() : t->item(r, typeColumn)->text() + QLatin1Char('_'))
                           + t->item(r, 0)->data(Qt::UserRole).toString();
        }
        return out.join(QLatin1Char(' '));
    }
    // A book as the dialog shows it: the chosen sources by name, the monitors
    // with their type, the regions.
    static QString book(Ui::fD81SettingForm &ui, const QString &name)
    {
        if (name == QStringLiteral("D81SoundSource"))
            return namesOf(ui.fSeleSsTaskTb);
        return name == QStringLiteral("D81MonitorBook") ? checkedRows(ui.fMonitorTb, 1) : checkedRows(ui.fRegionTb, -1);
    }

private slots:
    void initTestCase()
    {
        ZnModalGuard::install();
        s.sim.setPushChanges(true);
        s.sim.withData([](ZnSimData &d) {
            for (const PageCase &c : kPages) {
                std::vector<Json::Value> &rows = d.table(c.table);
                rows.resize(3, rows.front());
                for (int i = 0; i < 3; ++i) {
                    // Over a copy of the sample's row: the book dialogs need its other fields.
                    const Json::Value r = c.base
                                              ? terminalRow(c.base + i + 1, "N" + std::to_string(i + 1), i == 0, c.type)
                                              : record({{"groupId", std::to_string(i + 1)}});
                    for (const std::string &key : r.getMemberNames())
                        rows[i][key] = r[key];
                }
            }
            // Plan tasks A and C are offered; B broadcasts a microphone, M is a
            // manual task.
            auto task = [](const char *id, const char *name, const char *category, const char *type) {
                return record({{"sourceId", id},
                               {"name", name},
                               {"sourceCategory", category},
                               {"sourceType", type},
                               {"status", "2"}});
            };
            d.table("soundsource") = {task("11", "A", "1", "1"), task("12", "B", "1", "4"), task("13", "C", "1", "2"),
                                      task("14", "M", "2", "1")};
            d.table("dsk81")[2]["pttMode"] = "7";
        });
        QVERIFY(startModels(s));
        ZnSsTaskDataMgr::instance();
        ZnRegionListMgr::instance();
        ZnD72ListMgr::instance();
        ZnD74ListMgr::instance();
        QVERIFY(signalled(ZnMicListMgr::instance(), &ZnMicListMgr::gotMicList,
                          [] { ZnMicListMgr::instance()->requestMicList(); }));
        QTRY_VERIFY(ZnD74ListMgr::instance()->micList().size() == 3);
        add<ZnD82InfoForm>("d82");
        add<ZnD72InfoForm>("d72");
        add<ZnD74InfoForm>("d74");
        add<ZnMicInfoForm>("d81");
        add<ZnTtsInfoForm>("tts");
        add<ZnCapInfoForm>("cap");
        add<ZnPlayerInfoForm>("player");
        add<ZnFAlarmInfoForm>("falarm");
        add<ZnMicGroupInfoForm>("group");
        for (const auto &p : pages)
            QTRY_COMPARE(p.second->tableWidget()->rowCount(), 3);
    }
    void init()
    {
        s.sim.withData([](ZnSimData &d) {
            d.table("d81monitor") = {
                record({{"terminalId", "70001"}, {"monitorId", "10001"}, {"monitorType", "6"}, {"orderId", "1"}})};
            d.table("d81soundsource") = {record({{"terminalId", "70001"}, {"sourceId", "13"}, {"orderId", "1"}})};
            d.table("d81broadcast") = {record({{"terminalId", "70001"}, {"regionId", "1"}, {"orderId", "1"}})};
        });
    }

    // Every cell of every row, top to bottom, as the refill draws them, and a
    // device pushed as new on top, all its cells drawn; the push is taken back.
    void wholeRows_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("push");
        QTest::addColumn<QString>("top");
        QTest::newRow("call mic: name, code, AEC, PPT, status, IP")
            << "d72"
            << "N3|50003|No|Yes|Login Out|10.0.5.1\nN2|50002|Yes|No|Login Out|10.0.5.2\nN1|50001|No|Yes|Idle|10.0.5.1"
            << R"([{"terminalId":"50009","type":"2","name":"Gate","status":"1","ip":"10.0.5.9","aec":"1","ppt":"1"}])"
            << "Gate|50009|Yes|Yes|Idle|10.0.5.9";
        QTest::newRow("emergency mic: volume after the status, then IP, mode, colour, text")
            << "d74"
            << "N3|60003|Login Out|70|10.0.6.1|Left Move|Red|Welcome\n"
               "N2|60002|Login Out|50|10.0.6.2|Left Move|Green|\n"
               "N1|60001|Idle|70|10.0.6.1|Left Move|Red|Welcome"
            << R"([{"terminalId":"60009","type":"4","name":"Yard","status":"1","ip":"10.0.6.9","broVol":"33",)"
               R"("switchMode":"3","ledColor":"252","ledTxt":"Exit"}])"
            << "Yard|60009|Idle|33|10.0.6.9|Right Move|Yellow|Exit";
        QTest::newRow("server mic") << "d81"
                                    << "N1|70001|Idle|10.0.7.1\nN2|70002|Off Line|10.0.7.2\nN3|70003|Off Line|10.0.7.1"
                                    << ""
                                    << "";
        QTest::newRow("d82") << "d82"
                             << "N1|80001|空闲|10.0.8.1\nN2|80002|断线|10.0.8.2\nN3|80003|断线|10.0.8.1"
                             << R"([{"terminalId":"80009","type":"8","name":"Pad","status":"1","ip":"10.0.8.9"}])"
                             << "Pad|80009|空闲|10.0.8.9";
        QTest::newRow("tts: the id first")
            << "tts"
            << "40003|N3|Off Line|10.0.4.1\n40002|N2|Off Line|10.0.4.2\n40001|N1|Idle|10.0.4.1"
            << ""
            << "";
        QTest::newRow("capture: volume and rate after the name") << "cap"
                                                                 << "20003|N3|70|General|Off Line|10.0.2.1\n"
                                                                    "20002|N2|50|General|Off Line|10.0.2.2\n"
                                                                    "20001|N1|70|General|Idle|10.0.2.1"
                                                                 << ""
                                                                 << "";
        QTest::newRow("fire alarm") << "falarm"
                                    << "N3|30003|断线|10.0.3.1\nN2|30002|断线|10.0.3.2\nN1|30001|空闲|10.0.3.1"
                                    << ""
                                    << "";
        QTest::newRow("player: ascending ids") << "player"
                                               << "IPTerm|N1|10001|60|Idle|open|38 ℃|Pass|10.0.40.2\n"
                                                  "IPTerm|N2|10002|60|Off Line|open|×|×|10.0.40.3\n"
                                                  "IPTerm|N3|10003|60|Off Line|open|×|×|10.0.40.4"
                                               << ""
                                               << "";
    }
    void wholeRows()
    {
        QFETCH(QString, page);
        QFETCH(QString, push);
        QTableWidget *t = pages.at(page)->tableWidget();
        const auto texts = [t](int from, int to) {
            QStringList rows;
            for (int r = from; r < to; ++r) {
                QStringList cells;
                for (int c = 0; c < t->columnCount(); ++c)
                    cells << (t->item(r, c) ? t->item(r, c)->text() : QStringLiteral("?"));
                rows << cells.join(QLatin1Char('|'));
            }
            return rows.join(QLatin1Char('\n'));
        };
        QTEST(texts(0, t->rowCount()), "table");
        if (push.isEmpty())
            return;
        const std::string table = page == QLatin1String("d72")   ? "dsk72"
                                  : page == QLatin1String("d74") ? "dsk74"
                                                                 : "d82";
        const int rows = t->rowCount();
        s.sim.pushPost("SqlConfig", table, push.toStdString());
        QTRY_COMPARE(t->rowCount(), rows + 1);
        QTEST(texts(0, 1), "top");
        const int id = t->item(0, 0)->data(Qt::UserRole).toInt();
        s.sim.pushDelete(page == QLatin1String("d82") ? "D82" : page == QLatin1String("d72") ? "D72" : "D74", id);
        QTRY_COMPARE(t->rowCount(), rows);
    }

    // An untouched monitor or region book is not sent, the source book always
    // is; none that could not be read is, even with its select-all box ticked,
    // lest it go out empty over the real one.
    void books_data() { addCases(kBooks); }
    void books()
    {
        QFETCH(const BookCase *, c);
        const QString book = QLatin1String(c->book), fail = QLatin1String(c->fail);
        const QString read = QLatin1String(c->read), sent = QLatin1String(c->sent);
        if (!fail.isEmpty())
            s.sim.addRule(ZnSimRule::make("GET SqlConfig/" + fail.toStdString(), ZnSimRule::Fail, "", 0, 1));
        if (QByteArray(QTest::currentDataTag()).contains("not offered")) // task 12 broadcasts a microphone
            s.sim.withData([](ZnSimData &d) {
                d.table("d81soundsource")
                    .insert(d.table("d81soundsource").begin(),
                            record({{"terminalId", "70001"}, {"sourceId", "12"}, {"orderId", "0"}}));
            });
        if (c->stored)
            s.sim.withData([&](ZnSimData &d) {
                const bool monitor = book == QStringLiteral("D81MonitorBook");
                const bool sources = book == QStringLiteral("D81SoundSource");
                std::vector<Json::Value> &rows = d.table(monitor   ? "d81monitor"
                                                         : sources ? "d81soundsource"
                                                                   : "d81broadcast");
                rows.clear();
                for (const QString &item : QString::fromLatin1(c->stored).split(QLatin1Char(' '))) {
                    const std::string order = std::to_string(rows.size() + 1);
                    const std::string id = item.section(QLatin1Char('_'), -1).toStdString();
                    rows.push_back(monitor
                                       ? record({{"terminalId", "70001"},
                                                 {"monitorId", id},
                                                 {"monitorType", item.section(QLatin1Char('_'), 0, 0).toStdString()},
                                                 {"orderId", order}})
                                       : record({{"terminalId", "70001"},
                                                 {sources ? "sourceId" : "regionId", id},
                                                 {"orderId", order}}));
                }
            });
        const std::string label = "POST " + book.toStdString();
        const size_t before = s.requests(label).size(), all = s.requests("POST D81").size();
        const size_t bases = s.requests("POST ModTalkTerminal").size();
        ZnMic mic = console(70001);
        {
            ZnD81SettingDialog dialog(&mic);
            auto &ui = dialog.form();
            QCOMPARE(TstListFrame::book(ui, book), read);
            for (int id : c->clicks) {
                if (book == QStringLiteral("D81SoundSource")) {
                    if (id < 0) {
                        selectIds(ui.fSeleSsTaskTb, {-id});
                        ui.fSeleDelSsTaskBtn->click();
                    } else if (rowOfId(ui.fSeleSsTaskTb, id) >= 0) {
                        ui.fSeleSsTaskTb->setCurrentCell(rowOfId(ui.fSeleSsTaskTb, id), 0);
                        ui.fSsTaskUpBtn->click();
                    } else {
                        selectIds(ui.fSsTaskTb, {id});
                        ui.fSsPlanAddBtn->click();
                    }
                } else {
                    QTableWidget *t = book == QStringLiteral("D81MonitorBook") ? ui.fMonitorTb : ui.fRegionTb;
                    emit t->itemClicked(t->item(rowOfId(t, id), 0));
                }
            }
            if (!fail.isEmpty()) {
                ui.fMonitorAllCb->click();
                ui.fRegionCb->click();
            }
            const QStringList told = QString::fromUtf8(c->told).split(QStringLiteral(" / "), Qt::SkipEmptyParts);
            QString seen = answering(std::vector<ModalChain::Action>(told.size(), ModalChain::confirm()), [&] {
                               ui.fOkBtn->click();
                           }).join(QStringLiteral(" / "));
            // The box puts blanks and a line break before its text.
            seen.replace(QRegularExpression(QStringLiteral("\\|\\s+")), QStringLiteral("|"));
            QCOMPARE(seen, told.join(QStringLiteral(" / ")));
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        const size_t n = sent == QStringLiteral("-") ? 0 : 1;
        QCOMPARE(s.requests(label).size(), before + n);
        QCOMPARE(s.requests("POST ModTalkTerminal").size(),
                 bases); // the console itself is unchanged
        // No other book went out but the source book (ticking the select-all
        // boxes changes them).
        const size_t sources = book == QStringLiteral("D81SoundSource") ? 0 : 1;
        if (fail.isEmpty())
            QCOMPARE(s.requests("POST D81").size(), all + n + sources);
        if (!n)
            return;
        QCOMPARE(QString::fromStdString(lastBody(s, label)[c->key].asString()), sent);
        ZnD81SettingDialog next(&mic);
        QCOMPARE(TstListFrame::book(next.form(), book), QLatin1String(c->again));
    }

    // A play terminal's monitor row shows its type as the record holds it; the
    // book word is that text when it names a console family, else IpAmp.
    void monitoredPlayerType_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("sent");
        QTest::newRow("a number: an amplifier") << "2"
                                                << "IpAmp_10001 IpAmp_10002";
        QTest::newRow("a console family's text") << "Dsk74"
                                                 << "IpAmp_10001 Dsk74_10002";
    }
    void monitoredPlayerType()
    {
        QFETCH(QString, type);
        QFETCH(QString, sent);
        ZnPlayTermListMgr *players = ZnPlayTermListMgr::instance();
        ZnTerminal player;
        QVERIFY(players->hasTerminal(10002, player));
        const ZnTerminal stored = player;
        player.type = type.toStdString();
        QCOMPARE(players->mergeList(player), 0);
        ZnMic mic = console(70001);
        {
            ZnD81SettingDialog dialog(&mic);
            QTableWidget *t = dialog.form().fMonitorTb;
            QCOMPARE(rowText(t, 10002), QStringLiteral("N2|") + type);
            emit t->itemClicked(t->item(rowOfId(t, 10002), 0));
            dialog.form().fOkBtn->click();
        }
        QCOMPARE(players->mergeList(stored), 0);
        QCOMPARE(QString::fromStdString(lastBody(s, "POST D81MonitorBook")["Monitor"].asString()), sent);
    }

    // A volume another client changes while the dialog is open goes out as the
    // model holds it; the one the operator moved goes out as moved.
    void pushedWhileOpen()
    {
        ZnMic mic = console(70001);
        const ZnMic before = mic;
        ZnD81SettingDialog dialog(&mic);
        auto &ui = dialog.form();
        Json::Value row(Json::objectValue);
        row["terminalId"] = "70001", row["type"] = before.type, row["name"] = before.name, row["ip"] = before.ip;
        row["status"] = std::to_string(before.status), row["bellVol"] = "11";
        row["capVol"] = std::to_string(before.capVol), row["callVol"] = std::to_string(before.callVol);
        row["broVol"] = std::to_string(before.broVol), row["pttMode"] = std::to_string(before.pttMode);
        const auto push = [&] {
            Json::Value rows(Json::arrayValue);
            rows.append(row);
            return signalled(ZnMicListMgr::instance(), &ZnMicListMgr::micChanged,
                             [&] { s.sim.pushPost("SqlConfig", "dsk81", ZnSimData::json(rows)); });
        };
        QVERIFY(push());
        QCOMPARE(console(70001).bellVol, 11);
        ui.fBcastSpinBox->setValue(before.broVol == 40 ? 41 : 40);
        const size_t sent = s.requests("POST ModTalkTerminal").size();
        ui.fOkBtn->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(s.requests("POST ModTalkTerminal").size(), sent + 1);
        const Json::Value body = lastBody(s, "POST ModTalkTerminal");
        QCOMPARE(body["BellVol"].asString(), std::string("11"));
        QCOMPARE(body["BroVol"].asString(), std::to_string(before.broVol == 40 ? 41 : 40));
        QCOMPARE(body["CapVol"].asString(), std::to_string(before.capVol));
        // The server's own record again, for the cases after this one.
        row["bellVol"] = std::to_string(before.bellVol);
        QVERIFY(push());
    }

    void sourceEditing()
    {
        ZnMic mic = console(70001);
        ZnD81SettingDialog dialog(&mic);
        auto &ui = dialog.form();
        QTableWidget *chosen = ui.fSeleSsTaskTb;
        // Only plan tasks that broadcast no microphone are offered.
        QCOMPARE(namesOf(ui.fSsTaskTb), QStringLiteral("A C"));
        QCOMPARE(namesOf(chosen), QStringLiteral("C"));
        // C is chosen already: said once, A added.
        selectIds(ui.fSsTaskTb, {11, 13});
        const QStringList seen =
            answering({ModalChain::confirm()}, [&] { emit ui.fSsTaskTb->cellDoubleClicked(0, 0); });
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.at(0).contains(QStringLiteral("已经选择!")));
        QCOMPARE(namesOf(chosen), QStringLiteral("C A"));
        // The first cannot go up, the last not down.
        chosen->setCurrentCell(0, 0);
        ui.fSsTaskUpBtn->click();
        chosen->setCurrentCell(1, 0);
        ui.fSsTaskDownBtn->click();
        QCOMPARE(namesOf(chosen), QStringLiteral("C A"));
        ui.fSsTaskUpBtn->click();
        QCOMPARE(namesOf(chosen), QStringLiteral("A C"));
        QCOMPARE(chosen->currentRow(), 0);
        emit chosen->cellDoubleClicked(0, 0);
        QCOMPARE(namesOf(chosen), QStringLiteral("C"));
        // Added in the order they were selected.
        emit chosen->cellDoubleClicked(0, 0);
        selectIds(ui.fSsTaskTb, {13, 11});
        ui.fSsPlanAddBtn->click();
        QCOMPARE(namesOf(chosen), QStringLiteral("C A"));
        // A console never offers itself for monitoring.
        QCOMPARE(rowOfId(ui.fMonitorTb, 70001), -1);
        QVERIFY(rowOfId(ui.fMonitorTb, 70002) >= 0);
    }

    // A push-to-talk mode the dialog does not know, and volumes beyond its boxes,
    // stay as stored while their fields are left alone: unchanged, nothing goes
    // out; one field changed sends that field anew and the others as stored.
    void unknownModeKept_data()
    {
        QTest::addColumn<QString>("spin"); // a volume box set to 33, or none
        QTest::addColumn<QString>("sent"); // Id/Name/PttMode/CapVol/CallVol/BellVol/BroVol; "-" for nothing
        QTest::newRow("unchanged: nothing sent") << QString() << "-";
        QTest::newRow("talk volume alone") << "fTalkSpinBox"
                                           << "70003/N3/2/130/33/-4/101";
        QTest::newRow("ring volume alone") << "fRingSpinBox"
                                           << "70003/N3/2/130/7/33/101";
    }
    void unknownModeKept()
    {
        QFETCH(QString, spin);
        QFETCH(QString, sent);
        ZnMic mic = console(70003);
        mic.pttMode = 2, mic.capVol = 130, mic.callVol = 7, mic.bellVol = -4, mic.broVol = 101;
        QCOMPARE(ZnMicListMgr::instance()->modifyMic(mic), 0);
        const size_t bases = s.requests("POST ModTalkTerminal").size();
        ZnD81SettingDialog dialog(&mic);
        if (!spin.isEmpty())
            dialog.findChild<QSpinBox *>(spin)->setValue(33);
        dialog.form().fOkBtn->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(s.requests("POST ModTalkTerminal").size(), bases + (sent == QStringLiteral("-") ? 0 : 1));
        if (sent == QStringLiteral("-"))
            return;
        const Json::Value b = lastBody(s, "POST ModTalkTerminal");
        QStringList out;
        for (const char *key : {"Id", "Name", "PttMode", "CapVol", "CallVol", "BellVol", "BroVol"})
            out << QString::fromStdString(b[key].asString());
        QCOMPARE(out.join(QLatin1Char('/')), sent);
    }

    // The book of device 80001 as the dialog lists it (never the device itself),
    // a change sent on OK and read back by the next dialog. An untouched book
    // is not sent; a contact no list of the console holds is written back as it
    // was.
    void contacts_data()
    {
        QTest::addColumn<QList<int>>("clicks"); // contact rows clicked, by id
        QTest::addColumn<QString>("sent");      // "-": nothing sent
        QTest::addColumn<QString>("shown");     // checked when the dialog opens again
        // Stored after contact 70001 ("type_id", the type as the server's row
        // writes it), checked when the dialog opens, and the boxes OK shows.
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("told");
        const QString first = QStringLiteral("3_70001");
        // Rows show the record's type (a number), the book names the family.
        QTest::newRow("untouched") << QList<int>{} << "-" << QString() << QString() << first << QString();
        QTest::newRow("a console and a device added") << QList<int>{70002, 80002} << "Dsk81_70002 Dsk81_70001 D82_80002"
                                                      << "3_70002 3_70001 8_80002" << QString() << first << QString();
        QTest::newRow("every contact unchecked")
            << QList<int>{70001} << "" << QString() << QString() << first << QString();
        // A D72 console shares the stored contact's id: only the Dsk81 row is the contact.
        QTest::newRow("shared id: only the stored family checked")
            << QList<int>{} << "-" << QString() << QString() << first << QString();
        QTest::newRow("unlisted amplifier kept") << QList<int>{70001, 70002} << "Dsk81_70002 IP_10001"
                                                 << "3_70002" << QStringLiteral("6_10001") << first << QString();
        // A server that keeps the word the text named the family by.
        QTest::newRow("a contact stored by its word checks its row and goes back")
            << QList<int>{70002} << "Dsk81_70002 Dsk81_70001 D82_80003"
            << "3_70002 3_70001 8_80003" << QStringLiteral("D82_80003") << QStringLiteral("3_70001 8_80003")
            << QString();
        // No word of the text names type 0 or 77: written, the contact would be
        // dropped or filed in another family, so the changed book stays unsent.
        QTest::newRow("a contact of type 0 holds a changed book back, told")
            << QList<int>{70002} << "-" << QString() << QStringLiteral("0_999") << first
            << QStringLiteral(UNWRITABLE_CONTACTS("999"));
        QTest::newRow("contacts of an unknown type (77) and none hold a changed book back, told")
            << QList<int>{70002} << "-" << QString() << QStringLiteral("77_998 8_80002 _997")
            << QStringLiteral("3_70001 8_80002") << QStringLiteral(UNWRITABLE_CONTACTS("998, 997"));
        QTest::newRow("contacts whose ids are no numbers hold a changed book back, told")
            << QList<int>{70002} << "-" << QString() << QStringLiteral("8_abc 3_ 8_99999999999") << first
            << QStringLiteral(UNREADABLE("contact list", "terminals", "\"abc\", \"\", \"99999999999\""));
        QTest::newRow("a contact whose id is no number left alone: nothing sent, nothing told")
            << QList<int>{} << "-" << QString() << QStringLiteral("8_abc") << first << QString();
        QTest::newRow("a contact of type 0 left alone: nothing sent, nothing told")
            << QList<int>{} << "-" << QString() << QStringLiteral("0_999") << first << QString();
    }
    void contacts()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, sent);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        QFETCH(QString, read);
        QFETCH(QString, told);
        s.sim.withData([&](ZnSimData &d) {
            Json::Value c(Json::objectValue);
            c["terminalId"] = "80001", c["contactId"] = "70001", c["contactType"] = "3", c["orderId"] = "1";
            d.table("d82call") = {c};
            for (const QString &item : stored.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                c["contactId"] = item.section(QLatin1Char('_'), -1).toStdString();
                c["contactType"] = item.section(QLatin1Char('_'), 0, 0).toStdString();
                c["orderId"] = std::to_string(d.table("d82call").size() + 1);
                d.table("d82call").push_back(c);
            }
        });
        const bool shared = QByteArray(QTest::currentDataTag()).startsWith("shared");
        if (shared)
            QVERIFY(signalled(ZnD72ListMgr::instance(), &ZnD72ListMgr::d72Changed, [&] {
                s.sim.pushPost("SqlConfig", "dsk72", R"([{"terminalId":"70001","type":"2","name":"Twin"}])");
            }));
        const size_t posts = s.requests("POST D82").size(), names = s.requests("POST ModTalkTerminal").size();
        ZnD82 device;
        QVERIFY(ZnD82ListMgr::instance()->getD82(80001, device));
        {
            ZnD82SettingDialog dialog(&device);
            QTableWidget *t = dialog.form().fTalkTb;
            QCOMPARE(checkedRows(t, 2), read);
            QCOMPARE(rowOfId(t, 80001), -1);
            // One row of each family: name, id and the record's own type text.
            QStringList rows;
            for (int id : {50001, 60002, 70003, 80002})
                rows << rowText(t, id);
            QCOMPARE(rows.join(QLatin1Char(' ')), QStringLiteral("N1|50001|2 N2|60002|4 N3|70003|3 N2|80002|8"));
            for (int id : clicks)
                emit t->itemClicked(t->item(rowOfId(t, id), 0));
            QString seen =
                answering(std::vector<ModalChain::Action>(told.isEmpty() ? 0 : 1, ModalChain::confirm()), [&] {
                    dialog.form().fOkBtn->click();
                }).join(QStringLiteral(" / "));
            // The box puts blanks and a line break before its text.
            seen.replace(QRegularExpression(QStringLiteral("\\|\\s+")), QStringLiteral("|"));
            QCOMPARE(seen, told);
        }
        if (shared)
            QVERIFY(signalled(ZnD72ListMgr::instance(), &ZnD72ListMgr::d72Deleted,
                              [&] { s.sim.pushDelete("D72", 70001); }));
        QCOMPARE(s.requests("POST D82").size(), posts + (sent == QStringLiteral("-") ? 0 : 1));
        // The name was left alone: it is not sent.
        QCOMPARE(s.requests("POST ModTalkTerminal").size(), names);
        if (sent == QStringLiteral("-"))
            return;
        QCOMPARE(QString::fromStdString(lastBody(s, "POST D82")["Contacts"].asString()), sent);
        ZnD82SettingDialog again(&device);
        QCOMPARE(checkedRows(again.form().fTalkTb, 2), shown);
    }

    // The row's dialog opened by a double click, a new name typed and OK: the
    // row shows the name once the server took it; a refusal tells the operator
    // once and keeps the name. Some dialogs stay open for another try.
    void rename_data()
    {
        QTest::addColumn<const PageCase *>("c");
        QTest::addColumn<bool>("refused");
        for (const PageCase &c : kPages) {
            QTest::newRow(c.page) << &c << false;
            QTest::addRow("%s refused", c.page) << &c << true;
        }
    }
    void rename()
    {
        QFETCH(const PageCase *, c);
        QFETCH(bool, refused);
        s.sim.clearRules();
        if (refused)
            s.sim.addRule(ZnSimRule::make("POST", ZnSimRule::Fail, "refused", 0, 1));
        const QString name = refused ? QStringLiteral("Refused") : QStringLiteral("Renamed");
        std::vector<ModalChain::Action> steps = {
            ModalChain::type(QStringLiteral("fNameEdit"), name, QStringLiteral("fOkBtn"))};
        if (refused)
            steps.push_back(ModalChain::confirm());
        if (refused && *c->then)
            steps.push_back(ModalChain::click(QLatin1String(c->then)));
        QTableWidget *t = table(c->page);
        const int id = c->base + 1;
        const QStringList seen = answering(steps, [&] { doubleClickRow(t, id); });
        QCOMPARE(seen.size(), int(steps.size()));
        if (refused) {
            QVERIFY2(seen.at(1).contains(QString::fromUtf8(c->refusal)), qPrintable(seen.at(1)));
            QVERIFY(s.settle());
        }
        QTRY_VERIFY2(rowText(t, id).contains(QStringLiteral("Renamed")), qPrintable(rowText(t, id)));
    }

    // The rows in the page's order; then all three selected and deleted: one
    // question, the online one refused here, the first removal sent (the bottom
    // row) refused by the server with its reason and its row kept, the other
    // removed. A page with a text of its own keeps it for a refusal without a
    // reason.
    void deleteSelection_data()
    {
        QTest::addColumn<const PageCase *>("c");
        for (const PageCase &c : kPages)
            QTest::newRow(c.page) << &c;
    }
    void deleteSelection()
    {
        QFETCH(const PageCase *, c);
        QTableWidget *t = table(c->page);
        QCOMPARE(idsOf(t), QLatin1String(c->order));
        s.sim.clearRules();
        s.sim.addRule(ZnSimRule::make("POST", ZnSimRule::Fail, "in use", 0, 1));
        t->setSelectionMode(QAbstractItemView::MultiSelection);
        t->selectAll();
        auto *del = pageWidget(QLatin1String(c->page))
                        ->findChild<QAbstractButton *>(
                            QLatin1String(c->page == QByteArray("player") ? "fDelTerBtn" : "fDelBtn"));
        const QStringList seen =
            answering(std::vector<ModalChain::Action>(4, ModalChain::confirm()), [&] { del->click(); });
        QVERIFY(s.settle());
        QTRY_COMPARE(idsOf(t), QLatin1String(c->kept));
        const QStringList told = QString::fromLatin1(c->told).split(QLatin1Char('/'));
        QCOMPARE(seen.size() - 1, told.size());
        for (const QString &text : told)
            QVERIFY2(seen.join(QLatin1Char('/')).contains(text), qPrintable(seen.join(QLatin1Char('/'))));
    }

    // The audio sources offered to device 80001 are the plan tasks, whatever
    // they play; a manual task in its book is neither offered nor checked. Every
    // region is offered.
    void d82SourcesAndRegions_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("checked");
        QTest::newRow("plan tasks only") << "fSsTaskTb"
                                         << "A B C"
                                         << "13";
        QTest::newRow("every region") << "fRegionTb"
                                      << "Ground floor Everywhere"
                                      << "2";
    }
    void d82SourcesAndRegions()
    {
        QFETCH(QString, table);
        s.sim.withData([](ZnSimData &d) {
            auto entry = [](const char *key, const char *id) {
                return record({{"terminalId", "80001"}, {key, id}, {"orderId", "1"}});
            };
            d.table("d82soundsource") = {entry("sourceId", "13"), entry("sourceId", "14")};
            d.table("d82broadcast") = {entry("regionId", "2")};
        });
        ZnD82 device;
        QVERIFY(ZnD82ListMgr::instance()->getD82(80001, device));
        ZnD82SettingDialog dialog(&device);
        QTableWidget *t = dialog.findChild<QTableWidget *>(table);
        QTEST(namesOf(t), "rows");
        QTEST(checkedRows(t, -1), "checked");
    }

    // A removal refused without a reason: the server's empty text as the model
    // holds it, then the page's own text.
    void refusalWithoutReason_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("id");
        // Offline rows the delete above kept.
        QTest::newRow("console page") << "d72" << 50002;
        QTest::newRow("player page") << "player" << 10003;
    }
    void refusalWithoutReason()
    {
        QFETCH(QString, page);
        QFETCH(int, id);
        QTableWidget *t = pages.at(page)->tableWidget();
        s.sim.clearRules();
        s.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "", 0, 1));
        selectIds(t, {id});
        auto *del = pageWidget(page)->findChild<QAbstractButton *>(
            page == QLatin1String("player") ? QStringLiteral("fDelTerBtn") : QStringLiteral("fDelBtn"));
        const QStringList seen =
            answering(std::vector<ModalChain::Action>(3, ModalChain::confirm()), [&] { del->click(); });
        QVERIFY(s.settle());
        QCoreApplication::processEvents();
        QCOMPARE(seen.size(), 3);
        QVERIFY2(!seen.at(1).contains(QStringLiteral("Error")), qPrintable(seen.at(1)));
        QVERIFY2(seen.at(2).contains(QStringLiteral("Delete Error!")), qPrintable(seen.at(2)));
        QVERIFY(rowOfId(t, id) >= 0);
    }

    // A geometry set through the table controller goes to the widget the page
    // answers with: every page but the capture page, which answers none.
    void geometryThroughTheController_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("moves");
        for (const PageCase &c : kPages) {
            const bool none = c.page == QByteArray("cap");
            QTest::addRow("%s %s", c.page, none ? "stays: no widget" : "moves") << QString::fromLatin1(c.page) << !none;
        }
    }
    void geometryThroughTheController()
    {
        QFETCH(QString, page);
        QFETCH(bool, moves);
        QWidget *w = pageWidget(page);
        const QRect was = w->geometry();
        const QRect asked(was.topLeft() + QPoint(7, 9), QSize(900, 500));
        pages.at(page)->setGeometry(asked);
        QCOMPARE(w->geometry(), moves ? asked : was);
        w->setGeometry(was);
    }

    // Edit without a current row opens nothing and asks nothing.
    void editNeedsACurrentRow()
    {
        d82()->tableWidget()->setCurrentCell(-1, -1);
        const int gets = s.sim.count("GET");
        const QStringList seen =
            answering({ModalChain::click(QStringLiteral("fCancelBtn"))}, [&] { d82()->form().fEditBtn->click(); });
        QVERIFY(seen.isEmpty());
        QCOMPARE(s.sim.count("GET"), gets);
    }

    // The list arrives again while the delete question is open and moves the
    // chosen device to another row: the device the operator chose is removed.
    void refillDuringDeleteQuestion()
    {
        s.sim.clearRules();
        QVERIFY(serveD82({terminalRow(80001, "A", 0, "8"), terminalRow(80002, "B", 0, "8")}));
        QTableWidget *t = d82()->tableWidget();
        selectIds(t, {80001});
        const size_t removals = s.requests("POST RemoveDevice").size();
        answering({[&](QWidget *box) {
                      QVERIFY(serveD82({terminalRow(80000, "Z", 0, "8"), terminalRow(80001, "A", 0, "8"),
                                        terminalRow(80002, "B", 0, "8")}));
                      QCOMPARE(rowOfId(t, 80001), 1);
                      ModalChain::confirm()(box);
                  }},
                  [&] { d82()->form().fDelBtn->click(); });
        QCOMPARE(s.requests("POST RemoveDevice").size(), removals + 1);
        QCOMPARE(lastBody(s, "POST RemoveDevice")["Id"].asString(), std::string("80001"));
        QCOMPARE(rowsOf(t), QStringLiteral("80000:Z 80002:B"));
    }

    // The model's list, changed and deleted signals on the page's rows.
    void followsTheModel_data()
    {
        QTest::addColumn<QString>("event");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty list") << "list" << 0 << "";
        QTest::newRow("second list") << "list" << 80005 << "80004:D 80005:E";
        QTest::newRow("changed, has a row") << "push" << 80002 << "80001:A 80002:N 80003:C";
        QTest::newRow("changed, new id at the top") << "push" << 80009 << "80009:N 80001:A 80002:B 80003:C";
        QTest::newRow("deleted") << "delete" << 80002 << "80001:A 80003:C";
    }
    void followsTheModel()
    {
        QFETCH(QString, event);
        QFETCH(int, id);
        QFETCH(QString, shown);
        ZnD82ListMgr *m = ZnD82ListMgr::instance();
        std::vector<Json::Value> rows = {terminalRow(80003, "C", 0, "8"), terminalRow(80002, "B", 1, "8"),
                                         terminalRow(80001, "A", 0, "8")};
        if (event == QStringLiteral("list"))
            rows = id ? std::vector<Json::Value>{terminalRow(id - 1, "D", 0, "8"), terminalRow(id, "E", 0, "8")}
                      : std::vector<Json::Value>{};
        QVERIFY(serveD82(rows));
        if (event == QStringLiteral("push")) {
            Json::Value pushed(Json::arrayValue);
            pushed.append(terminalRow(id, "N", 0, "8"));
            QVERIFY(signalled(m, &ZnD82ListMgr::d82Changed,
                              [&] { s.sim.pushPost("SqlConfig", "d82", ZnSimData::json(pushed)); }));
        } else if (event == QStringLiteral("delete")) {
            QVERIFY(signalled(m, &ZnD82ListMgr::d82Deleted, [&] { s.sim.pushDelete("D82", id); }));
        }
        QCOMPARE(rowsOf(d82()->tableWidget()), shown);
    }

    // Every terminal page's column headers, in the order the operator reads them;
    // under the Chinese translation, the common texts are translated and the
    // page's own headers stand as they are.
    void headers_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("headers");
        QTest::newRow("d82: name first") << "d82"
                                         << "Name|Code|Status|IP";
        QTest::newRow("server mic: name first") << "d81"
                                                << "Name|Code|Status|IP";
        QTest::newRow("call mic: the two flags before the status") << "d72"
                                                                   << "Name|Code|Is AEC|Is PPT|Status|IP";
        QTest::newRow("emergency mic: the volume after the status")
            << "d74"
            << "Name|Code|Status|广播音量|IP|Move Mode|Color|Text Content";
        QTest::newRow("tts: the id first") << "tts"
                                           << "ID|Name|Status|IP";
        QTest::newRow("capture: the id first") << "cap"
                                               << "ID|Name|CapVol|Samplerate|Status|IP";
        QTest::newRow("player: nine columns")
            << "player"
            << "设备类型|设备名称|设备ID|播放音量|工作状态|功放开启|功放温度|喇叭状态|IP地址";
        QTest::newRow("fire alarm") << "falarm"
                                    << "Name|Code|Status|IP";
        QTest::newRow("mic groups: rule before the ring time") << "group"
                                                               << "Name|ID|Rule|Ring Time";
        QTest::newRow("mic group members: one column") << "members"
                                                       << "Server Mic";
        // "zh": a page built afresh under the Chinese translation.
        QTest::newRow("zh mic groups: the name alone translated") << "zh group"
                                                                  << "名称|ID|Rule|Ring Time";
        QTest::newRow("zh mic group members: as it stands") << "zh members"
                                                            << "Server Mic";
        QTest::newRow("zh capture: volume and rate as they stand") << "zh cap"
                                                                   << "ID|名称|CapVol|Samplerate|状态|IP";
    }
    void headers()
    {
        QFETCH(QString, page);
        if (page.startsWith(QLatin1String("zh "))) {
            page = page.mid(3);
            QTranslator zh;
            QVERIFY(zh.load(QStringLiteral("./translate/zh.qm")));
            QCoreApplication::installTranslator(&zh);
            std::unique_ptr<ZnCapInfoForm> cap(page == QLatin1String("cap") ? new ZnCapInfoForm : nullptr);
            std::unique_ptr<ZnMicGroupInfoForm> group(cap ? nullptr : new ZnMicGroupInfoForm);
            QCoreApplication::removeTranslator(&zh);
            QTEST(headersOf(cap                                ? cap->tableWidget()
                            : page == QLatin1String("members") ? group->form().fTermTableWidget
                                                               : group->tableWidget()),
                  "headers");
            return;
        }
        QTableWidget *t =
            page == QLatin1String("members")
                ? static_cast<ZnMicGroupInfoForm *>(pages.at(QStringLiteral("group")))->form().fTermTableWidget
                : pages.at(page)->tableWidget();
        QTEST(headersOf(t), "headers");
    }

    // The book tables of the server microphone's and the D82 device's dialogs:
    // headers in order, and the id columns the operator does not see.
    void bookHeaders_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("headers");
        QTest::addColumn<QString>("hidden");
        QTest::newRow("d81 monitored terminals: with their type") << "d81"
                                                                  << "fMonitorTb"
                                                                  << "名称|类型"
                                                                  << "";
        QTest::newRow("d81 offered tasks: id hidden") << "d81"
                                                      << "fSsTaskTb"
                                                      << "名称|ID"
                                                      << "1";
        QTest::newRow("d81 chosen sources: the name alone") << "d81"
                                                            << "fSeleSsTaskTb"
                                                            << "名称"
                                                            << "";
        QTest::newRow("d81 regions: id hidden") << "d81"
                                                << "fRegionTb"
                                                << "名称|ID"
                                                << "1";
        QTest::newRow("d82 contacts: name, id, type") << "d82"
                                                      << "fTalkTb"
                                                      << "名称|ID|类型"
                                                      << "";
        QTest::newRow("d82 audio sources") << "d82"
                                           << "fSsTaskTb"
                                           << "名称|ID"
                                           << "";
        QTest::newRow("d82 regions") << "d82"
                                     << "fRegionTb"
                                     << "名称|ID"
                                     << "";
    }
    void bookHeaders()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, table);
        ZnMic mic = console(70001);
        ZnD82 device;
        QVERIFY(ZnD82ListMgr::instance()->getD82(80001, device));
        std::unique_ptr<QWidget> d(dialog == QLatin1String("d81") ? static_cast<QWidget *>(new ZnD81SettingDialog(&mic))
                                                                  : new ZnD82SettingDialog(&device));
        QTableWidget *t = d->findChild<QTableWidget *>(table);
        QVERIFY(t);
        QTEST(headersOf(t), "headers");
        QTEST(hiddenOf(t), "hidden");
    }

    // The status cell of a D82 device and of a server microphone, once as the
    // row is inserted and once as it is redrawn, for each status the family has
    // and for one it never has.
    void statusTexts_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("first");
        QTest::addColumn<QString>("inserted");
        QTest::addColumn<int>("then");
        QTest::addColumn<QString>("redrawn");
        QTest::newRow("d82 0 off line, then 1 idle") << "d82" << 0 << "断线" << 1 << "空闲";
        QTest::newRow("d82 1 idle, then 0 off line") << "d82" << 1 << "空闲" << 0 << "断线";
        QTest::newRow("d82 any other status idle") << "d82" << 3 << "空闲" << -1 << "空闲";
        QTest::newRow("d81 0 off line, 1 idle") << "d81" << 0 << "Off Line" << 1 << "Idle";
        QTest::newRow("d81 2 mic to broadcast, 3 call ring")
            << "d81" << 2 << "Mic to Broadcast" << 3 << "Mic Call Ring";
        QTest::newRow("d81 4 talkback, 5 monitor") << "d81" << 4 << "Talkbacking" << 5 << "Monitor Terminal";
        QTest::newRow("d81 6 stop service, 0 off line") << "d81" << 6 << "Mic Stop Service" << 0 << "Off Line";
        QTest::newRow("d81 7 and -1 read as off line") << "d81" << 7 << "Off Line" << -1 << "Off Line";
    }
    void statusTexts()
    {
        QFETCH(QString, page);
        QFETCH(int, first);
        QFETCH(int, then);
        const bool d82 = page == QLatin1String("d82");
        const int id = d82 ? 80050 : 70050;
        QTableWidget *t = pages.at(page)->tableWidget();
        auto push = [&](int status) {
            Json::Value rows(Json::arrayValue);
            rows.append(terminalRow(id, "S", status, d82 ? "8" : "3"));
            rows[0]["ip"] = "10.1.2.3";
            s.sim.pushPost("SqlConfig", d82 ? "d82" : "dsk81", ZnSimData::json(rows));
        };
        push(first);
        QTRY_VERIFY(rowOfId(t, id) >= 0);
        QFETCH(QString, inserted);
        QFETCH(QString, redrawn);
        QCOMPARE(rowText(t, id), QStringLiteral("S|%1|%2|10.1.2.3").arg(id).arg(inserted));
        push(then);
        QTRY_COMPARE(rowText(t, id), QStringLiteral("S|%1|%2|10.1.2.3").arg(id).arg(redrawn));
        s.sim.pushDelete(d82 ? "D82" : "MIC", id);
        QTRY_COMPARE(rowOfId(t, id), -1);
    }

    // A push while the row's dialog is open: a new record above it, or the
    // record removed. OK then changes the record the operator opened, or, when
    // it is gone, sends nothing and says so.
    void editUnderPush_data()
    {
        QTest::addColumn<const PageCase *>("c");
        QTest::addColumn<bool>("removed");
        for (const PageCase &c : kPages) {
            // Pushed records of these families are known to reach their page.
            for (const char *page : {"d82", "d72", "tts", "player"})
                if (QByteArray(c.page) == page)
                    QTest::addRow("%s, new record above", c.page) << &c << false;
            QTest::addRow("%s, record removed", c.page) << &c << true;
        }
    }
    void editUnderPush()
    {
        QFETCH(const PageCase *, c);
        QFETCH(bool, removed);
        s.sim.clearRules();
        QTableWidget *t = table(c->page);
        const int id = c->base + 1;
        const int added = c->base + 9;
        QVERIFY(rowOfId(t, id) >= 0);
        QVERIFY(s.settle());
        const int changes = s.sim.count("POST") + s.sim.count("SET");
        const QString page = QLatin1String(c->page);
        const auto change = [&] {
            if (!removed) {
                Json::Value pushed(Json::arrayValue);
                pushed.append(terminalRow(added, "Pushed", 0, c->type));
                s.sim.pushPost("SqlConfig", c->table, ZnSimData::json(pushed));
                return ZnModalHelper::waitFor([&] { return rowOfId(t, added) >= 0; }, 10000);
            }
            // Players and fire-alarm interfaces go with a new list, the others by a removal notice.
            if (page == QLatin1String("player") || page == QLatin1String("falarm")) {
                s.sim.withData([&](ZnSimData &d) {
                    auto &rows = d.table(c->table);
                    rows.erase(std::remove_if(rows.begin(), rows.end(),
                                              [id](const Json::Value &r) {
                                                  return r["terminalId"].asString() == std::to_string(id);
                                              }),
                               rows.end());
                });
                if (page == QLatin1String("player"))
                    ZnPlayTermListMgr::instance()->requestPlayTermList();
                else
                    ZnFAlarmListMgr::instance()->registerAndWait();
            } else {
                const std::map<std::string, std::string> notice = {{"d82", "D82"},       {"d72", "D72"}, {"d74", "D74"},
                                                                   {"d81", "MIC"},       {"tts", "Tts"}, {"cap", "CAP"},
                                                                   {"group", "MicGroup"}};
                s.sim.pushDelete(notice.at(c->page), id);
            }
            return ZnModalHelper::waitFor([&] { return rowOfId(t, id) < 0; }, 10000);
        };
        bool changed = false;
        const QStringList seen = answering({[&](QWidget *dialog) {
                                                changed = change();
                                                ModalChain::type(QStringLiteral("fNameEdit"), QStringLiteral("After"),
                                                                 QStringLiteral("fOkBtn"))(dialog);
                                            },
                                            ModalChain::confirm()},
                                           [&] { doubleClickRow(t, id); });
        QVERIFY(changed);
        QVERIFY(s.settle());
        if (!removed) {
            QCOMPARE(seen.size(), 1);
            QTRY_VERIFY2(rowText(t, id).contains(QStringLiteral("After")), qPrintable(rowText(t, id)));
            QVERIFY2(rowText(t, added).contains(QStringLiteral("Pushed")), qPrintable(rowText(t, added)));
            return;
        }
        QCOMPARE(seen.size(), 2);
        QVERIFY2(seen.at(1).contains(QStringLiteral("The record no longer exists, nothing was changed!")),
                 qPrintable(seen.at(1)));
        QCOMPARE(s.sim.count("POST") + s.sim.count("SET"), changes);
        QCOMPARE(rowOfId(t, id), -1);
        QVERIFY(!ZnModalHelper::activeModal());
    }
};

QTEST_MAIN(TstListFrame)
#include "tst_listframe.moc"
