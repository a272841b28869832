#pragma once

#include "ZnBaseMgr.h"
#include "ZnCommandRequest.h"

#include <string>

class ZnServerConfigRequest;

// The server's own settings: system name, record and talk-log servers, the
// voice-activity time-out, the administrator password, backup and restore.
class ZnServerConfigManage : public ZnBaseMgr
{
public:
    enum {
        SystemNameType = 173,
        ParametersType = 174,
        RecordServerType = 176,
        VadPttType = 177,
        LogServerQueryType = 178,
        LogServerType = 179,
        AdminPasswordType = 180,
        BackupType = 181,
        RestoreType = 182
    };
    typedef int (*ConfigCallback)(int type, void* data);

    void setCallback(ConfigCallback callback);

    // The queries 174 and 178; empty text for any other type.
    std::string& buildParameterRequest(std::string& out, int cseq, const std::string& value, int type);
    // The changes 173, 176, 177 and 179 to 182; empty text for any other type.
    std::string& buildRequest(std::string& out, int cseq, const ZnServerConfigRequest& request);

    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onFailed(int requestType, const std::string& body) override;
    void onDelete(const std::string& type, int id) override;
    void onDeleted(int id) override;
    virtual bool acceptsType(int type) const { return ownsType(type); }
    virtual bool ownsType(int type) const { return type >= 162 && type < 187; }

protected:
    ZnCommandRequest m_request;
    ConfigCallback m_callback = nullptr;
};
