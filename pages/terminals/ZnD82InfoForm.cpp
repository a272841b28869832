#include "ZnD82InfoForm.h"

#include "ZnD82ListMgr.h"
#include "ZnD82SettingDialog.h"
#include "ZnTipsInfo.h"

#include <memory>

ZnD82InfoForm::ZnD82InfoForm()
{
    setObjectName(QStringLiteral("ZnD82InfoForm"));
    ui.setupUi(this);

    ui.fConfigBtn->setText(tr("Call Config"));
    ui.fConfigBtn->hide();
    ui.fNewBtn->hide();
    ui.fEditBtn->setText(QStringLiteral("配置"));
    ui.tableNameLable->setText(QStringLiteral("移动设备"));
    QTableWidget *t = ui.fCommonTableWidget;
    t->setColumnCount(4);
    t->setHorizontalHeaderLabels(
        {ZnTipsInfo::nameText(), ZnTipsInfo::codeText(), ZnTipsInfo::statusText(), ZnTipsInfo::ipText()});
    initTable();

    ZnD82ListMgr *model = ZnD82ListMgr::instance();
    connect(model, &ZnD82ListMgr::gotD82List, this, &ZnD82InfoForm::slot_showD82List);
    connect(model, &ZnD82ListMgr::d82Changed, this, &ZnD82InfoForm::slot_updateD82Row);
    connect(model, &ZnD82ListMgr::d82Deleted, this, &ZnD82InfoForm::slot_delD82Row);
    connect(t, &QTableWidget::cellDoubleClicked, this, &ZnD82InfoForm::slot_editClicked);
    connect(ui.fEditBtn, &QPushButton::clicked, this, &ZnD82InfoForm::slot_editClicked);
    connect(ui.fDelBtn, &QPushButton::clicked, this, &ZnD82InfoForm::slot_delMicClicked);
    model->requestD82List();
}

void ZnD82InfoForm::makeRow(const ZnD82 &device, ZnTableRow &row)
{
    row.addLocal(device.name, device.id);
    row.add(QString::number(device.id), 0);
    row.add(isNull(device.status) ? QStringLiteral("断线") : QStringLiteral("空闲"), 0);
    row.addLocal(device.ip, 0);
}

bool ZnD82InfoForm::insertRecord(int id)
{
    ZnD82 device;
    return ZnD82ListMgr::instance()->getD82(id, &device) && insertRecordRow(&device) == 0;
}

void ZnD82InfoForm::updateRow(int row, int id)
{
    if (std::unique_ptr<ZnD82> device = ZnD82ListMgr::instance()->cloneD82(id))
        writeRecordRow(row, device.get());
}

int ZnD82InfoForm::insertRecordRow(const ZnD82 *device)
{
    if (!device)
        return -1;
    ZnTableRow row;
    makeRow(*device, row);
    return insertTop(row);
}

int ZnD82InfoForm::writeRecordRow(int row, const ZnD82 *device)
{
    if (!device)
        return -1;
    ZnTableRow cells;
    makeRow(*device, cells);
    ZnTableFill::writeRow(tableWidget(), row, cells);
    return 0;
}

void ZnD82InfoForm::slot_showD82List()
{
    ZnD82ListMgr *model = ZnD82ListMgr::instance();
    const std::list<ZnD82> *list = model->lock();
    if (!list)
        return;
    refillAtTop(*list, [this](const ZnD82 &device) { insertRecordRow(&device); });
    model->unlock();
}

void ZnD82InfoForm::slot_updateD82Row(int id)
{
    redrawOrAdd(id);
}

void ZnD82InfoForm::slot_delD82Row(int id)
{
    dropRow(id);
}

void ZnD82InfoForm::slot_editClicked()
{
    editCurrent();
}

void ZnD82InfoForm::slot_delMicClicked()
{
    deleteSelected();
}

void ZnD82InfoForm::editRecord(int id)
{
    std::unique_ptr<ZnD82> copy(ZnD82ListMgr::instance()->copyD82(id));
    if (!copy)
        return;
    // Changes reach the table through the model's changed signal only.
    ZnD82SettingDialog dialog(copy.get());
    dialog.exec();
}

int ZnD82InfoForm::removeRecord(int id)
{
    ZnD82 device;
    if (!ZnD82ListMgr::instance()->getD82(id, &device))
        return RecordGone;
    if (!isNull(device.status))
        return RecordOnline;
    return ZnD82ListMgr::instance()->deleteD82(device);
}
