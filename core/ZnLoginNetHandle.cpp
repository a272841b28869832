#include "ZnLoginNetHandle.h"

#include "ZnCommandRequest.h"
#include "ZnDigest.h"
#include "ZnNetManage.h"

#include <QDateTime>

ZnLoginNetHandle::ZnLoginNetHandle(ZnNetManage* centre) : ZnNetState(centre)
{
    setCommands(m_types, 2);
}

std::string ZnLoginNetHandle::loginText(int cseq, const std::string& name, const std::string& password)
{
    const std::string body = loginBody(name, password, loginTimeText(QDateTime::currentDateTime()));
    ZnCommandRequest request;
    return request.buildLogin(cseq, "TalkManagerLogin", body.c_str());
}

std::string ZnLoginNetHandle::onlineText(int cseq)
{
    return std::string(ZnCommandRequest::kOnlineLine) + ZnCommandRequest::kCSeq + std::to_string(cseq) + "\r\n\r\n";
}

void ZnLoginNetHandle::tick()
{
    if (!m_centre)
        return;
    switch (state()) {
    case Connecting:
        if (m_centre->connect() != 0) {
            m_centre->setLost();
            break;
        }
        m_centre->onConnected();
        // The first login goes out now, not at the next whole second nor after a
        // receive wait; the 20 s spacing counts from it.
        setNextDue(now() - 1);
        [[fallthrough]];
    case LoggingIn:
        if (isTimedOut()) {
            signalLoss();
            break;
        }
        if (isDue()) {
            setNextDue(now() + kInterval);
            sendLogin();
        }
        break;
    case LoggedIn: {
        if (isTimedOut()) {
            signalLoss();
            break;
        }
        // A failed send is tried again on the next tick. The next one counts from
        // before this send: time read after it could already be a cadence late.
        if (isDue()) {
            const double next = now() + kInterval;
            if (sendOnline() == 0)
                setNextDue(next);
        }
        break;
    }
    default:
        break;
    }
}

void ZnLoginNetHandle::onResponse(int requestType, const std::string&)
{
    if (requestType != LoginType && requestType != OnlineType)
        return;
    const int s = state();
    if (s == LoggingIn && requestType == LoginType) {
        setLastActivity(now());
        // Before the centre shows the login: a caller that sees it reads the result.
        m_loginResult.store(Accepted);
        if (m_centre)
            m_centre->onLoginResult(true);
    } else if (s == LoggedIn) {
        setLastActivity(now());
    }
}

bool ZnLoginNetHandle::onSet(const std::string&)
{
    return false;
}

void ZnLoginNetHandle::onDelete(const std::string&, int) {}

void ZnLoginNetHandle::onDeleted(int) {}

void ZnLoginNetHandle::onLoginFailed(int requestType)
{
    if (requestType != LoginType || state() != LoggingIn)
        return;
    m_loginResult.store(Refused);
    if (m_centre)
        m_centre->onLoginResult(false);
    signalLoss();
}

void ZnLoginNetHandle::stepState()
{
    if (state() != LoggedIn)
        m_loginResult.store(NoAnswerYet);
    reset();
}

int ZnLoginNetHandle::sendLogin()
{
    if (!m_centre)
        return -1;
    const std::string password = m_centre->loginPassword();
    // Such a login would carry an empty digest the server can only refuse: it is
    // refused here, the same way, and never sent.
    if (!loginPasswordFits(password)) {
        onLoginFailed(LoginType);
        return -1;
    }
    const int cseq = m_centre->nextCSeq();
    return m_centre->sendRequest(loginText(cseq, m_centre->loginName(), password), LoginType, cseq);
}

int ZnLoginNetHandle::sendOnline()
{
    if (!m_centre)
        return -1;
    const int cseq = m_centre->nextCSeq();
    return m_centre->sendOnline(onlineText(cseq), cseq);
}
