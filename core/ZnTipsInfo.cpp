#include "ZnTipsInfo.h"

QString ZnTipsInfo::tipsTitleText()
{
    return tr("Tips");
}
QString ZnTipsInfo::deleteRecordQuestionText()
{
    return tr("Delete current record?");
}
QString ZnTipsInfo::deleteFailedText()
{
    return tr("Delete failed");
}
QString ZnTipsInfo::deleteMediaQuestionText()
{
    return tr("Delete chosen media?");
}
QString ZnTipsInfo::recordGoneText()
{
    return tr("The record no longer exists, nothing was changed!");
}
QString ZnTipsInfo::terminalNotOfflineText()
{
    return tr("Terminal can not be removed without offline!");
}
QString ZnTipsInfo::noEditPermissionText()
{
    return tr("Current user does not have permission to edit!");
}
QString ZnTipsInfo::illegalNameText()
{
    return tr("Name contains illegal characters!");
}
QString ZnTipsInfo::someIdsText(const QStringList &ids)
{
    const int named = 5;
    const QString separator = QStringLiteral(", ");
    if (ids.size() <= named)
        return ids.join(separator);
    return tr("%1 and %2 more").arg(ids.mid(0, named).join(separator), QString::number(ids.size() - named));
}
QString ZnTipsInfo::speakerCheckNotIdleText()
{
    return tr("Can't check speaker when terminal not idle!");
}
QString ZnTipsInfo::setNameText()
{
    return tr("Set Name");
}
QString ZnTipsInfo::idText()
{
    return tr("ID");
}
QString ZnTipsInfo::nameText()
{
    return tr("Name");
}
QString ZnTipsInfo::codeText()
{
    return tr("Code");
}
QString ZnTipsInfo::statusText()
{
    return tr("Status");
}
QString ZnTipsInfo::ipText()
{
    return tr("IP");
}
QString ZnTipsInfo::isAecText()
{
    return tr("Is AEC");
}
QString ZnTipsInfo::isPptText()
{
    return tr("Is PPT");
}
QString ZnTipsInfo::micStateText(int status)
{
    switch (status) {
    case 1:
        return tr("Idle");
    case 2:
        return tr("Sound Source Broadcast");
    case 3:
        return tr("Mic Broadcast");
    case 4:
        return tr("Ring By Call");
    case 5:
        return tr("Talking");
    case 6:
        return tr("Monitor");
    case 7:
        return tr("EmergencyBroadcast");
    default:
        return tr("Login Out");
    }
}
