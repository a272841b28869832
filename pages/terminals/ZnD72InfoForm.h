#pragma once

#include "ZnTerListPage.h"
#include "ui_fCommonTableForm.h"

class ZnMic;

// Page of the D72 call microphones: follows the D72 list model and commits the
// setting dialog's result, the name and volumes first, then the key calls.
class ZnD72InfoForm : public ZnTerListPage
{
    Q_OBJECT
public:
    explicit ZnD72InfoForm(QWidget *parent = nullptr);

    QTableWidget *tableWidget() override { return ui.fCommonTableWidget; }
    void updateRow(int row, int id) override;
    Ui::fCommonTableForm &form() { return ui; }

    int insertRecordRow(const ZnMic *mic);
    int writeRecordRow(int row, const ZnMic *mic);

    static QString flagText(int flag);

public slots:
    void slot_showD72List();
    void slot_updateD72Row(int id);
    void slot_delD72Row(int id);
    void slot_edit_clicked();
    void slot_delete_clicked();

protected:
    bool insertRecord(int id) override;
    void editRecord(int id) override;
    int removeRecord(int id) override;

private:
    static void makeRow(const ZnMic &mic, ZnTableRow &row);

    Ui::fCommonTableForm ui;
};
