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

    // data gets the file's bytes when Read; why a short reason when Refused.
    static Result read(const char* path, size_t limit, std::string* data, std::string* why);
    // Whether a writer may replace the file: Missing, Read (a regular file within
    // the limit; nothing is read), else Refused.
    static Result check(const char* path, size_t limit, std::string* why);
};
