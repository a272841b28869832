#pragma once

#include "ZnNotifyManage.h"

#include <list>
#include <string>

class ZnSsTask;

// Sound-source tasks (plan, manual, timer and SDK tasks). Changes go out as request
// type 249 + operation: 0 "Add", 1 "Mod", 2 "Del", 3 "Start", 4 "Stop".
class ZnSsTaskManage : public ZnNotifyManage
{
public:
    enum { ListType = 247, AddType = 249, ChangedType = 250, DeleteType = 251 };
    enum { OpAdd = 0, OpMod = 1, OpDel = 2, OpStart = 3, OpStop = 4 };
    static constexpr const char* kPostKey = "SqlConfig_soundsource";

    // Data of event 251. The server answers a refused deletion with its reason
    // under either status line, so a body with text is a refusal; an empty body
    // (blanks count as none) is a deletion only under "200 OK": a "400 FAILED"
    // without a reason still failed. A refusal carries the body as its reason.
    struct DeleteOutcome
    {
        bool deleted = false;
        std::string reason;
    };
    static DeleteOutcome deleteOutcome(bool ok, const std::string& body);

    std::string& buildTaskList(std::string& out, int cseq);
    // Empty text for an operation outside 0 to 4.
    std::string& buildSaveTask(std::string& out, int cseq, const ZnSsTask& task, int operation);

    // The tasks of a row array; false (and a note on standard output) when the body
    // is no JSON.
    static bool parseRows(const std::string& body, std::list<ZnSsTask>& tasks);

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    void onFailed(int requestType, const std::string& body) override;
};
