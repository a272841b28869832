#pragma once

// Helpers of the suites that run against the throwaway MariaDB server.

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace ZnTalkLogTestDb {

inline int port()
{
    QFile f(QStringLiteral(ZN_MARIADB_DIR "/port"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    return f.readAll().trimmed().toInt();
}

inline bool script(const QString& command)
{
    return QProcess::execute(QStringLiteral(ZN_MARIADB_SCRIPT),
                             {command, QStringLiteral(ZN_MARIADB_DIR)}) == 0;
}

// A port on which nothing listens.
inline int closedPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        return -1;
    const int p = server.serverPort();
    server.close();
    return p;
}

// Collects what is written to standard output while it lives.
class StdoutCapture {
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        m_file = std::tmpfile();
        m_saved = dup(fileno(stdout));
        if (m_file)
            dup2(fileno(m_file), fileno(stdout));
    }
    ~StdoutCapture()
    {
        restore();
        if (m_file)
            std::fclose(m_file);
    }

    std::string text()
    {
        restore();
        std::string all;
        if (!m_file)
            return all;
        std::rewind(m_file);
        char buf[512];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, m_file)) > 0)
            all.append(buf, n);
        std::fclose(m_file);
        m_file = nullptr;
        return all;
    }

private:
    void restore()
    {
        if (m_saved >= 0) {
            std::fflush(stdout);
            dup2(m_saved, fileno(stdout));
            close(m_saved);
            m_saved = -1;
        }
    }
    std::FILE* m_file = nullptr;
    int m_saved = -1;
};

} // namespace ZnTalkLogTestDb
