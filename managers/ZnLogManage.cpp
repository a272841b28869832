#include "ZnLogManage.h"

void ZnLogManage::setCallback(LogCallback callback)
{
    if (callback)
        m_callback = callback;
}

std::string ZnLogManage::logStatement(int kind, int offset)
{
    const std::string off = std::to_string(offset);
    switch (kind) {
    case 0:
        return "select count(*) from userlog;";
    case 2:
    case 6:
        return "select count(*) from talklog;";
    case 3:
    case 7:
        return "select * from talklog order by id DESC limit " + off + ", 100";
    case 4:
        return "select count(*) from terminallog;";
    case 5:
        return "select * from terminallog order by id DESC limit " + off + ", 100";
    default:
        return "select * from userlog order by id DESC limit " + off + ", 100 ";
    }
}

std::string& ZnLogManage::buildSqlLogQuery(std::string& out, int cseq, int kind, int offset)
{
    out = m_request.buildGet(cseq, "SqlLog", logStatement(kind, offset).c_str());
    return out;
}

void ZnLogManage::onResponse(int, const std::string&)
{
}

bool ZnLogManage::onSet(const std::string&)
{
    return false;
}

void ZnLogManage::onDelete(const std::string&, int)
{
}

void ZnLogManage::onDeleted(int)
{
}
