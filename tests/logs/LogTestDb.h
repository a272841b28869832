#pragma once

#include "TcpSocketClient.h"
#include "ZnGlobals.h"
#include "ZnModalHelper.h"
#include "ZnMySql.h"
#include "ZnMySqlResult.h"
#include "ZnSimFileService.h"

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <signal.h>
#include <sys/types.h>

// The fixture's test database (its port, a connection to it, statements on the
// console's own connection, the server stopped and resumed), files, and what
// message boxes said.
inline int testDbPort()
{
    QFile f(QStringLiteral(ZN_MARIADB_DIR "/port"));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toInt() : -1;
}

inline bool connectTestDb()
{
    gMySqlPort = testDbPort();
    return gMySqlPort > 0 && ZnMySql::connectTalkLogDb("127.0.0.1") == 0;
}

inline bool sql(const QString &statements)
{
    ZnMySqlResult r;
    for (const QString &s : statements.split(QStringLiteral("; "), Qt::SkipEmptyParts))
        if (ZnMySql::instance()->query(s.toUtf8().constData(), r) != 0)
            return false;
    return true;
}

// "stop" or "resume" the test database's server.
inline bool testDb(const char *how)
{
    return QProcess::execute(QStringLiteral(ZN_MARIADB_SCRIPT), {QLatin1String(how), QStringLiteral(ZN_MARIADB_DIR)})
           == 0;
}

// Stops (SIGSTOP) or continues (SIGCONT) the test database's server: stopped, it
// keeps every connection open and answers nothing.
inline bool freezeTestDb(bool frozen)
{
    QFile run(QStringLiteral(ZN_MARIADB_DIR "/run"));
    if (!run.open(QIODevice::ReadOnly))
        return false;
    QFile pidFile(QString::fromLocal8Bit(run.readAll().trimmed()) + QStringLiteral("/mysqld.pid"));
    const pid_t pid = pidFile.open(QIODevice::ReadOnly) ? pid_t(pidFile.readAll().trimmed().toInt()) : 0;
    return pid > 0 && ::kill(pid, frozen ? SIGSTOP : SIGCONT) == 0;
}

inline QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The simulated file service serving root, and the console's client on it.
inline bool startFiles(ZnSimFileService &files, const QString &root)
{
    if (!files.start(0, "127.0.0.1", root.toStdString()))
        return false;
    TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(files.port()));
    TcpSocketClient::instance()->start();
    return true;
}

// Closes the next message box; its texts without the layout's blanks.
struct Answered : ZnModalHelper
{
    explicit Answered(const QString &button = QString())
    {
        if (button.isEmpty())
            onModal([](QWidget *w) { w->close(); });
        else
            answer(button);
    }
    QString last() const { return seenTexts().isEmpty() ? QString() : seenTexts().last().trimmed(); }
};
