#pragma once

#include <string>

// A query or change of one per-console list. For a change, text is the whole new
// content of the list as the page composed it.
class ZnBookRequest
{
public:
    int type = 0; // the request type, which names the book
    int terminalId = 0;
    std::string text;
    std::string extra; // no request carries it; left empty
};
