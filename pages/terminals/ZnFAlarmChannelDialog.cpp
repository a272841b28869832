#include "ZnFAlarmChannelDialog.h"

#include "BaseMessageDialog.h"
#include "ZnFAlarmChannels.h"
#include "ZnTipsInfo.h"

ZnFAlarmChannelDialog::ZnFAlarmChannelDialog(const std::list<ZnSsTask> *t, int selected, const QString &n)
    : tasks(t), taskId(selected), name(n)
{
    ui.setupUi(this);
    setMouseTracking(true);
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    setWindowTitle(QStringLiteral("通道配置"));
    ui.titleNameLabel->setText(QStringLiteral("通道配置"));
    ui.dialogCloseBtn->setFixedSize(23, 25);

    taskPick.initSingleSelect(ui.fChannelTb, 2);
    if (tasks) {
        for (const ZnSsTask &task : *tasks)
            taskPick.fillTable(task.Id == taskId ? Qt::Checked : Qt::Unchecked, task.Name, task.Id,
                               std::to_string(task.Id));
    }
    ui.fChannelNameLe->setText(name);
    opened.note(ui.fChannelNameLe);
    opened.note(ui.fChannelTb, checkedTask());

    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnFAlarmChannelDialog::slot_ok_clicked);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnFAlarmChannelDialog::reject);
    connect(ui.dialogCloseBtn, &QPushButton::clicked, this, &ZnFAlarmChannelDialog::close);
}

void ZnFAlarmChannelDialog::slot_ok_clicked()
{
    const QString entered = ui.fChannelNameLe->text();
    // The server keeps all channels in one text split at these marks: a name
    // holding one would split its channel when the text is read back.
    if (!ZnFAlarmChannels::nameAllowed(entered.toLocal8Bit().toStdString())) {
        BaseMessageDialog box(ZnTipsInfo::tipsTitleText(),
                              tr("The channel name cannot contain \"%1\" or \"%2\"")
                                  .arg(QLatin1String(ZnFAlarmChannels::ChannelSeparator),
                                       QLatin1String(ZnFAlarmChannels::FieldSeparator)),
                              1);
        box.exec();
        return;
    }
    // A name longer than the edit holds, or a task the list does not offer, stays
    // while its field is left alone.
    opened.write(ui.fChannelNameLe, name, entered);
    if (opened.changed(ui.fChannelTb, checkedTask()))
        taskId = checkedTask();
    accept();
}

int ZnFAlarmChannelDialog::checkedTask() const
{
    for (int r = 0; r < ui.fChannelTb->rowCount(); ++r) {
        const QTableWidgetItem *item = ui.fChannelTb->item(r, 0);
        if (item && item->checkState() == Qt::Checked)
            return item->data(Qt::UserRole).toInt();
    }
    return 0;
}
