#include "ZnDemoConsole.h"

#include "InfoCenterMgr.h"
#include "TcpSocketClient.h"
#include "ZnStartup.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTimer>

bool ZnDemoConsole::start(const QString &runDir, int logDbPort)
{
    // As the demo runs: changes pushed back, the talk log's recordings served.
    server.withData([logDbPort](ZnSimData &d) {
        d.loadDemo();
        if (logDbPort > 0)
            d.setParameter("Talk_Log_Server", "127.0.0.1:" + std::to_string(logDbPort));
    });
    server.setPushChanges(true);
    if (!server.start(0) || !files.start(0))
        return false;
    server.withData([this](ZnSimData &d) { files.addRecordings(d.recordingPaths()); });
    TcpSocketClient::setServicePort(quint16(files.port()));
    const QString bin = QCoreApplication::applicationDirPath();
    QDir().mkpath(runDir);
    for (const char *sub : {"images", "translate"}) {
        const QString link = runDir + QLatin1Char('/') + QLatin1String(sub);
        QFile::remove(link);
        QFile::link(bin + QLatin1Char('/') + QLatin1String(sub), link);
    }
    QFile ini(runDir + QStringLiteral("/config.ini"));
    if (!ini.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QString settings = QStringLiteral("[Setting]\nServerIp=127.0.0.1\nServerPort=%1\nUser=admin\n").arg(server.port());
    // Board type 4 makes the console take the database port from MySqlPort.
    if (logDbPort > 0)
        settings += QStringLiteral("BoardType=4\nMySqlPort=%1\n").arg(logDbPort);
    ini.write(settings.toUtf8());
    ini.close();
    return QDir::setCurrent(runDir);
}

int ZnDemoConsole::run(const During &during)
{
    static char args[][16] = {"console", "-serverip", "127.0.0.1", "-user", "admin", "-password", "admin"};
    char *argv[] = {args[0], args[1], args[2], args[3], args[4], args[5], args[6], nullptr};
    saveArgs(7, argv);
    pending = during;
    qApp->installEventFilter(this);
    const int code = runConsole();
    qApp->removeEventFilter(this);
    return code;
}

bool ZnDemoConsole::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && pending) {
        if (auto *window = qobject_cast<InfoCenterMgr *>(watched)) {
            During during = std::move(pending);
            pending = nullptr;
            // After the show has finished, inside the console's own event loop.
            QTimer::singleShot(0, window, [window, during] {
                during(*window);
                window->close();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}
