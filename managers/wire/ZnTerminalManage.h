#pragma once

#include "ZnNotifyManage.h"
#include "ZnTerminal.h"

#include <list>

// IP amplifiers (play terminals). Also builds "RemoveDevice" for every family.
class ZnTerminalManage : public ZnNotifyManage
{
public:
    enum { ListType = 3, PowerType = 5, ModifyType = 6, RemoveType = 7, TerminalType = 10, CheckType = 11 };
    static constexpr const char* kPostKey = "SqlConfig_ipamp";

    ZnTerminalManage();

    std::string& buildTerminalList(std::string& out, int cseq);
    std::string& buildAmpPower(std::string& out, int cseq, int terminalId, int power);
    std::string& buildModifyTerminal(std::string& out, int cseq, const ZnTerminal& terminal);
    std::string& buildTerminal(std::string& out, int cseq, const ZnTerminal& terminal);
    std::string& buildSpeakerCheck(std::string& out, int cseq, int terminalId);
    std::string& buildPlayTermConfig(std::string& out, int cseq, const ZnTerminal& terminal);

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    void onFailed(int requestType, const std::string& body) override;

    // The rows of an "ipamp" reply, in id order (stable). False when the body is
    // no JSON; a value that is no array gives no rows.
    static bool parseRows(const std::string& body, std::list<ZnTerminal>& out);

protected:
    int m_types[7] = {3, 4, 5, 6, 7, 8, 9};
};
