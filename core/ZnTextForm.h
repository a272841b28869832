#pragma once

#include <cstddef>

// Whether a settings file's bytes are text its readers can cut into lines: an
// encoding of single bytes or of UTF-8 (a UTF-8 byte-order mark included). A file
// saved as UTF-16 (Notepad's "Unicode", which starts it with a byte-order mark)
// or holding NUL bytes is not: no line of it can be found, and a line written
// into it would leave the file in two encodings.
class ZnTextForm
{
public:
    enum Form { Text, Utf16LittleEndian, Utf16BigEndian, NulBytes };

    static Form of(const char *data, size_t size);
    // Why such a file is not read, for standard error; empty for Text.
    static const char *why(Form form);
};
