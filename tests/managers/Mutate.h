#pragma once

#include <random>
#include <string>

// Flips, cuts, splices and truncates a few bytes of a good body, for the small
// bounded fuzzers of the manager tests.
inline std::string mutate(std::string body, std::mt19937& rng)
{
    static const char pool[] = "{}[]<>/=\"',:!?-&\\ \x00\xe5\xff";
    for (int i = 1 + static_cast<int>(rng() % 5); i > 0 && !body.empty(); --i) {
        const size_t at = rng() % body.size();
        switch (rng() % 5) {
        case 0:
            body[at] = static_cast<char>(rng() % 256);
            break;
        case 1:
            body.erase(at, 1 + rng() % 8);
            break;
        case 2:
            body[at] = pool[rng() % (sizeof pool - 1)];
            break;
        case 3:
            body.insert(at, 1, pool[rng() % (sizeof pool - 1)]);
            break;
        default:
            body.resize(at);
            break;
        }
    }
    return body;
}
