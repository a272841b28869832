#pragma once

#include "ZnBaseMgr.h"
#include "ZnCommandRequest.h"
#include "ZnMsgCheck.h"
#include "ZnScheme.h"

#include <QMutex>

#include <atomic>
#include <list>

// Timer plans (schemes) of four kinds; request type = 79 + 4 x kind + operation
// (0 list, 1 add, 2 modify, 3 delete). Rows travel as JSON, single schemes pushed
// by SET as XML.
class ZnSchemeManage : public ZnBaseMgr
{
public:
    enum { FirstType = 79, LastType = 94 };
    enum Operation { ListOp, AddOp, ModifyOp, DeleteOp };
    static constexpr const char* kPostKey = "SqlConfig_timerplan";

    typedef void (*ListCallback)(std::list<ZnScheme>* list, int kind);
    typedef void (*SchemeCallback)(ZnScheme* scheme, int kind);
    typedef void (*DeletedCallback)(int id, int kind);

    static int requestType(int kind, int operation) { return FirstType + 4 * kind + operation; }

    ZnSchemeManage();

    // Null arguments keep the callbacks stored before.
    void setCallbacks(ListCallback list, SchemeCallback added, SchemeCallback changed, DeletedCallback deleted);

    std::string& buildSchemeList(std::string& out, int cseq);
    std::string& buildAddScheme(std::string& out, int cseq, const ZnScheme& scheme);
    std::string& buildModifyScheme(std::string& out, int cseq, const ZnScheme& scheme);
    // Flips the caller's enable flag, then builds the modify request.
    std::string& buildEnableScheme(std::string& out, int cseq, ZnScheme& scheme);
    // Also drops the scheme from this manager's own list, and remembers which
    // scheme the answer will be about.
    std::string& buildDeleteScheme(std::string& out, int cseq, const ZnScheme& scheme);

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDelete(const std::string& type, int id) override;
    void onDeleted(int id) override;

    // timerplan rows (a JSON array, or one row as an object). False when the body
    // is no JSON.
    static bool parseRows(const std::string& body, std::list<ZnScheme>& out);
    // The first element of a scheme SET into scheme: "Id" and "Status" read 0 and
    // the texts empty when absent, "level" and "type" keep their value.
    static bool parseSet(const std::string& xml, ZnScheme& scheme);
    // The kind of a SET's top element, -1 for none of the four.
    static int setKind(int replyType);

protected:
    std::string& buildChange(std::string& out, int cseq, const ZnScheme& scheme, const char* action);
    // The scheme an add or modify answer carries, into the current scheme.
    bool takeAnswered(const std::string& body);

    ListCallback m_listCallback = nullptr;
    SchemeCallback m_addedCallback = nullptr;
    SchemeCallback m_changedCallback = nullptr;
    DeletedCallback m_deletedCallback = nullptr;
    mutable QMutex m_mutex; // the own list: the delete builder runs on the GUI thread
    std::list<ZnScheme> m_schemes;
    ZnScheme m_current;
    ZnCommandRequest m_request;
    ZnMsgCheck m_check;
    // Requests go one at a time, so one delete at most waits for its answer.
    std::atomic<bool> m_deletePending{false};
    std::atomic<int> m_deleteId{0};
    int m_types[16];
};
