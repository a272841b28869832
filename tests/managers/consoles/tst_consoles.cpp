#include "BookEntry.h"
#include "BookRequest.h"
#include "ModelSim.h"
#include "ZnApi.h"
#include "ZnD72ListMgr.h"
#include "ZnD72Manage.h"
#include "ZnD74ListMgr.h"
#include "ZnD74Manage.h"
#include "ZnD82ListMgr.h"
#include "ZnD82Manage.h"
#include "ZnMicBtnCall.h"
#include "ZnMicListMgr.h"
#include "ZnMicManage.h"
#include "ZnMicRows.h"
#include "ZnPlayTermListMgr.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

// The D72, D74, Dsk81 and D82 managers on their own, then what their list models
// keep beside the list (button calls, books, one record asked for) against the
// simulated server. Their lists, pushes, changes and removals are family tables.
namespace {

// What the managers reported: the code, and the console id where there is one.
std::vector<int> g_codes;
std::vector<int> g_ids;
void record(int code, void* data)
{
    g_codes.push_back(code);
    if (code == 231 || code == 241 || code == 263)
        g_ids.push_back(static_cast<ZnMic*>(data)->id);
    else if (code == 232 || code == 242 || code == 265)
        g_ids.push_back(*static_cast<int*>(data));
}

ZnMicBtnCall btn(int terminalId, const std::string& start, const std::string& stop, int dsk81, int group)
{
    ZnMicBtnCall c;
    c.terminalId = terminalId;
    c.startCall = start;
    c.stopCall = stop;
    c.dsk81Id = dsk81;
    c.groupId = group;
    return c;
}

const auto kMicId = &ZnMic::id;

// A console as one line: id name exten | ppt capVol bellVol broVol ledColor switchMode displayTime pttMode | ledTxt.
std::vector<std::string> lines(const std::list<ZnMic>& mics)
{
    std::vector<std::string> out;
    for (const ZnMic& m : mics) {
        std::string l = std::to_string(m.id) + ' ' + m.name + ' ' + m.exten + " |";
        for (int v : {m.ppt, m.capVol, m.bellVol, m.broVol, m.ledColor, m.switchMode, m.displayTime, m.pttMode})
            l += ' ' + std::to_string(v);
        out.push_back(l + " |" + m.ledTxt);
    }
    return out;
}

} // namespace

class TstConsoles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init()
    {
        g_codes.clear();
        g_ids.clear();
    }
    void cleanup() { m_s.sim.clearRules(); }

    void rowsStartFromAFreshRecord();
    void badBodiesPushesAndDeletes();
    void oneRecordNeedsAnId_data();
    void oneRecordNeedsAnId();

    void buttonCallsStayWithTheirConsole();
    void dsk81OneConsole();
    void dsk81BooksPerConsole();
    void dsk81PlayTerminalsShareTheListLock();
    void d82BooksAreReadAndWritten();
    void bookIdsAsStored_data();
    void bookIdsAsStored();
    void d82OneDevice();
    void answerSignalsComeBeforeTheReturn_data();
    void answerSignalsComeBeforeTheReturn();
    void removalRefusalsHeardOnceAmplifiersAsked();

private:
    SimSession m_s;
};

void TstConsoles::initTestCase()
{
    QVERIFY(startModels(m_s));
    QCOMPARE(ZnD82ListMgr::instance()->requestD82List(), 0);
}

