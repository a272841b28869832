#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// Cuts the server's byte stream into whole DBP/1.0 messages: a header block ended
// by an empty line, then as many body bytes as its Content-Length announces.
// Work is linear in the bytes received: a header end is searched only in bytes not
// searched before, body bytes are counted rather than scanned, and consumed bytes
// are dropped in bulk. Bytes are received straight into the framer's buffer
// (prepare, then commit), and every message is handed on as a view into it.
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

    // A buffer grown past this size by a large message is given back, or shrunk,
    // once that message is through. Small enough that the answers of large lists
    // (a megabyte or two each) leave nothing behind in a console that stays open.
    static constexpr std::size_t kKeptCapacity = 512 * 1024;

    // Room for size more bytes at the end of the buffer, to be filled and then
    // committed; valid until the next call.
    char *prepare(std::size_t size);
    // Takes the first size bytes written into the room of prepare() and hands on
    // every message they complete, in order. After a protocol error the stream
    // cannot be resynchronised: the framer keeps refusing until reset(), and the
    // connection is to be closed.
    Result commit(std::size_t size);
    // prepare, copy and commit.
    Result feed(const char *data, std::size_t size);
    Result feed(std::string_view chunk) { return feed(chunk.data(), chunk.size()); }

    // Forgets everything buffered, for a new connection.
    void reset();

    // 0 waiting for the end of a header block, 1 waiting for the body.
    int state() const { return m_state; }
    bool failed() const { return !m_error.empty(); }
    const std::string &errorText() const { return m_error; }
    // Bytes received but not yet handed on.
    std::size_t pendingBytes() const { return m_size - m_pos; }
    // Bytes the message being received still lacks, once its header block is in
    // (0 before): reading no more than these into prepare() keeps the buffer from
    // growing past the message.
    std::size_t missingBytes() const
    {
        const std::size_t total = m_headerLength + m_contentLength;
        return m_state == 1 && m_size - m_pos < total ? total - (m_size - m_pos) : 0;
    }
    std::size_t capacity() const { return m_capacity; }

private:
    Result fail(const std::string &why);
    void compact();
    void release();

    MessageHook m_hook;
    std::unique_ptr<char[]> m_buffer; // not value-initialised: every byte is written before it is read
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::size_t m_pos = 0;      // start of the message being assembled
    std::size_t m_scanFrom = 0; // where the search for the header end resumes
    std::size_t m_headerLength = 0;
    std::size_t m_contentLength = 0;
    int m_state = 0;
    std::string m_error;
};
