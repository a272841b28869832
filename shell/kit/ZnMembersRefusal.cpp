#include "ZnMembersRefusal.h"

#include "BaseMessageDialog.h"
#include "ZnTipsInfo.h"

#include <QDialog>

bool ZnMembersRefusal::holdsBack(QDialog *editor, ZnKeptEntries::List list, const std::vector<std::string> &unread)
{
    const QString refused = ZnKeptEntries::membersRefusal(list, unread);
    if (refused.isEmpty())
        return false;
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), refused, 1);
    box.exec();
    editor->reject();
    return true;
}
