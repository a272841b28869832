#include "ZnGlobals.h"

int gMySqlPort = 8999;
std::string gMediaBasePath = "/";
QString gCmdPassword;
QMutex& gMediaTableMutex = *new QMutex;

const QString gTransferStateText[6] = {
    QStringLiteral("正在下载"), QStringLiteral("正在传输"), QStringLiteral("暂停"),
    QStringLiteral("空闲"),     QStringLiteral("等待转码"), QStringLiteral("正在转码"),
};
const QString gMediaOperationText[5] = {
    QStringLiteral("下载"), QStringLiteral("上传"),   QStringLiteral("创建目录"),
    QStringLiteral("删除"), QStringLiteral("重命名"),
};
