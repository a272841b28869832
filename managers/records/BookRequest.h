#pragma once

#include <string>

// A query or change of one per-device or per-console list (D82 and Dsk81 books).
// For a change, text is the whole new content of the list as the page composed it.
class BookRequest
{
public:
    BookRequest() = default;
    // type refers to this object's own requestType, never to the source's.
    BookRequest(const BookRequest& other)
        : requestType(other.requestType), terminalId(other.terminalId), text(other.text), extra(other.extra)
    {}
    BookRequest& operator=(const BookRequest& other)
    {
        requestType = other.requestType;
        terminalId = other.terminalId;
        text = other.text;
        extra = other.extra;
        return *this;
    }

    int requestType = 0; // the request type, which names the book
    int terminalId = 0;
    std::string text;
    std::string extra; // no request carries it; left empty
    // The name the pages use for requestType: the same int.
    int& type = requestType;
};

// The name the pages use.
using ZnBookRequest = BookRequest;
