#pragma once

#include <string>

class QEventLoop;
class QObject;

// The operator's login values, kept in section "Setting" of config.ini. One per
// process, made by the login dialog and reached through instance().
class LoginSettings
{
public:
    static const int kDefaultPort = 8999;

    explicit LoginSettings(const char *iniPath);

    static LoginSettings *instance();
    static void setInstance(LoginSettings *settings);

    void load();
    // Stores address, port and user (never the password). The file is written when
    // one of them is new or changed; other keys of the file are kept. False when
    // that write failed or was refused (the file then stays as it was); a failure
    // is told to the operator (see ZnConfigNotice).
    bool save();

    std::string serverIp() const { return ServerIp; }
    std::string user() const { return User; }

    // 0 when logged in, -1 otherwise. Returns once the centre has an outcome or
    // cancelLogin() was called. The windows repaint meanwhile but take no user
    // input; with inputFilter, input is delivered and that filter (installed on
    // the application for the wait) decides what gets through.
    int connectAndLogin(QObject *inputFilter = nullptr);
    // Ends the login that connectAndLogin waits for; its attempt is abandoned.
    void cancelLogin();
    bool isRejected() const;

    std::string iniPath;
    std::string User;
    std::string Passwd;
    std::string ServerIp;
    int ServerPort = 0;
    std::string FtpUser;
    std::string FtpPasswd;
    int FtpPort = 0;

private:
    QEventLoop *waitLoop = nullptr;
    bool cancelled = false;
};
