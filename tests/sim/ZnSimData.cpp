#include "ZnSimData.h"

#include <QCryptographicHash>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <regex>
#include <sstream>

namespace {
Json::Value row(std::initializer_list<std::pair<const char*, std::string>> fields)
{
    Json::Value r(Json::objectValue);
    for (const auto& f : fields)
        r[f.first] = f.second;
    return r;
}

std::string str(const Json::Value& v, const char* key)
{
    return v.isObject() && v.isMember(key) && v[key].isString() ? v[key].asString() : std::string();
}

const char* const kTerminalTables[] = {"ipamp", "capd73", "firealarm", "tts71", "dsk72", "dsk74", "dsk81", "d82"};
}

std::string ZnSimData::lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string ZnSimData::json(const Json::Value& value)
{
    Json::FastWriter writer;
    return writer.write(value);
}

std::vector<Json::Value>& ZnSimData::table(const std::string& name)
{
    return tables[lower(name)];
}

void ZnSimData::addRow(const std::string& name, const Json::Value& r)
{
    table(name).push_back(r);
}

void ZnSimData::addTerminals(const std::string& name, int firstId, int count)
{
    for (int i = 0; i < count; ++i) {
        const std::string id = std::to_string(firstId + i);
        addRow(name, row({{"terminalId", id}, {"type", "6"}, {"status", "1"}, {"work", "idle"},
                          {"name", "Speaker " + id}, {"ip", "10.0." + std::to_string((firstId + i) / 250 % 250) + "."
                                                              + std::to_string((firstId + i) % 250 + 1)},
                          {"exten", "8" + id}, {"ver", "2.1.7"}, {"broVol", "60"}, {"input", "0"}, {"power", "1"},
                          {"ampTemp", "38"}, {"localTemp", "31"}, {"speaker", "1"}}));
    }
}

