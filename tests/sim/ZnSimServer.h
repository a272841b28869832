#pragma once

#include "ZnSimData.h"
#include "ZnSimRequest.h"
#include "ZnSimRule.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A simulated management server speaking DBP/1.0 on 127.0.0.1. It checks the login
// digest against its user table, answers ONLINE, GetSystemTime and SqlConfig
// queries from its data, takes changes, pushes POST, SET and DELETE messages, and on
// demand splits its writes, delays or withholds answers, refuses with a text or
// closes the connection mid-message. Everything runs on its own thread; the
// public operations may be called from any thread.
class ZnSimServer
{
public:
    ZnSimServer();
    ~ZnSimServer();
    ZnSimServer(const ZnSimServer&) = delete;
    ZnSimServer& operator=(const ZnSimServer&) = delete;

    // Listens (port 0: an ephemeral one) and starts serving. False when it cannot listen.
    bool start(int port = 0, const std::string& host = "127.0.0.1");
    void stop();
    int port() const { return m_port; }

    // The data, under the server's lock for the duration of fn.
    void withData(const std::function<void(ZnSimData&)>& fn)
    {
        locked([&] { fn(m_data); });
    }
    void addUser(const std::string& name, const std::string& password)
    {
        locked([&] { m_data.users[name] = password; });
    }
    // Answer changes by pushing the changed rows as "POST SqlConfig_<table>".
    void setPushChanges(bool on) { m_pushChanges = on; }
    void setSystemTime(const std::string& text)
    {
        locked([&] { m_systemTime = text; });
    }

    // Called on the server's thread with each request once its answer is queued, under
    // the server's lock (it must not call back into the server). What it returns is sent
    // right after that answer.
    using RequestHook = std::function<std::string(const ZnSimRequest&)>;
    void setRequestHook(RequestHook hook)
    {
        locked([&] { m_requestHook = std::move(hook); });
    }
    void addRule(const ZnSimRule& rule)
    {
        locked([&] { m_rules.push_back(rule); });
    }
    void clearRules()
    {
        locked([&] { m_rules.clear(); });
    }
    // Every later write goes out in pieces of at most bytes, pauseMs apart; 0 writes whole.
    void setSplit(int bytes, int pauseMs = 2)
    {
        locked([&] { m_splitBytes = std::max(0, bytes), m_splitPauseMs = std::max(0, pauseMs); });
    }

    // Pushes to every connected client.
    void pushPost(const std::string& packetType, const std::string& packetSubtype, const std::string& body);
    void pushSet(const std::string& packetType, const std::string& packetSubtype, const std::string& body);
    void pushDelete(const std::string& type, int id);
    // Sets the trigger bits of a fire-alarm interface (bit i: channel i + 1) and
    // pushes its row as the fire-alarm system would; false for an unknown id.
    bool pushAlarmTrigger(int id, int bits);
    void pushRaw(const std::string& bytes);
    // A conflict push with the body "marker <n>". Sent after a case, it shows the client
    // has handled everything before it, so a test never sleeps to prove that nothing came.
    void pushMarker(int n) { pushPost("TerminalConflict", "", "marker " + std::to_string(n)); }
    // Sends whatever answers the Withhold rules held back so far.
    void releaseHeld();
    void closeClients();

    int acceptedCount() const
    {
        return locked([&] { return m_accepted; });
    }
    std::vector<ZnSimRequest> requests() const
    {
        return locked([&] { return m_requests; });
    }
    int count(const std::string& labelPrefix) const;
    std::string receivedBytes() const
    {
        return locked([&] { return m_received; });
    }

    static std::string answer(bool ok, int cseq, const std::string& body);
    static std::string message(const std::string& startLine, const std::string& packetType,
                               const std::string& packetSubtype, const std::string& body);

private:
    using Clock = std::chrono::steady_clock;
    struct Outgoing
    {
        Clock::time_point due;
        std::string bytes;
        size_t sent = 0; // bytes already written: the front is never erased
        bool closeAfter = false;
    };
    struct Client;

    template <typename F>
    auto locked(F fn) const -> decltype(fn())
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return fn();
    }
    void loop();
    void acceptClients();
    void readClient(Client& client);
    void handle(Client& client, const std::string& message);
    std::string respond(const ZnSimRequest& request, bool& ok);
    void queue(Client& client, std::string bytes, int delayMs = 0, bool closeAfter = false);
    void flush(Client& client);
    void closeClient(Client& client);
    static ZnSimRequest parseRequest(const std::string& message);

    mutable std::mutex m_mutex;
    ZnSimData m_data;
    std::vector<ZnSimRule> m_rules;
    std::vector<std::unique_ptr<Client>> m_clients;
    std::vector<ZnSimRequest> m_requests;
    RequestHook m_requestHook;
    std::string m_received;
    std::string m_systemTime = "2026-12-06 08:30:00";
    int m_splitBytes = 0;
    int m_splitPauseMs = 2;
    int m_accepted = 0;
    bool m_pushChanges = false;

    int m_listenFd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
