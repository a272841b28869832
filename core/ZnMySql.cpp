#include "ZnMySql.h"

#include <cstdio>

#include <sys/socket.h>

#include "ZnGlobals.h"
#include "ZnMySqlResult.h"
#include "ZnSocket.h"

const char* const ZnMySql::kTalkLogUser = "talklog";
const char* const ZnMySql::kTalkLogPassword = "wren";
const char* const ZnMySql::kTalkLogDatabase = "talkbacklog";

namespace {
// The client library is shared by every connection: it is ended after a failed
// connect only when no other handle is open, and never while one is being made.
std::mutex gLibraryMutex;
int gOpenHandles = 0;
}

ZnMySql* ZnMySql::instance()
{
    static ZnMySql* const theConnection = new ZnMySql(AutoReconnect);
    return theConnection;
}

ZnMySql::ZnMySql(Reconnect how, unsigned ioTimeoutSeconds) : m_reconnect(how), m_ioTimeout(ioTimeoutSeconds) {}

ZnMySql::~ZnMySql()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    closeHandle();
}

int ZnMySql::connectTalkLogDb(const std::string& host)
{
    ZnMySqlConfig settings;
    settings.host = host;
    settings.user = kTalkLogUser;
    settings.password = kTalkLogPassword;
    settings.database = kTalkLogDatabase;
    settings.port = gMySqlPort;
    return instance()->connect(settings) < 0 ? -1 : 0;
}

void ZnMySql::closeHandle()
{
    if (m_handle) {
        {
            std::lock_guard<std::mutex> socket(m_socketMutex);
            m_socket = -1;
        }
        mysql_close(m_handle);
        m_handle = nullptr;
        std::lock_guard<std::mutex> library(gLibraryMutex);
        --gOpenHandles;
    }
}

int ZnMySql::connect(const ZnMySqlConfig& settings)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_settings = settings;
    m_configured = true;

    // A new connect never reuses a live handle: the old link is closed first, and
    // until the new one stands the object counts as not connected.
    closeHandle();
    m_connected = false;

    {
        std::lock_guard<std::mutex> library(gLibraryMutex);
        m_handle = mysql_init(nullptr);
        gOpenHandles += m_handle != nullptr;
    }
    if (!m_handle) {
        std::printf("init mysql failed\n");
        return -1;
    }
    const unsigned connectTimeout = 1;
    const unsigned ioTimeout = m_ioTimeout;
    const my_bool autoReconnect = m_reconnect == AutoReconnect;
    mysql_options(m_handle, MYSQL_OPT_CONNECT_TIMEOUT, &connectTimeout);
    mysql_options(m_handle, MYSQL_OPT_RECONNECT, &autoReconnect);
    mysql_options(m_handle, MYSQL_SET_CHARSET_NAME, "utf8");
    mysql_options(m_handle, MYSQL_OPT_READ_TIMEOUT, &ioTimeout);
    mysql_options(m_handle, MYSQL_OPT_WRITE_TIMEOUT, &ioTimeout);

    // The client library reads a zero-padded dotted part as octal and would dial
    // another host; the address is the one the server connection reads. A name
    // goes as it is.
    const std::string host = ZnSocket::plainAddress(m_settings.host);
    if (mysql_real_connect(m_handle, host.c_str(), m_settings.user.c_str(), m_settings.password.c_str(),
                           m_settings.database.c_str(), static_cast<unsigned>(m_settings.port), nullptr, 0)) {
        m_connected = true;
        std::lock_guard<std::mutex> socket(m_socketMutex);
        m_socket = int(mysql_get_socket(m_handle));
        if (m_cancelled)
            ::shutdown(m_socket, SHUT_RDWR);
        return 0;
    }
    std::printf("connect mysql failed: %s\n", mysql_error(m_handle));
    std::fflush(stdout);
    closeHandle();
    std::lock_guard<std::mutex> library(gLibraryMutex);
    if (gOpenHandles == 0)
        mysql_server_end();
    return -1;
}

int ZnMySql::reconnect()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (m_connected)
        return 0;
    // Without settings there is nowhere to go; an empty host would mean the
    // local server's socket, which is not the log host.
    if (!m_configured)
        return -1;
    return connect(m_settings);
}

bool ZnMySql::isConnected() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_connected;
}

bool ZnMySql::isConfigured() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_configured;
}

ZnMySqlConfig ZnMySql::settings() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return m_settings;
}

bool ZnMySql::send(const char* sql, ZnMySqlResult& result)
{
    if (m_handle && sql && (m_connected || connect(m_settings) == 0) && mysql_query(m_handle, sql) == 0)
        return true;
    if (m_handle) {
        std::printf("%s failed. error string:%s\n", sql ? sql : "", mysql_error(m_handle));
        std::fflush(stdout);
        // No rows of an earlier statement may pass for the answer to this one.
        result.clear();
        result.setError(mysql_error(m_handle));
    }
    return false;
}

int ZnMySql::query(const char* sql, ZnMySqlResult& result)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_handle || !sql)
        return -1;
    if (!send(sql, result))
        return -1;
    MYSQL_RES* res = mysql_store_result(m_handle);
    const int stored = result.store(m_handle, res);
    if (res)
        mysql_free_result(res);
    if (stored < 0) {
        std::printf("%s failed. error string:%s\n", sql, mysql_error(m_handle));
        std::fflush(stdout);
    }
    return stored;
}

int ZnMySql::queryEach(const char* sql, ZnMySqlResult& batch, unsigned batchRows, const std::function<bool()>& onBatch)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_handle || !sql || batchRows == 0)
        return -1;
    if (!send(sql, batch))
        return -1;
    MYSQL_RES* res = mysql_use_result(m_handle);
    int stored = batch.begin(m_handle, res);
    bool more = stored == 0 && res;
    while (more) {
        stored = batch.fetch(m_handle, res, batchRows);
        more = stored == 0 && batch.rowCount() == batchRows;
        if (stored == 0 && batch.rowCount() > 0 && !onBatch())
            break;
    }
    // Freeing reads what is left of the rows: a statement broken off early costs
    // the rest of its rows, or nothing once the link is cut.
    if (res)
        mysql_free_result(res);
    if (stored < 0) {
        std::printf("%s failed. error string:%s\n", sql, mysql_error(m_handle));
        std::fflush(stdout);
    }
    return stored;
}

void ZnMySql::cancel()
{
    std::lock_guard<std::mutex> socket(m_socketMutex);
    m_cancelled = true;
    if (m_socket >= 0)
        ::shutdown(m_socket, SHUT_RDWR);
}
