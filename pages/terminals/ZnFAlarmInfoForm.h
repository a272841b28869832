#pragma once

#include "ZnTerListPage.h"
#include "ui_fCommonTableForm.h"

class ZnFAlarm;

// Page of the fire-alarm interfaces: follows the fire-alarm list model, shows
// a triggered interface and opens its setting dialog.
class ZnFAlarmInfoForm : public ZnTerListPage
{
    Q_OBJECT
public:
    ZnFAlarmInfoForm();

    QTableWidget *tableWidget() override { return ui.fCommonTableWidget; }
    Ui::fCommonTableForm &form() { return ui; }

public slots:
    void slot_showFAlarmList();
    void slot_delFAlarmRow(int id);
    void slot_updateFAlarmRow(int id);
    void slot_delMicClicked();
    void slot_editClicked();

protected:
    bool recordRow(int id, ZnTableRow &row) override;
    void editRecord(int id) override;
    int removeRecord(int id) override;

private:
    static void makeRow(const ZnFAlarm &alarm, ZnTableRow &row);

    Ui::fCommonTableForm ui;
};
