#pragma once

#include "ZnBaseMgr.h"
#include "ZnManageCenter.h"
#include "ZnSimServer.h"

#include <QCoreApplication>

#include <atomic>
#include <functional>
#include <mutex>
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

// Sits in a manager slot and records what the centre offers it (on the receive
// thread); takes SET messages only when told to.
class SpyManager : public ZnBaseMgr
{
public:
    void onResponse(int requestType, const std::string&) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answers.push_back(requestType);
    }
    void onFailed(int requestType, const std::string&) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_failures.push_back(requestType);
    }
    bool onSet(const std::string& body) override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_sets.push_back(body);
        return takeSets;
    }
    void onDeleted(int) override {}

    std::vector<int> answers() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_answers;
    }
    std::vector<int> failures() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_failures;
    }
    std::vector<std::string> sets() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_sets;
    }

    std::atomic<bool> takeSets{false};

private:
    mutable std::mutex m_mutex;
    std::vector<int> m_answers;
    std::vector<int> m_failures;
    std::vector<std::string> m_sets;
};

// Puts a spy into a slot for the life of this object.
class SlotSwap
{
public:
    SlotSwap(ZnManageCenter& centre, int slot, ZnBaseMgr* spy)
        : m_centre(centre), m_slot(slot), m_old(centre.swapSlot(slot, spy))
    {
    }
    ~SlotSwap() { m_centre.swapSlot(m_slot, m_old); }
    SlotSwap(const SlotSwap&) = delete;
    SlotSwap& operator=(const SlotSwap&) = delete;

private:
    ZnManageCenter& m_centre;
    int m_slot;
    ZnBaseMgr* m_old;
};
