#include "ZnBaseMgr.h"

bool ZnBaseMgr::onPost(const std::string &, const std::string &body)
{
    return onSet(body);
}

void ZnBaseMgr::onFailed(int, const std::string &) {}

void ZnBaseMgr::onDelete(const std::string &type, int id)
{
    if (type != m_name)
        return;
    onDeleted(id);
    if (m_deleteCallback)
        m_deleteCallback(id);
}

int ZnBaseMgr::isCommandRegistered(int requestType) const
{
    if (!m_commands)
        return -1;
    for (int i = 0; i < m_commandCount; ++i) {
        if (m_commands[i] == requestType)
            return 0;
    }
    return -1;
}

void ZnBaseMgr::setCommands(const int *types, int count)
{
    m_commands = types;
    m_commandCount = types && count > 0 ? count : 0;
}
