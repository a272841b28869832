#include "ZnFAlarmInfoForm.h"

#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmSettingDialog.h"
#include "ZnTipsInfo.h"

#include <QTableWidgetItem>

ZnFAlarmInfoForm::ZnFAlarmInfoForm()
{
    setObjectName(QStringLiteral("ZnFAlarmInfoForm"));
    ui.setupUi(this);

    ui.fConfigBtn->hide();
    ui.fNewBtn->hide();
    ui.fEditBtn->setText(QStringLiteral("配置"));
    ui.tableNameLable->setText(QStringLiteral("消防联动"));
    QTableWidget *t = ui.fCommonTableWidget;
    t->setColumnCount(4);
    t->setHorizontalHeaderLabels(
        {ZnTipsInfo::nameText(), ZnTipsInfo::codeText(), ZnTipsInfo::statusText(), ZnTipsInfo::ipText()});
    initTable();

    ZnFAlarmListMgr *model = ZnFAlarmListMgr::instance();
    connect(model, &ZnFAlarmListMgr::gotFAlarmList, this, &ZnFAlarmInfoForm::slot_showFAlarmList);
    connect(model, &ZnFAlarmListMgr::fAlarmChanged, this, &ZnFAlarmInfoForm::slot_updateFAlarmRow);
    connect(model, &ZnFAlarmListMgr::alarmDeleted, this, &ZnFAlarmInfoForm::slot_delFAlarmRow);
    connect(t, &QTableWidget::cellDoubleClicked, this, &ZnFAlarmInfoForm::slot_editClicked);
    connect(ui.fEditBtn, &QPushButton::clicked, this, &ZnFAlarmInfoForm::slot_editClicked);
    connect(ui.fDelBtn, &QPushButton::clicked, this, &ZnFAlarmInfoForm::slot_delMicClicked);
    model->registerAndWait();
}

void ZnFAlarmInfoForm::makeRow(const ZnFAlarm &alarm, ZnTableRow &row)
{
    row.addLocal(alarm.name, alarm.id);
    row.add(QString::number(alarm.id), 0);
    QString state = QStringLiteral("空闲");
    bool fire = false;
    if (isNull(alarm.status))
        state = QStringLiteral("断线");
    else if (alarm.shortCircuit != 0 && alarm.triggerType != 1) {
        state = QStringLiteral("消防报警");
        fire = true;
    } else if (alarm.shortCircuit != 0)
        state = QStringLiteral("短路触发");
    QTableWidgetItem *cell = row.add(state, 0);
    cell->setForeground(fire ? ZnFAlarmSettingDialog::alarmColour() : QColor(Qt::black));
    row.addLocal(alarm.ip, 0);
}

bool ZnFAlarmInfoForm::recordRow(int id, ZnTableRow &row)
{
    ZnFAlarm alarm;
    if (!ZnFAlarmListMgr::instance()->findFAlarm(id, alarm))
        return false;
    makeRow(alarm, row);
    return true;
}

void ZnFAlarmInfoForm::slot_showFAlarmList()
{
    ZnFAlarmListMgr *model = ZnFAlarmListMgr::instance();
    const std::list<ZnFAlarm> *list = model->lockList();
    refillReversed(*list, &ZnFAlarmInfoForm::makeRow);
    model->unlockList();
}

void ZnFAlarmInfoForm::slot_delFAlarmRow(int id)
{
    dropRow(id);
}

void ZnFAlarmInfoForm::slot_updateFAlarmRow(int id)
{
    redrawOrAdd(id);
}

void ZnFAlarmInfoForm::slot_delMicClicked()
{
    deleteSelected();
}

void ZnFAlarmInfoForm::slot_editClicked()
{
    editCurrent();
}

void ZnFAlarmInfoForm::editRecord(int id)
{
    ZnFAlarm alarm;
    if (!ZnFAlarmListMgr::instance()->findFAlarm(id, alarm))
        return;
    bool reload = false;
    {
        ZnFAlarmSettingDialog dialog(&alarm);
        reload = dialog.exec() == QDialog::Accepted || dialog.isChanged();
    }
    // Channel changes are not pushed: the list read again carries them.
    if (reload)
        ZnFAlarmListMgr::instance()->registerAndWait();
}

int ZnFAlarmInfoForm::removeRecord(int id)
{
    ZnFAlarm alarm;
    if (!ZnFAlarmListMgr::instance()->findFAlarm(id, alarm))
        return RecordGone;
    if (!isNull(alarm.status))
        return RecordOnline;
    return ZnFAlarmListMgr::instance()->deleteFAlarm(alarm);
}
