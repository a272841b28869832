#pragma once

#include <cstddef>
#include <cstdio>

// The transfer queue's note file: records, each the tag "classb:" and its bytes.
class ZnFileNote
{
public:
    explicit ZnFileNote(const char* name);
    virtual ~ZnFileNote();

    int open(const char* mode);
    int close();
    // -1 when there is no file or data, or on a short read or write.
    virtual int readRecord(void* data, size_t n);
    virtual int writeRecord(const void* data, size_t n);
    // An entry after the last record: the tag "classw:" and its bytes. A reader of
    // records stops there as at the end of the file.
    int writeTrailer(const void* data, size_t n);

private:
    bool checkTag();
    int write(const char* tag, const void* data, size_t n);

    std::FILE* m_file = nullptr;
    char m_name[256] = {};
};
