// The reply classifier over arbitrary bytes: always a table index, and the name
// it found classifies the same when written alone.
#include "FuzzCheck.h"
#include "ZnMsgCheck.h"

FUZZ_TARGET(input)
{
    ZnMsgCheck check;
    const int kind = check.replyType(input);
    FUZZ_CHECK(kind >= 0 && kind <= ZnMsgCheck::Unknown);
    if (kind != ZnMsgCheck::Unknown) {
        const std::string name = ZnMsgCheck::topElement(input);
        FUZZ_CHECK(!name.empty());
        FUZZ_CHECK(check.replyType("<?xml?><" + name + ">") == kind);
    }
}
