// Every field that a reader of an answer or a push fills. Each row names every key
// (or attribute) its reader takes, as the server's columns and elements name them,
// with a value that neither the record's default nor a missing key gives; the
// record read shows those values again, in the row's order. A reader that looks
// for a key under another name leaves its field as it was and fails its row.
#include "BookEntry.h"
#include "RecordFields.h"
#include "ZnBroadcast.h"
#include "ZnBroadcastManage.h"
#include "ZnCap.h"
#include "ZnCapManage.h"
#include "ZnD82.h"
#include "ZnD82Manage.h"
#include "ZnFAlarm.h"
#include "ZnFAlarmManage.h"
#include "ZnLevel.h"
#include "ZnLevelManage.h"
#include "ZnMicGroup.h"
#include "ZnMicGroupManage.h"
#include "ZnMicRows.h"
#include "ZnPlayTaskManage.h"
#include "ZnRegion.h"
#include "ZnRegionManage.h"
#include "ZnScheme.h"
#include "ZnSchemeManage.h"
#include "ZnSsTask.h"
#include "ZnSsTaskManage.h"
#include "ZnTerminal.h"
#include "ZnTerminalManage.h"
#include "ZnTts.h"
#include "ZnTtsManage.h"
#include "ZnUser.h"
#include "ZnUserManage.h"

#include <json/json.h>

#include <QtTest>

namespace {

using namespace RecordFields;

using Fields = std::vector<std::pair<std::string, std::string>>;
// The first record a body reads as, its fields joined by "|"; "none" when none.
using Reader = QString (*)(const std::string& body);

template <class Record, class Show>
QString first(const std::list<Record>& list, bool read, Show show)
{
    return read && !list.empty() ? show(list.front()) : QStringLiteral("none");
}

template <class Record, bool (*parse)(const std::string&, std::list<Record>&), class Show>
QString rows(const std::string& body, Show show)
{
    std::list<Record> list;
    const bool read = parse(body, list);
    return first(list, read, show);
}

template <int type>
QString dsk81Book(const std::string& body)
{
    const char* item = nullptr;
    const char* kind = nullptr;
    if (!ZnMicRows::bookKeys(type, item, kind))
        return QStringLiteral("no keys");
    std::list<BookEntry> list;
    const bool read = ZnMicRows::bookList(body, item, kind, list);
    return first(list, read, kind ? typedEntry : entry);
}

std::list<BookEntry> gBook;
template <int type>
QString d82Book(const std::string& body)
{
    ZnD82Manage m;
    gBook.clear();
    m.setCallback([](int, void* data) { gBook = *static_cast<std::list<BookEntry>*>(data); });
    m.onResponse(type, body);
    return first(gBook, true, type == ZnD82Manage::CallBookType ? typedEntry : entry);
}

// The first task of a task list.
template <class Show>
QString playTask(const std::string& body, Show show)
{
    ZnPlayTaskManage m;
    const bool read = m.parseTaskList(body) == 0;
    return first(m.taskList(), read, show);
}
QString taskAttributes(const std::string& body)
{
    return playTask(body, &RecordFields::playTask);
}
QString taskTime(const std::string& body)
{
    return playTask(body, [](const ZnPlayTask& t) {
        return t.execTimes.empty() ? QStringLiteral("none")
                                   : join({n(t.execTimes.front().seconds), s(t.execTimes.front().nameText()),
                                           n(t.execTimes.front().rule)});
    });
}
QString taskFile(const std::string& body)
{
    return playTask(body, [](const ZnPlayTask& t) {
        return t.files.empty() ? QStringLiteral("none")
                               : join({n(t.files.front().id), s(t.files.front().path), n(t.files.front().rule),
                                       n(t.files.front().t)});
    });
}
QString taskSpeech(const std::string& body)
{
    return playTask(body, &RecordFields::playTaskSpeech);
}
QString taskVolume(const std::string& body)
{
    return playTask(body, [](const ZnPlayTask& t) { return n(t.volume); });
}
QString taskTerminal(const std::string& body)
{
    return playTask(body, [](const ZnPlayTask& t) {
        return t.terminalIds.empty() || t.terminalVolumes.empty()
                   ? QStringLiteral("none")
                   : join({n(t.terminalIds.front()), n(t.terminalVolumes.front())});
    });
}

QString planSet(const std::string& body)
{
    ZnScheme p;
    if (!ZnSchemeManage::parseSet(body, p))
        return QStringLiteral("none");
    return join({n(p.id), n(p.level), n(p.enable), n(p.type), s(p.name), s(p.remark)});
}

template <class Show>
QString broadcast(const std::string& body, Show show)
{
    std::list<ZnBroadcast> list;
    const bool read = ZnBroadcastManage::parseList(body, list);
    return first(list, read, show);
}
QString broadcastAttributes(const std::string& body)
{
    return broadcast(body, &RecordFields::broadcast);
}
QString broadcastRegion(const std::string& body)
{
    return broadcast(body, [](const ZnBroadcast& b) {
        return b.regions.empty() ? QStringLiteral("none")
                                 : join({n(b.regions.front().first), n(b.regions.front().second.regionId)});
    });
}
QString broadcastExternal(const std::string& body)
{
    return broadcast(body, [](const ZnBroadcast& b) {
        return b.externalIds.empty() ? QStringLiteral("none") : n(b.externalIds.front());
    });
}
QString broadcastFile(const std::string& body)
{
    return broadcast(body, [](const ZnBroadcast& b) {
        return b.files.empty() ? QStringLiteral("none") : join({n(b.files.front().id), s(b.files.front().name)});
    });
}

QString level(const std::string& body)
{
    const std::unique_ptr<std::list<ZnLevel>> list = ZnLevelManage::parseLevelList(body);
    return list ? first(*list, true, &RecordFields::level) : QStringLiteral("none");
}

template <class Show>
QString user(const std::string& body, Show show)
{
    const std::unique_ptr<std::list<ZnUser>> list = ZnUserManage::parseUserList(body);
    return list ? first(*list, true, show) : QStringLiteral("none");
}
QString userAttributes(const std::string& body)
{
    return user(body, &RecordFields::user);
}
QString userAssign(const std::string& body)
{
    return user(body, [](const ZnUser& u) { return n(u.assign); });
}
QString userTerminal(const std::string& body)
{
    return user(body, [](const ZnUser& u) {
        return u.terminalIds.empty() ? QStringLiteral("none") : n(u.terminalIds.front());
    });
}

} // namespace

