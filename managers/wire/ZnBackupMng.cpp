#include "ZnBackupMng.h"

void ZnBackupMng::onResponse(int, const std::string&) {}

bool ZnBackupMng::onPost(const std::string&, const std::string&)
{
    return false;
}

bool ZnBackupMng::onSet(const std::string&)
{
    return false;
}

void ZnBackupMng::onDelete(const std::string&, int) {}

void ZnBackupMng::onDeleted(int) {}
