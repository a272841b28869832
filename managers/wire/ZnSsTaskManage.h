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

    // Data of event 251: the deletion is judged by the answer's status line; a
    // refusal carries the answer's body as its reason (possibly empty).
    struct DeleteOutcome
    {
        bool deleted = false;
        std::string reason;
    };

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
