#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

// Cuts the server's byte stream into whole DBP/1.0 messages: a header block ended
// by an empty line, then as many body bytes as its Content-Length announces.
// Work is linear in the bytes received: a header end is searched only in bytes not
// searched before, body bytes are counted rather than scanned, and consumed bytes
// are dropped in bulk.
class ZnMessageFramer
{
public:
    enum Result { Ok, ProtocolError };

    // A header block that has not ended after this many bytes is not a header block.
    static constexpr std::size_t kMaxHeaderBlock = 1024 * 1024;

    // Gets each complete message, header block and body. The view is valid only
    // during the call; the hook must not feed or reset the framer.
    using MessageHook = std::function<void(std::string_view message)>;

    explicit ZnMessageFramer(MessageHook hook = MessageHook());

    void setMessageHook(MessageHook hook) { m_hook = std::move(hook); }

    // Appends a chunk and hands on every message it completes, in order. After a
    // protocol error the stream cannot be resynchronised: the framer keeps
    // refusing until reset(), and the connection is to be closed.
    Result feed(const char *data, std::size_t size);
    Result feed(std::string_view chunk) { return feed(chunk.data(), chunk.size()); }

    // Forgets everything buffered, for a new connection.
    void reset();

    // 0 waiting for the end of a header block, 1 waiting for the body.
    int state() const { return m_state; }
    bool failed() const { return !m_error.empty(); }
    const std::string &errorText() const { return m_error; }
    // Bytes received but not yet handed on.
    std::size_t pendingBytes() const { return m_buffer.size() - m_pos; }

private:
    Result fail(const std::string &why);
    void compact();

    MessageHook m_hook;
    std::string m_buffer;
    std::size_t m_pos = 0;         // start of the message being assembled
    std::size_t m_scanFrom = 0;    // where the search for the header end resumes
    std::size_t m_headerLength = 0;
    std::size_t m_contentLength = 0;
    int m_state = 0;
    std::string m_error;
};
