#pragma once

#include "ZnBaseMgr.h"
#include "ZnMsgCheck.h"
#include "ZnTermBaseManage.h"

#include <list>

class ZnCap;

// Capture units (D73). Its list holder registers three plain callbacks; the removal
// callback lives in the frame's own callback slot.
class ZnCapManage : public ZnTermBaseManage, public ZnBaseMgr
{
public:
    enum { ListType = 75, ModifyType = 78 };
    static constexpr const char* kPostKey = "SqlConfig_capd73";

    typedef void (*ListCallback)(std::list<ZnCap>* list);
    typedef void (*ChangeCallback)(ZnCap* cap);

    ZnCapManage();

    // Null arguments keep the callbacks stored before.
    void setCallbacks(ListCallback list, DeleteCallback removed, ChangeCallback changed);

    std::string& buildCapList(std::string& out, int cseq);
    std::string& buildModifyCap(std::string& out, int cseq, const ZnCap& cap);

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDeleted(int id) override;

    // Rows of a "capd73" reply; false when the body is no JSON. Rows without a usable
    // id are left out.
    static bool parseRows(const std::string& body, std::list<ZnCap>& out);

protected:
    // 0 when the body was read, -1 when it is no JSON (nothing is called then).
    int handleList(const std::string& body);
    int handleChanges(const std::string& body);

    ListCallback m_listCallback = nullptr;
    ChangeCallback m_changeCallback = nullptr;
    ZnMsgCheck m_check;
    int m_types[3] = {75, 76, 77};
};
