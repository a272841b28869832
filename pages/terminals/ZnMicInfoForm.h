#pragma once

#include "ZnTerListPage.h"
#include "ui_fMicInfoForm.h"

class ZnMic;

// Page of the Dsk81 server microphones: follows the Dsk81 list model and opens
// the setting dialog of a console.
class ZnMicInfoForm : public ZnTerListPage
{
    Q_OBJECT
public:
    ZnMicInfoForm();

    QTableWidget *tableWidget() override { return ui.fTermTableWidget; }
    Ui::fMicInfoForm &form() { return ui; }

    static QString statusName(int status);

public slots:
    void slot_showD81List();
    void slot_updateD81Row(int id);
    void slot_delD81Row(int id);
    void slot_editClicked();
    void slot_delMicClicked();

protected:
    bool recordRow(int id, ZnTableRow &row) override;
    void editRecord(int id) override;
    int removeRecord(int id) override;

private:
    static void makeRow(const ZnMic &mic, ZnTableRow &row);

    Ui::fMicInfoForm ui;
};
