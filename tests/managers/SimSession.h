#pragma once

#include "ZnLoginNetHandle.h"
#include "ZnManageCenter.h"
#include "ZnSimServer.h"

#include <QCoreApplication>
#include <QTest>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A simulated server and a manage centre of its own, logged in to it.
class SimSession
{
public:
    static std::atomic<int>& losses()
    {
        static std::atomic<int> count{0};
        return count;
    }
    static void onLoss() { ++losses(); }
    // The last marker the centre handed on (see ZnSimServer::pushMarker).
    static std::atomic<int>& markerSeen()
    {
        static std::atomic<int> seen{0};
        return seen;
    }
    static void onConflict(int, const char* body)
    {
        const std::string text(body ? body : "");
        if (text.compare(0, 7, "marker ") == 0)
            markerSeen() = std::atoi(text.c_str() + 7);
    }

    SimSession() { sim.start(); }
    ~SimSession()
    {
        if (centre)
            centre->stopReceiveThread();
        sim.stop();
    }

    // Starts a receive loop; does not wait for the login.
    void connect(const std::string& user = "admin", const std::string& password = "admin", int port = -1)
    {
        if (!centre) {
            centre.reset(new ZnManageCenter);
            centre->setLossCallback(&SimSession::onLoss);
            centre->setConflictCallback(&SimSession::onConflict);
        }
        centre->setServerAddress("127.0.0.1", port < 0 ? sim.port() : port);
        centre->setLoginUser(user, password);
        centre->startReceiveThread();
    }

    bool waitState(int state, int timeoutMs = 10000)
    {
        return spinUntil([&] { return centre->state() == state; }, timeoutMs);
    }

    bool login(const std::string& user = "admin", const std::string& password = "admin")
    {
        connect(user, password);
        return waitState(ZnNetManage::LoggedIn);
    }

    // Lets queued work of the GUI thread run while waiting.
    static bool spinUntil(const std::function<bool()>& cond, int timeoutMs = 10000)
    {
        return QTest::qWaitFor(cond, timeoutMs);
    }

    // Returns once the centre has handled everything the server sent so far, and the
    // signals it queued for this thread have been delivered.
    bool settle()
    {
        static std::atomic<int> sent{0};
        const int n = ++sent;
        sim.pushMarker(n);
        const bool seen = spinUntil([n] { return markerSeen() >= n; });
        QCoreApplication::processEvents();
        return seen;
    }

    // The requests the server got whose label starts with prefix.
    std::vector<ZnSimRequest> requests(const std::string& prefix) const
    {
        std::vector<ZnSimRequest> out;
        for (const ZnSimRequest& r : sim.requests()) {
            if (r.label().compare(0, prefix.size(), prefix) == 0)
                out.push_back(r);
        }
        return out;
    }
    std::string lastBody(const std::string& prefix) const
    {
        const std::vector<ZnSimRequest> sent = requests(prefix);
        return sent.empty() ? std::string() : sent.back().body;
    }

    ZnSimServer sim;
    std::unique_ptr<ZnManageCenter> centre;
};
