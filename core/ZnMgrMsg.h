#pragma once

#include <atomic>

// The outcome (done, ok) of the request the GUI thread is waiting on. Only the
// answer carrying that request's CSeq records it, so an answer to a keep-alive that
// lands meanwhile cannot change the outcome.
class ZnMgrMsg
{
public:
    static ZnMgrMsg* instance();
    virtual ~ZnMgrMsg() = default;

    // Clears both flags and names the CSeq whose answer counts.
    void reset(int cseq);
    // Records the outcome when cseq is the one waited on; false otherwise.
    bool record(int cseq, bool ok);

    bool done() const { return m_done.load(); }
    bool ok() const { return m_ok.load(); }
    int awaited() const { return m_cseq.load(); }

private:
    ZnMgrMsg() = default;

    std::atomic<int> m_cseq{-1};
    std::atomic<bool> m_ok{false};
    std::atomic<bool> m_done{false};
};
