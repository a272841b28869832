// The request parser and the reply classifier over arbitrary bytes, and a request
// built from fuzzed fields read back field for field.
#include "FuzzCheck.h"
#include "ZnCommandRequest.h"
#include "ZnMessageFramer.h"
#include "ZnMsgCheck.h"
#include "ZnServerRequest.h"

#include <algorithm>

FUZZ_TARGET(input)
{
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
