#include "ZnSimRule.h"

ZnSimRule ZnSimRule::make(const std::string& match, Action action, const std::string& text, int delayMs, int times)
{
    ZnSimRule r;
    r.match = match;
    r.action = action;
    r.text = text;
    r.delayMs = delayMs;
    r.times = times;
    return r;
}
