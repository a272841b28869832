#include "ZnStartup.h"

#include "InfoCenterMgr.h"
#include "LoginDialog.h"
#include "LoginSettings.h"
#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnCommon.h"
#include "ZnConfigNotice.h"
#include "ZnConfigSettings.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnEndCleanup.h"
#include "ZnFontSetup.h"
#include "ZnGlobals.h"
#include "ZnHeapSetup.h"
#include "ZnManageCenter.h"
#include "ZnNetLosssHandle.h"
#include "ZnResources.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTextCodec>
#include <QTranslator>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
std::vector<std::string> gArgs;
bool gArgsSaved = false;
const char *const kEmpty = "";
} // namespace

void saveArgs(int argc, char **argv)
{
    gArgs.clear();
    for (int i = 0; i < argc && argv && argv[i]; ++i)
        gArgs.emplace_back(argv[i]);
    gArgsSaved = true;
}

const char *getOption(const char *name)
{
    if (!name || !gArgsSaved)
        return nullptr;
    for (size_t i = 0; i < gArgs.size(); ++i) {
        if (gArgs[i] != name)
            continue;
        if (i + 1 >= gArgs.size() || gArgs[i + 1].empty() || gArgs[i + 1][0] == '-')
            return kEmpty;
        return gArgs[i + 1].c_str();
    }
    return nullptr;
}

void loadStartupSettings()
{
    ZnConfigSettings settings;
    // Such a file reads as empty and is never written: every setting keeps its default.
    QString why;
    ZnTextForm::Form form = ZnTextForm::Text;
    ZnRegularFile::Refusal refusal;
    if (!settings.usable(&why, &form, &refusal)) {
        std::fprintf(stderr, "config.ini: %s; starting with the default settings, the file left as it is\n",
                     why.toLocal8Bit().constData());
        // Told in the window too: the operator may mend the file.
        ZnConfigNotice::notRead(form, refusal);
    }
    int boardType = settings.value(QStringLiteral("Setting/BoardType")).toInt();
    if (boardType < 1) {
        settings.setValue(QStringLiteral("Setting/BoardType"), 0);
        boardType = 0;
    }
    if (boardType == 3 || boardType == 4) {
        gMediaBasePath = boardType == 3 ? "/media/Mp3Root/BroadMedia" : "/media/mp3";
        const int port = settings.value(QStringLiteral("Setting/MySqlPort")).toInt();
        if (port != 0)
            gMySqlPort = port;
        else
            settings.setValue(QStringLiteral("Setting/MySqlPort"), gMySqlPort);
    } else {
        const QString path = settings.value(QStringLiteral("Setting/MediaPath")).toString();
        if (!path.isEmpty()) {
            gMediaBasePath = path.toUtf8().toStdString();
        } else {
            gMediaBasePath = "D:/TalkServerData/mp3";
            settings.setValue(QStringLiteral("Setting/MediaPath"), QStringLiteral("D:/TalkServerData/mp3"));
        }
    }
}

void loadStyleSheet()
{
    QFile css(QStringLiteral(":/files/talkback_center.css"));
    QString text;
    if (css.open(QIODevice::ReadOnly))
        text = QString::fromLatin1(css.readAll());
    qApp->setStyleSheet(text);
}

void installTranslator()
{
    // Owned by the application, so one that finds no file is freed with it.
    auto *translator = new QTranslator(qApp);
    if (translator->load(QStringLiteral("./translate/zh.qm")))
        QCoreApplication::installTranslator(translator);
    // Qt's own dialogs (the folder and file choosers) speak the console's language too.
    auto *qtTexts = new QTranslator(qApp);
    if (qtTexts->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
}

namespace {

// Why a login that did not succeed ends the program, for standard error.
std::string whyNotLoggedIn(const LoginDialog &dialog, bool directly, bool lost, const LoginSettings &s)
{
    const std::string server = s.ServerIp + ":" + std::to_string(s.ServerPort);
    if (lost)
        return "cannot connect to the server " + server;
    if (!directly)
        return "login cancelled";
    switch (dialog.outcome()) {
    case LoginDialog::EmptyField:
        return "the server address, user name or password is empty";
    case LoginDialog::Refused:
        return "the server " + server + " refused the user name or password";
    case LoginDialog::NotLoggedIn:
        return "the server " + server + " did not answer the login";
    default:
        return "no login was made";
    }
}

} // namespace

int runLogin(int *maxFlag)
{
    LoginDialog dialog(gCmdPassword);
    LoginSettings *settings = LoginSettings::instance();

    int given = 0;
    if (const char *ip = getOption("-serverip")) {
        ++given;
        settings->ServerIp = ip;
    }
    if (const char *user = getOption("-user")) {
        ++given;
        settings->User = user;
    }
    if (const char *password = getOption("-password")) {
        ++given;
        settings->Passwd = password;
    }
    if (const char *max = getOption("-max"))
        *maxFlag = ZnCommon::atoiClamped(max);

    // The receive thread reports a failed connect as a lost connection (heard here
    // on that thread, so the flag outlives any late call).
    static std::atomic<bool> lost;
    lost = false;
    QMetaObject::Connection lossSeen;
    if (ZnNetLosssHandle *handle = ZnNetLosssHandle::instance())
        lossSeen = QObject::connect(handle, &ZnNetLosssHandle::netloss_signal, [] { lost = true; });

    const bool directly = given >= 3;
    dialog.fillFields();
    if (!directly) {
        dialog.exec();
    } else {
        // An empty -password must not fall back to a stored one.
        dialog.form().fPassLineEdit->setText(QString::fromLocal8Bit(settings->Passwd.c_str()));
        dialog.on_login_clicked();
    }
    if (dialog.loginSucceeded()) {
        QObject::disconnect(lossSeen);
        return 0;
    }

    // Let the receive thread end, so that a loss it reports is shown here as well,
    // as the dialog's own event loop would show it.
    // A cancelled attempt is abandoned already: it reports nothing, and a connect
    // still under way is not waited for.
    ServiceHub *hub = ServiceHub::instance();
    ZnManageCenter *centre = hub ? hub->centre() : nullptr;
    if (centre && dialog.outcome() != LoginDialog::Cancelled)
        centre->stopReceiveThread();
    QObject::disconnect(lossSeen);
    QCoreApplication::sendPostedEvents();

    std::fprintf(stderr, "login failed: %s\n", whyNotLoggedIn(dialog, directly, lost, *settings).c_str());
    return -1;
}

int runConsole()
{
    ZnHeapSetup::apply();
    // Past the file-size limit a write then fails like on a full disk instead of killing the console.
    std::signal(SIGXFSZ, SIG_IGN);
    // Ended from outside, it takes along the files it was writing and its children.
    ZnEndCleanup::install();
    znInitResources();
    if (const char *password = getOption("-password"))
        gCmdPassword = QString::fromLocal8Bit(password);
    loadStartupSettings();
    loadStyleSheet();
    installTranslator();
    ZnFontSetup::apply();

    initWinsock();
    ZnManageCenter *centre = ZnManageCenter::create();
    ZnCreateViewCtrMgr::create();
    ServiceHub::create(centre);
    ZnNetLosssHandle::create(centre);

    int maxFlag = 1;
    if (runLogin(&maxFlag) < 0) {
        // No window comes: a setting not saved or a file not read is told now, after
        // the login's own message.
        ZnConfigNotice::showBeforeExit();
        return 1;
    }

    InfoCenterMgr window(maxFlag, nullptr);
    window.show();
    return QApplication::exec();
}
