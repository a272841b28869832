#pragma once

#include "ZnLoginNetHandle.h"
#include "ZnManageCenter.h"
#include "ZnSimServer.h"

#include <QCoreApplication>

#include <atomic>
#include <memory>
#include <string>

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

    bool waitState(int state, int timeoutMs = 3000)
    {
        return ZnSimServer::waitFor([&] { return centre->state() == state; }, timeoutMs);
    }

    bool login(const std::string& user = "admin", const std::string& password = "admin")
    {
        connect(user, password);
        return waitState(ZnNetManage::LoggedIn);
    }

    // Lets queued work of the GUI thread run while waiting.
    static bool spinUntil(const std::function<bool()>& cond, int timeoutMs = 3000)
    {
        return ZnSimServer::waitFor([&] {
            QCoreApplication::processEvents();
            return cond();
        }, timeoutMs);
    }

    ZnSimServer sim;
    std::unique_ptr<ZnManageCenter> centre;
};
