#pragma once

#include <string>
#include <string_view>

// One parsed DBP/1.0 message from the server. The kind comes from the start line
// only and the headers from the header block only: bodies carry operator-entered
// text, which must never be mistaken for protocol.
class ZnServerRequest
{
public:
    enum Kind { Unknown = -1, Ok = 0, Failed = 1, Post = 2, Set = 3, Delete = 4 };

    // Larger bodies are refused as a protocol error rather than waited for.
    static constexpr long kMaxContentLength = 64L * 1024 * 1024;

    ZnServerRequest() = default;
    virtual ~ZnServerRequest() = default;

    void reset();
    // Fills the fields from one whole message and returns its kind. Headers are
    // read whatever the kind, so a request text of our own yields its CSeq too.
    int parse(std::string_view message);

    // Kind of a start line (the text before the first CR LF).
    static int kindOf(std::string_view startLine);
    // The Content-Length announced in a header block, 0 without one. False when
    // a value has no digits (a sign or nothing at all), overflows or exceeds
    // kMaxContentLength, or when two Content-Length lines state different numbers.
    static bool contentLengthOf(std::string_view headerBlock, long *length);

    int kind() const { return m_kind; }
    int cseq() const { return m_cseq; }
    const std::string &deleteType() const { return m_deleteType; }
    const std::string &setKey() const { return m_setKey; }
    const std::string &packetType() const { return m_packetType; }
    const std::string &packetSubtype() const { return m_packetSubtype; }
    int id() const { return m_id; }
    // -1 when the header held a number beyond kMaxContentLength.
    int contentLength() const { return m_contentLength; }
    // Views into the message given to parse(): valid as long as it is.
    std::string_view setBody() const { return m_setBody; }
    std::string_view body() const { return m_body; }

    // The key a pushed POST is offered under: Packet-Type "_" Packet-Subtype,
    // both exactly as written after the colon.
    std::string postKey() const;

private:
    int m_kind = Unknown;
    int m_cseq = -1;
    std::string m_deleteType;
    std::string m_setKey;
    std::string m_packetType;
    std::string m_packetSubtype;
    int m_id = -1;
    int m_contentLength = 0;
    std::string_view m_setBody;
    std::string_view m_body;
};
