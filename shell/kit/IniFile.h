#pragma once

#include "ZnIniFile.h"

#include <QRecursiveMutex>
#include <string>

// The process-wide INI document of the login settings, guarded by one lock.
class IniFile
{
public:
    static IniFile *instance();

    // Takes the lock and hands out the document; give it back to unlock().
    ZnIniFile *lock();
    void unlock(ZnIniFile *document);

    // Loads the file into the document (a missing file leaves it empty).
    void open(const char *path);
    // Reads the file again, so keys another writer put there meanwhile are kept.
    void reload();
    std::string path();

private:
    IniFile() = default;

    std::string filePath;
    ZnIniFile document;
    QRecursiveMutex mutex;
};
