#include "LoginSettings.h"

#include "IniFile.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnCommon.h"
#include "ZnSleep.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <cstdlib>

namespace {
const char *const kSection = "Setting";
const int kLoggedIn = 2;
const int kStopped = 5;
const int kRefused = 6;
const int kPollMs = 100;
LoginSettings *gLoginSettings = nullptr;

// Waits while the windows keep repainting and timers keep running. The operator's
// clicks and keys wait until the login has ended, so none starts another one.
void waitShowingTheWindow(int ms)
{
    if (!QCoreApplication::instance()) {
        ZnSleep::ms(ms);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void readText(ZnIniFile *doc, const char *key, std::string &field)
{
    if (const char *v = doc->value(kSection, key, nullptr))
        field = v;
}

void readInt(ZnIniFile *doc, const char *key, int &field)
{
    if (const char *v = doc->value(kSection, key, nullptr))
        field = ZnCommon::atoiClamped(v);
}
} // namespace

LoginSettings::LoginSettings(const char *path)
{
    if (path) {
        iniPath = path;
        IniFile::instance()->open(path);
    }
    load();
}

LoginSettings *LoginSettings::instance()
{
    return gLoginSettings;
}

void LoginSettings::setInstance(LoginSettings *settings)
{
    // Each login dialog makes a new record; the one it replaces is nobody's.
    if (settings != gLoginSettings)
        delete gLoginSettings;
    gLoginSettings = settings;
}

void LoginSettings::load()
{
    IniFile *file = IniFile::instance();
    ZnIniFile *doc = file->lock();
    readText(doc, "ServerIp", ServerIp);
    readInt(doc, "ServerPort", ServerPort);
    readText(doc, "User", User);
    readText(doc, "Passwd", Passwd);
    readText(doc, "FtpUser", FtpUser);
    readText(doc, "FtpPasswd", FtpPasswd);
    readInt(doc, "FtpPort", FtpPort);
    file->unlock(doc);
}

void LoginSettings::save()
{
    IniFile *file = IniFile::instance();
    ZnIniFile *doc = file->lock();
    // QSettings writes the same file (title, board type, folders); start from what
    // is on disk now so none of its keys is lost by our write.
    if (!iniPath.empty() && file->path() == iniPath)
        file->reload();

    auto differs = [doc](const char *key, const std::string &now) {
        const char *stored = doc->value(kSection, key, nullptr);
        return !stored || now != stored;
    };
    const bool changed =
        differs("ServerIp", ServerIp) || differs("User", User) || differs("ServerPort", std::to_string(ServerPort));

    doc->setValue(kSection, "ServerIp", ServerIp.c_str());
    doc->setIntValue(kSection, "ServerPort", ServerPort);
    doc->setValue(kSection, "User", User.c_str());
    if (changed && !iniPath.empty())
        doc->save(iniPath.c_str());
    file->unlock(doc);
}

int LoginSettings::connectAndLogin()
{
    ServiceHub *hub = ServiceHub::instance();
    ZnManageCenter *centre = hub ? hub->centre() : nullptr;
    if (!centre)
        return -1;
    apiSetServerAddress(centre, ServerIp.c_str(), ServerPort);
    apiSetLoginUser(centre, User.c_str(), Passwd.c_str());
    if (apiStartReceiveThread(centre) != 0)
        return -1;
    // The centre bounds the wait: 3 s for the connect, 300 s for an unanswered login.
    waitShowingTheWindow(kPollMs);
    if (apiGetNetState(centre) == kLoggedIn)
        return 0;
    while (apiGetNetState(centre) != kStopped && apiGetLoginState(centre) != kRefused) {
        waitShowingTheWindow(kPollMs);
        if (apiGetNetState(centre) == kLoggedIn)
            return 0;
    }
    return -1;
}

bool LoginSettings::isRejected() const
{
    ServiceHub *hub = ServiceHub::instance();
    return hub && apiGetLoginState(hub->centre()) == kRefused;
}
