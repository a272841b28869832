#include "ZnNetManage.h"

#include "ZnClock.h"
#include "ZnHeapSetup.h"
#include "ZnMgrMsg.h"
#include "ZnSleep.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QMutexLocker>
#include <QThread>

#include <algorithm>

namespace {
// Never destroyed: the receive thread may log while static objects are
// destroyed at exit.
const QLoggingCategory& lcNetSend()
{
    static const QLoggingCategory* const category = new QLoggingCategory("zn.net.send", QtInfoMsg);
    return *category;
}
const QLoggingCategory& lcNetReceive()
{
    static const QLoggingCategory* const category = new QLoggingCategory("zn.net.receive", QtInfoMsg);
    return *category;
}

// The GUI thread keeps repainting while it waits, but takes no user input.
void processPending()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (app && app->thread() == QThread::currentThread())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The longest a waiting GUI thread goes without repainting.
const unsigned long kWaitStepMs = 10;

// The whole-seconds clock has advanced by more than 2 since start.
bool waitedTooLong(int64_t start)
{
    return ZnClock::now() - start > 2;
}
}

ZnNetManage::ZnNetManage()
{
    m_framer.setMessageHook([this](std::string_view message) {
        onMessage(message);
        m_trimDue = m_trimDue || message.size() >= kTrimAfterBytes;
    });
}

ZnNetManage::~ZnNetManage()
{
    m_socket.close();
}

bool ZnNetManage::setServerAddress(const std::string& host, int port)
{
    sockaddr_in addr;
    const bool ok = ZnSocket::makeAddress(host, port, addr);
    {
        QMutexLocker lock(&m_userMutex);
        m_host = host;
        m_port = port;
    }
    QMutexLocker lock(&m_mutex);
    m_address = addr;
    m_hasAddress = ok;
    return ok;
}

void ZnNetManage::setLoginUser(const std::string& name, const std::string& password)
{
    QMutexLocker lock(&m_userMutex);
    m_loginName = name;
    m_loginPassword = password;
}

std::string ZnNetManage::loginName() const
{
    QMutexLocker lock(&m_userMutex);
    return m_loginName;
}

std::string ZnNetManage::loginPassword() const
{
    QMutexLocker lock(&m_userMutex);
    return m_loginPassword;
}

std::string ZnNetManage::serverHost() const
{
    QMutexLocker lock(&m_userMutex);
    return m_host;
}

int ZnNetManage::serverPort() const
{
    QMutexLocker lock(&m_userMutex);
    return m_port;
}

int ZnNetManage::nextCSeq()
{
    QMutexLocker lock(&m_mutex);
    return m_cseq++;
}

int ZnNetManage::connect()
{
    sockaddr_in addr;
    bool hasAddress;
    {
        QMutexLocker lock(&m_mutex);
        m_socket.close();
        addr = m_address;
        hasAddress = m_hasAddress;
    }
    if (!hasAddress || m_socket.connectTo(addr, kConnectTimeoutMs) != 0) {
        setLost();
        return -1;
    }
    return 0;
}

std::size_t ZnNetManage::receive(int waitMs)
{
    if (!m_socket.isOpen())
        return 0;
    const int ready = m_socket.waitReadable(waitMs);
    if (ready < 0) {
        setLost();
        return 0;
    }
    if (ready == 0) {
        // A large answer has been read and the line has been quiet for a while: the
        // memory its copies and records took goes back to the system rather than
        // stay with the allocator. Answers that follow each other closely (a
        // refresh of several lists) reuse it first.
        if (m_trimDue && waitMs >= kReceiveWaitMs) {
            m_trimDue = false;
            ZnHeapSetup::giveBackFreeRoom();
        }
        return 0;
    }
    // The framer has room for the whole of a large message once its header is in;
    // asking for a full chunk at its end would grow the buffer to twice its size.
    const std::size_t missing = m_framer.missingBytes();
    const std::size_t chunk = missing > 0 ? std::min<std::size_t>(missing, kChunkSize) : kChunkSize;
    char* room = m_framer.prepare(chunk);
    const ssize_t n = m_socket.receive(room, chunk);
    if (n <= 0) {
        // 0: the server closed the connection, which is a loss at once.
        setLost();
        return 0;
    }
    qCDebug(lcNetReceive, "\r\n%.*s[len = %d]\r\n", static_cast<int>(n), room, static_cast<int>(n));
    if (m_framer.commit(static_cast<std::size_t>(n)) != ZnMessageFramer::Ok) {
        qWarning("DBP stream cannot be framed: %s", m_framer.errorText().c_str());
        setLost();
    }
    return static_cast<std::size_t>(n);
}

void ZnNetManage::pause(int ms)
{
    if (!m_socket.isOpen() || m_socket.waitReadable(ms) < 0)
        ZnSleep::ms(ms);
}

int ZnNetManage::send(const std::string& text)
{
    qCDebug(lcNetSend, "%s", text.c_str());
    return m_socket.sendAll(text.data(), text.size());
}

