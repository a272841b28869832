#pragma once

#include "ZnTerListPage.h"
#include "ui_fCommonTableForm.h"

class ZnCap;

// Page of the capture units. Their list is no Qt object: it reaches the page
// through the capture list's view signals, registered by slot text.
class ZnCapInfoForm : public ZnTerListPage
{
    Q_OBJECT
public:
    ZnCapInfoForm();

    // No widget: a geometry set through the table controller leaves the page
    // where the main window's stack put it.
    QWidget *widget() override { return nullptr; }
    QTableWidget *tableWidget() override { return ui.fCommonTableWidget; }
    Ui::fCommonTableForm &form() { return ui; }

    static QString qualityName(int rate);
    static QString statusName(int status);

public slots:
    void showCaps();
    void delCap(int id);
    void updateCap(int id);
    void capTableSelected();
    void slot_setNameClicked();
    void delClicked();

protected:
    bool recordRow(int id, ZnTableRow &row) override;
    void editRecord(int id) override;
    int removeRecord(int id) override;

private:
    static void makeRow(const ZnCap &cap, ZnTableRow &row);

    Ui::fCommonTableForm ui;
};
