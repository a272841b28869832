#pragma once
// The lines of a settings file as its writers see them, and whether a write kept
// every line but the one it changed or the few it added.

#include <string>
#include <vector>

// The bytes cut at every line break, as both readers of config.ini cut them: LF,
// CR LF or a lone CR.
inline std::vector<std::string> fuzzLines(const std::string& data)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < data.size(); ++i) {
        const char c = data[i];
        if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

// After the lines the two have in common at the start and at the end, what is
// left of before is at most the one line changed, and of after at most that line
// or a new section's few.
inline bool keptButOne(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head])
        ++head;
    size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head
           && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return before.size() - head - tail <= 1 && after.size() - head - tail <= 4;
}