void TstConsoles::rowsStartFromAFreshRecord()
{
    // A row that lacks a column gets its default, never the value of the row before.
    std::list<ZnMic> mics;
    QVERIFY(ZnMicRows::d72List(R"([{"terminalId":"12","name":"","exten":"8012","ppt":"1","capVol":"20",
        "bellVol":"30"},{"terminalId":"13","name":"Hall"}])",
                               mics));
    QCOMPARE(lines(mics), (std::vector<std::string>{"12 D72_12 8012 | 1 20 30 80 224 1 5 -1 |",
                                                    "13 Hall  | 0 0 80 80 224 1 5 -1 |"}));
    // A nameless D74 is named after its extension, even an empty one; "--" gives "D74_<id>".
    QVERIFY(ZnMicRows::d74List(R"([{"terminalId":"9","exten":"--"},{"terminalId":"8","exten":"-"},
        {"terminalId":"7","exten":"8001"},{"terminalId":"6"},{"terminalId":"5","name":"Gate"}])",
                               mics));
    QCOMPARE(lines(mics),
             (std::vector<std::string>{"9 D74_9 -- | 0 0 80 80 224 1 5 -1 |", "8 -_8 - | 0 0 80 80 224 1 5 -1 |",
                                       "7 8001_7 8001 | 0 0 80 80 224 1 5 -1 |", "6 _6  | 0 0 80 80 224 1 5 -1 |",
                                       "5 Gate  | 0 0 80 80 224 1 5 -1 |"}));

    std::list<ZnMicBtnCall> calls;
    QVERIFY(ZnMicRows::buttonCallList(R"([{"terminalId":"4","stopCall":"ButtonPushDown","dsk81Id":"30"},
        {"terminalId":"4","groupId":"2"}])",
                                      calls));
    QCOMPARE(idsOf(calls, &ZnMicBtnCall::dsk81Id), (std::vector<int>{30, 0}));
    QCOMPARE(idsOf(calls, &ZnMicBtnCall::groupId), (std::vector<int>{0, 2}));
    QCOMPARE(calls.back().stopCall, std::string());
    std::list<BookEntry> book;
    QVERIFY(ZnMicRows::bookList(R"([{"monitorId":"40","monitorType":"6"},{"monitorId":"41"}])", "monitorId",
                                "monitorType", book));
    QCOMPARE(idsOf(book, &BookEntry::itemType), (std::vector<int>{6, 0}));
}

void TstConsoles::badBodiesPushesAndDeletes()
{
    ZnD72Manage d72;
    ZnD74Manage d74;
    ZnMicManage mic;
    d72.onResponse(228, R"([{"terminalId":"1"}])"); // no callback yet: dropped quietly
    d72.setCallback(record);
    d74.setCallback(record);
    mic.setCallback(record);
    for (const char* body : {"", "{", "[{\"terminalId\":", "\xff\xfe", "<MicList/>"}) {
        for (int type : {228, 233})
            d72.onResponse(type, body);
        for (int type : {238, 243})
            d74.onResponse(type, body);
        for (int type : {262, 263, 267, 274})
            mic.onResponse(type, body);
    }
    QVERIFY(g_codes.empty()); // bad bodies report nothing
    d72.onResponse(228, "[]");
    QVERIFY(d72.onPost("SqlConfig_dsk72", R"([{"terminalId":"5"},{"terminalId":"2"}])"));
    // Changes and the types the Dsk81 manager does not own are not looked at.
    for (int type : {264, 265, 268, 271, 273, 275, 277, 278})
        mic.onResponse(type, R"([{"terminalId":"5"}])");
    QCOMPARE(g_codes, (std::vector<int>{231, 231}));
    QCOMPARE(g_ids, (std::vector<int>{5, 2}));
}

void TstConsoles::oneRecordNeedsAnId_data()
{
    QTest::addColumn<QString>("xml");  // L the list element, R its record
    QTest::addColumn<bool>("console"); // the console reader refuses it too (it reads leading digits)
    QTest::newRow("no id") << QStringLiteral("<L><R name=\"x\"/></L>") << true;
    QTest::newRow("negative") << QStringLiteral("<L><R terminalId=\"-4\"/></L>") << true;
    QTest::newRow("not a number") << QStringLiteral("<L><R terminalId=\"4a\"/></L>") << false;
    QTest::newRow("too large") << QStringLiteral("<L><R terminalId=\"99999999999\"/></L>") << false;
    QTest::newRow("no child") << QStringLiteral("<L></L>") << true;
    QTest::newRow("other element") << QStringLiteral("<Other><R terminalId=\"2\"/></Other>") << true;
    QTest::newRow("top record") << QStringLiteral("<R terminalId=\"2\"/>") << true;
    QTest::newRow("cut") << QStringLiteral("<L><R terminalId=") << true;
    // Nesting deep enough to exhaust the stack of a recursive parser.
    QTest::newRow("deep") << QStringLiteral("<L>") + QStringLiteral("<a>").repeated(200000)
                                 + QStringLiteral("<R terminalId=\"1\"/>")
                          << true;
}

