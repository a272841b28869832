#include "ZnMessageFramer.h"

#include "ZnServerRequest.h"

#include <algorithm>

namespace {
const char kHeaderEnd[] = "\r\n\r\n";
const std::size_t kHeaderEndSize = 4;
}

ZnMessageFramer::ZnMessageFramer(MessageHook hook)
    : m_hook(std::move(hook))
{
}

void ZnMessageFramer::reset()
{
    m_buffer.clear();
    m_pos = 0;
    m_scanFrom = 0;
    m_headerLength = 0;
    m_contentLength = 0;
    m_state = 0;
    m_error.clear();
}

ZnMessageFramer::Result ZnMessageFramer::fail(const std::string &why)
{
    m_error = why;
    m_buffer.clear();
    m_pos = m_scanFrom = 0;
    return ProtocolError;
}

ZnMessageFramer::Result ZnMessageFramer::feed(const char *data, std::size_t size)
{
    if (failed())
        return ProtocolError;
    if (data && size)
        m_buffer.append(data, size);

    for (;;) {
        if (m_state == 0) {
            const std::size_t end =
                m_buffer.find(kHeaderEnd, std::max(m_scanFrom, m_pos), kHeaderEndSize);
            if (end == std::string::npos) {
                // The last three bytes may start a separator that the next chunk ends.
                const std::size_t size = m_buffer.size();
                m_scanFrom = std::max(m_pos, size >= kHeaderEndSize - 1
                                                 ? size - (kHeaderEndSize - 1) : 0);
                if (size - m_pos > kMaxHeaderBlock)
                    return fail("header block too long");
                break;
            }
            m_headerLength = end + kHeaderEndSize - m_pos;
            if (m_headerLength > kMaxHeaderBlock)
                return fail("header block too long");
            long length = 0;
            if (!ZnServerRequest::contentLengthOf(
                    std::string_view(m_buffer.data() + m_pos, m_headerLength), &length))
                return fail("bad Content-Length");
            m_contentLength = static_cast<std::size_t>(length);
            m_state = 1;
        }
        // State 1: the body is counted, never scanned.
        const std::size_t total = m_headerLength + m_contentLength;
        if (m_buffer.size() - m_pos < total)
            break;
        const std::string_view message(m_buffer.data() + m_pos, total);
        m_pos += total;
        m_scanFrom = m_pos;
        m_state = 0;
        m_headerLength = 0;
        m_contentLength = 0;
        if (m_hook)
            m_hook(message);
    }
    compact();
    return Ok;
}

// Drops consumed bytes only when they are at least as many as the bytes kept, so
// every byte is moved at most once on average.
void ZnMessageFramer::compact()
{
    if (m_pos == 0)
        return;
    if (m_pos == m_buffer.size()) {
        m_buffer.clear();
    } else if (m_pos >= m_buffer.size() - m_pos) {
        m_buffer.erase(0, m_pos);
    } else {
        return;
    }
    m_scanFrom -= std::min(m_scanFrom, m_pos);
    m_pos = 0;
}
