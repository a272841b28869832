#pragma once

#include "ShadowWidget.h"
#include "ZnOpenedFields.h"
#include "ZnSsTask.h"
#include "ui_fFAlarmSettingForm.h"

#include <QDialog>

#include <list>

class ZnFAlarm;

// Edits a fire-alarm interface: its name and trigger type on OK, and each
// channel's name and linked manual task at once, through the channel dialog.
class ZnFAlarmSettingDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    // The dialog writes name and trigger type into alarm, which outlives it.
    explicit ZnFAlarmSettingDialog(ZnFAlarm *alarm);

    Ui::fFAlarmSettingForm &form() { return ui; }
    // True once a channel or the interface was changed on the server.
    bool isChanged() const { return changed; }

    static QColor alarmColour();

public slots:
    void slot_ok_clicked();
    void slot_editChannelClicked();
    void slot_delChannelClicked();

private:
    bool commitAlarm();
    void fillChannels();
    // False (after telling the operator) when channel row r is triggered.
    bool channelIdle(int r);
    // False, the operator told and the dialog closed, when the interface was
    // removed while a box or dialog was open.
    bool stillListed();
    bool sendChannel(int r, int taskId, const QString &name);
    void updateRow(int r, int taskId, const QString &name);
    void showTrigger(int r, bool on);
    QString taskName(int taskId) const;
    void triggersChanged(int id);
    static QString defaultName(int r);
    static void tell(const QString &text);

    Ui::fFAlarmSettingForm ui;
    ZnFAlarm *alarm;
    std::list<ZnSsTask> tasks;
    bool changed = false;
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
