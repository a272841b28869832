#include "LoginSettings.h"

#include "IniFile.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnCommon.h"
#include "ZnConfigNotice.h"
#include "ZnManageCenter.h"
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
// How often the wait looks at the centre: short, so a login answered at once
// shows the main window at once.
const int kPollMs = 10;
LoginSettings *gLoginSettings = nullptr;

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

bool LoginSettings::save()
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
    bool saved = true;
    int error = 0;
    if (changed && !iniPath.empty())
        saved = doc->save(iniPath.c_str(), &error) == 0;
    const ZnTextForm::Form form = saved ? ZnTextForm::Text : doc->refusedForm();
    const ZnRegularFile::Refusal refusal = saved ? ZnRegularFile::Refusal() : doc->refusal();
    file->unlock(doc);
    if (form != ZnTextForm::Text || refusal.kind != ZnRegularFile::Refusal::None)
        ZnConfigNotice::notRead(form, refusal);
    else if (error != 0)
        ZnConfigNotice::notSaved(error);
    return saved;
}

int LoginSettings::connectAndLogin(QObject *inputFilter)
{
    ServiceHub *hub = ServiceHub::instance();
    ZnManageCenter *centre = hub ? hub->centre() : nullptr;
    if (!centre)
        return -1;
    cancelled = false;
    apiSetServerAddress(centre, ServerIp.c_str(), ServerPort);
    apiSetLoginUser(centre, User.c_str(), Passwd.c_str());
    if (apiStartReceiveThread(centre) != 0)
        return -1;
    // The centre bounds the wait: 3 s for the connect, 300 s for an unanswered login.
    const auto ended = [centre] {
        const int state = apiGetNetState(centre);
        return state == kLoggedIn || state == kStopped || apiGetLoginState(centre) == kRefused;
    };
    if (QCoreApplication *app = QCoreApplication::instance()) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (ended())
                loop.quit();
        });
        poll.start(kPollMs);
        waitLoop = &loop;
        if (inputFilter)
            app->installEventFilter(inputFilter);
        // Held-back input would be replayed once the wait is over, long after the
        // operator gave up on it; with a filter it is judged as it comes.
        if (!ended() && !cancelled)
            loop.exec(inputFilter ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        if (inputFilter)
            app->removeEventFilter(inputFilter);
        waitLoop = nullptr;
    } else {
        while (!ended())
            ZnSleep::ms(kPollMs);
    }
    if (cancelled) {
        centre->abandonLogin();
        return -1;
    }
    return apiGetNetState(centre) == kLoggedIn ? 0 : -1;
}

void LoginSettings::cancelLogin()
{
    cancelled = true;
    if (waitLoop)
        waitLoop->quit();
}

bool LoginSettings::isRejected() const
{
    ServiceHub *hub = ServiceHub::instance();
    return hub && apiGetLoginState(hub->centre()) == kRefused;
}
