#include "ZnFAlarmChannels.h"

#include <climits>

const char *const ZnFAlarmChannels::ChannelSeparator = "!!!";
const char *const ZnFAlarmChannels::FieldSeparator = "#$%";

namespace {

// Leading decimal digits after blanks; 0 when there are none, INT_MAX at most.
int leadingNumber(const std::string &text)
{
    size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos)
        return 0;
    long long value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = value * 10 + (text[at] - '0');
        if (value > INT_MAX)
            return INT_MAX;
    }
    return int(value);
}

} // namespace

std::vector<ZnFAlarmChannels::Channel> ZnFAlarmChannels::parse(const std::string &text)
{
    std::vector<Channel> out;
    if (text.empty())
        return out;
    const std::string sep(ChannelSeparator), field(FieldSeparator);
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(sep, start);
        const std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        Channel c;
        // A name is everything before the last field separator.
        const size_t cut = part.rfind(field);
        if (cut == std::string::npos) {
            c.taskId = leadingNumber(part);
        } else {
            c.name = part.substr(0, cut);
            c.named = true;
            c.taskId = leadingNumber(part.substr(cut + field.size()));
        }
        out.push_back(c);
        if (end == std::string::npos)
            break;
        start = end + sep.size();
    }
    return out;
}

bool ZnFAlarmChannels::nameAllowed(const std::string &name)
{
    return name.find(ChannelSeparator) == std::string::npos && name.find(FieldSeparator) == std::string::npos;
}

bool ZnFAlarmChannels::triggered(int bits, int channel)
{
    // Unsigned: bit 31 (channel 32) is the sign bit of the int.
    return channel >= 1 && channel <= 32 && (static_cast<unsigned>(bits) >> (channel - 1)) & 1u;
}
