#pragma once

#include <cstddef>
#include <string>

// Reads a small file whole, and only a regular file no larger than a limit. A pipe,
// a device, a folder or a file past the limit is refused before a byte of it is
// read, and opening it never waits for a writer: such a file can neither stall nor
// swamp the program that reads it.
class ZnRegularFile
{
public:
    enum Result { Read, Missing, Refused };

    // Why a file was refused, for a reader that tells the operator.
    struct Refusal
    {
        enum Kind { None, Folder, NotRegular, TooLarge, Failed };
        Kind kind = None;
        int error = 0; // the errno of the open or read that Failed
    };

    // data gets the file's bytes when Read; why a short reason and refusal its kind
    // when Refused.
    static Result read(const char* path, size_t limit, std::string* data, std::string* why, Refusal* refusal = nullptr);
    // Whether a writer may replace the file: Missing, Read (a regular file within
    // the limit; nothing is read), else Refused.
    static Result check(const char* path, size_t limit, std::string* why, Refusal* refusal = nullptr);
};
