#pragma once
// How the protocol benchmarks begin: the simulator on a free loopback port and a
// centre logged in to it.

#include "ZnManageCenter.h"
#include "ZnSimServer.h"

#include <QTest>

inline bool znBenchLogin(ZnSimServer& sim, ZnManageCenter& centre)
{
    if (!sim.start())
        return false;
    centre.setServerAddress("127.0.0.1", sim.port());
    centre.setLoginUser("admin", "admin");
    centre.startReceiveThread();
    return QTest::qWaitFor([&centre] { return centre.state() == ZnNetManage::LoggedIn; }, 5000);
}
