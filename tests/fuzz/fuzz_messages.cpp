// The framer, the request parser and the reply classifier over arbitrary bytes.
// Whole, byte by byte and in input-driven splits the framer must cut the same
// messages, each parsing to a body of its Content-Length; a request built from
// fuzzed fields reads back field for field.
#include "FuzzCheck.h"
#include "ZnCommandRequest.h"
#include "ZnMessageFramer.h"
#include "ZnMsgCheck.h"
#include "ZnServerRequest.h"

#include <algorithm>
#include <functional>
#include <vector>

namespace {
struct Outcome
{
    std::vector<std::string> messages;
    bool failed = false;
    std::size_t pending = 0;
    bool operator==(const Outcome& o) const
    {
        return messages == o.messages && failed == o.failed && (failed || pending == o.pending);
    }
};

Outcome run(std::string_view input, const std::function<std::size_t()>& nextSize)
{
    Outcome o;
    ZnMessageFramer framer([&o](std::string_view m) { o.messages.emplace_back(m); });
    for (std::size_t pos = 0, n = 0; pos < input.size() && !o.failed; pos += n) {
        n = std::min(nextSize(), input.size() - pos);
        o.failed = framer.feed(input.substr(pos, n)) != ZnMessageFramer::Ok;
    }
    FUZZ_CHECK(framer.failed() == o.failed);
    o.pending = framer.pendingBytes();
    return o;
}
}

FUZZ_TARGET(input)
{
    const Outcome whole = run(input, [&input] { return input.size(); });
    uint32_t seed = input.empty() ? 1 : uint8_t(input[0]) * 2654435761u;
    FUZZ_CHECK(run(input, [] { return std::size_t(1); }) == whole);
    FUZZ_CHECK(run(input,
                   [&seed] {
                       seed = seed * 1103515245u + 12345u;
                       return std::size_t(1 + (seed >> 16) % 97);
                   })
               == whole);

    std::size_t framedBytes = 0;
    ZnServerRequest r;
    for (const std::string& m : whole.messages) {
        framedBytes += m.size();
        const std::size_t headerEnd = m.find("\r\n\r\n");
        FUZZ_CHECK(headerEnd != std::string::npos);
        FUZZ_CHECK(r.parse(m) >= ZnServerRequest::Unknown && r.kind() <= ZnServerRequest::Delete);
        FUZZ_CHECK(r.contentLength() >= 0);
        FUZZ_CHECK(std::size_t(r.contentLength()) == r.body().size());
        FUZZ_CHECK(headerEnd + 4 + r.body().size() == m.size());
    }
    FUZZ_CHECK(whole.failed || framedBytes + whole.pending == input.size());

    const int kind = r.parse(input);
    FUZZ_CHECK(kind == r.kind());
    FUZZ_CHECK(kind >= ZnServerRequest::Unknown && kind <= ZnServerRequest::Delete);
    FUZZ_CHECK(r.contentLength() >= -1);
    FUZZ_CHECK(r.cseq() >= -1 && r.id() >= -1);
    FUZZ_CHECK(r.body().size() <= input.size());
    if (kind == ZnServerRequest::Set)
        FUZZ_CHECK(r.setBody() == r.body());
    else
        FUZZ_CHECK(r.setKey().empty() && r.setBody().empty());
    if (kind != ZnServerRequest::Delete)
        FUZZ_CHECK(r.deleteType().empty());

    // The classifier gives a table index, and the name it found classifies the
    // same when written alone.
    ZnMsgCheck check;
    const int reply = check.replyType(input);
    FUZZ_CHECK(reply >= 0 && reply <= ZnMsgCheck::Unknown);
    if (reply != ZnMsgCheck::Unknown) {
        const std::string name = ZnMsgCheck::topElement(input);
        FUZZ_CHECK(!name.empty() && check.replyType("<?xml?><" + name + ">") == reply);
    }

    // Round trip: a push built from the input's first line (line ends removed) as
    // packet type and the rest as body.
    const std::size_t cut = input.find('\n');
    std::string cleanType = input.substr(0, cut);
    cleanType.erase(std::remove(cleanType.begin(), cleanType.end(), '\r'), cleanType.end());
    const std::string body = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    const int cseq = input.empty() ? 0 : uint8_t(input[0]) * 7919;
    const std::string text = ZnCommandRequest().buildPost(cseq, cleanType, body);

    std::vector<std::string> framed;
    ZnMessageFramer framer([&](std::string_view m) { framed.emplace_back(m); });
    FUZZ_CHECK(framer.feed(text) == ZnMessageFramer::Ok);
    FUZZ_CHECK(framed == std::vector<std::string>{text} && framer.pendingBytes() == 0);

    FUZZ_CHECK(r.parse(text) == ZnServerRequest::Post);
    FUZZ_CHECK(r.cseq() == cseq);
    FUZZ_CHECK(r.packetType() == cleanType);
    FUZZ_CHECK(r.body() == body);
    FUZZ_CHECK(std::size_t(r.contentLength()) == body.size());
}