void ZnSimData::loadSample()
{
    users["admin"] = "admin";
    users["operator"] = "op1234";

    addTerminals("ipamp", 10001, 3);
    table("ipamp")[2]["name"] = "";
    addRow("capd73", row({{"terminalId", "20001"}, {"type", "CAP"}, {"status", "1"}, {"name", "Capture A"},
                          {"ip", "10.0.2.1"}, {"exten", "8201"}, {"ver", "1.0.3"}, {"capVol", "70"},
                          {"capSamplerate", "16000"}}));
    addRow("capd73", row({{"terminalId", "20002"}, {"type", "CAP"}, {"status", "0"}, {"name", ""},
                          {"ip", "10.0.2.2"}, {"exten", "8202"}, {"ver", "1.0.3"}, {"capVol", "50"},
                          {"capSamplerate", "44100"}}));
    addRow("firealarm", row({{"terminalId", "30001"}, {"type", "FR"}, {"status", "1"}, {"name", "Fire panel"},
                             {"ip", "10.0.3.1"}, {"ver", "3.2"}, {"shortCircuit", "0"}, {"broadcast", "1 2"},
                             {"broadcastTrigger", "1"}, {"stopBroadcast", "0"}, {"triggerType", "1"}}));
    addRow("firealarm", row({{"terminalId", "30002"}, {"type", "FR"}, {"status", "0"}, {"name", ""},
                             {"ip", "10.0.3.2"}, {"ver", "3.2"}, {"shortCircuit", "1"}, {"broadcast", ""},
                             {"broadcastTrigger", "0"}, {"stopBroadcast", "1"}, {"triggerType", "2"}}));
    addRow("tts71", row({{"terminalId", "40001"}, {"type", "TTS71"}, {"status", "1"}, {"name", "Voice 1"},
                         {"ip", "10.0.4.1"}, {"exten", "8401"}, {"ver", "1.4"}}));
    addRow("tts71", row({{"terminalId", "40002"}, {"type", "TTS71"}, {"status", "0"}, {"name", ""},
                         {"ip", "10.0.4.2"}, {"exten", "8402"}, {"ver", "1.4"}}));
    addRow("dsk72", row({{"terminalId", "50001"}, {"type", "2"}, {"status", "1"}, {"name", "Gate call"},
                         {"ip", "10.0.5.1"}, {"exten", "8501"}, {"ver", "2.0"}, {"ppt", "1"}, {"aec", "0"},
                         {"broVol", "70"}, {"capVol", "60"}, {"bellVol", "80"}, {"callVol", "75"}}));
    addRow("dsk72", row({{"terminalId", "50002"}, {"type", "2"}, {"status", "0"}, {"name", ""},
                         {"ip", "10.0.5.2"}, {"exten", "8502"}, {"ver", "2.0"}, {"ppt", "0"}, {"aec", "1"},
                         {"broVol", "50"}, {"capVol", "40"}, {"bellVol", "60"}, {"callVol", "55"}}));
    addRow("dsk74", row({{"terminalId", "60001"}, {"type", "4"}, {"status", "1"}, {"work", "idle"},
                         {"name", "Lobby help"}, {"ip", "10.0.6.1"}, {"exten", "8601"}, {"ver", "2.2"},
                         {"broVol", "70"}, {"capVol", "60"}, {"bellVol", "80"}, {"callVol", "75"},
                         {"ledColor", "224"}, {"switchMode", "1"}, {"displayTime", "5"}, {"ledTxt", "Welcome"}}));
    addRow("dsk74", row({{"terminalId", "60002"}, {"type", "4"}, {"status", "0"}, {"work", "idle"}, {"name", ""},
                         {"ip", "10.0.6.2"}, {"exten", "--"}, {"ver", "2.2"}, {"broVol", "50"}, {"capVol", "40"},
                         {"bellVol", "60"}, {"callVol", "55"}, {"ledColor", "28"}, {"switchMode", "2"},
                         {"displayTime", "9"}, {"ledTxt", ""}}));
    addRow("dsk81", row({{"terminalId", "70001"}, {"type", "3"}, {"status", "1"}, {"work", "idle"},
                         {"name", "Control desk"}, {"ip", "10.0.7.1"}, {"exten", "8701"}, {"ver", "4.1"},
                         {"capVol", "65"}, {"callVol", "70"}, {"bellVol", "75"}, {"broVol", "80"}, {"pttMode", "1"}}));
    addRow("dsk81", row({{"terminalId", "70002"}, {"type", "3"}, {"status", "0"}, {"work", "idle"}, {"name", ""},
                         {"ip", "10.0.7.2"}, {"exten", "8702"}, {"ver", "4.1"}, {"capVol", "45"}, {"callVol", "50"},
                         {"bellVol", "55"}, {"broVol", "60"}}));
    addRow("d82", row({{"terminalId", "80001"}, {"type", "8"}, {"status", "1"}, {"work", "idle"},
                       {"name", "Guard mobile"}, {"ip", "10.0.8.1"}, {"ver", "1.9"}}));
    addRow("d82", row({{"terminalId", "80002"}, {"type", "8"}, {"status", "0"}, {"work", "idle"}, {"name", ""},
                       {"ip", "10.0.8.2"}, {"ver", "1.9"}}));

    addRow("d72buttoncall", row({{"terminalId", "50001"}, {"startCall", "1"}, {"stopCall", "2"},
                                 {"dsk81Id", "70001"}, {"groupId", "0"}}));
    addRow("d72buttoncall", row({{"terminalId", "50001"}, {"startCall", "3"}, {"stopCall", "4"}, {"dsk81Id", "0"},
                                 {"groupId", "1"}}));
    addRow("d74buttoncall", row({{"terminalId", "60001"}, {"startCall", "1"}, {"stopCall", "2"},
                                 {"dsk81Id", "70001"}, {"groupId", "0"}}));
    addRow("d81call", row({{"terminalId", "70001"}, {"contactId", "50001"}, {"contactType", "2"}, {"orderId", "1"}}));
    addRow("d81call", row({{"terminalId", "70001"}, {"contactId", "80001"}, {"contactType", "8"}, {"orderId", "2"}}));
    addRow("d81transfercall",
           row({{"terminalId", "70001"}, {"transferId", "70002"}, {"transferType", "3"}, {"orderId", "1"}}));
    addRow("d81monitor", row({{"terminalId", "70001"}, {"monitorId", "10001"}, {"monitorType", "6"}, {"orderId", "1"}}));
    addRow("d81soundsource", row({{"terminalId", "70001"}, {"sourceId", "1"}, {"orderId", "1"}}));
    addRow("d81broadcast", row({{"terminalId", "70001"}, {"regionId", "1"}, {"orderId", "1"}}));
    addRow("d82call", row({{"terminalId", "80001"}, {"contactId", "70001"}, {"contactType", "3"}, {"orderId", "1"}}));
    addRow("d82soundsource", row({{"terminalId", "80001"}, {"sourceId", "2"}, {"orderId", "1"}}));
    addRow("d82broadcast", row({{"terminalId", "80001"}, {"regionId", "2"}, {"orderId", "1"}}));

    addRow("callservergroup", row({{"groupId", "1"}, {"name", "Front desks"}, {"callWaitRule", "1"},
                                   {"ringTime", "60"}, {"terminalId", "70001 70002"}}));
    addRow("callservergroup", row({{"groupId", "2"}, {"name", "Night"}, {"callWaitRule", "2"}, {"ringTime", "30"},
                                   {"terminalId", "70002"}}));
    addRow("region", row({{"regionId", "1"}, {"name", "Ground floor"}, {"terminalId", "10001 10002"}}));
    addRow("region", row({{"regionId", "2"}, {"name", "Everywhere"}, {"terminalId", "10001 10002 10003 60001"}}));
    addRow("soundsource", row({{"sourceId", "1"}, {"name", "Morning bell"}, {"status", "2"}, {"sourceCategory", "3"},
                               {"sourceType", "1"}, {"timerPlanId", "1"}, {"sourceContent", "/mp3/bell.mp3"},
                               {"playVol", "70"}, {"duration", "0"}, {"playTimes", "1"}, {"openAmp", "5"},
                               {"week", "31"}, {"startDate", "0"}, {"endDate", "0"},
                               {"executeTime", "Start#$%28800!!!Noon#$%43200"}, {"terminalId", "10001 10002"}}));
    addRow("soundsource", row({{"sourceId", "2"}, {"name", "Evacuation"}, {"status", "2"}, {"sourceCategory", "2"},
                               {"sourceType", "3"}, {"timerPlanId", ""}, {"sourceContent", "Please leave the building"},
                               {"playVol", "90"}, {"duration", "600"}, {"playTimes", "3"}, {"openAmp", "0"},
                               {"week", "0"}, {"startDate", "0"}, {"endDate", "0"}, {"executeTime", ""},
                               {"terminalId", "10001 10002 10003"}}));
    addRow("soundsource", row({{"sourceId", "3"}, {"name", "Lobby music"}, {"status", "1"}, {"sourceCategory", "1"},
                               {"sourceType", "2"}, {"timerPlanId", ""}, {"sourceContent", "20001"},
                               {"playVol", "40"}, {"duration", "3600"}, {"playTimes", "1"}, {"openAmp", "0"},
                               {"week", "0"}, {"startDate", "0"}, {"endDate", "0"}, {"executeTime", ""},
                               {"terminalId", "10001"}}));
    addRow("timerplan", row({{"timerplanId", "1"}, {"name", "Weekdays"}, {"enable", "1"}, {"comment", "school days"}}));
    addRow("timerplan", row({{"timerplanId", "2"}, {"name", "Holidays"}, {"enable", "0"}, {"comment", ""}}));
    addRow("level", row({{"id", "3"}, {"name", "Operator"}, {"lv", "20"}, {"type", "5"}}));
    addRow("level", row({{"id", "10"}, {"name", "Administrator"}, {"lv", "100"}, {"type", "4"}}));
    addRow("level", row({{"id", "7"}, {"name", "Supervisor"}, {"lv", "50"}, {"type", "5"}}));
    addRow("parameter", row({{"name", "System_Name"}, {"value", "Demo site"}}));
    addRow("parameter", row({{"name", "Record_Server"}, {"value", "127.0.0.1"}}));
    addRow("parameter", row({{"name", "Talk_Log_Server"}, {"value", "127.0.0.1:0"}}));
    addRow("parameter", row({{"name", "Vad_Ptt_Time_Out"}, {"value", "30"}}));
    for (int i = 1; i <= 3; ++i) {
        const std::string id = std::to_string(i);
        addRow("userlog", row({{"id", id}, {"date", std::to_string(1700000000 + i * 60)}, {"content", "login"},
                               {"ip", "10.0.0.9"}, {"name", "admin"}}));
        addRow("talklog", row({{"id", id}, {"begin_time", std::to_string(1700000000 + i * 600)},
                               {"end_time", std::to_string(1700000060 + i * 600)}, {"callerId", "50001"},
                               {"calledId", "70001"}, {"callerName", "Gate call"}, {"calledName", "Control desk"},
                               {"type", "1"}, {"source_name", "call"},
                               {"recordfile", i == 2 ? "" : "/record/call" + id + ".mp3"}}));
        addRow("terminallog", row({{"id", id}, {"date", std::to_string(1700000000 + i * 120)},
                                   {"terminalId", "10001"}, {"name", "Speaker 10001"}, {"type", "IP"},
                                   {"ip", "10.0.0.2"}, {"action", i % 2 ? "online" : "offline"}}));
    }
}

