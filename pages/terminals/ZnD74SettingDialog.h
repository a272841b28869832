#pragma once

#include "ShadowWidget.h"
#include "ZnMicBtnCall.h"
#include "ZnOpenedFields.h"
#include "ui_fD74SettingForm.h"

#include <QDialog>

#include <string>

class ZnMic;

// Edits a D74's name, volumes, LED display and its one key's call. It sends
// nothing: on OK it writes into the caller's record and fills buttonCall(); the
// page commits them.
class ZnD74SettingDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    explicit ZnD74SettingDialog(ZnMic *record);

    Ui::fD74SettingForm &form() { return ui; }
    ZnMicBtnCall buttonCall() const { return btnCall; }

    // The LED colour codes: red, green and blue bits 3-3-2.
    enum { Red = 224, Green = 28, Yellow = 252 };

public slots:
    void slot_ok_clicked();
    void slot_setBlueGroupStateChanged(int state);
    void slot_setBlueMicStateChanged(int state);

private:
    void initBaseConfig();
    void initConnections();
    void loadLedConfig();
    void loadCallConfig();
    bool saveBaseConfig();
    void saveButtonCall();
    void saveLedConfig();

    const std::string startCallName = "ButtonPushDown";
    const std::string stopCallName = "ButtonLongPress";
    Ui::fD74SettingForm ui;
    ZnMic *record;
    ZnMicBtnCall btnCall;
    bool keepStoredMode = false;
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
