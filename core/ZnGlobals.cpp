#include "ZnGlobals.h"

int gMySqlPort = 8999;
std::string gMediaBasePath = "/";
QString gCmdPassword;
QMutex gMediaTableMutex;