namespace {
std::string xmlEscaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c; break;
        }
    }
    return out;
}
}

std::string ZnSimData::recordXml(const std::string& kind, int id) const
{
    const std::string element = kind == "Mic" ? "MicList" : kind + "List";
    const std::string tableName = kind == "Mic" ? "dsk81" : lower(kind);
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><" + element + ">";
    auto t = tables.find(tableName);
    if (t != tables.end()) {
        for (const Json::Value& r : t->second) {
            if (str(r, "terminalId") != std::to_string(id))
                continue;
            xml += "<" + kind;
            for (const std::string& key : r.getMemberNames())
                xml += " " + key + "=\"" + xmlEscaped(str(r, key.c_str())) + "\"";
            xml += "/>";
            break;
        }
    }
    return xml + "</" + element + ">";
}

std::string ZnSimData::levelListXml() const
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><LevelList>";
    auto t = tables.find("level");
    if (t != tables.end()) {
        for (const Json::Value& r : t->second) {
            xml += "<Level";
            for (const char* key : {"id", "name", "lv", "type"}) {
                if (r.isMember(key))
                    xml += std::string(" ") + key + "=\"" + xmlEscaped(str(r, key)) + "\"";
            }
            xml += "/>";
        }
    }
    return xml + "</LevelList>";
}