void TstConsoles::oneRecordNeedsAnId()
{
    QFETCH(QString, xml);
    QFETCH(bool, console);
    auto text = [&xml](const char* list, const char* record) {
        return "<?xml version=\"1.0\"?>"
               + QString(xml)
                     .replace(QStringLiteral("<L"), QLatin1String("<") + QLatin1String(list))
                     .replace(QStringLiteral("</L"), QLatin1String("</") + QLatin1String(list))
                     .replace(QStringLiteral("<R "), QLatin1String("<") + QLatin1String(record) + QLatin1String(" "))
                     .toStdString();
    };
    ZnD82Manage d82;
    d82.setCallback(record);
    d82.onResponse(279, text("D82List", "D82"));
    QVERIFY(g_codes.empty());
    if (!console)
        return;
    ZnMicManage mic;
    mic.setCallback(record);
    const std::string one = text("MicList", "Mic");
    mic.onResponse(263, one);
    QVERIFY(xml.startsWith(QStringLiteral("<L>")) || !mic.onSet(one));
    mic.onSet(one);
    QVERIFY(g_codes.empty());

    // A pushed setting of that form is taken and reported console by console.
    QVERIFY(mic.onSet(R"(<?xml version="1.0"?><MicList><Mic terminalId="2"/><Mic terminalId="6"/></MicList>)"));
    QCOMPARE(g_ids, (std::vector<int>{6, 2}));
}

void TstConsoles::buttonCallsStayWithTheirConsole()
{
    ZnD72ListMgr* model = ZnD72ListMgr::instance();
    ZnMic gate;
    QVERIFY(model->findD72(50001, gate));
    const std::vector<ZnMicBtnCall> sent = {
        btn(50001, "ButtonPopUp", "ButtonPushDown", 70001, 0),
        btn(50001, "AlarmShortPress", "AlarmLongPress", 0, 2),
        btn(50001, "Alarm2ShortPress", "Alarm2LongPress", 70002, 0),
        btn(50001, "BackupShortPress", "BackupLongPress", 0, 0),
    };
    QCOMPARE(model->setBtnCalls(sent), 0);
    QCOMPARE(model->requestBtnCalls(gate), 0);
    std::list<ZnMicBtnCall> calls;
    QVERIFY(!model->btnCalls(50002, calls)); // another console's dialog gets nothing
    QVERIFY(model->btnCalls(50001, calls));
    std::vector<std::string> starts;
    for (const ZnMicBtnCall& c : calls)
        starts.push_back(c.startCall);
    QCOMPARE(starts,
             (std::vector<std::string>{"ButtonPopUp", "AlarmShortPress", "Alarm2ShortPress", "BackupShortPress"}));
    QCOMPARE(idsOf(calls, &ZnMicBtnCall::dsk81Id), (std::vector<int>{70001, 0, 70002, 0}));

    // Nothing is sent for an empty list or a list mixing two consoles.
    const int posts = m_s.sim.count("POST D72ButtonCall");
    QCOMPARE(model->setBtnCalls({}), -1);
    QCOMPARE(model->setBtnCalls({btn(50001, "a", "b", 1, 0), btn(50002, "c", "d", 1, 0)}), -1);
    QCOMPARE(m_s.sim.count("POST D72ButtonCall"), posts);

    // Button calls announced as event 234 are kept apart from those asked for; a
    // null announcement empties them and says nothing.
    QSignalSpy notified(model, &ZnD72ListMgr::gotD72BtnCallList);
    const std::list<ZnMicBtnCall> announced{btn(50002, "ButtonPopUp", "ButtonPushDown", 0, 3)};
    ZnD72ListMgr::onNotify(ZnD72Manage::NotifiedButtonCallsType, const_cast<std::list<ZnMicBtnCall>*>(&announced));
    QCOMPARE(notified.count(), 1);
    QCOMPARE(idsOf(model->notifiedBtnCallList(), &ZnMicBtnCall::groupId), std::vector<int>{3});
    QVERIFY(model->btnCalls(50001, calls));
    QCOMPARE(calls.size(), size_t(4));
    ZnD72ListMgr::onNotify(ZnD72Manage::NotifiedButtonCallsType, nullptr);
    QVERIFY(model->notifiedBtnCallList().empty());
    QCOMPARE(notified.count(), 1);

    // A null answer to the query leaves the dialog nothing to show or send back.
    ZnD72ListMgr::onNotify(ZnD72Manage::ButtonCallsType, nullptr);
    QVERIFY(model->btnCallList().empty());
    QVERIFY(!model->btnCalls(50001, calls));
    QVERIFY(calls.empty());

    ZnD74ListMgr* d74 = ZnD74ListMgr::instance();
    QVERIFY(d74->findD74(60002, gate));
    QCOMPARE(d74->setBtnCalls(btn(60002, "ButtonPushDown", "ButtonLongPress", 0, 2)), 0);
    QCOMPARE(d74->requestBtnCalls(gate), 0);
    QVERIFY(!d74->btnCalls(60001, calls));
    QVERIFY(d74->btnCalls(60002, calls));
    QCOMPARE(idsOf(calls, &ZnMicBtnCall::groupId), std::vector<int>{2});
    ZnD74ListMgr::onNotify(ZnD74Manage::ButtonCallsType, nullptr);
    QVERIFY(d74->btnCallList().empty());
    QVERIFY(!d74->btnCalls(60002, calls));

    // A refused query is asked all the same: 0, as for every result but a negative one.
    m_s.sim.addRule(ZnSimRule::make("GET SqlConfig/D74ButtonCall", ZnSimRule::Fail, "no"));
    m_s.sim.addRule(ZnSimRule::make("GET SqlConfig/D72ButtonCall", ZnSimRule::Fail, "no"));
    QCOMPARE(d74->requestBtnCalls(gate), 0);
    QVERIFY(model->findD72(50001, gate));
    QCOMPARE(model->requestBtnCalls(gate), 0);
}

