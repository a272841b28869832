#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Where ZnRow's readers put a list answer: row by row, and each object row's
// fields in the order of the answer, repeated keys included. Keys and texts
// handed on stay valid until the read returns.
class ZnRowSink
{
public:
    enum Kind : uint8_t { Null, String, Int, UInt, Real, Bool, Nested };

    // One field's value. text: a string's own, or a number's or boolean's as the
    // answer wrote it (empty where that is not known).
    struct Value
    {
        Kind kind = Null;
        int64_t i = 0;
        uint64_t u = 0;
        double d = 0;
        bool b = false;
        std::string_view text;
    };

    struct Field
    {
        std::string_view key;
        Value value;
    };

    virtual ~ZnRowSink() = default;

    // Forgets whatever was taken: an answer the fast parser gave up on part way is
    // read again from its start by the other.
    virtual void clear() = 0;
    // The answer is about this many bytes.
    virtual void reserveFor(std::size_t) {}
    // A row that is no object gets no fields.
    virtual void beginRow(bool object) = 0;
    virtual void addField(std::string_view key, const Value& value) = 0;
    virtual void endRow() {}
};
