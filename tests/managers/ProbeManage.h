#pragma once

#include "ZnBaseMgr.h"

#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

// A manager that records what the centre offers it, for the dispatch tests.
class ProbeManage : public ZnBaseMgr
{
public:
    explicit ProbeManage(const std::string& tag, std::vector<std::string>* journal = nullptr)
        : m_tag(tag)
        , m_journal(journal)
    {
    }

    std::string acceptKey;     // onPost takes this key
    bool acceptSet = false;    // onSet takes every body
    bool throwOnPost = false;  // onPost throws as a broken parser would

    void onResponse(int requestType, const std::string& body) override
    {
        note("answer " + std::to_string(requestType), body);
    }
    bool onPost(const std::string& key, const std::string& body) override
    {
        note("post " + key, body);
        if (throwOnPost)
            throw std::runtime_error("bad row");
        return key == acceptKey;
    }
    bool onSet(const std::string& body) override
    {
        note("set", body);
        return acceptSet;
    }
    void onFailed(int requestType, const std::string& body) override
    {
        note("failed " + std::to_string(requestType), body);
    }
    void onDelete(const std::string& type, int id) override
    {
        note("delete " + type + " " + std::to_string(id), std::string());
    }
    void onDeleted(int) override {}

    std::vector<std::string> calls() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    std::vector<std::string> bodies() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bodies;
    }
    // Guards every journal the probes write to.
    static std::mutex& journalMutex()
    {
        static std::mutex m;
        return m;
    }

    bool saw(const std::string& call) const
    {
        for (const std::string& c : calls()) {
            if (c == call)
                return true;
        }
        return false;
    }

private:
    void note(const std::string& call, const std::string& body)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(call);
        m_bodies.push_back(body);
        if (m_journal) {
            std::lock_guard<std::mutex> journalLock(journalMutex());
            m_journal->push_back(m_tag + ": " + call);
        }
    }

    mutable std::mutex m_mutex;
    std::string m_tag;
    std::vector<std::string>* m_journal;
    std::vector<std::string> m_calls;
    std::vector<std::string> m_bodies;
};
