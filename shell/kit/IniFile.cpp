#include "IniFile.h"

IniFile *IniFile::instance()
{
    static IniFile *const file = new IniFile;
    return file;
}

ZnIniFile *IniFile::lock()
{
    mutex.lock();
    return &document;
}

void IniFile::unlock(ZnIniFile *doc)
{
    if (doc == &document)
        mutex.unlock();
}

void IniFile::open(const char *path)
{
    QMutexLocker locker(&mutex);
    filePath = path ? path : "";
    reload();
}

void IniFile::reload()
{
    QMutexLocker locker(&mutex);
    int line = 0;
    document.clear();
    if (!filePath.empty())
        document.load(filePath.c_str(), &line);
}

std::string IniFile::path()
{
    QMutexLocker locker(&mutex);
    return filePath;
}
