// The parser over arbitrary bytes, and a request built from fuzzed fields read
// back field for field.
#include "FuzzCheck.h"
#include "ZnCommandRequest.h"
#include "ZnMessageFramer.h"
#include "ZnServerRequest.h"

#include <algorithm>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);

    ZnServerRequest r;
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

    // Round trip: a push built from the input's first line (line ends removed) as
    // packet type and the rest as body.
    const std::size_t cut = input.find('\n');
    std::string cleanType = input.substr(0, cut);
    cleanType.erase(std::remove(cleanType.begin(), cleanType.end(), '\r'), cleanType.end());
    const std::string body = cut == std::string::npos ? std::string() : input.substr(cut + 1);
    const int cseq = size > 0 ? data[0] * 7919 : 0;
    ZnCommandRequest builder;
    const std::string text = builder.buildPost(cseq, cleanType, body);

    std::string framed;
    int count = 0;
    ZnMessageFramer framer([&](std::string_view m) {
        framed.assign(m);
        ++count;
    });
    FUZZ_CHECK(framer.feed(text) == ZnMessageFramer::Ok);
    FUZZ_CHECK(count == 1 && framed == text && framer.pendingBytes() == 0);

    FUZZ_CHECK(r.parse(text) == ZnServerRequest::Post);
    FUZZ_CHECK(r.cseq() == cseq);
    FUZZ_CHECK(r.packetType() == cleanType);
    FUZZ_CHECK(r.body() == body);
    FUZZ_CHECK(std::size_t(r.contentLength()) == body.size());
    return 0;
}
