// The fire-alarm channel list text over arbitrary bytes: every channel comes
// out, no task id is negative, and a name read back is one the text can carry.
// The same bytes as the trigger bits' text: the pattern they read as, written
// back as a signed or an unsigned number, reads as that pattern again, and a
// text within int reads as the int it is.
#include "FuzzCheck.h"
#include "ZnFAlarmChannels.h"
#include "ZnRow.h"

#include <climits>
#include <cstdint>

namespace {
// The value of a reply row's field sent as this text.
ZnRowSink::Value textValue(const std::string& text)
{
    ZnRowSink::Value v;
    v.kind = ZnRowSink::String;
    v.text = text;
    return v;
}

int bitsOfText(const std::string& text)
{
    return ZnRow::toBits32(textValue(text));
}
}

FUZZ_TARGET(input)
{
    const auto channels = ZnFAlarmChannels::parse(input);
    size_t separators = 0;
    for (size_t at = input.find("!!!"); at != std::string::npos; at = input.find("!!!", at + 3))
        ++separators;
    FUZZ_CHECK(input.empty() ? channels.empty() : channels.size() == separators + 1);
    for (const auto& c : channels) {
        FUZZ_CHECK(c.taskId >= 0);
        FUZZ_CHECK(c.name.find("!!!") == std::string::npos);
    }
    FUZZ_CHECK(!ZnFAlarmChannels::triggered(-1, 0) && ZnFAlarmChannels::triggered(-1, 32)
               && !ZnFAlarmChannels::triggered(-1, 33));

    const int bits = bitsOfText(input);
    FUZZ_CHECK(bitsOfText(std::to_string(bits)) == bits);
    FUZZ_CHECK(bitsOfText(std::to_string(static_cast<uint32_t>(bits))) == bits);
    const int asInt = ZnRow::toInt(textValue(input));
    FUZZ_CHECK(asInt == INT_MAX || bits == asInt);
}
