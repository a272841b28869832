#pragma once

#include "ZnManageCenter.h"
#include "ZnSimServer.h"

#include <QCoreApplication>

#include <functional>
#include <string>
#include <vector>

// One simulated server and one centre logged in to it, for a whole test program:
// the service hub and the list models are process-wide and keep their centre.
class FamilySim
{
public:
    FamilySim() { sim.start(); }
    ~FamilySim()
    {
        centre.stopReceiveThread();
        sim.stop();
    }

    bool login()
    {
        centre.setServerAddress("127.0.0.1", sim.port());
        centre.setLoginUser("admin", "admin");
        centre.startReceiveThread();
        return ZnSimServer::waitFor([&] { return centre.state() == ZnNetManage::LoggedIn; }, 5000);
    }

    // Lets queued signals reach the GUI thread while waiting.
    static bool spinUntil(const std::function<bool()>& cond, int timeoutMs = 3000)
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

    ZnSimServer sim;
    ZnManageCenter centre;
};