void TstConsoles::dsk81OneConsole()
{
    ZnMicListMgr* model = ZnMicListMgr::instance();
    QCOMPARE(model->requestMicList(), 0); // only a console the model holds is asked for
    m_s.sim.withData([](ZnSimData& d) {
        for (Json::Value& r : d.table("dsk81")) {
            if (r["terminalId"].asString() == "70001")
                r["name"] = "Desk & <co>";
        }
    });
    QSignalSpy changed(model, SIGNAL(micChanged(int)));
    QCOMPARE(model->requestMic(m_s.centre.get(), 70001), 0);
    QCOMPARE(changed.count(), 1);
    ZnMic desk;
    QVERIFY(model->getMic(70001, desk));
    QCOMPARE(desk.name, std::string("Desk & <co>"));
    QCOMPARE(desk.capVol, 65);
    const int asked = m_s.sim.count("GET");
    QCOMPARE(model->requestMic(m_s.centre.get(), 4242), -1);
    QCOMPARE(m_s.sim.count("GET"), asked);
    // A held console with its flag byte set is not asked for: 0 at once.
    desk.extraFlagA = true;
    ZnMicListMgr::onNotify(263, &desk);
    QCOMPARE(model->requestMic(m_s.centre.get(), 70001), 0);
    QCOMPARE(m_s.sim.count("GET"), asked);
}

void TstConsoles::dsk81BooksPerConsole()
{
    ZnMicListMgr* model = ZnMicListMgr::instance();
    m_s.sim.withData([](ZnSimData& d) {
        Json::Value r(Json::objectValue);
        r["terminalId"] = "70002";
        r["monitorId"] = "60001";
        d.addRow("d81monitor", r);
    });
    ZnBookRequest request;
    request.type = 272;
    request.terminalId = 70001;
    QCOMPARE(model->requestMicBooks(&request), 0);
    std::list<BookEntry> book;
    QVERIFY(model->monitorList(70001, book));
    QCOMPARE(idsOf(book, &BookEntry::itemId), std::vector<int>{10001});

    // The dialog of 70001 writes its region book; 70002's answer arrives in between.
    ZnBookRequest change;
    change.type = 277;
    change.terminalId = 70001;
    change.text = "2 1";
    QCOMPARE(model->setMicBooks(&change), 0);
    request.terminalId = 70002;
    QCOMPARE(model->requestMicBooks(&request), 0);
    QVERIFY(!model->monitorList(70001, book));
    QVERIFY(book.empty());
    QVERIFY(model->monitorList(70002, book));
    QCOMPARE(idsOf(book, &BookEntry::itemId), std::vector<int>{60001});
    QCOMPARE(idsOf(model->monitorList(), &BookEntry::itemId), std::vector<int>{60001});

    request.type = 276;
    request.terminalId = 70001;
    QCOMPARE(model->requestMicBooks(&request), 0);
    QVERIFY(model->regionList(70001, book));
    QCOMPARE(idsOf(book, &BookEntry::itemId), (std::vector<int>{2, 1}));
}

