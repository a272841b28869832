#pragma once

#include "ZnBaseMgr.h"
#include "ZnCommandRequest.h"
#include "ZnScheme.h"

#include <list>

// Timer plans (schemes) of four kinds; request type = 79 + 4 x kind + operation
// (0 list, 1 add, 2 modify, 3 delete).
class ZnSchemeManage : public ZnBaseMgr
{
public:
    enum { FirstType = 79, LastType = 94 };
    static constexpr const char* kPostKey = "SqlConfig_timerplan";

    typedef void (*ListCallback)(std::list<ZnScheme>* list, int kind);
    typedef void (*SchemeCallback)(ZnScheme* scheme, int kind);
    typedef void (*DeletedCallback)(int id, int kind);

    static int requestType(int kind, int operation) { return FirstType + 4 * kind + operation; }

    // Null arguments keep the callbacks stored before.
    void setCallbacks(ListCallback list, SchemeCallback added, SchemeCallback changed, DeletedCallback deleted);

    std::string& buildSchemeList(std::string& out, int cseq);
    std::string& buildAddScheme(std::string& out, int cseq, const ZnScheme& scheme);
    std::string& buildModifyScheme(std::string& out, int cseq, const ZnScheme& scheme);
    // Flips the caller's enable flag, then builds the modify request.
    std::string& buildEnableScheme(std::string& out, int cseq, ZnScheme& scheme);
    // Also drops the scheme from this manager's own list.
    std::string& buildDeleteScheme(std::string& out, int cseq, const ZnScheme& scheme);

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDelete(const std::string& type, int id) override;
    void onDeleted(int id) override;

protected:
    std::string& buildChange(std::string& out, int cseq, const ZnScheme& scheme, const char* action);

    ListCallback m_listCallback = nullptr;
    SchemeCallback m_addedCallback = nullptr;
    SchemeCallback m_changedCallback = nullptr;
    DeletedCallback m_deletedCallback = nullptr;
    std::list<ZnScheme> m_schemes;
    ZnScheme m_current;
    ZnCommandRequest m_request;
};
