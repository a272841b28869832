#pragma once

#include "ZnCommandRequest.h"

#include <string>

namespace Json {
class Value;
}

// Base of the terminal-family managers (and broadcasts, regions, levels, microphone
// groups, sound-source tasks). Builders only make text; the centre sends it.
class ZnTermBaseManage
{
public:
    ZnTermBaseManage() = default;
    virtual ~ZnTermBaseManage() = default;

    std::string& buildSqlQuery(std::string& out, int cseq, const std::string& sql, const std::string& listName);
    std::string& buildDataQuery(std::string& out, int cseq, const std::string& kind, int terminalId);
    // "RemoveDevice" for a terminal of any family.
    std::string& removeDevice(std::string& out, int cseq, int terminalId, const std::string& typeText);
    // A post whose body is {"Id": id, key: value}.
    std::string& buildKeyValuePost(std::string& out, int cseq, int terminalId, const std::string& key, int value,
                                   const std::string& packetType);
    // One terminal's rows of a table: "select * from <table> where terminalId = <id>".
    std::string& buildTerminalRows(std::string& out, int cseq, const char* table, int terminalId, const char* listName);
    // A book's new content: {"Action":"Mod","Id":terminalId, key:text}.
    std::string& buildBookPost(std::string& out, int cseq, const char* packetType, int terminalId, const char* key,
                               const std::string& text);
    // A post with the body as it is.
    std::string& buildSetRequest(std::string& out, int cseq, const std::string& packetType, const std::string& body);

    // A JSON object written compactly (members in key order, a line feed at the end).
    static std::string jsonText(const Json::Value& object);

    // Id, name and type of every talk terminal, the choices of a call book.
    static const char* const kAllCallSql;

protected:
    ZnCommandRequest m_request;
};
