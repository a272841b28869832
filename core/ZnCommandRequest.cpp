#include "ZnCommandRequest.h"

namespace {
std::string text(const char *s)
{
    return s ? std::string(s) : std::string();
}
}

void ZnCommandRequest::addHeader(const char *name, const char *value)
{
    m_buffer += name;
    if (value)
        m_buffer += value;
    m_buffer += kLineEnd;
}

void ZnCommandRequest::addHeader(const char *name, int value)
{
    m_buffer += name;
    m_buffer += std::to_string(value);
    m_buffer += kLineEnd;
}

void ZnCommandRequest::addBody(const std::string &body)
{
    addContentLength(static_cast<int>(body.size()));
    m_buffer += kLineEnd;
    m_buffer += body;
}

void ZnCommandRequest::addCommand(const char *t)
{
    addHeader(kCommand, t);
}
void ZnCommandRequest::addContentLength(int length)
{
    addHeader(kContentLength, length);
}
void ZnCommandRequest::addCSeq(int cseq)
{
    addHeader(kCSeq, cseq);
}
void ZnCommandRequest::addData(const char *t)
{
    addHeader(kData, t);
}
void ZnCommandRequest::addFanTempThreshold(int value)
{
    addHeader(kFanTempThreshold, value);
}
void ZnCommandRequest::addId(int id)
{
    addHeader(kId, id);
}
void ZnCommandRequest::addMaxVol(int value)
{
    addHeader(kMaxVol, value);
}
void ZnCommandRequest::addPacketSubtype(const char *t)
{
    addHeader(kPacketSubtype, t);
}
void ZnCommandRequest::addPacketType(const char *t)
{
    addHeader(kPacketType, t);
}
void ZnCommandRequest::addType(const char *t)
{
    addHeader(kType, t);
}
void ZnCommandRequest::addWarnTempThreshold(int value)
{
    addHeader(kWarnTempThreshold, value);
}

std::string ZnCommandRequest::buildLogin(int cseq, const char *packetType, const char *body)
{
    m_buffer = kLoginLine;
    addCSeq(cseq);
    addPacketType(packetType);
    addBody(text(body));
    return request();
}

std::string ZnCommandRequest::buildSqlConfig(int cseq, const char *subtype, const char *sql)
{
    m_buffer = kGetLine;
    addCSeq(cseq);
    m_buffer += kSqlConfigLine;
    addPacketSubtype(subtype);
    addBody(text(sql));
    return request();
}

std::string ZnCommandRequest::buildGet(int cseq, const char *type, const char *body)
{
    m_buffer = kGetLine;
    addCSeq(cseq);
    addPacketType(type);
    addPacketSubtype(type);
    addBody(text(body));
    return request();
}

std::string ZnCommandRequest::buildGetData(int cseq, const char *kind, int id)
{
    m_buffer = kGetLine;
    addCSeq(cseq);
    addData(kind);
    addId(id);
    m_buffer += kLineEnd;
    return request();
}

std::string ZnCommandRequest::buildPost(int cseq, const std::string &packetType, const std::string &body)
{
    m_buffer = kPostLine;
    addCSeq(cseq);
    m_buffer += kPacketType;
    m_buffer += packetType;
    m_buffer += kLineEnd;
    addBody(body);
    return request();
}

std::string ZnCommandRequest::buildPostC(int cseq, const char *packetType, const char *body)
{
    return buildPost(cseq, text(packetType), text(body));
}

std::string ZnCommandRequest::buildPlayTermConfig(int cseq, int id, int warnTemp, int fanTemp, int maxVol)
{
    // The server expects Command before CSeq in this one request.
    m_buffer = kSetLine;
    addCommand("PlayTermConfig");
    addCSeq(cseq);
    addId(id);
    addType("IP");
    addWarnTempThreshold(warnTemp);
    addFanTempThreshold(fanTemp);
    addMaxVol(maxVol);
    m_buffer += kLineEnd;
    return request();
}

std::string ZnCommandRequest::request() const
{
    return m_buffer;
}
