#pragma once

#include "ZnNotifyManage.h"

#include <list>

class ZnFAlarm;
class ZnFAlarmTrigger;

// Fire-alarm interfaces.
class ZnFAlarmManage : public ZnNotifyManage
{
public:
    enum {
        ListType = 289,
        ChangedType = 290,
        ModifyType = 291,
        DeletedType = 292,
        // A number of its own, owned by no manager: the answer to a channel
        // trigger is only a result code for the caller.
        TriggerType = 304
    };
    static constexpr const char* kPostKey = "SqlConfig_firealarm";
    static constexpr const char* kDeleteType = "FAlarm";

    ZnFAlarmManage();

    std::string& buildFAlarmList(std::string& out, int cseq);
    std::string& buildModifyFAlarm(std::string& out, int cseq, const ZnFAlarm& alarm);
    std::string& buildSetTrigger(std::string& out, int cseq, const ZnFAlarmTrigger& trigger);

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;

    // Rows of a "firealarm" reply in row order; false when the body is no JSON.
    static bool parseRows(const std::string& body, std::list<ZnFAlarm>& out);

protected:
    int m_types[15] = {289, 290, 291, 292, 293, 294, 295, 296, 297, 298, 299, 300, 301, 302, 303};
};
