// Runs the console's real start-up with a watcher that reports on stdout what the
// operator would see and confirms every message box, so the console tests can
// drive it as a subprocess and read its exit code. Once the main window is up and
// the media page shows the server's root it starts, when the environment asks, a
// log export (ZN_HARNESS_EXPORT=FILE, the user log), a download
// (ZN_HARNESS_DOWNLOAD=SERVER_PATH, ZN_HARNESS_DOWNLOAD_TO=FILE) or an upload
// (ZN_HARNESS_UPLOAD=FILE) as the pages start them. With ZN_HARNESS_EXIT=CODE a
// thread of its own calls exit(CODE) once a line comes on standard input, as a
// library's thread ending the program would.
#include "InfoCenterMgr.h"
#include "LogExportKind.h"
#include "LogExportThread.h"
#include "LoginDialog.h"
#include "TcpSocketClient.h"
#include "ZnDownAndUploadViewCtr.h"
#include "ZnMediaMgrForm.h"
#include "ZnModalHelper.h"
#include "ZnMySql.h"
#include "ZnStartup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <future>
#include <iostream>
#include <string>
#include <thread>

namespace {

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

ZnMediaMgrForm *mediaPage()
{
    for (QWidget *w : QApplication::allWidgets()) {
        if (auto *media = qobject_cast<ZnMediaMgrForm *>(w))
            return media;
    }
    return nullptr;
}

// What the test asked for, started as the log page and the media page start it.
void act()
{
    const QByteArray exportTo = qgetenv("ZN_HARNESS_EXPORT");
    if (!exportTo.isEmpty()) {
        // The log page connects to the log host as it opens (its port from config.ini).
        ZnMySql::connectTalkLogDb("127.0.0.1");
        auto *thread = new LogExportThread(QFile::decodeName(exportTo), {QStringLiteral("序号")}, UserLogKind);
        thread->start();
    }
    ZnMediaMgrForm *media = mediaPage();
    ZnDownAndUploadViewCtr *transfers = media ? media->transfers() : nullptr;
    const QByteArray from = qgetenv("ZN_HARNESS_DOWNLOAD");
    if (transfers && !from.isEmpty())
        transfers->queueDownload("download", from.constData(), qgetenv("ZN_HARNESS_DOWNLOAD_TO").constData(), 0);
    const QByteArray upload = qgetenv("ZN_HARNESS_UPLOAD");
    if (transfers && !upload.isEmpty())
        transfers->queueUpload("upload", upload.constData(), "/data/mp3/upload.mp3", 0);
}

void watch()
{
    // A QPointer, since a new box may be built where the confirmed one was freed;
    // a raw pointer then took it for the box already answered and left it open.
    static QPointer<QWidget> lastModal;
    static bool mainShown = false;
    static bool acted = false;
    QWidget *modal = ZnModalHelper::activeModal();
    if (modal && modal != lastModal && modal->isVisible()) {
        lastModal = modal;
        if (qobject_cast<LoginDialog *>(modal)) {
            say(QStringLiteral("login dialog"));
            // Nobody types here: leave the way an operator cancelling would.
            QTimer::singleShot(0, modal, [modal] { static_cast<QDialog *>(modal)->reject(); });
        } else {
            say(QStringLiteral("message: ")
                + ZnModalHelper::visibleTexts(modal).join(QStringLiteral(" | ")).simplified());
            if (QAbstractButton *ok = ZnModalHelper::findButton(modal, QStringLiteral("ConfirmButton")))
                QTimer::singleShot(0, ok, [ok] { ok->click(); });
        }
    }
    if (!modal)
        lastModal = nullptr;
    if (!mainShown) {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *main = qobject_cast<InfoCenterMgr *>(w); main && main->isVisible()) {
                mainShown = true;
                say(QStringLiteral("main window: ") + main->windowTitle());
            }
        }
    }
    // On a console that has settled, as an operator's work starts: the media page
    // shows the server's root (what the first listing builds is built before).
    ZnMediaMgrForm *media = mainShown && !acted ? mediaPage() : nullptr;
    if (media && !media->form().fMediaEdit->text().isEmpty()) {
        acted = true;
        act();
    }
}

} // namespace

int main(int argc, char *argv[])
{
    saveArgs(argc, argv);
    QApplication app(argc, argv);
    // The media page dials the file service on the server's address; the test names
    // the port of its own service, so no other program's service on 8906 is reached.
    const int filePort = qEnvironmentVariableIntValue("ZN_HARNESS_FILE_PORT");
    if (filePort > 0)
        TcpSocketClient::setServicePort(quint16(filePort));
    if (qEnvironmentVariableIsSet("ZN_HARNESS_EXIT")) {
        const int exitCode = qEnvironmentVariableIntValue("ZN_HARNESS_EXIT");
        std::thread([exitCode] {
            std::string line;
            if (!std::getline(std::cin, line))
                return;
            // As a library's thread would while the GUI thread waits for it: the GUI
            // thread is held first (it builds no static object meanwhile).
            std::promise<void> held, never;
            QMetaObject::invokeMethod(qApp, [&] {
                held.set_value();
                never.get_future().wait();
            });
            held.get_future().wait();
            std::exit(exitCode);
        }).detach();
    }
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, &watch);
    watcher.start(20);
    const int code = runConsole();
    say(QStringLiteral("exit %1").arg(code));
    return code;
}