bool ZnSimData::query(const std::string& sql, Json::Value& rows) const
{
    rows = Json::Value(Json::arrayValue);
    static const std::regex unionRe(" union ", std::regex::icase);
    const std::string folded = lower(sql);
    if (folded.find(" union ") == std::string::npos)
        return selectOne(sql, rows);
    std::string orderBy;
    std::string rest = sql;
    const size_t order = folded.rfind(" order by ");
    if (order != std::string::npos) {
        orderBy = rest.substr(order + 10);
        rest = rest.substr(0, order);
    }
    std::sregex_token_iterator it(rest.begin(), rest.end(), unionRe, -1), end;
    for (; it != end; ++it) {
        Json::Value part;
        if (!selectOne(*it, part))
            return false;
        for (const Json::Value& r : part)
            rows.append(r);
    }
    if (!orderBy.empty()) {
        std::vector<Json::Value> sorted(rows.begin(), rows.end());
        std::stable_sort(sorted.begin(), sorted.end(), [&](const Json::Value& a, const Json::Value& b) {
            return std::atoi(str(a, orderBy.c_str()).c_str()) < std::atoi(str(b, orderBy.c_str()).c_str());
        });
        rows = Json::Value(Json::arrayValue);
        for (const Json::Value& r : sorted)
            rows.append(r);
    }
    return true;
}

