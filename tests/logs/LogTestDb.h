#pragma once

#include "ZnGlobals.h"
#include "ZnMySql.h"
#include "ZnMySqlResult.h"

#include <QFile>
#include <QString>

// The test database of the fixture: its port, a connection to it, and statements
// run on the console's own connection.
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

inline bool sql(const char *statement)
{
    ZnMySqlResult r;
    return ZnMySql::instance()->query(statement, r) == 0;
}
