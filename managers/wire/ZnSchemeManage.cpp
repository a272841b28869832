#include "ZnSchemeManage.h"

#include <cstdint>

#include "ZnIdRows.h"
#include "ZnRow.h"
#include "ZnTermBaseManage.h"
#include "ZnXmlNesting.h"

#include <json/json.h>
#include <tinyxml.h>

#include <cstdio>

namespace {

const char* const kDeleteTypes[] = {"SchemeData", "AmpSchemeData", "PowerSchemeData", "VolumeScheme"};

ZnScheme schemeFromRow(const Json::Value& row)
{
    ZnScheme s;
    s.id = ZnRow::toInt(row, "timerplanId");
    s.name = ZnRow::text(row, "name");
    if (s.name.empty())
        s.name = "Scheme_" + ZnRow::text(row, "terminalId");
    s.enable = ZnRow::toInt(row, "enable");
    s.comment = ZnRow::text(row, "comment");
    return s;
}

} // namespace

ZnSchemeManage::ZnSchemeManage()
{
    for (int i = 0; i < 16; ++i)
        m_types[i] = FirstType + i;
    setCommands(m_types, 16);
}

void ZnSchemeManage::setCallbacks(ListCallback list, SchemeCallback added, SchemeCallback changed,
                                  DeletedCallback deleted)
{
    if (list)
        m_listCallback = list;
    if (added)
        m_addedCallback = added;
    if (changed)
        m_changedCallback = changed;
    if (deleted)
        m_deletedCallback = deleted;
}

std::string& ZnSchemeManage::buildSchemeList(std::string& out, int cseq)
{
    out = m_request.buildSqlConfig(cseq, "schemelist", "select * from timerplan");
    return out;
}

std::string& ZnSchemeManage::buildChange(std::string& out, int cseq, const ZnScheme& scheme, const char* action)
{
    Json::Value body(Json::objectValue);
    body["Action"] = action;
    body["Id"] = std::to_string(scheme.id);
    body["Name"] = scheme.name;
    body["Comment"] = scheme.comment;
    body["Enable"] = std::to_string(scheme.enable);
    out = m_request.buildPost(cseq, "TimerPlan", ZnTermBaseManage::jsonText(body));
    return out;
}

std::string& ZnSchemeManage::buildAddScheme(std::string& out, int cseq, const ZnScheme& scheme)
{
    ZnScheme added(scheme);
    added.id = -1;
    added.enable = 1;
    return buildChange(out, cseq, added, "Add");
}

std::string& ZnSchemeManage::buildModifyScheme(std::string& out, int cseq, const ZnScheme& scheme)
{
    return buildChange(out, cseq, scheme, "Mod");
}

std::string& ZnSchemeManage::buildEnableScheme(std::string& out, int cseq, ZnScheme& scheme)
{
    scheme.enable = scheme.enable == 0 ? 1 : 0;
    return buildModifyScheme(out, cseq, scheme);
}

std::string& ZnSchemeManage::buildDeleteScheme(std::string& out, int cseq, const ZnScheme& scheme)
{
    {
        QMutexLocker lock(&m_mutex);
        for (auto it = m_schemes.begin(); it != m_schemes.end(); ++it) {
            if (it->id == scheme.id) {
                m_schemes.erase(it);
                break;
            }
        }
    }
    // The answer to a delete names no scheme: it is about this one.
    m_deleteId.store(scheme.id);
    m_deletePending.store(true);
    return buildChange(out, cseq, scheme, "Del");
}

bool ZnSchemeManage::parseRows(const std::string& body, std::list<ZnScheme>& out)
{
    Json::Value root;
    std::string error;
    if (!ZnRow::parse(body, root, &error)) {
        std::printf("\nreader.getFormatedErrorMessages: %s", error.c_str());
        return false;
    }
    ZnIdRows bad("timerplan", "timerplanId");
    const auto take = [&](const Json::Value& row, std::size_t index) {
        int id = 0;
        if (ZnRow::id(row, "timerplanId", id))
            out.push_back(schemeFromRow(row));
        else
            bad.leftOut(index);
    };
    if (root.isObject()) {
        take(root, 0);
    } else if (root.isArray()) {
        for (Json::ArrayIndex i = 0; i < root.size(); ++i)
            take(root[i], i);
    }
    return true;
}

int ZnSchemeManage::setKind(int replyType)
{
    switch (replyType) {
    case ZnMsgCheck::Scheme:
        return PlaySchemes;
    case ZnMsgCheck::AmpScheme:
        return AmpSchemes;
    case ZnMsgCheck::PowerScheme:
        return PowerSchemes;
    case ZnMsgCheck::VolumeScheme:
        return VolumeSchemes;
    default:
        return -1;
    }
}