bool ZnSimData::selectOne(const std::string& sql, Json::Value& rows) const
{
    static const std::regex re(
        R"(^\s*select\s+(.+?)\s+from\s+(\w+)(?:\s+where\s+(\w+)\s*=\s*'?([^'\s]*)'?)?(?:\s+order\s+by\s+(\w+)(\s+desc)?)?(?:\s+limit\s+(\d+)\s*,\s*(\d+))?\s*;?\s*$)",
        std::regex::icase);
    std::smatch m;
    if (!std::regex_match(sql, m, re))
        return false;
    rows = Json::Value(Json::arrayValue);
    auto t = tables.find(lower(m[2].str()));
    const std::vector<Json::Value> empty;
    const std::vector<Json::Value>& source = t == tables.end() ? empty : t->second;
    std::vector<const Json::Value*> picked;
    for (const Json::Value& r : source) {
        if (m[3].matched) {
            bool hit = false;
            for (const std::string& key : r.getMemberNames())
                hit = hit || (lower(key) == lower(m[3].str()) && lower(str(r, key.c_str())) == lower(m[4].str()));
            if (!hit)
                continue;
        }
        picked.push_back(&r);
    }
    if (m[5].matched) {
        const std::string key = m[5].str();
        const bool desc = m[6].matched;
        std::stable_sort(picked.begin(), picked.end(), [&](const Json::Value* a, const Json::Value* b) {
            const int x = std::atoi(str(*a, key.c_str()).c_str());
            const int y = std::atoi(str(*b, key.c_str()).c_str());
            return desc ? x > y : x < y;
        });
    }
    const std::string cols = m[1].str();
    if (lower(cols) == "count(*)") {
        Json::Value r(Json::objectValue);
        r["count(*)"] = std::to_string(picked.size());
        rows.append(r);
        return true;
    }
    size_t from = 0;
    size_t count = picked.size();
    if (m[7].matched) {
        from = std::min(picked.size(), static_cast<size_t>(std::atoi(m[7].str().c_str())));
        count = static_cast<size_t>(std::atoi(m[8].str().c_str()));
    }
    std::vector<std::string> wanted;
    if (cols != "*") {
        std::regex comma("\\s*,\\s*");
        std::sregex_token_iterator it(cols.begin(), cols.end(), comma, -1), end;
        for (; it != end; ++it)
            wanted.push_back(*it);
    }
    for (size_t i = from; i < picked.size() && i - from < count; ++i) {
        const Json::Value& r = *picked[i];
        if (wanted.empty()) {
            rows.append(r);
            continue;
        }
        // Like the database, a column comes back under the name the query wrote.
        Json::Value out(Json::objectValue);
        for (const std::string& w : wanted) {
            for (const std::string& key : r.getMemberNames()) {
                if (lower(key) == lower(w))
                    out[w] = r[key];
            }
        }
        rows.append(out);
    }
    return true;
}

Json::Value* ZnSimData::findRow(const std::string& name, const std::string& key, const std::string& id)
{
    for (Json::Value& r : table(name)) {
        if (str(r, key.c_str()) == id)
            return &r;
    }
    return nullptr;
}

int ZnSimData::nextId(const std::string& name, const std::string& key) const
{
    int top = 0;
    auto t = tables.find(lower(name));
    if (t != tables.end()) {
        for (const Json::Value& r : t->second)
            top = std::max(top, std::atoi(str(r, key.c_str()).c_str()));
    }
    return top + 1;
}

bool ZnSimData::takeD82Book(const std::string& packetType, const std::string& id, const Json::Value& in)
{
    if (std::atoi(id.c_str()) <= 0 || !findRow("d82", "terminalId", id)) {
        refusal = "No such D82 device " + id;
        return false;
    }
    const bool contacts = packetType == "D82CallBook";
    const bool sources = packetType == "D82SoundSource";
    auto& rows = table(contacts ? "d82call" : sources ? "d82soundsource" : "d82broadcast");
    const std::string text = str(in, contacts ? "Contacts" : sources ? "SoundSource" : "RegionId");
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [&](const Json::Value& r) { return str(r, "terminalId") == id; }),
               rows.end());
    // Contacts are written "type_id" (type by name: Dsk72, Dsk81, Dsk74, IP, D82);
    // the other books are plain ids.
    static const std::map<std::string, std::string> typeNumbers = {
        {"Dsk72", "2"}, {"Dsk81", "3"}, {"Dsk74", "4"}, {"IP", "6"}, {"D82", "8"}};
    size_t pos = 0;
    for (int order = 1; pos < text.size();) {
        const size_t end = std::min(text.find(' ', pos), text.size());
        const std::string item = text.substr(pos, end - pos);
        pos = end + 1;
        if (item.empty())
            continue;
        Json::Value r(Json::objectValue);
        r["terminalId"] = id;
        r["orderId"] = std::to_string(order++);
        if (contacts) {
            const size_t cut = item.rfind('_');
            const auto type = typeNumbers.find(item.substr(0, cut == std::string::npos ? 0 : cut));
            r["contactId"] = cut == std::string::npos ? item : item.substr(cut + 1);
            r["contactType"] = type == typeNumbers.end() ? "0" : type->second;
        } else {
            r[sources ? "sourceId" : "regionId"] = item;
        }
        rows.push_back(r);
    }
    return true;
}

