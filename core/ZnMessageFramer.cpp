#include "ZnMessageFramer.h"

#include "ZnServerRequest.h"

#include <algorithm>
#include <cstring>

namespace {
const char kHeaderEnd[] = "\r\n\r\n";
const std::size_t kHeaderEndSize = 4;
}

ZnMessageFramer::ZnMessageFramer(MessageHook hook) : m_hook(std::move(hook)) {}

void ZnMessageFramer::release()
{
    m_buffer.reset();
    m_size = 0;
    m_capacity = 0;
}

void ZnMessageFramer::reset()
{
    release();
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
    release();
    m_pos = m_scanFrom = 0;
    return ProtocolError;
}

char *ZnMessageFramer::prepare(std::size_t size)
{
    if (m_capacity - m_size < size) {
        const std::size_t capacity = std::max(m_size + size, 2 * m_capacity);
        std::unique_ptr<char[]> bigger(new char[capacity]);
        if (m_size)
            std::memcpy(bigger.get(), m_buffer.get(), m_size);
        m_buffer = std::move(bigger);
        m_capacity = capacity;
    }
    return m_buffer.get() + m_size;
}

ZnMessageFramer::Result ZnMessageFramer::feed(const char *data, std::size_t size)
{
    if (failed())
        return ProtocolError;
    if (data && size)
        std::memcpy(prepare(size), data, size);
    else
        size = 0;
    return commit(size);
}

ZnMessageFramer::Result ZnMessageFramer::commit(std::size_t size)
{
    if (failed())
        return ProtocolError;
    m_size += std::min(size, m_capacity - m_size);
    std::string_view buffer(m_buffer.get(), m_size);

    for (;;) {
        if (m_state == 0) {
            const std::size_t end =
                buffer.find(std::string_view(kHeaderEnd, kHeaderEndSize), std::max(m_scanFrom, m_pos));
            if (end == std::string_view::npos) {
                // The last three bytes may start a separator that the next chunk ends.
                const std::size_t size = m_size;
                m_scanFrom = std::max(m_pos, size >= kHeaderEndSize - 1 ? size - (kHeaderEndSize - 1) : 0);
                if (size - m_pos > kMaxHeaderBlock)
                    return fail("header block too long");
                break;
            }
            m_headerLength = end + kHeaderEndSize - m_pos;
            if (m_headerLength > kMaxHeaderBlock)
                return fail("header block too long");
            long length = 0;
            if (!ZnServerRequest::contentLengthOf(buffer.substr(m_pos, m_headerLength), &length))
                return fail("bad Content-Length");
            m_contentLength = static_cast<std::size_t>(length);
            m_state = 1;
            // Room for the whole message at once rather than by doubling.
            const std::size_t whole = m_pos + m_headerLength + m_contentLength;
            if (m_capacity < whole) {
                prepare(whole - m_size);
                buffer = std::string_view(m_buffer.get(), m_size);
            }
        }
        // State 1: the body is counted, never scanned.
        const std::size_t total = m_headerLength + m_contentLength;
        if (m_size - m_pos < total)
            break;
        const std::string_view message = buffer.substr(m_pos, total);
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
// every byte is moved at most once on average. A buffer grown by a large message
// is given back once that message is through.
void ZnMessageFramer::compact()
{
    if (m_pos == 0)
        return;
    const std::size_t rest = m_size - m_pos;
    if (m_capacity > kKeptCapacity && rest <= kKeptCapacity / 2) {
        if (rest == 0) {
            release();
        } else {
            std::unique_ptr<char[]> smaller(new char[kKeptCapacity / 2]);
            std::memcpy(smaller.get(), m_buffer.get() + m_pos, rest);
            m_buffer = std::move(smaller);
            m_capacity = kKeptCapacity / 2;
            m_size = rest;
        }
    } else if (rest == 0) {
        m_size = 0;
    } else if (m_pos >= rest) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_pos, rest);
        m_size = rest;
    } else {
        return;
    }
    m_scanFrom -= std::min(m_scanFrom, m_pos);
    m_pos = 0;
}
