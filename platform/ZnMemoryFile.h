#pragma once

#include <cstddef>
#include <string>

// A file held in memory, with no name in any folder: it goes with the process
// however that ends, a SIGKILL included. Code that takes only a path opens it by
// path().
class ZnMemoryFile
{
public:
    ZnMemoryFile();
    ~ZnMemoryFile();
    ZnMemoryFile(const ZnMemoryFile&) = delete;
    ZnMemoryFile& operator=(const ZnMemoryFile&) = delete;

    bool isValid() const { return m_fd >= 0; }
    // Opens this file while the object lives; empty when it is not valid.
    std::string path() const;
    // Replaces the contents. Each time the file also gets a modification time no
    // memory file of this process had before, so that a reader which trusts a file
    // while its size and time stay the same (QSettings does) sees every change.
    bool setData(const char* data, size_t size);
    // Adds bytes at the end; false (errno set) when memory refuses them.
    bool append(const void* data, size_t size);
    // The descriptor, for reading the bytes back; -1 when not valid.
    int handle() const { return m_fd; }

private:
    int m_fd;
};