bool ZnSimData::applyChange(const std::string& packetType, const std::string& body, std::string& changedTable,
                            Json::Value& changed)
{
    changedTable.clear();
    changed = Json::Value(Json::arrayValue);
    Json::Value in;
    Json::Reader reader;
    if (!reader.parse(body, in) || !in.isObject())
        return packetType == "Terminal";   // the whole-record request travels without a body
    const std::string id = str(in, "Id");
    const std::string action = str(in, "Action");

    auto updateTerminal = [&](std::initializer_list<const char*> tablesToSearch,
                              std::initializer_list<std::pair<const char*, const char*>> fields) {
        for (const char* t : tablesToSearch) {
            if (Json::Value* r = findRow(t, "terminalId", id)) {
                for (const auto& f : fields) {
                    if (in.isMember(f.first))
                        (*r)[f.second] = str(in, f.first);
                }
                changedTable = t;
                changed.append(*r);
                return true;
            }
        }
        return false;
    };
    auto addModDel = [&](const char* t, const char* key,
                         std::initializer_list<std::pair<const char*, const char*>> fields) {
        if (action == "Del") {
            auto& rows = table(t);
            const size_t before = rows.size();
            rows.erase(std::remove_if(rows.begin(), rows.end(),
                                      [&](const Json::Value& r) { return str(r, key) == id; }),
                       rows.end());
            return rows.size() != before;
        }
        Json::Value* r = action == "Mod" ? findRow(t, key, id) : nullptr;
        if (action == "Mod" && !r)
            return false;
        if (action == "Add") {
            Json::Value fresh(Json::objectValue);
            const int wantedId = std::atoi(id.c_str());
            fresh[key] = std::to_string(wantedId > 0 && !findRow(t, key, id) ? wantedId : nextId(t, key));
            table(t).push_back(fresh);
            r = &table(t).back();
        } else if (action != "Mod") {
            return false;
        }
        for (const auto& f : fields) {
            if (in.isMember(f.first))
                (*r)[f.second] = str(in, f.first);
        }
        changedTable = t;
        changed.append(*r);
        return true;
    };

    if (packetType == "ModTalkTerminal")
        return updateTerminal({"dsk72", "dsk74", "dsk81", "d82"},
                              {{"Name", "name"}, {"CapVol", "capVol"}, {"CallVol", "callVol"},
                               {"BellVol", "bellVol"}, {"BroVol", "broVol"}, {"PttMode", "pttMode"}});
    if (packetType == "IpAmpSet")
        return updateTerminal({"ipamp", "dsk74"}, {{"Name", "name"}, {"BroVol", "broVol"}});
    if (packetType == "IpAmpPower")
        return updateTerminal({"ipamp"}, {{"Power", "power"}});
    if (packetType == "IpAmpSpkCheck")
        return findRow("ipamp", "terminalId", id) != nullptr;
    if (packetType == "CapD73Set")
        return updateTerminal({"capd73"}, {{"Name", "name"}, {"CapVol", "capVol"}, {"CapSamplerate", "capSamplerate"}});
    if (packetType == "TTs71Name")
        return updateTerminal({"tts71"}, {{"Name", "name"}});
    if (packetType == "SetFRName")
        return updateTerminal({"firealarm"}, {{"Name", "name"}, {"TriggerType", "triggerType"}});
    if (packetType == "ModD74Led")
        return updateTerminal({"dsk74"}, {{"LedColor", "ledColor"}, {"SwitchMode", "switchMode"},
                                          {"DisplayTime", "displayTime"}, {"LedTxt", "ledTxt"}});
    if (packetType == "RemoveDevice") {
        for (const char* t : kTerminalTables) {
            auto& rows = table(t);
            const size_t before = rows.size();
            rows.erase(std::remove_if(rows.begin(), rows.end(),
                                      [&](const Json::Value& r) { return str(r, "terminalId") == id; }),
                       rows.end());
            if (rows.size() != before)
                return true;
        }
        return false;
    }
    // Groups, regions and tasks: unknown ids and running tasks are refused with a
    // reason; deleted groups and regions are announced.
    if (packetType == "BroadRegion" || packetType == "CallService" || packetType == "SoundSource") {
        const bool isRegion = packetType == "BroadRegion";
        const bool isGroup = packetType == "CallService";
        const char* t = isRegion ? "region" : isGroup ? "callservergroup" : "soundsource";
        const char* key = isRegion ? "regionId" : isGroup ? "groupId" : "sourceId";
        const std::string what = isRegion ? "region" : isGroup ? "microphone group" : "task";
        if (action != "Add" && action != "Mod" && action != "Del") {
            refusal = "Unknown action " + action;
            return false;
        }
        const Json::Value* existing = findRow(t, key, id);
        if (action != "Add" && !existing) {
            refusal = "No such " + what + " " + id;
            return false;
        }
        if (!isRegion && !isGroup && action == "Del" && str(*existing, "status") == "1") {
            refusal = "Task " + id + " is running";
            return false;
        }
        if (action == "Del" && (isRegion || isGroup))
            deletions.emplace_back(isRegion ? "Region" : "MicGroup", std::atoi(id.c_str()));
    }
    if (packetType == "BroadRegion")
        return addModDel("region", "regionId", {{"Name", "name"}, {"TerminalId", "terminalId"}});
    if (packetType == "CallService")
        return addModDel("callservergroup", "groupId",
                         {{"Name", "name"}, {"Dsk81Id", "terminalId"}, {"CallWaitRule", "callWaitRule"},
                          {"RingTime", "ringTime"}});
    if (packetType == "TimerPlan")
        return addModDel("timerplan", "timerplanId", {{"Name", "name"}, {"Comment", "comment"}, {"Enable", "enable"}});
    if (packetType == "SoundSource")
        return addModDel("soundsource", "sourceId",
                         {{"Name", "name"}, {"SourceCategory", "sourceCategory"}, {"SourceType", "sourceType"},
                          {"TimerPlanId", "timerPlanId"}, {"SourceContent", "sourceContent"}, {"PlayVol", "playVol"},
                          {"PlayTimes", "playTimes"}, {"Duration", "duration"}, {"OpenAmp", "openAmp"},
                          {"Week", "week"}, {"StartDate", "startDate"}, {"EndDate", "endDate"},
                          {"ExecuteTime", "executeTime"}, {"TerminalId", "terminalId"}});
    if (packetType == "SoundSourceSwitch") {
        Json::Value* r = findRow("soundsource", "sourceId", id);
        if (!r)
            return false;
        (*r)["status"] = action == "Start" ? "1" : "2";
        changedTable = "soundsource";
        changed.append(*r);
        return true;
    }
    if (packetType == "D82CallBook" || packetType == "D82SoundSource" || packetType == "D82BroadBook")
        return takeD82Book(packetType, id, in);
    if (packetType == "SystemParameter") {
        Json::Value* r = findRow("parameter", "name", str(in, "Name"));
        if (!r)
            return false;
        (*r)["value"] = str(in, "Value");
        return true;
    }
    if (packetType == "ModTalkManagerInfo") {
        if (str(in, "Name").empty())
            return false;
        users[str(in, "Name")] = str(in, "PassWord");
        return true;
    }
    if (packetType == "SetFRTrigger") {
        // Only channels of a known interface; one setting per channel, kept in
        // "firealarmchannel" and never pushed.
        if (!findRow("firealarm", "terminalId", id))
            return false;
        const std::string channel = str(in, "Channel");
        auto& rows = table("firealarmchannel");
        auto it = std::find_if(rows.begin(), rows.end(), [&](const Json::Value& r) {
            return str(r, "terminalId") == id && str(r, "channel") == channel;
        });
        if (it == rows.end()) {
            rows.emplace_back(Json::objectValue);
            it = std::prev(rows.end());
        }
        (*it)["terminalId"] = id;
        (*it)["channel"] = channel;
        (*it)["channelName"] = str(in, "ChannelName");
        (*it)["sourceId"] = str(in, "SourceId");
        (*it)["triggerSwitch"] = str(in, "TriggerSwitch");
        (*it)["stopPlay"] = str(in, "StopPlay");
        return true;
    }
    if (packetType == "D72ButtonCall" || packetType == "D74ButtonCall")
        return takeButtonCalls(packetType, in);
    if (packetType == "D81SoundSource" || packetType == "D81BroadBook")
        return takeIdBook(packetType == "D81SoundSource" ? "d81soundsource" : "d81broadcast",
                          packetType == "D81SoundSource" ? "sourceId" : "regionId", id,
                          str(in, packetType == "D81SoundSource" ? "SoundSource" : "RegionId"));
    // Other books and backups: taken as they are.
    return true;
}

