#pragma once

#include "ShadowWidget.h"
#include "ZnOpenedFields.h"
#include "ZnSelectTableCtrl.h"
#include "ZnSsTask.h"
#include "ui_fFAlarmChannelDialog.h"

#include <QDialog>

#include <list>

// Edits one fire-alarm channel: its name and the manual task it starts.
class ZnFAlarmChannelDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    ZnFAlarmChannelDialog(const std::list<ZnSsTask> *tasks, int selectedTaskId, const QString &name);

    Ui::fFAlarmChannelDialog &form() { return ui; }
    // After an accepted run.
    QString channelName() const { return name; }
    int selectedTaskId() const { return taskId; }

public slots:
    void slot_ok_clicked();

private:
    // The task of the checked row; 0 for none.
    int checkedTask() const;

    Ui::fFAlarmChannelDialog ui;
    const std::list<ZnSsTask> *tasks;
    int taskId;
    QString name;
    ZnSelectTableCtrl taskPick;
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
