#include "ZnMgrMsg.h"

ZnMgrMsg* ZnMgrMsg::instance()
{
    static ZnMgrMsg* msg = new ZnMgrMsg;
    return msg;
}

void ZnMgrMsg::reset(int cseq)
{
    m_done.store(false);
    m_ok.store(false);
    m_cseq.store(cseq);
}

bool ZnMgrMsg::record(int cseq, bool ok)
{
    if (cseq != m_cseq.load())
        return false;
    m_ok.store(ok);
    m_done.store(true);
    return true;
}
