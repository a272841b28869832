#include "ZnFAlarmSettingDialog.h"

#include "BaseMessageDialog.h"
#include "ZnCommonTable.h"
#include "ZnFAlarm.h"
#include "ZnFAlarmChannelDialog.h"
#include "ZnFAlarmChannels.h"
#include "ZnFAlarmListMgr.h"
#include "ZnFAlarmTrigger.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTipsInfo.h"

#include <QButtonGroup>
#include <QHeaderView>

namespace {
enum { ManualTask = 2 };
const QColor kTaskRow(240, 240, 240);
const QColor kNoTaskRow(255, 255, 255);
} // namespace

QColor ZnFAlarmSettingDialog::alarmColour()
{
    return QColor(252, 65, 54);
}

ZnFAlarmSettingDialog::ZnFAlarmSettingDialog(ZnFAlarm *a) : alarm(a)
{
    ui.setupUi(this);
    setMouseTracking(true);
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    setWindowTitle(QStringLiteral("消防设置"));
    ui.titleNameLabel->setText(QStringLiteral("消防设置"));
    ui.dialogCloseBtn->setFixedSize(23, 25);
    ui.fCancelBtn->hide();
    auto *types = new QButtonGroup(this);
    types->addButton(ui.fNormalCb);
    types->addButton(ui.fEmergencyCb);
    (alarm && alarm->triggerType == 1 ? ui.fNormalCb : ui.fEmergencyCb)->setChecked(true);
    if (alarm)
        ui.fNameEdit->setText(QString::fromLocal8Bit(alarm->name.c_str()));
    opened.note({ui.fNameEdit, ui.fNormalCb});

    QTableWidget *t = ui.fChannelTb;
    t->setColumnCount(4);
    t->setHorizontalHeaderLabels({QStringLiteral("通道序号"), QStringLiteral("通道名称"), QStringLiteral("当前状态"),
                                  QStringLiteral("任务名称")});
    ZnCommon::initTableWidget(t);
    t->verticalHeader()->hide();

    for (const ZnSsTask &task : ZnSsTaskDataMgr::instance()->taskList()) {
        if (task.SourceCategory == ManualTask)
            tasks.push_back(task);
    }
    fillChannels();

    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnFAlarmSettingDialog::slot_ok_clicked);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnFAlarmSettingDialog::reject);
    connect(ui.dialogCloseBtn, &QPushButton::clicked, this, &ZnFAlarmSettingDialog::close);
    connect(t, &QTableWidget::cellDoubleClicked, this, &ZnFAlarmSettingDialog::slot_editChannelClicked);
    connect(ui.fEditChannelBtn, &QPushButton::clicked, this, &ZnFAlarmSettingDialog::slot_editChannelClicked);
    connect(ui.fDelChannelBtn, &QPushButton::clicked, this, &ZnFAlarmSettingDialog::slot_delChannelClicked);
    // A trigger while the dialog is open shows at once and blocks that channel's edit.
    connect(ZnFAlarmListMgr::instance(), &ZnFAlarmListMgr::fAlarmChanged, this,
            &ZnFAlarmSettingDialog::triggersChanged);
}

QString ZnFAlarmSettingDialog::defaultName(int r)
{
    return QStringLiteral("通道") + QString::number(r + 1);
}

void ZnFAlarmSettingDialog::fillChannels()
{
    if (!alarm)
        return;
    const auto channels = ZnFAlarmChannels::parse(alarm->broadcast);
    QTableWidget *t = ui.fChannelTb;
    t->setRowCount(int(channels.size()));
    for (int r = 0; r < t->rowCount(); ++r) {
        const auto &c = channels[size_t(r)];
        for (int col = 0; col < 4; ++col)
            t->setItem(r, col, new QTableWidgetItem);
        t->item(r, 0)->setText(QString::number(r + 1));
        // Only a channel stored without a name field is called by its number.
        const QString name = c.named ? QString::fromLocal8Bit(c.name.c_str()) : defaultName(r);
        updateRow(r, c.taskId, name);
        showTrigger(r, ZnFAlarmChannels::triggered(alarm->shortCircuit, r + 1));
    }
}

void ZnFAlarmSettingDialog::showTrigger(int r, bool on)
{
    QTableWidgetItem *state = ui.fChannelTb->item(r, 2);
    if (!state)
        return;
    state->setText(on ? QStringLiteral("报警") : QStringLiteral("空闲"));
    state->setData(Qt::UserRole, on ? 1 : 0);
    state->setForeground(on ? alarmColour() : palette().color(QPalette::Text));
}

QString ZnFAlarmSettingDialog::taskName(int taskId) const
{
    if (taskId == 0)
        return QStringLiteral("[未配置]");
    for (const ZnSsTask &task : tasks) {
        if (task.Id == taskId)
            return QString::fromLocal8Bit(task.Name.c_str());
    }
    return QStringLiteral("[任务不存在]");
}

