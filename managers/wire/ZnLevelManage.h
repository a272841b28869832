#pragma once

#include "ZnBaseMgr.h"
#include "ZnMsgCheck.h"
#include "ZnTermBaseManage.h"

#include "ZnLevel.h"

#include <list>
#include <memory>

// User levels from the server's "LevelList" XML. Takes answers and SET messages only.
class ZnLevelManage : public ZnTermBaseManage, public ZnBaseMgr
{
public:
    enum { ListType = 144 };
    typedef void (*ListCallback)(std::list<ZnLevel>* list);
    typedef void (*LevelCallback)(ZnLevel* level);

    ZnLevelManage();

    // Null arguments keep the callbacks stored before.
    void setCallbacks(ListCallback list, DeleteCallback frame, LevelCallback third);

    void onResponse(int requestType, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDeleted(int id) override;

    // The levels of the first top-level "LevelList" element, each child element
    // one level; null when the text is no XML or has no such element.
    static std::unique_ptr<std::list<ZnLevel>> parseLevelList(const std::string& xml);

protected:
    void deliver(const std::string& body);

    ZnMsgCheck m_check;
    ListCallback m_listCallback = nullptr;
    LevelCallback m_thirdCallback = nullptr;
    int m_types[5] = {144, 145, 146, 147, 148};
};
