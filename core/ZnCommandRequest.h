#pragma once

#include <string>

// Assembles the text of one DBP/1.0 request. Header names are written exactly as
// the server expects them: some carry a blank after the colon and some do not.
// Not shared between threads; every build starts the buffer anew.
class ZnCommandRequest
{
public:
    static constexpr const char *kLoginLine = "LOGIN DBP/1.0\r\n";
    static constexpr const char *kOnlineLine = "ONLINE DBP/1.0\r\n";
    static constexpr const char *kGetLine = "GET DBP/1.0\r\n";
    static constexpr const char *kPostLine = "POST DBP/1.0\r\n";
    static constexpr const char *kSetLine = "SET DBP/1.0\r\n";

    static constexpr const char *kCSeq = "CSeq: ";
    static constexpr const char *kPacketType = "Packet-Type:";
    static constexpr const char *kSqlConfigLine = "Packet-Type:SqlConfig\r\n";
    static constexpr const char *kPacketSubtype = "Packet-Subtype: ";
    static constexpr const char *kContentLength = "Content-Length:";
    static constexpr const char *kData = "Data: ";
    static constexpr const char *kId = "Id: ";
    static constexpr const char *kType = "Type: ";
    static constexpr const char *kCommand = "Command: ";
    static constexpr const char *kWarnTempThreshold = "WarnTempThreshold: ";
    static constexpr const char *kFanTempThreshold = "FanTempThreshold: ";
    static constexpr const char *kMaxVol = "MaxVol: ";

    static constexpr const char *kLineEnd = "\r\n";
    static constexpr const char *kHeaderEnd = "\r\n\r\n";

    ZnCommandRequest() = default;
    virtual ~ZnCommandRequest() = default;

    // Each appends name, value and CR LF to the buffer. A null text counts as empty.
    void addCommand(const char *text);
    void addContentLength(int length);
    void addCSeq(int cseq);
    void addData(const char *text);
    void addFanTempThreshold(int value);
    void addId(int id);
    void addMaxVol(int value);
    void addPacketSubtype(const char *text);
    void addPacketType(const char *text);
    void addType(const char *text);
    void addWarnTempThreshold(int value);

    std::string buildLogin(int cseq, const char *packetType, const char *body);
    std::string buildSqlConfig(int cseq, const char *subtype, const char *sql);
    std::string buildGet(int cseq, const char *type, const char *body);
    std::string buildGetData(int cseq, const char *kind, int id);
    std::string buildPost(int cseq, const std::string &packetType, const std::string &body);
    std::string buildPostC(int cseq, const char *packetType, const char *body);
    std::string buildPlayTermConfig(int cseq, int id, int warnTemp, int fanTemp, int maxVol);

    std::string request() const;

private:
    void addHeader(const char *name, const char *value);
    void addHeader(const char *name, int value);
    // Content-Length, the empty line and the body, counted from the very bytes sent.
    void addBody(const std::string &body);

    std::string m_buffer;
};
