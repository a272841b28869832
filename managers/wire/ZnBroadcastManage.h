#pragma once

#include "ZnBaseMgr.h"
#include "ZnMsgCheck.h"
#include "ZnTermBaseManage.h"

#include <list>

class ZnBroadcast;

// Broadcasts described by the server as XML. Takes answers and SET messages only;
// nothing in the console sends its request types.
class ZnBroadcastManage : public ZnTermBaseManage, public ZnBaseMgr
{
public:
    enum { ListType = 95, SingleType = 96, SingleType2 = 97, LastType = 98 };

    typedef void (*ListCallback)(std::list<ZnBroadcast>* list);
    typedef void (*BroadcastCallback)(ZnBroadcast* broadcast);

    ZnBroadcastManage();

    // Null arguments keep the callbacks stored before.
    void setCallbacks(ListCallback list, BroadcastCallback single, BroadcastCallback pushed);

    void onResponse(int requestType, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDeleted(int id) override;

    // Every child of the body's "BroadcastList"; false when the body has no such
    // element (or is no XML that can be read safely).
    static bool parseList(const std::string& body, std::list<ZnBroadcast>& out);
    // The first child of the body's "BroadcastList"; false when there is none.
    static bool parseFirst(const std::string& body, ZnBroadcast& out);

protected:
    ZnMsgCheck m_check;
    ListCallback m_listCallback = nullptr;
    BroadcastCallback m_singleCallback = nullptr;
    BroadcastCallback m_pushedCallback = nullptr;
    int m_types[4] = {95, 96, 97, 98};
};
