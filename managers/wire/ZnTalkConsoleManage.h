#pragma once

#include "ZnNotifyManage.h"

#include <list>

class ZnMic;

// What the D72 and D74 talk-console managers share: list and button-call answers
// and pushed console rows reach the model, each family read by its own row reader.
class ZnTalkConsoleManage : public ZnNotifyManage
{
public:
    typedef bool (*RowReader)(const std::string& body, std::list<ZnMic>& out);

    struct Family
    {
        RowReader read;
        int listType;
        int modifyType;
        int deletedType;
        int buttonCallsType;
        const char* postKey;
        const char* deleteType;
    };

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;

protected:
    explicit ZnTalkConsoleManage(const Family& family);

private:
    Family m_family;
};
