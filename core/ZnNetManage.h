#pragma once

#include "ZnMessageFramer.h"
#include "ZnServerRequest.h"
#include "ZnSocket.h"

#include <QMutex>
#include <QWaitCondition>

#include <atomic>
#include <cstdint>
#include <list>
#include <string>
#include <string_view>

// The client end of the one TCP connection to the management server: CSeq
// numbering, the list of requests waiting for an answer, sending, receiving and
// framing, and the synchronous wait of a GUI request. The manage centre derives
// from it and supplies the hooks.
class ZnNetManage
{
public:
    enum State { NotStarted = 0, Running = 1, LoggedIn = 2, Stopped = 5 };
    // Request result codes.
    enum Result {
        ResultOk = 0,
        ResultFailed = 1,
        ResultBusy = 2,
        ResultNoAnswer = 3,
        ResultStopped = 4,
        ResultNoHandle = -1
    };
    typedef void (*LossCallback)();

    static const int kChunkSize = 4096;
    // After a message this large the allocator gives its free memory back, once
    // no data has come for a whole receive wait.
    static constexpr std::size_t kTrimAfterBytes = 1024 * 1024;
    static const int kConnectTimeoutMs = 3000;
    static const int kReceiveWaitMs = 200;

    ZnNetManage();
    virtual ~ZnNetManage();
    ZnNetManage(const ZnNetManage&) = delete;
    ZnNetManage& operator=(const ZnNetManage&) = delete;

    // Dotted IPv4 text only; false (and no address) otherwise.
    bool setServerAddress(const std::string& host, int port);
    void setLoginUser(const std::string& name, const std::string& password);
    std::string loginName() const;
    std::string loginPassword() const;
    std::string serverHost() const;
    int serverPort() const;

    int nextCSeq();

    // 0, or -1 (lost flag set) when the server cannot be reached within 3 s.
    int connect();
    // Reads the next chunk of at most 4096 bytes straight into the framer and
    // hands on the messages it completes: the bytes read, 0 when none arrived
    // within waitMs. An error, the server closing the connection or a stream that
    // cannot be framed sets the lost flag.
    std::size_t receive(int waitMs = kReceiveWaitMs);
    // 0, or -1 when there is no socket or the send failed.
    int send(const std::string& text);
    // Sends a text built with cseq and enters {cseq, request type} in the pending
    // list; 4 when the send failed.
    int sendRequest(const std::string& text, int requestType, int cseq);
    int sendNoWait(const std::string& text);
    int sendOnline(const std::string& text, int cseq);
    // The synchronous request of the GUI thread, for a text built with cseq; result
    // codes above.
    int sendAndWait(const std::string& text, int requestType, int cseq);
    // Removes the pending entry of an answer and dispatches it with its body; -1
    // when none waits.
    int matchAnswer(int cseq, bool ok, const std::string& body);
    int disconnect();

    virtual void setLost();
    void setLossCallback(LossCallback callback);

    int state() const { return m_state.load(); }
    bool isLost() const { return m_lost.load(); }
    int pendingCount() const;

    // Receive-thread hooks, supplied by the centre.
    virtual void onConnected();
    virtual void onLoginResult(bool ok);

protected:
    virtual void run() = 0;
    virtual void onAnswer(int requestType, int cseq, bool ok, const std::string& body) = 0;
    virtual void onUnmatchedAnswer(int cseq, bool ok, const std::string& body) = 0;
    virtual void onMessage(std::string_view message) = 0;
    virtual int sendLogin() = 0;

    // Sends a request whose outcome is awaited and waits for it.
    int waitForAnswer(const std::string& text, int requestType, int cseq);
    // A new receive loop starts from nothing: no pending entries, no half message.
    void resetSession();
    void clearPending();
    // Drops the pending entries of one request type (the logins an answered login
    // supersedes), so they no longer hold the line.
    void dropPending(int requestType);
    // Part of a message has arrived and the rest is still to come.
    bool midMessage() const { return m_framer.pendingBytes() > 0; }
    // The pause between passes of the receive loop: ms long, unless data arrives
    // first (an answer is not left waiting out the pause).
    void pause(int ms);
    void setState(int state)
    {
        m_state.store(state);
        wakeWaiters();
    }
    // Wakes a GUI caller waiting in sendAndWait to look again at once: an answer is
    // in, an entry was dropped or the state changed.
    void wakeWaiters();
    void clearLost() { m_lost.store(false); }
    LossCallback lossCallback() const { return m_lossCallback.load(); }

    struct Pending
    {
        int cseq;
        int requestType;
    };

    mutable QMutex m_mutex; // CSeq counter, pending list, sends, socket changes
    ZnSocket m_socket;
    sockaddr_in m_address{};
    bool m_hasAddress = false;
    int m_cseq = 1;
    std::list<Pending> m_pending;
    ZnMessageFramer m_framer;
    ZnServerRequest m_request;
    std::atomic<LossCallback> m_lossCallback{nullptr};

    mutable QMutex m_userMutex; // login user, host and port
    std::string m_loginName;
    std::string m_loginPassword;
    std::string m_host;
    int m_port = 0;

    std::atomic<int> m_state{NotStarted};
    std::atomic<bool> m_lost{false};
    bool m_trimDue = false; // receive thread only
    std::atomic<int64_t> m_waitStart{0};

private:
    // One step of a GUI wait: returns once woken after `seen`, or after at most
    // 10 ms, and then lets the GUI thread repaint.
    void waitStep(uint64_t seen);
    uint64_t wakeCount() const;

    mutable QMutex m_wakeMutex;
    QWaitCondition m_wake;
    uint64_t m_wakes = 0; // guarded by m_wakeMutex
};
