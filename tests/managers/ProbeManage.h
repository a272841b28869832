#pragma once

#include "ZnBaseMgr.h"
#include "ZnManageCenter.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// A manager that records what the centre offers it (on the receive thread) as
// "answer 278", "post SqlConfig_d82", "set", "failed 132", "delete Region 12".
class ProbeManage : public ZnBaseMgr
{
public:
    ProbeManage(const std::string& tag, std::vector<std::string>* journal) : m_tag(tag), m_journal(journal) {}

    std::string acceptKey;    // onPost takes this key
    bool acceptSet = false;   // onSet takes every body
    bool throwOnPost = false; // onPost throws as a broken parser would

    void onResponse(int type, const std::string& body) override { note("answer " + std::to_string(type), body); }
    void onFailed(int type, const std::string& body) override { note("failed " + std::to_string(type), body); }
    void onDelete(const std::string& type, int id) override { note("delete " + type + " " + std::to_string(id), ""); }
    void onDeleted(int) override {}
    bool onSet(const std::string& body) override
    {
        note("set", body);
        return acceptSet;
    }
    bool onPost(const std::string& key, const std::string& body) override
    {
        note("post " + key, body);
        if (throwOnPost)
            throw std::runtime_error("bad row");
        return key == acceptKey;
    }

    std::vector<std::string> calls() const { return locked(m_calls); }
    std::vector<std::string> bodies() const { return locked(m_bodies); }
    bool saw(const std::string& call) const
    {
        const std::vector<std::string> c = calls();
        return std::find(c.begin(), c.end(), call) != c.end();
    }
    // The bodies of the calls that start with prefix.
    std::vector<std::string> bodiesOf(const std::string& prefix) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<std::string> out;
        for (size_t i = 0; i < m_calls.size(); ++i) {
            if (m_calls[i].compare(0, prefix.size(), prefix) == 0)
                out.push_back(m_bodies[i]);
        }
        return out;
    }
    // Guards every journal the probes write to.
    static std::mutex& journalMutex()
    {
        static std::mutex m;
        return m;
    }

private:
    std::vector<std::string> locked(const std::vector<std::string>& v) const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return v;
    }
    void note(const std::string& call, const std::string& body)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(call);
        m_bodies.push_back(body);
        std::lock_guard<std::mutex> journalLock(journalMutex());
        m_journal->push_back(m_tag + ": " + call);
    }

    mutable std::mutex m_mutex;
    std::string m_tag;
    std::vector<std::string>* m_journal;
    std::vector<std::string> m_calls;
    std::vector<std::string> m_bodies;
};

// Puts probes into the centre's slots for the life of a test and gives the managers back after.
class Probes
{
public:
    explicit Probes(ZnManageCenter& centre) : m_centre(centre) {}
    ~Probes()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            m_centre.swapSlot(it->first, it->second);
    }
    Probes(const Probes&) = delete;
    Probes& operator=(const Probes&) = delete;

    ProbeManage& at(int slot)
    {
        m_probes.emplace_back(new ProbeManage("slot" + std::to_string(slot + 1), &m_journal));
        m_saved.emplace_back(slot, m_centre.swapSlot(slot, m_probes.back().get()));
        return *m_probes.back();
    }
    std::vector<std::string> journal() const
    {
        std::lock_guard<std::mutex> lock(ProbeManage::journalMutex());
        return m_journal;
    }

private:
    ZnManageCenter& m_centre;
    std::vector<std::string> m_journal;
    std::vector<std::unique_ptr<ProbeManage>> m_probes;
    std::vector<std::pair<int, ZnBaseMgr*>> m_saved;
};
