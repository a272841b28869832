#pragma once
// The main bodies the benchmark programs share: run under a Qt application, and,
// for the talk-log programs, around a throwaway MariaDB server filled with rows.

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QtGlobal>

#ifdef ZN_MARIADB_SCRIPT
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

#include "ZnGlobals.h"
#include "ZnMySql.h"
#endif

// Pages drawn by a benchmark need no screen.
inline void znBenchOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

template <class App>
int znBenchMain(int argc, char** argv)
{
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

#ifdef ZN_MARIADB_SCRIPT
inline bool znBenchDbScript(const QString& dir, const QStringList& args)
{
    return QProcess::execute(QStringLiteral(ZN_MARIADB_SCRIPT), QStringList{args.front(), dir} + args.mid(1)) == 0;
}

// Starts a server in dbDir, fills it with rows (none: the benchmarks fill it
// themselves), connects the talk-log database, runs the benchmarks and stops the
// server again, whatever happened.
inline int znBenchWithTalkLogDb(const QString& dbDir, int rows)
{
    int rc = 1;
    if (znBenchDbScript(dbDir, {QStringLiteral("start")})
        && (rows == 0 || znBenchDbScript(dbDir, {QStringLiteral("fill"), QString::number(rows)}))) {
        QFile portFile(dbDir + QStringLiteral("/port"));
        if (portFile.open(QIODevice::ReadOnly))
            gMySqlPort = portFile.readAll().trimmed().toInt();
        if (ZnMySql::connectTalkLogDb("127.0.0.1") == 0) {
            benchmark::RunSpecifiedBenchmarks();
            rc = 0;
        } else {
            std::fprintf(stderr, "cannot reach the benchmark database\n");
        }
    }
    znBenchDbScript(dbDir, {QStringLiteral("stop")});
    benchmark::Shutdown();
    return rc;
}
#endif
