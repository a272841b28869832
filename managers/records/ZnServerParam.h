#pragma once

#include <string>

// One system parameter of the server, or the result of a database backup
// (name = backup file, value = its MD5 text).
struct ZnServerParam
{
    enum Kind { RecordServer = 0, TalkLogServer = 1, VadPttTimeout = 2, Backup = 3, SystemName = 4, Other = 5 };

    std::string name;
    std::string value;
    int kind = Other;
};