bool ZnSchemeManage::parseSet(const std::string& xml, ZnScheme& scheme)
{
    if (!ZnXmlNesting::within(xml))
        return false;
    TiXmlDocument doc;
    ZnXmlNesting::parse(doc, xml, TIXML_ENCODING_UTF8);
    const TiXmlElement* e = doc.Error() ? nullptr : doc.FirstChildElement();
    if (!e)
        return false;
    if (!ZnRow::id(e->Attribute("Id"), scheme.id)) {
        ZnIdRows(e->Value(), "Id").leftOut(0);
        return false;
    }
    const char* v = nullptr;
    if ((v = e->Attribute("level")))
        scheme.level = ZnRow::atoi(v);
    v = e->Attribute("Status");
    scheme.enable = v ? ZnRow::atoi(v) : 0;
    if ((v = e->Attribute("type")))
        scheme.type = ZnRow::atoi(v);
    v = e->Attribute("SchemeName");
    scheme.name = v ? v : "";
    v = e->Attribute("SchemeRemark");
    scheme.remark = v ? v : "";
    return true;
}

bool ZnSchemeManage::takeAnswered(const std::string& body)
{
    std::list<ZnScheme> rows;
    if (body.empty() || !parseRows(body, rows))
        return false;
    for (const ZnScheme& s : rows) {
        if (s.id > 0) {
            m_current = s;
            QMutexLocker lock(&m_mutex);
            bool found = false;
            for (ZnScheme& held : m_schemes) {
                if (held.id == s.id) {
                    held = s;
                    found = true;
                    break;
                }
            }
            if (!found)
                m_schemes.push_back(s);
            return true;
        }
    }
    return false;
}

void ZnSchemeManage::onResponse(int requestType, const std::string& body)
{
    if (requestType < FirstType || requestType > LastType)
        return;
    const int kind = (requestType - FirstType) / 4;
    switch ((requestType - FirstType) % 4) {
    case ListOp: {
        // Every kind asks the same table; each answer replaces the list whole. An
        // answer that does not read still tells the page, with the list as it was.
        std::list<ZnScheme> rows;
        const bool read = parseRows(body, rows);
        if (!read && body.empty())
            return;
        {
            QMutexLocker lock(&m_mutex);
            if (read)
                m_schemes = rows;
            else
                rows = m_schemes;
        }
        if (m_listCallback)
            m_listCallback(&rows, kind);
        break;
    }
    case AddOp:
        // Only a scheme the answer itself carries is reported; a stale current
        // scheme or one without an id never reaches the list.
        if (takeAnswered(body) && m_addedCallback)
            m_addedCallback(&m_current, kind);
        break;
    case ModifyOp:
        if (takeAnswered(body) && m_changedCallback)
            m_changedCallback(&m_current, kind);
        break;
    case DeleteOp:
        if (m_deletePending.exchange(false)) {
            const int id = m_deleteId.load();
            if (m_deletedCallback)
                m_deletedCallback(id, kind);
        }
        break;
    }
}

bool ZnSchemeManage::onPost(const std::string& key, const std::string& body)
{
    if (key != kPostKey)
        return false;
    std::list<ZnScheme> rows;
    if (parseRows(body, rows)) {
        {
            QMutexLocker lock(&m_mutex);
            for (const ZnScheme& s : rows) {
                auto it = m_schemes.begin();
                while (it != m_schemes.end() && it->id != s.id)
                    ++it;
                if (it == m_schemes.end())
                    m_schemes.push_back(s);
                else
                    *it = s;
            }
        }
        if (m_changedCallback) {
            for (ZnScheme& s : rows)
                m_changedCallback(&s, PlaySchemes);
        }
    }
    return true;
}

bool ZnSchemeManage::onSet(const std::string& body)
{
    const int kind = setKind(m_check.replyType(body));
    if (kind < 0)
        return false;
    // An absent level or type keeps the value this same scheme had; taking the
    // previous SET's values would give one plan another plan's level.
    const int32_t absent = INT32_MIN;
    ZnScheme scheme;
    scheme.level = scheme.type = absent;
    if (!parseSet(body, scheme))
        return true;
    ZnScheme before;
    if (m_current.id == scheme.id)
        before = m_current;
    {
        QMutexLocker lock(&m_mutex);
        auto held = m_schemes.begin();
        while (held != m_schemes.end() && held->id != scheme.id)
            ++held;
        if (held != m_schemes.end())
            before = *held;
        if (scheme.level == absent)
            scheme.level = before.level;
        if (scheme.type == absent)
            scheme.type = before.type;
        // The XML carries no comment: keep the one the list has for this scheme.
        if (held != m_schemes.end()) {
            scheme.comment = held->comment;
            *held = scheme;
        }
    }
    m_current = scheme;
    if (m_changedCallback)
        m_changedCallback(&m_current, kind);
    return true;
}

void ZnSchemeManage::onDelete(const std::string& type, int id)
{
    for (const char* name : kDeleteTypes) {
        if (type == name) {
            {
                QMutexLocker lock(&m_mutex);
                m_schemes.remove_if([id](const ZnScheme& s) { return s.id == id; });
            }
            if (m_deletedCallback)
                m_deletedCallback(id, PlaySchemes);
            return;
        }
    }
}

void ZnSchemeManage::onDeleted(int) {}
