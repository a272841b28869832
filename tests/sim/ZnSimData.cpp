#include "ZnSimData.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cstdlib>
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

// Removes the rows whose key column is id; how many went.
size_t eraseRows(std::vector<Json::Value>& rows, const char* key, const std::string& id)
{
    const size_t before = rows.size();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const Json::Value& r) { return str(r, key) == id; }),
               rows.end());
    return before - rows.size();
}

bool parseObject(const std::string& body, Json::Value& in)
{
    Json::Reader reader;
    return reader.parse(body, in) && in.isObject();
}

// Copies the request's fields that are present into the row's columns (fields maps
// request key to column).
void copyFields(const Json::Value& in, Json::Value& r, const Json::Value& fields)
{
    for (const std::string& key : fields.getMemberNames()) {
        if (in.isMember(key))
            r[fields[key].asString()] = str(in, key.c_str());
    }
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

void ZnSimData::setParameter(const std::string& name, const std::string& value)
{
    Json::Value* r = findRow("parameter", "name", name);
    if (!r) {
        table("parameter").push_back(row({{"name", name}, {"value", ""}}));
        r = &table("parameter").back();
    }
    (*r)["value"] = value;
}

void ZnSimData::addTerminals(const std::string& name, int firstId, int count)
{
    Json::Value r;
    parseObject(R"({"type": "IP", "status": "1", "work": "idle", "exten": "IP", "ver": "2.1.7", "broVol": "60",
                    "input": "0", "power": "1", "ampTemp": "38", "localTemp": "31", "speaker": "1"})",
                r);
    for (int id = firstId; id < firstId + count; ++id) {
        r["terminalId"] = std::to_string(id);
        r["name"] = "Speaker " + std::to_string(id);
        r["ip"] = "10.0." + std::to_string(id / 250 % 250) + "." + std::to_string(id % 250 + 1);
        addRow(name, r);
    }
}

void ZnSimData::addRowsPerFamily(int firstId, int count)
{
    int id = firstId;
    for (const char* name : kTerminalTables) {
        std::vector<Json::Value>& rows = table(name);
        Json::Value templ = rows.empty() ? Json::Value(Json::objectValue) : rows.front();
        rows.reserve(rows.size() + static_cast<size_t>(std::max(0, count)));
        for (int i = 0; i < count; ++i, ++id) {
            Json::Value r = templ;
            r["terminalId"] = std::to_string(id);
            r["name"] = std::string(name) + " " + std::to_string(id);
            r["ip"] = "10." + std::to_string(id / 62500 % 250) + "." + std::to_string(id / 250 % 250) + "."
                      + std::to_string(id % 250 + 1);
            rows.push_back(std::move(r));
        }
    }
}

// Outside any namespace, as Q_INIT_RESOURCE requires; the data lives in a static library.
static Json::Value readResource(const char* name)
{
    Q_INIT_RESOURCE(zn_sim_data);
    QFile file(QStringLiteral(":/sim/") + QString::fromUtf8(name));
    Json::Value value;
    if (!file.open(QIODevice::ReadOnly) || !parseObject(file.readAll().toStdString(), value))
        return Json::Value(Json::objectValue);
    return value;
}

void ZnSimData::loadDemo()
{
    const Json::Value demo = readResource("demo.json");
    for (const std::string& name : demo["tables"].getMemberNames()) {
        for (const Json::Value& r : demo["tables"][name])
            addRow(name, r);
    }
}

void ZnSimData::loadSample()
{
    const Json::Value sample = readResource("sample.json");
    for (const std::string& name : sample["users"].getMemberNames())
        users[name] = str(sample["users"], name.c_str());
    for (const std::string& name : sample["tables"].getMemberNames()) {
        for (const Json::Value& r : sample["tables"][name])
            addRow(name, r);
    }
}

namespace {
std::string xmlEscaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const char* entity = c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '"' ? "&quot;" : nullptr;
        out += entity ? std::string(entity) : std::string(1, c);
    }
    return out;
}

// An empty element named tag, the row's listed columns (those it has) as attributes.
std::string xmlElement(const std::string& tag, const Json::Value& r, const std::vector<std::string>& keys)
{
    std::string xml = "<" + tag;
    for (const std::string& key : keys) {
        if (r.isMember(key))
            xml += " " + key + "=\"" + xmlEscaped(str(r, key.c_str())) + "\"";
    }
    return xml + "/>";
}

