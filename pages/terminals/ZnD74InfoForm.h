#pragma once

#include "ZnTerListPage.h"
#include "ui_fD74TableForm.h"

class QTableWidgetItem;
class ZnMic;
class ZnVolumeStepper;

// Page of the D74 emergency microphones: follows the D74 list model, sets the
// external speaker's broadcast volume of the selected terminals and commits the
// setting dialog's result.
class ZnD74InfoForm : public ZnTerListPage
{
    Q_OBJECT
public:
    explicit ZnD74InfoForm(QWidget *parent = nullptr);

    QTableWidget *tableWidget() override { return ui.fCommonTableWidget; }
    void updateRow(int row, int id) override;
    Ui::fD74TableForm &form() { return ui; }
    ZnVolumeStepper *volume() const { return stepper; }

    int insertRecordRow(const ZnMic *mic);
    int writeRecordRow(int row, const ZnMic *mic);
    // Sends the volume to the terminal of that id; true when the server took it.
    bool setRowVolume(int id, int volume);
    void sendSelectedVolume(int volume);

    static QString stateText(int status);
    static QString colorText(int code);
    static QString moveModeText(int mode);

public slots:
    void slot_showD74List();
    void slot_updateD74Row(int id);
    void slot_delD74Row(int id);
    void slot_edit_clicked();
    void slot_delete_clicked();
    void widget_item_clicked(QTableWidgetItem *item);
    // The volume buttons and the slider drive the stepper that the player page
    // shares; it holds the repeat and send timers.
    void addVolumnReleased();
    void addVolumnPressed();
    void decVolumnPressed();
    void decVolumnReleased();
    void doChangeVol();
    void slot_sliderChanged(int value);

protected:
    bool insertRecord(int id) override;
    void editRecord(int id) override;
    int removeRecord(int id) override;

private:
    static void makeRow(const ZnMic &mic, ZnTableRow &row);

    Ui::fD74TableForm ui;
    ZnVolumeStepper *stepper;
};
