#pragma once

#include "ZnBaseMgr.h"
#include "ZnMsgCheck.h"
#include "ZnTermBaseManage.h"

#include <list>

class ZnBroadcast;

// Broadcasts described by the server as XML. Takes answers and SET messages only.
class ZnBroadcastManage : public ZnTermBaseManage, public ZnBaseMgr
{
public:
    typedef void (*ListCallback)(std::list<ZnBroadcast>* list);
    typedef void (*BroadcastCallback)(ZnBroadcast* broadcast);

    ZnBroadcastManage();

    void onResponse(int requestType, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDeleted(int id) override;

protected:
    ZnMsgCheck m_check;
    ListCallback m_listCallback = nullptr;
    BroadcastCallback m_singleCallback = nullptr;
    BroadcastCallback m_pushedCallback = nullptr;
    int m_types[4] = {95, 96, 97, 98};
};
