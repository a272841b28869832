// The framer over arbitrary bytes: whole, byte by byte and in input-driven splits
// it must cut the same messages, and each must parse to a body of its
// Content-Length.
#include "FuzzCheck.h"
#include "ZnMessageFramer.h"
#include "ZnServerRequest.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {
struct Outcome
{
    std::vector<std::string> messages;
    bool failed = false;
    std::size_t pending = 0;
};

template <typename NextSize>
Outcome run(std::string_view input, NextSize nextSize)
{
    Outcome o;
    ZnMessageFramer framer([&o](std::string_view m) { o.messages.emplace_back(m); });
    std::size_t pos = 0;
    while (pos < input.size()) {
        const std::size_t n = std::min(nextSize(), input.size() - pos);
        if (framer.feed(input.substr(pos, n)) != ZnMessageFramer::Ok) {
            o.failed = true;
            break;
        }
        pos += n;
    }
    FUZZ_CHECK(framer.failed() == o.failed);
    o.pending = framer.pendingBytes();
    return o;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);

    const Outcome whole = run(input, [size] { return size; });
    const Outcome bytes = run(input, [] { return std::size_t(1); });
    uint32_t seed = size ? data[0] * 2654435761u : 1;
    const Outcome split = run(input, [&seed] {
        seed = seed * 1103515245u + 12345u;
        return std::size_t(1 + (seed >> 16) % 97);
    });

    FUZZ_CHECK(whole.messages == bytes.messages);
    FUZZ_CHECK(whole.messages == split.messages);
    FUZZ_CHECK(whole.failed == bytes.failed && whole.failed == split.failed);

    std::size_t framed = 0;
    ZnServerRequest request;
    for (const std::string &m : whole.messages) {
        framed += m.size();
        const std::size_t headerEnd = m.find("\r\n\r\n");
        FUZZ_CHECK(headerEnd != std::string::npos);
        const int kind = request.parse(m);
        FUZZ_CHECK(kind >= ZnServerRequest::Unknown && kind <= ZnServerRequest::Delete);
        FUZZ_CHECK(request.contentLength() >= 0);
        FUZZ_CHECK(std::size_t(request.contentLength()) == request.body().size());
        FUZZ_CHECK(headerEnd + 4 + request.body().size() == m.size());
    }
    if (!whole.failed) {
        FUZZ_CHECK(framed + whole.pending == size);
        FUZZ_CHECK(bytes.pending == whole.pending && split.pending == whole.pending);
    }
    return 0;
}
