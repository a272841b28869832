#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>

class ZnNewFile;

// The transfer queue's note file: records, each the tag "classb:" and its bytes.
// A note opened for writing is a new file beside the earlier one, which it
// replaces only at commit(), once all of it is on the disk: a full disk keeps
// the earlier note whole.
class ZnFileNote
{
public:
    explicit ZnFileNote(const char* name);
    virtual ~ZnFileNote();

    // A mode with "w" or "a" starts the new file; any other opens the note itself.
    int open(const char* mode);
    // A new file that was not committed is dropped.
    int close();
    // 0 when the new file took the note's place; -1 (the earlier note kept) else.
    int commit();
    // The errno of the last failure of open, a write or commit.
    int error() const { return m_errno; }
    // -1 when there is no file or data, or on a short read or write.
    virtual int readRecord(void* data, size_t n);
    virtual int writeRecord(const void* data, size_t n);
    // An entry after the last record: the tag "classw:" and its bytes. A reader of
    // records stops there as at the end of the file.
    int writeTrailer(const void* data, size_t n);

private:
    bool checkTag();
    int write(const char* tag, const void* data, size_t n);
    int failed(int error);

    std::FILE* m_file = nullptr;
    std::unique_ptr<ZnNewFile> m_new;
    int m_errno = 0;
    char m_name[256] = {};
};
