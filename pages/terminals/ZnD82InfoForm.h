#pragma once

#include "ZnTerListPage.h"
#include "ui_fCommonTableForm.h"

class ZnD82;

// Page of the D82 mobile devices: follows the D82 list model and opens the
// setting dialog of a device.
class ZnD82InfoForm : public ZnTerListPage
{
    Q_OBJECT
public:
    ZnD82InfoForm();

    QTableWidget *tableWidget() override { return ui.fCommonTableWidget; }
    void updateRow(int row, int id) override;
    Ui::fCommonTableForm &form() { return ui; }

    // The refill and a pushed new device insert their rows here, updateRow()
    // rewrites through writeRecordRow().
    int insertRecordRow(const ZnD82 *device);
    int writeRecordRow(int row, const ZnD82 *device);

public slots:
    void slot_showD82List();
    void slot_updateD82Row(int id);
    void slot_delD82Row(int id);
    void slot_editClicked();
    void slot_delMicClicked();

protected:
    bool insertRecord(int id) override;
    void editRecord(int id) override;
    int removeRecord(int id) override;

private:
    static void makeRow(const ZnD82 &device, ZnTableRow &row);

    Ui::fCommonTableForm ui;
};
