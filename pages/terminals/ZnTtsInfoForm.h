#pragma once

#include "ZnTerListPage.h"
#include "ui_fCommonTableForm.h"

class ZnTts;

// Page of the text-to-speech units: follows the TTS list model, renames a unit
// through the name dialog and deletes offline units.
class ZnTtsInfoForm : public ZnTerListPage
{
    Q_OBJECT
public:
    ZnTtsInfoForm();

    QTableWidget *tableWidget() override { return ui.fCommonTableWidget; }
    Ui::fCommonTableForm &form() { return ui; }

    static QString statusName(int status);

public slots:
    void showTtsList();
    void slot_delTts(int id);
    void updateTTs(int id);
    void ttsTableSelected();
    void delTtsClicked();
    void slot_editTtsClicked();

protected:
    bool recordRow(int id, ZnTableRow &row) override;
    void editRecord(int id) override;
    int removeRecord(int id) override;

private:
    static void makeRow(const ZnTts &tts, ZnTableRow &row);

    Ui::fCommonTableForm ui;
};