// One unlock() ends either locked reader; a wrong one would leave the receive
// thread stuck on the next answer.
void TstConsoles::dsk81PlayTerminalsShareTheListLock()
{
    ZnMicListMgr* model = ZnMicListMgr::instance();
    ZnBookRequest all;
    all.type = 269;
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(model->requestMicBooks(&all), 0);
        const std::list<ZnMic>* play = model->lockAllPlayTerminals();
        const std::vector<int> ids = idsOf(*play, &ZnMic::id);
        model->unlock();
        QVERIFY(!ids.empty());
        QVERIFY(std::is_sorted(ids.begin(), ids.end()));
        const std::list<ZnMic>* consoles = model->lock();
        QVERIFY(consoles);
        model->unlock();
    }
}

void TstConsoles::d82BooksAreReadAndWritten()
{
    ZnD82ListMgr* d82 = ZnD82ListMgr::instance();
    ZnBookRequest r;
    r.terminalId = 80001;
    r.type = 282;
    QCOMPARE(d82->requestD82Books(&r), 0);
    QCOMPARE(idsOf(d82->callList(), &BookEntry::itemId), std::vector<int>{70001});
    QCOMPARE(d82->callList().front().itemType, 3);

    // A written book is read back in the order given.
    ZnBookRequest w;
    w.terminalId = 80001;
    w.type = 286;
    w.text = "3 1";
    QCOMPARE(d82->setD82Books(&w), 0);
    r.type = 285;
    QCOMPARE(d82->requestD82Books(&r), 0);
    QCOMPARE(idsOf(d82->sourceList(), &BookEntry::itemId), (std::vector<int>{3, 1}));

    r.type = 283;
    QCOMPARE(d82->requestD82Books(&r), 0);
    const std::list<ZnD82> all = d82->allCallList();
    const std::vector<int> ids = idsOf(all, &ZnD82::id);
    QVERIFY(ids.size() >= 7 && std::is_sorted(ids.begin(), ids.end()));
    QVERIFY(std::any_of(all.begin(), all.end(), [](const ZnD82& t) { return t.name == "8_80002"; }));

    // A request type that names no book is not sent.
    const int sent = m_s.sim.count("GET");
    r.type = 290;
    QCOMPARE(d82->requestD82Books(&r), -1);
    QCOMPARE(m_s.sim.count("GET"), sent);
}

// A book entry's id as both book readers take it: "yes" and the number for an
// id within int, else "no" and 0; beside it the id as the row wrote it, which
// names an entry the dialogs cannot write back.
void TstConsoles::bookIdsAsStored_data()
{
    QTest::addColumn<QByteArray>("id"); // the value as the row carries it; empty: no such key
    QTest::addColumn<QString>("read");  // hasItemId|itemId|itemIdText
    QTest::newRow("decimal text") << QByteArray(R"("80002")") << "yes|80002|80002";
    QTest::newRow("number") << QByteArray("80002") << "yes|80002|80002";
    QTest::newRow("a word") << QByteArray(R"("abc")") << "no|0|abc";
    QTest::newRow("empty") << QByteArray(R"("")") << "no|0|";
    QTest::newRow("beyond int") << QByteArray("99999999999") << "no|0|99999999999";
    QTest::newRow("digits then a word") << QByteArray(R"("12abc")") << "no|0|12abc";
    QTest::newRow("missing") << QByteArray() << "no|0|";
}

