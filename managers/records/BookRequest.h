#pragma once

#include <string>

// A query or change of one per-console list. For a change, text is the whole new
// content of the list as the page composed it.
class BookRequest
{
public:
    int requestType = 0;
    int terminalId = 0;
    std::string text;
};

using ZnBookRequest = BookRequest;