bool ZnSimData::takeButtonCalls(const std::string& packetType, const Json::Value& in)
{
    const std::string id = str(in, "Id");
    if (str(in, "Action") != "Mod" || std::atoi(id.c_str()) <= 0)
        return false;
    auto callRow = [&](const std::string& start, const std::string& stop, const std::string& dsk81,
                       const std::string& group) {
        return row({{"terminalId", id}, {"startCall", start}, {"stopCall", stop},
                    {"dsk81Id", dsk81.empty() ? "0" : dsk81}, {"groupId", group.empty() ? "0" : group}});
    };
    auto& rows = table(packetType == "D72ButtonCall" ? "d72buttoncall" : "d74buttoncall");
    if (packetType == "D74ButtonCall") {
        // One key per console: the entry replaces the console's row.
        rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const Json::Value& r) { return str(r, "terminalId") == id; }),
                   rows.end());
        rows.push_back(callRow(str(in, "StartCall"), str(in, "StopCall"), str(in, "Dsk81"), str(in, "CallServiceGroup")));
        return true;
    }
    const Json::Value& buttons = in["ButtonCalls"];
    if (!buttons.isArray())
        return false;
    std::vector<Json::Value> fresh;
    for (const Json::Value& b : buttons)
        fresh.push_back(callRow(str(b, "StartCall"), str(b, "StopCall"), str(b, "Dsk81"), str(b, "CallServiceGroup")));
    // The alarm input is stored as the console's fourth row, its two calls split at the blank.
    if (in.isMember("AlarmCall")) {
        const std::string alarm = str(in, "AlarmCall");
        const size_t blank = alarm.find(' ');
        const Json::Value a = callRow(alarm.substr(0, blank), blank == std::string::npos ? "" : alarm.substr(blank + 1), "", "");
        fresh.insert(fresh.begin() + std::min<size_t>(3, fresh.size()), a);
    }
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const Json::Value& r) { return str(r, "terminalId") == id; }),
               rows.end());
    rows.insert(rows.end(), fresh.begin(), fresh.end());
    return true;
}