Q_DECLARE_METATYPE(Reader)

class TstReaderFields : public QObject
{
    Q_OBJECT

    // JSON rows: one object of the fields. XML: the fields as the attributes of the
    // element at "@" in the pattern.
    static void row(const char* name, Reader read, const char* pattern, const Fields& fields)
    {
        std::string body;
        QStringList values;
        if (!*pattern) {
            Json::Value object(Json::objectValue);
            for (const auto& f : fields)
                object[f.first] = f.second;
            Json::Value array(Json::arrayValue);
            array.append(object);
            body = Json::FastWriter().write(array);
        } else {
            std::string attributes;
            for (const auto& f : fields)
                attributes += " " + f.first + "=\"" + f.second + "\"";
            body = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + std::string(pattern);
            body.replace(body.find('@'), 1, attributes);
        }
        for (const auto& f : fields)
            values << s(f.second);
        QTest::newRow(name) << read << QByteArray::fromStdString(body) << join(values);
    }

private slots:
    void everyFieldRead_data();
    void everyFieldRead();
};

void TstReaderFields::everyFieldRead_data()
{
    QTest::addColumn<Reader>("read");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("fields");

    const char* json = "";
    row("IP amplifiers",
        [](const std::string& b) { return rows<ZnTerminal, &ZnTerminalManage::parseRows>(b, terminal); }, json,
        {{"terminalId", "31"},
         {"status", "2"},
         {"work", "busy"},
         {"name", "Hall"},
         {"type", "IP"},
         {"exten", "8001"},
         {"ver", "1.2"},
         {"ip", "10.0.0.31"},
         {"broVol", "60"},
         {"input", "1"},
         {"power", "1"},
         {"ampTemp", "45"},
         {"localTemp", "30"},
         {"speaker", "3"}});
    row("capture units", [](const std::string& b) { return rows<ZnCap, &ZnCapManage::parseRows>(b, cap); }, json,
        {{"terminalId", "5"},
         {"status", "2"},
         {"name", "Stage"},
         {"type", "CAP"},
         {"exten", "8002"},
         {"ver", "2.0"},
         {"ip", "10.0.0.5"},
         {"capVol", "40"},
         {"capSamplerate", "44100"}});
    row("fire-alarm interfaces",
        [](const std::string& b) { return rows<ZnFAlarm, &ZnFAlarmManage::parseRows>(b, alarm); }, json,
        {{"terminalId", "4"},
         {"status", "2"},
         {"name", "Panel"},
         {"type", "FR"},
         {"ver", "3.1"},
         {"ip", "10.0.0.4"},
         {"broadcast", "0110"},
         {"shortCircuit", "6"},
         {"broadcastTrigger", "7"},
         {"stopBroadcast", "8"},
         {"triggerType", "2"}});
    row("TTS units", [](const std::string& b) { return rows<ZnTts, &ZnTtsManage::parseRows>(b, tts); }, json,
        {{"terminalId", "3"},
         {"status", "2"},
         {"name", "Voice"},
         {"type", "TTS71"},
         {"exten", "8003"},
         {"ver", "1.1"},
         {"ip", "10.0.0.3"}});
    row("D72 consoles", [](const std::string& b) { return rows<ZnMic, &ZnMicRows::d72List>(b, d72); }, json,
        {{"terminalId", "50001"},
         {"status", "2"},
         {"name", "Gate"},
         {"ver", "1.0"},
         {"ip", "10.0.1.1"},
         {"type", "2"},
         {"exten", "8101"},
         {"ppt", "3"},
         {"aec", "4"},
         {"broVol", "61"},
         {"capVol", "62"},
         {"bellVol", "63"},
         {"callVol", "64"}});
    row("D72 and D74 button calls",
        [](const std::string& b) { return rows<ZnMicBtnCall, &ZnMicRows::buttonCallList>(b, buttonCall); }, json,
        {{"terminalId", "50001"},
         {"startCall", "ButtonPopUp"},
         {"stopCall", "ButtonUp"},
         {"dsk81Id", "70002"},
         {"groupId", "9"}});
    row("D74 consoles", [](const std::string& b) { return rows<ZnMic, &ZnMicRows::d74List>(b, d74); }, json,
        {{"terminalId", "60001"},
         {"status", "2"},
         {"work", "idle"},
         {"exten", "8201"},
         {"name", "Lobby"},
         {"ver", "1.3"},
         {"type", "7"},
         {"ip", "10.0.2.1"},
         {"broVol", "51"},
         {"capVol", "52"},
         {"bellVol", "53"},
         {"callVol", "54"},
         {"ledColor", "28"},
         {"switchMode", "3"},
         {"displayTime", "9"},
         {"ledTxt", "Hi"}});
    row("Dsk81 consoles", [](const std::string& b) { return rows<ZnMic, &ZnMicRows::dsk81List>(b, dsk81); }, json,
        {{"terminalId", "70001"},
         {"status", "2"},
         {"work", "talking"},
         {"name", "Desk"},
         {"type", "3"},
         {"exten", "8301"},
         {"ver", "1.4"},
         {"ip", "10.0.3.1"},
         {"broVol", "41"},
         {"capVol", "42"},
         {"bellVol", "43"},
         {"callVol", "44"},
         {"pttMode", "2"}});
    row("Dsk81 call book", &dsk81Book<266>, json,
        {{"terminalId", "70001"}, {"contactId", "31"}, {"contactType", "6"}, {"orderId", "2"}});
    row("Dsk81 call transfers", &dsk81Book<270>, json,
        {{"terminalId", "70001"}, {"transferId", "32"}, {"transferType", "7"}, {"orderId", "3"}});
    row("Dsk81 monitors", &dsk81Book<272>, json,
        {{"terminalId", "70001"}, {"monitorId", "33"}, {"monitorType", "8"}, {"orderId", "4"}});
    row("Dsk81 sound sources", &dsk81Book<274>, json, {{"terminalId", "70001"}, {"sourceId", "34"}, {"orderId", "5"}});
    row("Dsk81 regions", &dsk81Book<276>, json, {{"terminalId", "70001"}, {"regionId", "35"}, {"orderId", "6"}});
    row("terminal directories",
        [](const std::string& b) { return rows<ZnMic, &ZnMicRows::directoryList>(b, directory); }, json,
        {{"terminalId", "50001"}, {"type", "2"}, {"exten", "8101"}, {"name", "Gate"}});
    row("D82 devices", [](const std::string& b) { return rows<ZnD82, &ZnD82Manage::parseDevices>(b, d82); }, json,
        {{"terminalId", "80001"},
         {"status", "2"},
         {"work", "on call"},
         {"name", "Guard"},
         {"type", "9"},
         {"ver", "5.0"},
         {"ip", "10.0.8.1"}});
    row("D82 call book", &d82Book<ZnD82Manage::CallBookType>, json,
        {{"terminalId", "80001"}, {"contactId", "36"}, {"contactType", "6"}, {"orderId", "7"}});
    row("D82 sound sources", &d82Book<ZnD82Manage::SourceBookType>, json,
        {{"terminalId", "80001"}, {"sourceId", "37"}, {"orderId", "8"}});
    row("D82 regions", &d82Book<ZnD82Manage::RegionBookType>, json,
        {{"terminalId", "80001"}, {"regionId", "38"}, {"orderId", "9"}});
    row("D82 all-call list",
        [](const std::string& b) {
            return rows<ZnD82, &ZnD82Manage::parseAllCall>(b, [](const ZnD82& d) {
                return join({n(d.id), s(d.type), s(d.name)});
            });
        },
        json, {{"terminalId", "21"}, {"type", "8"}, {"name", "Yard"}});
    row("microphone groups",
        [](const std::string& b) { return rows<ZnMicGroup, &ZnMicGroupManage::parseRows>(b, group); }, json,
        {{"groupId", "2"}, {"name", "Night"}, {"callWaitRule", "2"}, {"ringTime", "45"}, {"terminalId", "12 15 7"}});
    row("regions", [](const std::string& b) { return rows<ZnRegion, &ZnRegionManage::parseRows>(b, region); }, json,
        {{"regionId", "3"}, {"name", "Ground floor"}, {"terminalId", "3 8 21"}});
    row("sound-source tasks", [](const std::string& b) { return rows<ZnSsTask, &ZnSsTaskManage::parseRows>(b, task); },
        json,
        {{"sourceId", "21"},
         {"name", "Drill"},
         {"status", "3"},
         {"sourceCategory", "4"},
         {"sourceType", "3"},
         {"timerPlanId", "6"},
         {"sourceContent", "hello"},
         {"playVol", "33"},
         {"playTimes", "4"},
         {"duration", "90"},
         {"openAmp", "5"},
         {"week", "127"},
         {"startDate", "1777593600"},
         {"endDate", "1780185600"},
         {"executeTime", "Ten#$%36000"},
         {"terminalId", "3 5"}});
    row("timer plans", [](const std::string& b) { return rows<ZnScheme, &ZnSchemeManage::parseRows>(b, plan); }, json,
        {{"timerplanId", "4"}, {"name", "Weekdays"}, {"enable", "2"}, {"comment", "office hours"}});

    row("timer plan SET", &planSet, "<Scheme @/>",
        {{"Id", "4"}, {"level", "8"}, {"Status", "2"}, {"type", "6"}, {"SchemeName", "Night"}, {"SchemeRemark", "r"}});
    const char* oneTask = "<TaskList><Task @><exec/><files/><terminals/></Task></TaskList>";
    row("play tasks", &taskAttributes, oneTask,
        {{"id", "7"},        {"en", "3"},    {"exe", "1"},       {"name", "Bell"}, {"mode", "4"},
         {"dur", "120"},     {"power", "5"}, {"user", "6"},      {"lv", "7"},      {"btime", "4102444800"},
         {"rule", "3"},      {"bdate", "9"}, {"edate", "10"},    {"week", "11"},   {"type", "12"},
         {"src_type", "13"}, {"fsrc", "14"}, {"em", "15"},       {"ev", "16"},     {"emm", "17"},
         {"emv", "18"},      {"elm", "19"},  {"elv", "20"},      {"ei", "21"},     {"echannel", "22"},
         {"SchemeID", "23"}, {"mgr", "24"},  {"user_code", "25"}});
    row("play task execution times", &taskTime,
        "<TaskList><Task id=\"7\"><exec><e @/></exec><files/><terminals/></Task></TaskList>",
        {{"i", "28800"}, {"n", "morning"}, {"rule", "3"}});
    row("play task files", &taskFile,
        "<TaskList><Task id=\"7\"><exec/><files><f @/></files><terminals/></Task></TaskList>",
        {{"i", "3"}, {"n", "/media/bells/ring.mp3"}, {"rule", "9"}, {"t", "2"}});
    row("play task speech", &taskSpeech,
        "<TaskList><Task id=\"7\"><exec/><files/><TtsInfo @/><terminals/></Task></TaskList>",
        {{"tts_text", "hello"}, {"role", "1"}, {"speed", "2"}, {"vol", "7"}, {"tone", "4"}});
    row("play task terminals", &taskVolume, "<TaskList><Task id=\"7\"><exec/><files/><terminals @/></Task></TaskList>",
        {{"vol", "40"}});
    row("play task terminal", &taskTerminal,
        "<TaskList><Task id=\"7\"><exec/><files/><terminals><t @/></terminals></Task></TaskList>",
        {{"i", "11"}, {"vol", "30"}});
    row("broadcasts", &broadcastAttributes, "<BroadcastList><Broadcast @/></BroadcastList>",
        {{"id", "12"},
         {"code", "B12"},
         {"name", "Morning"},
         {"level", "3"},
         {"ip", "10.0.9.1"},
         {"status", "2"},
         {"mdir", "/media/am"},
         {"esrc", "4"},
         {"em", "1"},
         {"ev", "5"},
         {"emm", "1"},
         {"emv", "6"},
         {"elm", "1"},
         {"elv", "7"}});
    row("broadcast regions", &broadcastRegion,
        "<BroadcastList><Broadcast id=\"12\"><Region><R @/></Region></Broadcast></BroadcastList>",
        {{"key", "2"}, {"id", "4"}});
    row("broadcast externals", &broadcastExternal,
        "<BroadcastList><Broadcast id=\"12\"><External><E @/></External></Broadcast></BroadcastList>", {{"id", "77"}});
    row("broadcast files", &broadcastFile,
        "<BroadcastList><Broadcast id=\"12\"><File><F @/></File></Broadcast></BroadcastList>",
        {{"i", "1"}, {"n", "a.mp3"}});
    row("levels", &level, "<LevelList><Level @/></LevelList>",
        {{"id", "3"}, {"name", "low"}, {"lv", "7"}, {"type", "4"}});
    row("users", &userAttributes, "<UserList><User @/></UserList>",
        {{"id", "4"}, {"name", "operator"}, {"lv", "50"}, {"fn", "Op"}, {"pw", "secret"}, {"m", "note"}});
    row("user terminal lists", &userAssign, "<UserList><User id=\"4\"><TerminalList @/></User></UserList>",
        {{"assign", "2"}});
    row("user terminals", &userTerminal,
        "<UserList><User id=\"4\"><TerminalList><T @/></TerminalList></User></UserList>", {{"id", "7"}});
}

void TstReaderFields::everyFieldRead()
{
    QFETCH(Reader, read);
    QFETCH(QByteArray, body);
    QTEST(read(body.toStdString()), "fields");
}

QTEST_GUILESS_MAIN(TstReaderFields)
#include "tst_readerfields.moc"