int ZnNetManage::sendRequest(const std::string& text, int requestType, int cseq)
{
    QMutexLocker lock(&m_mutex);
    if (send(text) != 0)
        return ResultStopped;
    m_pending.push_back(Pending{cseq, requestType});
    return 0;
}

int ZnNetManage::sendNoWait(const std::string& text)
{
    QMutexLocker lock(&m_mutex);
    return send(text);
}

int ZnNetManage::sendOnline(const std::string& text, int cseq)
{
    if (state() == Stopped)
        return ResultStopped;
    return sendRequest(text, 2, cseq);
}

int ZnNetManage::sendAndWait(const std::string& text, int requestType, int cseq)
{
    if (state() == Stopped)
        return ResultStopped;
    // Wait for a free line, but not forever: a stale entry must not hang the GUI.
    int64_t start = ZnClock::now();
    for (;;) {
        const uint64_t seen = wakeCount();
        if (pendingCount() == 0)
            break;
        waitStep(seen);
        if (state() == Stopped)
            return ResultStopped;
        if (waitedTooLong(start))
            break;
    }
    if (pendingCount() > 0)
        return ResultBusy;

    ZnMgrMsg* msg = ZnMgrMsg::instance();
    msg->reset(cseq);
    const int result = waitForAnswer(text, requestType, cseq);
    msg->forget(cseq);
    return result;
}

int ZnNetManage::waitForAnswer(const std::string& text, int requestType, int cseq)
{
    if (sendRequest(text, requestType, cseq) != 0)
        return ResultStopped;
    const int64_t start = ZnClock::now();
    m_waitStart.store(start);
    if (state() == Stopped)
        return ResultStopped;
    ZnMgrMsg* msg = ZnMgrMsg::instance();
    for (;;) {
        const uint64_t seen = wakeCount();
        bool ok = false;
        if (msg->take(cseq, ok)) {
            // The signals the answer raised were queued before it was recorded: they
            // reach the GUI thread before the request returns, however fast it came.
            processPending();
            return ok ? ResultOk : ResultFailed;
        }
        // Looked at only after the answer: a wait step may run a box the answer
        // opened for as long as the operator reads it, and an answer that came
        // in time is not called missing when the box closes late.
        if (waitedTooLong(start)) {
            clearPending();
            return ResultNoAnswer;
        }
        if (state() == Stopped)
            return ResultStopped;
        waitStep(seen);
    }
}

int ZnNetManage::matchAnswer(int cseq, bool ok, const std::string& body)
{
    int requestType = 0;
    bool found = false;
    {
        QMutexLocker lock(&m_mutex);
        for (auto it = m_pending.begin(); it != m_pending.end(); ++it) {
            if (it->cseq == cseq) {
                requestType = it->requestType;
                m_pending.erase(it);
                found = true;
                break;
            }
        }
    }
    if (!found) {
        onUnmatchedAnswer(cseq, ok, body);
        return -1;
    }
    onAnswer(requestType, cseq, ok, body);
    // After the outcome is recorded: a woken caller finds it.
    wakeWaiters();
    return 0;
}

int ZnNetManage::disconnect()
{
    QMutexLocker lock(&m_mutex);
    return m_socket.close();
}

void ZnNetManage::setLost()
{
    m_lost.store(true);
}

void ZnNetManage::setLossCallback(LossCallback callback)
{
    if (callback)
        m_lossCallback.store(callback);
}

int ZnNetManage::pendingCount() const
{
    QMutexLocker lock(&m_mutex);
    return static_cast<int>(m_pending.size());
}

void ZnNetManage::onConnected() {}

void ZnNetManage::onLoginResult(bool ok)
{
    if (ok)
        setState(LoggedIn);
    else
        setLost();
}

void ZnNetManage::resetSession()
{
    clearPending();
    m_framer.reset();
}

void ZnNetManage::clearPending()
{
    {
        QMutexLocker lock(&m_mutex);
        m_pending.clear();
    }
    wakeWaiters();
}

void ZnNetManage::dropPending(int requestType)
{
    {
        QMutexLocker lock(&m_mutex);
        m_pending.remove_if([requestType](const Pending& p) { return p.requestType == requestType; });
    }
    wakeWaiters();
}

void ZnNetManage::wakeWaiters()
{
    QMutexLocker lock(&m_wakeMutex);
    ++m_wakes;
    m_wake.wakeAll();
}

uint64_t ZnNetManage::wakeCount() const
{
    QMutexLocker lock(&m_wakeMutex);
    return m_wakes;
}

void ZnNetManage::waitStep(uint64_t seen)
{
    {
        QMutexLocker lock(&m_wakeMutex);
        // A wake between the caller's look and this wait is not missed: it moved the count.
        if (m_wakes == seen)
            m_wake.wait(&m_wakeMutex, kWaitStepMs);
    }
    processPending();
}
