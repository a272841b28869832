#pragma once

#include <mutex>
#include <string>

#include <mysql.h>

#include "ZnMySqlConfig.h"

class ZnMySqlResult;

// A connection to the talk-log database. The process has one that the log pages
// share (instance()); a log export opens one of its own for its transaction.
// Every use of a handle runs under that connection's mutex.
class ZnMySql
{
public:
    // An export's connection must not come back on its own: a new session would
    // read outside the snapshot its transaction holds.
    enum Reconnect { AutoReconnect, NoReconnect };

    // The account of the talk-log database (its password is fixed as well).
    static const char* const kTalkLogUser;
    static const char* const kTalkLogPassword;
    static const char* const kTalkLogDatabase;
    // Read and write time-out of a statement, in seconds: a stalled log host must
    // not hold the console for ever.
    static const unsigned kIoTimeoutSeconds = 5;

    static ZnMySql* instance();
    // Connects to "talkbacklog" on host with the fixed account and the global port.
    static int connectTalkLogDb(const std::string& host);

    int connect(const ZnMySqlConfig& settings);
    int reconnect();
    bool isConnected() const;
    bool isConfigured() const;
    ZnMySqlConfig settings() const;

    int query(const char* sql, ZnMySqlResult& result);

    explicit ZnMySql(Reconnect how);
    ~ZnMySql();
    ZnMySql(const ZnMySql&) = delete;
    ZnMySql& operator=(const ZnMySql&) = delete;

private:
    void closeHandle();

    mutable std::recursive_mutex m_mutex;
    MYSQL* m_handle = nullptr;
    ZnMySqlConfig m_settings;
    bool m_connected = false;
    bool m_configured = false;
    const Reconnect m_reconnect;
};
