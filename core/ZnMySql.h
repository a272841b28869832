#pragma once

#include <functional>
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
    static constexpr unsigned kIoTimeoutSeconds = 5;
    // The same for an export's connection: its statements over a whole log may
    // rightly run longer, and the export is stopped by cancel(), not by waiting.
    static constexpr unsigned kLongIoTimeoutSeconds = 120;

    static ZnMySql* instance();
    // Connects to "talkbacklog" on host with the fixed account and the global port.
    static int connectTalkLogDb(const std::string& host);

    int connect(const ZnMySqlConfig& settings);
    int reconnect();
    bool isConnected() const;
    bool isConfigured() const;
    ZnMySqlConfig settings() const;

    int query(const char* sql, ZnMySqlResult& result);
    // Runs a statement whose rows are taken as they arrive, at most batchRows at a
    // time into batch, each batch handed to onBatch (which returns false to stop
    // reading); the client holds one batch, and the server sends no faster than
    // the batches are taken. 0, or -1 when the statement or the reading failed.
    int queryEach(const char* sql, ZnMySqlResult& batch, unsigned batchRows, const std::function<bool()>& onBatch);
    // From any thread: breaks off the statement running now, and every later one
    // fails at once.
    void cancel();

    explicit ZnMySql(Reconnect how, unsigned ioTimeoutSeconds = kIoTimeoutSeconds);
    ~ZnMySql();
    ZnMySql(const ZnMySql&) = delete;
    ZnMySql& operator=(const ZnMySql&) = delete;

private:
    void closeHandle();
    // Sends sql; false (with the error kept in result) when it failed.
    bool send(const char* sql, ZnMySqlResult& result);

    mutable std::recursive_mutex m_mutex;
    MYSQL* m_handle = nullptr;
    ZnMySqlConfig m_settings;
    bool m_connected = false;
    bool m_configured = false;
    const Reconnect m_reconnect;
    const unsigned m_ioTimeout;
    // The handle's socket for cancel(), which must not wait for a running statement.
    std::mutex m_socketMutex;
    int m_socket = -1;
    bool m_cancelled = false;
};