bool ZnSimData::takeIdBook(const std::string& tableName, const std::string& itemKey, const std::string& id,
                           const std::string& text)
{
    if (std::atoi(id.c_str()) <= 0)
        return false;
    auto& rows = table(tableName);
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const Json::Value& r) { return str(r, "terminalId") == id; }),
               rows.end());
    std::istringstream items(text);
    std::string item;
    for (int order = 1; items >> item; ++order)
        rows.push_back(row({{"terminalId", id}, {itemKey.c_str(), item}, {"orderId", std::to_string(order)}}));
    return true;
}

bool ZnSimData::backup(const std::string& body, std::string& answer)
{
    Json::Value in;
    Json::Reader reader;
    if (!reader.parse(body, in) || !in.isObject())
        return false;
    std::string file = str(in, "BackupFile");
    if (file.empty())
        file = "talkback_backup_" + std::to_string(backups.size() + 1) + ".sql";
    std::string dump;
    for (const auto& t : tables) {
        dump += t.first + "\n";
        for (const Json::Value& r : t.second)
            dump += json(r);
    }
    Backup& b = backups[file];
    b.tables = tables;
    b.md5 = QCryptographicHash::hash(QByteArray::fromStdString(dump), QCryptographicHash::Md5).toHex().toStdString();
    Json::Value out(Json::objectValue);
    out["BackupFile"] = file;
    out["Md5"] = b.md5;
    answer = json(out);
    return true;
}

bool ZnSimData::recover(const std::string& body)
{
    Json::Value in;
    Json::Reader reader;
    if (!reader.parse(body, in) || !in.isObject())
        return false;
    auto b = backups.find(str(in, "RecoveryFile"));
    if (b == backups.end() || b->second.md5 != str(in, "Md5"))
        return false;
    tables = b->second.tables;
    return true;
}
