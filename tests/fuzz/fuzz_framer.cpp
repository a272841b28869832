// The framer over arbitrary bytes: whole, byte by byte and in input-driven splits
// it must cut the same messages, and each must parse to a body of its
// Content-Length.
#include "FuzzCheck.h"
#include "ZnMessageFramer.h"
#include "ZnServerRequest.h"

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

    std::size_t framed = 0;
    ZnServerRequest request;
    for (const std::string& m : whole.messages) {
        framed += m.size();
        const std::size_t headerEnd = m.find("\r\n\r\n");
        FUZZ_CHECK(headerEnd != std::string::npos);
        const int kind = request.parse(m);
        FUZZ_CHECK(kind >= ZnServerRequest::Unknown && kind <= ZnServerRequest::Delete);
        FUZZ_CHECK(request.contentLength() >= 0);
        FUZZ_CHECK(std::size_t(request.contentLength()) == request.body().size());
        FUZZ_CHECK(headerEnd + 4 + request.body().size() == m.size());
    }
    FUZZ_CHECK(whole.failed || framed + whole.pending == input.size());
}
