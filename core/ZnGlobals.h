#pragma once

#include <QMutex>
#include <QString>

#include <string>

// Process-wide values that exist before main; start-up may override the first three.

// Port of the talk-log database.
extern int gMySqlPort;
// Server folder the media page starts from.
extern std::string gMediaBasePath;
// Password given with "-password" on the command line.
extern QString gCmdPassword;
// Held by the media browser while it refills its table, and by the file
// service's worker; never destroyed, as the worker may run on at exit.
extern QMutex& gMediaTableMutex;

// Texts of the media page: the transfer states, indexed by state ("downloading",
// "uploading", "paused", "idle", "waiting for conversion", "converting"), and the
// media operations ("download", "upload", "create folder", "delete", "rename").
extern const QString gTransferStateText[6];
extern const QString gMediaOperationText[5];
