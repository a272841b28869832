#include "ZnMicInfoForm.h"

#include "ZnD81SettingDialog.h"
#include "ZnMicListMgr.h"
#include "ZnTipsInfo.h"

ZnMicInfoForm::ZnMicInfoForm()
{
    setObjectName(QStringLiteral("ZnMicInfoForm"));
    ui.setupUi(this);

    ui.fTcpModeBtn->hide();
    ui.fTitleNameLable->setText(tr("Server Mic"));
    ui.fTitleNameLable->setStyleSheet(QStringLiteral("font: 9pt \"微软雅黑\";\ncolor:white"));
    QTableWidget *t = ui.fTermTableWidget;
    t->setColumnCount(4);
    t->setHorizontalHeaderLabels(
        {ZnTipsInfo::nameText(), ZnTipsInfo::codeText(), ZnTipsInfo::statusText(), ZnTipsInfo::ipText()});
    initTable();

    ZnMicListMgr *model = ZnMicListMgr::instance();
    connect(model, &ZnMicListMgr::gotMicList, this, &ZnMicInfoForm::slot_showD81List);
    connect(model, &ZnMicListMgr::micChanged, this, &ZnMicInfoForm::slot_updateD81Row);
    connect(model, &ZnMicListMgr::micDeleted, this, &ZnMicInfoForm::slot_delD81Row);
    connect(t, &QTableWidget::cellDoubleClicked, this, &ZnMicInfoForm::slot_editClicked);
    connect(ui.fSetBtn, &QPushButton::clicked, this, &ZnMicInfoForm::slot_editClicked);
    connect(ui.fDelBtn, &QPushButton::clicked, this, &ZnMicInfoForm::slot_delMicClicked);
    // Built at start: the console list it asks for is also what the group page
    // and the D82 dialog read.
    model->requestMicList();
}

QString ZnMicInfoForm::statusName(int status)
{
    switch (status) {
    case 1:
        return tr("Idle");
    case 2:
        return tr("Mic to Broadcast");
    case 3:
        return tr("Mic Call Ring");
    case 4:
        return tr("Talkbacking");
    case 5:
        return tr("Monitor Terminal");
    case 6:
        return tr("Mic Stop Service");
    default:
        return tr("Off Line");
    }
}

void ZnMicInfoForm::makeRow(const ZnMic &mic, ZnTableRow &row)
{
    row.addLocal(mic.name, mic.id);
    row.add(QString::number(mic.id), 0);
    row.add(statusName(mic.status), 0);
    row.addLocal(mic.ip, 0);
}

bool ZnMicInfoForm::recordRow(int id, ZnTableRow &row)
{
    ZnMic mic;
    if (!ZnMicListMgr::instance()->getMic(id, mic))
        return false;
    makeRow(mic, row);
    return true;
}

void ZnMicInfoForm::slot_showD81List()
{
    ZnMicListMgr *model = ZnMicListMgr::instance();
    const std::list<ZnMic> *list = model->lockMicList();
    if (!list)
        return;
    refillReversed(*list, &ZnMicInfoForm::makeRow);
    model->unlockMicList();
}

void ZnMicInfoForm::slot_updateD81Row(int id)
{
    redrawOrAdd(id);
}

void ZnMicInfoForm::slot_delD81Row(int id)
{
    dropRow(id);
}

void ZnMicInfoForm::slot_editClicked()
{
    editCurrent();
}

void ZnMicInfoForm::slot_delMicClicked()
{
    deleteSelected();
}

void ZnMicInfoForm::editRecord(int id)
{
    ZnMic mic;
    if (!ZnMicListMgr::instance()->getMic(id, mic))
        return;
    // Changes reach the table through the model's changed signal only.
    ZnD81SettingDialog dialog(&mic);
    dialog.exec();
}

int ZnMicInfoForm::removeRecord(int id)
{
    ZnMic mic;
    if (!ZnMicListMgr::instance()->getMic(id, mic))
        return RecordGone;
    if (!isNull(mic.status))
        return RecordOnline;
    return ZnMicListMgr::instance()->deleteMic(mic);
}
