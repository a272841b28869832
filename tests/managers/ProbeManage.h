#pragma once

#include "ZnBaseMgr.h"
#include "ZnManageCenter.h"

#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// A manager that records what the centre offers it (on the receive thread) as
// "slot8: answer 278", "slot1: post SqlConfig_d82", "set", "failed 132", "delete Region 12".
class ProbeManage : public ZnBaseMgr
{
public:
    typedef std::vector<std::pair<std::string, std::string>> Journal; // call, body
    ProbeManage(const std::string& tag, Journal* journal) : m_tag(tag + ": "), m_journal(journal) {}

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

    bool saw(const std::string& call) const { return !bodiesOf(call, true).empty(); }
    // The bodies of this probe's calls that start with prefix (or are it, when whole).
    std::vector<std::string> bodiesOf(const std::string& prefix, bool whole = false) const
    {
        const std::string start = m_tag + prefix;
        std::lock_guard<std::mutex> lock(mutex());
        std::vector<std::string> out;
        for (const auto& c : *m_journal) {
            if (whole ? c.first == start : c.first.compare(0, start.size(), start) == 0)
                out.push_back(c.second);
        }
        return out;
    }
    static std::mutex& mutex()
    {
        static std::mutex m;
        return m;
    }

private:
    void note(const std::string& call, const std::string& body)
    {
        std::lock_guard<std::mutex> lock(mutex());
        m_journal->emplace_back(m_tag + call, body);
    }

    const std::string m_tag;
    Journal* m_journal;
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
    // Every call of every probe in order.
    std::vector<std::string> journal() const
    {
        std::lock_guard<std::mutex> lock(ProbeManage::mutex());
        std::vector<std::string> out;
        for (const auto& c : m_journal)
            out.push_back(c.first);
        return out;
    }

private:
    ZnManageCenter& m_centre;
    ProbeManage::Journal m_journal;
    std::vector<std::unique_ptr<ProbeManage>> m_probes;
    std::vector<std::pair<int, ZnBaseMgr*>> m_saved;
};
