#pragma once

#include <string>

// Callback of a manager to its list model: code = request-type number of the event,
// data = a freshly parsed list, one record or an int id, valid only during the call.
typedef void (*ZnNotifyCallback)(int code, void *data);

// The frame every manager plugs into. The centre knows its managers only through
// this class and offers them answers, pushed changes, failures and deletions.
class ZnBaseMgr
{
public:
    typedef void (*DeleteCallback)(int id);

    ZnBaseMgr() = default;
    virtual ~ZnBaseMgr() = default;

    ZnBaseMgr(const ZnBaseMgr &) = delete;
    ZnBaseMgr &operator=(const ZnBaseMgr &) = delete;

    // An answer to one of this manager's own request types.
    virtual void onResponse(int requestType, const std::string &body) = 0;
    // A pushed change under Packet-Type "_" Packet-Subtype; true when taken.
    virtual bool onPost(const std::string &key, const std::string &body);
    // A pushed setting without a key; true when taken.
    virtual bool onSet(const std::string &body) = 0;
    virtual void onFailed(int requestType, const std::string &body);
    // A pushed deletion; acts only when the type is this manager's name.
    virtual void onDelete(const std::string &type, int id);
    virtual void onDeleted(int id) = 0;

    // 0 when the request type is one of the owned ones, else -1.
    int isCommandRegistered(int requestType) const;

    // The array is not copied: it must outlive the manager (usually a member of it).
    void setCommands(const int *types, int count);
    const int *commands() const { return m_commands; }
    int commandCount() const { return m_commandCount; }

    void setName(const std::string &name) { m_name = name; }
    const std::string &name() const { return m_name; }

    void setDeleteCallback(DeleteCallback callback) { m_deleteCallback = callback; }
    DeleteCallback deleteCallback() const { return m_deleteCallback; }

protected:
    DeleteCallback m_deleteCallback = nullptr;
    const int *m_commands = nullptr;
    int m_commandCount = 0;
    std::string m_name;
};
