#pragma once

#include "ZnSimFileService.h"
#include "ZnSimServer.h"

#include <QObject>
#include <QString>

#include <functional>

class InfoCenterMgr;

// The console as main() starts it, in this process, logged in to the simulator
// with the demo data set and to the simulated file service.
class ZnDemoConsole : public QObject
{
public:
    using During = std::function<void(InfoCenterMgr &)>;

    ZnSimServer server;
    ZnSimFileService files;

    // Starts both services and writes runDir/config.ini for them; the console runs
    // in runDir with the program folder's images and translation. With a log
    // database port, the server names 127.0.0.1 as the log host and the log pages
    // read that database.
    bool start(const QString &runDir, int logDbPort = 0);
    // Runs the console's start-up and event loop; once the main window shows, calls
    // during() and then closes the window. Returns the console's exit code.
    int run(const During &during);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    During pending;
};
