#include "ZnServerRequest.h"

#include <climits>

namespace {

const std::string_view kHeaderEnd("\r\n\r\n");
const std::string_view kLineEnd("\r\n");

enum Header { CSeq, Data, Id, ContentLength, PacketType, PacketSubtype, None };

const std::string_view kHeaderNames[] = {
    "CSeq:", "Data:", "Id:", "Content-Length:", "Packet-Type:", "Packet-Subtype:",
};

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// A header line is recognised only by the name at its start; the value is the
// rest of the line, untrimmed.
Header headerOf(std::string_view line, std::string_view *value)
{
    for (int h = CSeq; h < None; ++h) {
        if (startsWith(line, kHeaderNames[h])) {
            *value = line.substr(kHeaderNames[h].size());
            return static_cast<Header>(h);
        }
    }
    return None;
}

// Leading blanks skipped, digits up to the first non-digit, none gives 0.
// False when the number exceeds limit.
bool readNumber(std::string_view text, long limit, long *out)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            return false;
    }
    *out = value;
    return true;
}

// A number's text: after leading blanks, at least one digit.
bool hasDigits(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    return i < text.size() && text[i] >= '0' && text[i] <= '9';
}

int intValue(std::string_view text)
{
    long v = 0;
    return readNumber(text, INT_MAX, &v) ? static_cast<int>(v) : -1;
}

// Calls f(header, value) for every header line of the block, start line excluded.
template <typename F>
void forEachHeader(std::string_view block, F f)
{
    std::size_t end = block.find(kLineEnd);
    if (end == std::string_view::npos)
        return;
    std::size_t pos = end + kLineEnd.size();
    while ((end = block.find(kLineEnd, pos)) != std::string_view::npos) {
        std::string_view value;
        const Header h = headerOf(block.substr(pos, end - pos), &value);
        if (h != None)
            f(h, value);
        pos = end + kLineEnd.size();
    }
}

}

void ZnServerRequest::reset()
{
    m_kind = Unknown;
    m_cseq = -1;
    m_deleteType.clear();
    m_setKey.clear();
    m_packetType.clear();
    m_packetSubtype.clear();
    m_id = -1;
    m_contentLength = 0;
    m_setBody = std::string_view();
    m_body = std::string_view();
}

int ZnServerRequest::kindOf(std::string_view line)
{
    // Stray line ends between messages are not a start line.
    while (!line.empty() && (line.front() == '\r' || line.front() == '\n'))
        line.remove_prefix(1);
    const std::size_t end = line.find(kLineEnd);
    if (end != std::string_view::npos)
        line = line.substr(0, end);
    if (startsWith(line, "DBP/1.0 200 OK"))
        return Ok;
    if (startsWith(line, "DBP/1.0 400 FAILED"))
        return Failed;
    if (startsWith(line, "POST DBP/1.0"))
        return Post;
    const std::string_view method = line.substr(0, line.find(' '));
    if (method == "SET")
        return Set;
    if (method == "DELETE")
        return Delete;
    return Unknown;
}

bool ZnServerRequest::contentLengthOf(std::string_view block, long *length)
{
    // A length that cannot be trusted cannot be framed: reading "-5" as 0, or
    // letting a second, different length win, would cut the stream in the wrong
    // place and lose messages unnoticed. So a value without digits, and two
    // lengths that differ, spoil the block like a length over the limit.
    bool ok = true;
    bool seen = false;
    long value = 0;
    forEachHeader(block, [&](Header h, std::string_view v) {
        long n = 0;
        if (h != ContentLength)
            return;
        if (!hasDigits(v) || !readNumber(v, kMaxContentLength, &n) || (seen && n != value))
            ok = false;
        seen = true;
        value = n;
    });
    *length = ok ? value : 0;
    return ok;
}

int ZnServerRequest::parse(std::string_view message)
{
    reset();
    std::string_view block = message;
    const std::size_t sep = message.find(kHeaderEnd);
    if (sep != std::string_view::npos) {
        // Keep the first CR LF of the separator so the last header line is complete.
        block = message.substr(0, sep + kLineEnd.size());
        m_body = message.substr(sep + kHeaderEnd.size());
    }
    m_kind = kindOf(block);

    bool hasPacketType = false;
    bool hasPacketSubtype = false;
    forEachHeader(block, [&](Header h, std::string_view v) {
        long length = 0;
        switch (h) {
        case CSeq:
            m_cseq = intValue(v);
            break;
        case Id:
            m_id = intValue(v);
            break;
        case ContentLength:
            m_contentLength = readNumber(v, kMaxContentLength, &length) ? int(length) : -1;
            break;
        case PacketType:
            m_packetType.assign(v);
            hasPacketType = true;
            break;
        case PacketSubtype:
            m_packetSubtype.assign(v);
            hasPacketSubtype = true;
            break;
        case Data:
        case None:
            break;
        }
    });

    if (m_kind == Delete && hasPacketType) {
        m_deleteType = m_packetType;
    } else if (m_kind == Set) {
        m_setBody = m_body;
        if (hasPacketType)
            m_setKey = hasPacketSubtype ? postKey() : m_packetType;
    }
    return m_kind;
}

std::string ZnServerRequest::postKey() const
{
    return m_packetType + "_" + m_packetSubtype;
}
