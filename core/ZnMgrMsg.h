#pragma once

#include <QMutex>

#include <atomic>
#include <map>

// The outcome (done, ok) of the requests GUI callers are waiting on. Only the
// answer carrying a waiting request's CSeq records its outcome, so an answer to a
// keep-alive that lands meanwhile cannot change it, and a request started from
// within another one's wait keeps each outcome apart.
class ZnMgrMsg
{
public:
    static ZnMgrMsg* instance();
    virtual ~ZnMgrMsg() = default;

    // Starts waiting for the answer with this CSeq.
    void reset(int cseq);
    // Records the outcome when a caller waits for cseq; false otherwise.
    bool record(int cseq, bool ok);
    // True once the answer for cseq is in; ok then holds its outcome and the
    // entry is gone.
    bool take(int cseq, bool& ok);
    // Stops waiting for cseq (time-out, stopped connection).
    void forget(int cseq);

    // The last recorded outcome.
    bool done() const { return m_done.load(); }
    bool ok() const { return m_ok.load(); }

private:
    ZnMgrMsg() = default;

    struct Outcome
    {
        bool done = false;
        bool ok = false;
    };
    mutable QMutex m_mutex;
    std::map<int, Outcome> m_waiting;
    std::atomic<bool> m_ok{false};
    std::atomic<bool> m_done{false};
};
