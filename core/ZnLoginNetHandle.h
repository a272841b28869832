#pragma once

#include "ZnBaseMgr.h"
#include "ZnMsgCheck.h"
#include "ZnNetState.h"

#include <atomic>
#include <string>

// Drives the connection's life on the receive thread: connect, log in with the
// password digest (at once, then again every 20 s until answered), then a
// keep-alive every 20 s; 300 s without an answer counts as a lost connection.
class ZnLoginNetHandle : public ZnNetState, public ZnBaseMgr
{
public:
    enum HandleState { Connecting = 0, LoggingIn = 1, LoggedIn = 2 };
    enum LoginResult { NoAnswerYet = 1, Refused = 6, Accepted = 7 };
    enum { LoginType = 1, OnlineType = 2 };
    static const int kInterval = 20;

    explicit ZnLoginNetHandle(ZnNetManage* centre);

    void tick() override;

    void onResponse(int requestType, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDelete(const std::string& type, int id) override;
    void onDeleted(int id) override;

    // Called for every refused answer before the managers see it.
    void onLoginFailed(int requestType);

    void stepState();
    int sendLogin();
    int sendOnline();

    int loginResult() const { return m_loginResult.load(); }
    int state() const { return m_state.load(); }
    void setState(int state) { m_state.store(state); }

    // The login request text for a CSeq, at the current local time.
    static std::string loginText(int cseq, const std::string& name, const std::string& password);
    static std::string onlineText(int cseq);

private:
    ZnMsgCheck m_check;
    std::atomic<int> m_state{Connecting};
    int m_types[2] = {LoginType, OnlineType};
    std::atomic<int> m_loginResult{NoAnswerYet};
};
