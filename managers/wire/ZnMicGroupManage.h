#pragma once

#include "ZnNotifyManage.h"

#include <list>

class ZnMicGroup;

// Microphone (call-service) groups. Changes carry "Action" by operation: 4 "Add", 5 "Mod", 6 "Del".
class ZnMicGroupManage : public ZnNotifyManage
{
public:
    enum { ListType = 222, DeletedType = 224, SaveType = 225 };
    enum { OpAdd = 4, OpMod = 5, OpDel = 6 };
    static constexpr const char* kDeleteType = "MicGroup";

    ZnMicGroupManage();

    std::string& buildGroupList(std::string& out, int cseq);
    // Empty text for an operation other than 4, 5 or 6.
    std::string& buildSaveGroup(std::string& out, int cseq, const ZnMicGroup& group, int operation);

    // The groups of a row array; false when the body is no JSON.
    static bool parseRows(const std::string& body, std::list<ZnMicGroup>& groups);

    void onResponse(int requestType, const std::string& body) override;
};
