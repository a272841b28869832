#pragma once

#include "ZnGlobals.h"
#include "ZnModalHelper.h"
#include "ZnMySql.h"
#include "ZnMySqlResult.h"

#include <QFile>
#include <QString>
#include <QStringList>

// The fixture's test database (its port, a connection to it, statements on the
// console's own connection) and what message boxes said.
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
