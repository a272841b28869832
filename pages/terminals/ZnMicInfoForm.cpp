#include "ZnMicInfoForm.h"

#include "ZnMicListMgr.h"

ZnMicInfoForm::ZnMicInfoForm()
{
    setObjectName(QStringLiteral("ZnMicInfoForm"));
    // Built at start: the console list it asks for is also what the group page
    // and the D82 dialog read.
    ZnMicListMgr::instance()->requestMicList();
}
