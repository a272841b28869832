#pragma once

#include "ZnBaseMgr.h"

#include <string>

// Base of the play-task and plan-task managers, which read the server's task XML.
// The task element name is also the manager's name for pushes and deletions.
class ZnTaskBaseManage : public ZnBaseMgr
{
public:
    ZnTaskBaseManage();

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDelete(const std::string& type, int id) override;
    void onDeleted(int id) override;

    virtual bool ownsType(int requestType) const = 0;

    const std::string& listElement() const { return m_listElement; }
    const std::string& taskElement() const { return m_taskElement; }

protected:
    void setElementNames(const std::string& list, const std::string& task);

    std::string m_listElement;
    std::string m_taskElement;
};