void TstConsoles::bookIdsAsStored()
{
    QFETCH(QByteArray, id);
    QFETCH(QString, read);
    const auto body = [&](const char* key) {
        return id.isEmpty() ? std::string(R"([{"orderId":"1"}])")
                            : std::string(R"([{"orderId":"1",")") + key + "\":" + id.toStdString() + "}]";
    };
    const auto shown = [](const std::list<BookEntry>& book) {
        if (book.size() != 1)
            return QStringLiteral("%1 entries").arg(book.size());
        const BookEntry& e = book.front();
        return QStringLiteral("%1|%2|%3")
            .arg(e.hasItemId ? QStringLiteral("yes") : QStringLiteral("no"))
            .arg(e.itemId)
            .arg(QString::fromStdString(e.itemIdText));
    };
    std::list<BookEntry> monitors, contacts;
    QVERIFY(ZnMicRows::bookList(body("monitorId"), "monitorId", "monitorType", monitors));
    QVERIFY(ZnD82Manage::parseBook(body("contactId"), "contactId", contacts));
    QCOMPARE(shown(monitors), read);
    QCOMPARE(shown(contacts), read);
}

void TstConsoles::d82OneDevice()
{
    ZnD82ListMgr* d82 = ZnD82ListMgr::instance();
    QSignalSpy changed(d82, &ZnD82ListMgr::d82Changed);
    m_s.sim.addRule(ZnSimRule::make(
        "GET D82", ZnSimRule::Reply,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><D82List><D82 terminalId=\"80002\" type=\"8\" status=\"0\" "
        "work=\"busy\" name=\"Night guard\" ip=\"10.0.8.22\" ver=\"2.0\"/></D82List>"));
    QCOMPARE(d82->requestD82(m_s.centre.get(), 80002), 0);
    QVERIFY(SimSession::spinUntil([&] { return changed.count() == 1; }));
    ZnD82 d;
    QVERIFY(d82->getD82(80002, &d));
    QCOMPARE(d.name + '|' + d.work + '|' + std::to_string(d.status), std::string("Night guard|busy|0"));
    // The last D82 query, not the last request: a keep-alive may have come after it.
    const ZnSimRequest sent = m_s.requests("GET D82").back();
    QCOMPARE(sent.data + ' ' + std::to_string(sent.id), std::string("D82 80002"));

    // Nothing goes out for a device the model does not hold, or without a centre.
    const int before = m_s.sim.count("GET D82");
    QCOMPARE(d82->requestD82(m_s.centre.get(), 4242), -1);
    QCOMPARE(d82->requestD82(nullptr, 80001), -1);
    QCOMPARE(m_s.sim.count("GET D82"), before);
}

void TstConsoles::answerSignalsComeBeforeTheReturn_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::newRow("answered at once") << 0;
    // The wait has begun to sleep when the answer wakes it.
    QTest::newRow("answered later") << 30;
}

void TstConsoles::answerSignalsComeBeforeTheReturn()
{
    // A page that asks for a list and reads the model right after the call finds
    // the signal of the new list already delivered, however the wait ended.
    QFETCH(int, delayMs);
    if (delayMs > 0)
        m_s.sim.addRule(ZnSimRule::make("GET SqlConfig/D82List", ZnSimRule::Delay, "", delayMs, 1));
    ZnD82ListMgr* d82 = ZnD82ListMgr::instance();
    QSignalSpy listed(d82, &ZnD82ListMgr::gotD82List);
    QCOMPARE(d82->requestD82List(), 0);
    QCOMPARE(listed.count(), 1);
}

void TstConsoles::removalRefusalsHeardOnceAmplifiersAsked()
{
    // The amplifier model hears refused removals of every family once its list was
    // asked for, not merely because it exists.
    ZnPlayTermListMgr* amps = ZnPlayTermListMgr::instance();
    QSignalSpy refused(amps, &ZnPlayTermListMgr::delTermError);
    m_s.sim.addRule(ZnSimRule::make("POST RemoveDevice", ZnSimRule::Fail, "console busy"));
    QCOMPARE(apiRemoveDevice(m_s.centre.get(), 50002, "2"), 1);
    QVERIFY(m_s.settle());
    QCOMPARE(refused.count(), 0);
    QCOMPARE(amps->requestPlayTermList(), 0);
    QCOMPARE(apiRemoveDevice(m_s.centre.get(), 50002, "2"), 1);
    QVERIFY(m_s.settle());
    QCOMPARE(refused.count(), 1);
    QCOMPARE(amps->lastError(), QStringLiteral("console busy"));
}

QTEST_GUILESS_MAIN(TstConsoles)
#include "tst_consoles.moc"
