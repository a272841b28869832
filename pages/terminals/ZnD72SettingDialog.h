#pragma once

#include "ShadowWidget.h"
#include "ZnMicBtnCall.h"
#include "ZnOpenedFields.h"
#include "ui_fMicSettingForm.h"

#include <QDialog>

#include <vector>

class QCheckBox;
class QComboBox;
class ZnMic;

// Edits a D72's name and volumes and what its three keys and alarm input
// call. It sends nothing: on OK it writes into the caller's record and fills
// btnCalls; the page commits them.
class ZnD72SettingDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    explicit ZnD72SettingDialog(ZnMic *record);

    Ui::fMicSettingForm &form() { return ui; }

    // Filled once, on OK with the call box checked: middle, left and right key, then the alarm.
    std::vector<ZnMicBtnCall> btnCalls;

public slots:
    void slot_ok_clicked();
    void slot_setRedLeftGroupStateChanged(int state);
    void slot_setRedLeftMicStateChanged(int state);
    void slot_setRedRightGroupStateChanged(int state);
    void slot_setRedRightMicStateChanged(int state);
    void slot_setBlueGroupStateChanged(int state);
    void slot_setBlueMicStateChanged(int state);

private:
    // One call key: its check boxes and lists and the event names it is stored under.
    struct Key
    {
        QCheckBox *groupBox;
        QComboBox *groupList;
        QCheckBox *micBox;
        QComboBox *micList;
        const char *startCall;
        const char *stopCall;
    };

    void initBaseConfig();
    void initConnections();
    void loadCallConfig();
    ZnMicBtnCall keyCall(const Key &key) const;

    Ui::fMicSettingForm ui;
    ZnMic *record;
    Key keys[3];
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
