#pragma once

#include "ZnLoginNetHandle.h"
#include "ZnManageCenter.h"
#include "ZnSimServer.h"

#include <QCoreApplication>

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
        }
        centre->setServerAddress("127.0.0.1", port < 0 ? sim.port() : port);
        centre->setLoginUser(user, password);
        centre->startReceiveThread();
    }

    bool waitState(int state, int timeoutMs = 10000)
    {
        return ZnSimServer::waitFor([&] { return centre->state() == state; }, timeoutMs);
    }

    bool login(const std::string& user = "admin", const std::string& password = "admin")
    {
        connect(user, password);
        return waitState(ZnNetManage::LoggedIn);
    }

    // Lets queued work of the GUI thread run while waiting.
    static bool spinUntil(const std::function<bool()>& cond, int timeoutMs = 10000)
    {
        return ZnSimServer::waitFor([&] {
            QCoreApplication::processEvents();
            return cond();
        }, timeoutMs);
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