void ZnFAlarmSettingDialog::updateRow(int r, int taskId, const QString &name)
{
    QTableWidget *t = ui.fChannelTb;
    if (r < 0 || r >= t->rowCount())
        return;
    t->item(r, 0)->setData(Qt::UserRole, taskId);
    t->item(r, 1)->setText(name);
    t->item(r, 3)->setText(taskName(taskId));
    t->item(r, 3)->setData(Qt::UserRole, 0);
    for (int col = 0; col < t->columnCount(); ++col)
        t->item(r, col)->setBackground(taskId != 0 ? kTaskRow : kNoTaskRow);
}

void ZnFAlarmSettingDialog::triggersChanged(int id)
{
    ZnFAlarm fresh;
    if (!alarm || id != alarm->id || !ZnFAlarmListMgr::instance()->findFAlarm(id, fresh))
        return;
    alarm->shortCircuit = fresh.shortCircuit;
    for (int r = 0; r < ui.fChannelTb->rowCount(); ++r)
        showTrigger(r, ZnFAlarmChannels::triggered(fresh.shortCircuit, r + 1));
}

bool ZnFAlarmSettingDialog::channelIdle(int r)
{
    const QTableWidgetItem *state = ui.fChannelTb->item(r, 2);
    if (!state || state->data(Qt::UserRole).toInt() == 0)
        return true;
    tell(QStringLiteral("通道") + QString::number(r + 1) + QStringLiteral("触发状态，请空闲再配置！"));
    return false;
}

void ZnFAlarmSettingDialog::slot_editChannelClicked()
{
    const int r = ui.fChannelTb->currentRow();
    if (r < 0 || !channelIdle(r))
        return;
    const int taskId = ui.fChannelTb->item(r, 0)->data(Qt::UserRole).toInt();
    ZnFAlarmChannelDialog dialog(&tasks, taskId, ui.fChannelTb->item(r, 1)->text());
    // A trigger that came while the channel dialog was open blocks the change as well.
    if (dialog.exec() != QDialog::Accepted || !stillListed() || !channelIdle(r))
        return;
    if (sendChannel(r, dialog.selectedTaskId(), dialog.channelName())) {
        changed = true;
        updateRow(r, dialog.selectedTaskId(), dialog.channelName());
    }
}

void ZnFAlarmSettingDialog::slot_delChannelClicked()
{
    const int r = ui.fChannelTb->currentRow();
    if (r < 0 || !channelIdle(r))
        return;
    if (sendChannel(r, 0, defaultName(r)))
        updateRow(r, 0, defaultName(r));
}

bool ZnFAlarmSettingDialog::sendChannel(int r, int taskId, const QString &name)
{
    if (!alarm)
        return false;
    ZnFAlarmTrigger trigger;
    trigger.id = alarm->id;
    trigger.channelName = name.toLocal8Bit().toStdString();
    trigger.channel = r + 1;
    trigger.sourceId = taskId;
    trigger.triggerSwitch = 1;
    trigger.stopPlay = 0;
    if (ZnFAlarmListMgr::instance()->setTrigger(trigger) == 0)
        return true;
    tell(QStringLiteral("通道") + QString::number(r + 1) + QStringLiteral("设置错误！"));
    return false;
}

bool ZnFAlarmSettingDialog::stillListed()
{
    ZnFAlarm stored;
    if (!alarm || ZnFAlarmListMgr::instance()->findFAlarm(alarm->id, stored))
        return true;
    tell(ZnTipsInfo::recordGoneText());
    reject();
    return false;
}

void ZnFAlarmSettingDialog::slot_ok_clicked()
{
    if (!stillListed())
        return;
    if (!commitAlarm())
        return;
    changed = true;
    accept();
}

bool ZnFAlarmSettingDialog::commitAlarm()
{
    const QString text = ui.fNameEdit->text();
    const int type = ui.fNormalCb->isChecked() ? 1 : 2;
    if (text.isEmpty()) {
        tell(QStringLiteral("名称不能为空！"));
        return false;
    }
    if (!alarm)
        return true;
    // A field left as it opened keeps the stored value: a name the edit cannot
    // hold whole, a trigger type neither of the two; stored is what the model holds
    // now, so a push while the dialog was open is not undone.
    ZnFAlarmListMgr::instance()->findFAlarm(alarm->id, *alarm);
    ZnFAlarm edited(*alarm);
    opened.write(ui.fNameEdit, edited.name, text.toLocal8Bit().toStdString());
    opened.write(ui.fNormalCb, edited.triggerType, type);
    if (edited.name == alarm->name && edited.triggerType == alarm->triggerType)
        return true;
    // Only an accepted change is kept, so a second OK sends it again.
    if (ZnFAlarmListMgr::instance()->modifyFAlarm(edited) != 0) {
        tell(QStringLiteral("设置错误！"));
        return false;
    }
    *alarm = edited;
    return true;
}

void ZnFAlarmSettingDialog::tell(const QString &text)
{
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), text, 1);
    box.exec();
}
