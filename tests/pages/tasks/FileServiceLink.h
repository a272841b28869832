#pragma once

#include "../../managers/SimSession.h"
#include "TcpSocketClient.h"
#include "ZnSimFileService.h"

// The simulated file service on a free port with the console's file client
// connected to it, as the pages find it after the login.
class FileServiceLink
{
public:
    // True once the client has read the service's media root: the task dialogs
    // list the media folder under it as they open.
    bool start()
    {
        if (!files.start(0))
            return false;
        TcpSocketClient *client = TcpSocketClient::instance();
        client->setServer(QStringLiteral("127.0.0.1"), quint16(files.port()));
        client->start();
        client->addGetFileRootTask();
        return SimSession::spinUntil([client] { return !client->mediaRoot().isEmpty(); });
    }
    // The client first, while the service it talks to is still there.
    void stop()
    {
        TcpSocketClient::instance()->stop();
        files.stop();
    }

private:
    ZnSimFileService files;
};
