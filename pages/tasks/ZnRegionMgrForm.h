#pragma once

#include "ZnTerListPage.h"
#include "ui_fRegionInfoForm.h"

class ZnRegion;

// The broadcast regions, with the terminals of the clicked region beside them.
class ZnRegionMgrForm : public ZnTerListPage
{
    Q_OBJECT
public:
    explicit ZnRegionMgrForm(QWidget *parent = nullptr);

    QTableWidget *tableWidget() override { return ui.fGroupTableWidget; }
    Ui::fRegionInfoForm &form() { return ui; }

    // Runs the edit dialog on the region and commits it when accepted (op 4 adds
    // under a new id, 5 edits); -1 after a failed commit ("Setting Error!"
    // shown), else 0.
    int editAndCommit(ZnRegion &region, int op);
    // A new region's id: the largest id plus 1 to 10.
    static int newRegionId(int largest);

public slots:
    void slot_showRegionList();
    void slot_updateRegionRow(int id);
    void slot_delRegionRow(int id);
    void slot_add_clicked();
    void slot_edit_clicked();
    void slot_delete_clicked();
    void widget_item_clicked(QTableWidgetItem *item);

protected:
    bool recordRow(int id, ZnTableRow &row) override;
    void editRecord(int id) override;
    int removeRecord(int id) override;

private:
    static void makeRow(const ZnRegion &region, ZnTableRow &row);

    Ui::fRegionInfoForm ui;
};