const char* const kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
}

std::string ZnSimData::recordXml(const std::string& kind, int id) const
{
    const std::string element = kind == "Mic" ? "MicList" : kind + "List";
    auto t = tables.find(kind == "Mic" ? "dsk81" : lower(kind));
    std::string xml = kXmlHead + ("<" + element + ">");
    if (t != tables.end()) {
        auto r = std::find_if(t->second.begin(), t->second.end(),
                              [&](const Json::Value& v) { return str(v, "terminalId") == std::to_string(id); });
        if (r != t->second.end())
            xml += xmlElement(kind, *r, r->getMemberNames());
    }
    return xml + "</" + element + ">";
}

std::vector<std::string> ZnSimData::recordingPaths() const
{
    std::vector<std::string> paths;
    auto t = tables.find("talklog");
    if (t != tables.end()) {
        for (auto r = t->second.rbegin(); r != t->second.rend(); ++r)
            paths.push_back(str(*r, "recordfile"));
    }
    return paths;
}

std::string ZnSimData::levelListXml() const
{
    std::string xml = kXmlHead + std::string("<LevelList>");
    auto t = tables.find("level");
    for (const Json::Value& r : t == tables.end() ? std::vector<Json::Value>() : t->second)
        xml += xmlElement("Level", r, {"id", "name", "lv", "type"});
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
            // 64 bits: log ids pass 2^31 on grown installations.
            const long long x = std::atoll(str(*a, key.c_str()).c_str());
            const long long y = std::atoll(str(*b, key.c_str()).c_str());
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
        from = std::min(picked.size(), static_cast<size_t>(std::strtoull(m[7].str().c_str(), nullptr, 10)));
        count = static_cast<size_t>(std::strtoull(m[8].str().c_str(), nullptr, 10));
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

bool ZnSimData::takeBook(const Json::Value& rule, const std::string& id, const Json::Value& in)
{
    const std::string owner = rule.get("owner", "").asString();
    if (std::atoi(id.c_str()) <= 0 || (!owner.empty() && !findRow(owner, "terminalId", id))) {
        refusal = "No such " + rule.get("device", "").asString() + " device " + id;
        return false;
    }
    // Typed items are written "type_id" (type by name: Dsk72, Dsk81, Dsk74, IP or IpAmp, D82).
    static const std::map<std::string, std::string> typeNumbers = {{"Dsk72", "2"}, {"Dsk81", "3"}, {"Dsk74", "4"},
                                                                   {"IP", "6"},    {"IpAmp", "6"}, {"D82", "8"}};
    const std::string typeKey = rule.get("type", "").asString();
    auto& rows = table(rule["table"].asString());
    eraseRows(rows, "terminalId", id);
    std::istringstream items(str(in, rule["field"].asCString()));
    std::string item;
    for (int order = 1; items >> item; ++order) {
        Json::Value r = row({{"terminalId", id}, {"orderId", std::to_string(order)}});
        const size_t cut = typeKey.empty() ? std::string::npos : item.rfind('_');
        if (!typeKey.empty()) {
            const auto type = typeNumbers.find(item.substr(0, cut == std::string::npos ? 0 : cut));
            r[typeKey] = type == typeNumbers.end() ? "0" : type->second;
        }
        r[rule["item"].asString()] = cut == std::string::npos ? item : item.substr(cut + 1);
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
    if (!parseObject(body, in))
        return packetType == "Terminal"; // the whole-record request travels without a body
    const std::string id = str(in, "Id");
    const std::string action = str(in, "Action");

    // How each plain change maps onto columns: terminals are found in the first of
    // their tables that has them; records are added, changed or deleted by key.
    static const Json::Value rules = readResource("changes.json");
    if (rules["terminals"].isMember(packetType)) {
        const Json::Value& rule = rules["terminals"][packetType];
        for (const Json::Value& t : rule["tables"]) {
            if (Json::Value* r = findRow(t.asString(), "terminalId", id)) {
                copyFields(in, *r, rule["fields"]);
                changedTable = t.asString();
                changed.append(*r);
                return true;
            }
        }
        return false;
    }
    if (packetType == "IpAmpSpkCheck")
        return findRow("ipamp", "terminalId", id) != nullptr;
    // Ids repeat across families: the type code alone says whose record goes.
    if (packetType == "RemoveDevice") {
        const std::string type = str(in, "Type");
        for (const std::string& family : rules["families"].getMemberNames()) {
            for (const Json::Value& code : rules["families"][family]) {
                if (code.asString() != type)
                    continue;
                if (eraseRows(table(family), "terminalId", id) > 0)
                    return true;
                refusal = "No such " + type + " terminal " + id;
                return false;
            }
        }
        refusal = "Unknown terminal type " + type;
        return false;
    }
    // A plan that still has tasks is not deleted.
    if (packetType == "TimerPlan" && action == "Del") {
        const auto& tasks = table("soundsource");
        if (std::any_of(tasks.begin(), tasks.end(),
                        [&](const Json::Value& t) { return str(t, "timerPlanId") == id; })) {
            refusal = "Plan " + id + " still has tasks";
            return false;
        }
    }
    if (rules["records"].isMember(packetType)) {
        const Json::Value& rule = rules["records"][packetType];
        const std::string t = rule["table"].asString();
        const std::string key = rule["key"].asString();
        const std::string what = rule.get("what", "").asString();
        // Groups, regions and tasks: unknown ids and running tasks are refused with a
        // reason; deleted groups and regions are announced.
        if (!what.empty()) {
            if (action != "Add" && action != "Mod" && action != "Del") {
                refusal = "Unknown action " + action;
                return false;
            }
            const Json::Value* existing = findRow(t, key, id);
            if (action != "Add" && !existing) {
                refusal = "No such " + what + " " + id;
                return false;
            }
            if (what == "task" && action == "Del" && str(*existing, "status") == "1") {
                refusal = "Task " + id + " is running";
                return false;
            }
            if (action == "Del" && rule.isMember("deleted"))
                deletions.emplace_back(rule["deleted"].asString(), std::atoi(id.c_str()));
        }
        if (action == "Del")
            return eraseRows(table(t), key.c_str(), id) > 0;
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
        copyFields(in, *r, rule["fields"]);
        changedTable = t;
        changed.append(*r);
        return true;
    }
    if (packetType == "SoundSourceSwitch") {
        Json::Value* r = findRow("soundsource", "sourceId", id);
        if (!r)
            return false;
        (*r)["status"] = action == "Start" ? "1" : "2";
        changedTable = "soundsource";
        changed.append(*r);
        return true;
    }
    // Books of a console: replaced whole by the items of the change.
    if (rules["books"].isMember(packetType))
        return takeBook(rules["books"][packetType], id, in);
    if (packetType == "SystemParameter") {
        const std::string name = str(in, "Name");
        if (name.empty() || refusedSettings.count(name)) {
            refusal = "refused";
            return false;
        }
        setParameter(name, str(in, "Value"));
        return true;
    }
    if (packetType == "ModTalkManagerInfo") {
        if (str(in, "Name").empty() || refusedSettings.count(str(in, "Name"))) {
            refusal = "refused";
            return false;
        }
        users[str(in, "Name")] = str(in, "PassWord");
        return true;
    }
    if (packetType == "SetFRTrigger") {
        // Only channels of a known interface; one setting per channel, kept in
        // "firealarmchannel" and in the interface's list text, never pushed.
        if (!findRow("firealarm", "terminalId", id))
            return false;
        const std::string channel = str(in, "Channel");
        auto& rows = table("firealarmchannel");
        auto it = std::find_if(rows.begin(), rows.end(), [&](const Json::Value& r) {
            return str(r, "terminalId") == id && str(r, "channel") == channel;
        });
        const Json::Value setting = row({{"terminalId", id},
                                         {"channel", channel},
                                         {"channelName", str(in, "ChannelName")},
                                         {"sourceId", str(in, "SourceId")},
                                         {"triggerSwitch", str(in, "TriggerSwitch")},
                                         {"stopPlay", str(in, "StopPlay")}});
        if (it == rows.end())
            rows.push_back(setting);
        else
            *it = setting;
        // The interface's channel list text ("name#$%task" joined by "!!!") follows,
        // grown to reach the channel.
        Json::Value* alarm = findRow("firealarm", "terminalId", id);
        const int number = std::atoi(channel.c_str());
        if (number < 1 || number > 64)
            return true;
        const QString text = QString::fromStdString(str(*alarm, "broadcast"));
        QStringList channels = text.isEmpty() ? QStringList() : text.split(QStringLiteral("!!!"));
        while (channels.size() < number)
            channels << QStringLiteral("0");
        channels[number - 1] = QString::fromStdString(str(in, "ChannelName") + "#$%" + str(in, "SourceId"));
        (*alarm)["broadcast"] = channels.join(QStringLiteral("!!!")).toStdString();
        return true;
    }
    if (packetType == "D72ButtonCall" || packetType == "D74ButtonCall")
        return takeButtonCalls(packetType, in);
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
        return row({{"terminalId", id},
                    {"startCall", start},
                    {"stopCall", stop},
                    {"dsk81Id", dsk81.empty() ? "0" : dsk81},
                    {"groupId", group.empty() ? "0" : group}});
    };
    auto& rows = table(packetType == "D72ButtonCall" ? "d72buttoncall" : "d74buttoncall");
    if (packetType == "D74ButtonCall") {
        // One key per console: the entry replaces the console's row.
        eraseRows(rows, "terminalId", id);
        rows.push_back(
            callRow(str(in, "StartCall"), str(in, "StopCall"), str(in, "Dsk81"), str(in, "CallServiceGroup")));
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
        const Json::Value a =
            callRow(alarm.substr(0, blank), blank == std::string::npos ? "" : alarm.substr(blank + 1), "", "");
        fresh.insert(fresh.begin() + std::min<size_t>(3, fresh.size()), a);
    }
    eraseRows(rows, "terminalId", id);
    rows.insert(rows.end(), fresh.begin(), fresh.end());
    return true;
}

namespace {
bool plainFileName(const std::string& name)
{
    return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos
           && name.find('\\') == std::string::npos;
}

std::string md5Hex(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex().toStdString();
}
} // namespace

std::string ZnSimData::dump() const
{
    Json::Value all(Json::objectValue);
    for (const auto& t : tables) {
        Json::Value rows(Json::arrayValue);
        for (const Json::Value& r : t.second)
            rows.append(r);
        all[t.first] = rows;
    }
    return json(all);
}

bool ZnSimData::backup(const std::string& body, std::string& answer)
{
    Json::Value in;
    if (!parseObject(body, in))
        return false;
    std::string file = str(in, "BackupFile");
    if (file.empty())
        file = "talkback_backup_" + std::to_string(backups.size() + 1) + ".sql";
    if (!plainFileName(file))
        return false;
    if (!reportedBackupName.empty())
        file = reportedBackupName;
    const QByteArray bytes = QByteArray::fromStdString(dump());
    Backup& b = backups[file];
    b.tables = tables;
    b.md5 = md5Hex(bytes);
    if (!backupFolder.empty()) {
        QFile out(QString::fromStdString(backupFolder + "/" + file));
        QByteArray served = bytes;
        if (corruptBackupFile)
            served[served.size() / 2] = char(served[served.size() / 2] ^ 0x20);
        if (!out.open(QIODevice::WriteOnly) || out.write(served) != served.size())
            return false;
    }
    Json::Value out(Json::objectValue);
    out["BackupFile"] = file;
    out["Md5"] = upperCaseBackupMd5 ? QByteArray::fromStdString(b.md5).toUpper().toStdString() : b.md5;
    answer = json(out);
    return true;
}

bool ZnSimData::recover(const std::string& body)
{
    Json::Value in;
    if (!parseObject(body, in))
        return false;
    const std::string file = str(in, "RecoveryFile");
    if (!recoveryFolder.empty()) {
        // The uploaded file itself: restored only when it is what the digest says.
        QFile f(QString::fromStdString(recoveryFolder + "/" + file));
        if (!plainFileName(file) || !f.open(QIODevice::ReadOnly))
            return false;
        const QByteArray bytes = f.readAll();
        Json::Value all;
        if (md5Hex(bytes) != str(in, "Md5") || !parseObject(bytes.toStdString(), all))
            return false;
        std::map<std::string, std::vector<Json::Value>> restored;
        for (const std::string& name : all.getMemberNames()) {
            if (!all[name].isArray())
                return false;
            for (const Json::Value& r : all[name])
                restored[name].push_back(r);
        }
        tables = restored;
        return true;
    }
    auto b = backups.find(file);
    if (b == backups.end() || b->second.md5 != str(in, "Md5"))
        return false;
    tables = b->second.tables;
    return true;
}
