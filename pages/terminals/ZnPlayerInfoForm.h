#pragma once

#include "ZnTermTbCtrl.h"
#include "ui_playerInfoForm.h"

#include <QWidget>

#include <memory>

class ZnColumnFit;
class ZnTableRow;
class ZnVolumeStepper;

// Page of the play terminals (IP players and amplifiers), one row per terminal
// in ascending id order: volume, amplifier switch, rename, delete and speaker
// check of the selected terminals, and the transport, default-setting and
// amplifier-threshold dialogs. The transport, default-setting and speaker-check
// buttons and the speaker column are built hidden, and no control opens the
// threshold dialog; the operations behind them are here for when they are shown.
class ZnPlayerInfoForm : public QWidget, public ZnTermTbCtrl
{
    Q_OBJECT
public:
    enum Column {
        KindColumn,
        NameColumn,
        IdColumn,
        VolumeColumn,
        WorkColumn,
        AmpColumn,
        TempColumn,
        SpeakerColumn,
        IpColumn,
        ColumnCount
    };

    ZnPlayerInfoForm();
    ~ZnPlayerInfoForm() override;

    QWidget *widget() override { return this; }
    QTableWidget *tableWidget() override { return ui.fTerListViewWidget; }
    void updateRow(int row, int id) override;
    void initColumns() override {}
    int fillRow(const ZnTerminal &terminal) override { return insertRecordRow(&terminal); }

    Ui::playerInfoForm &form() { return ui; }
    ZnVolumeStepper *volume() const { return stepper; }
    // Keeps the name column as wide as the widest name of all rows (or its
    // header); after a list it may still be measuring the rows out of view.
    ZnColumnFit *nameColumnFit() const { return nameFit.get(); }

    // A new row at its place in id order; -1 for a null record.
    int insertRecordRow(const ZnTerminal *terminal);
    int writeRecordRow(int row, const ZnTerminal *terminal);
    // The row of that id, -1 without one; rows stand in ascending id order.
    int rowOf(int id);
    // Sends the volume to the terminal of that id; true when the server took it.
    bool setRowVolume(int id, int volume);
    // Sends the record's name and volume; a refusal is shown and returned.
    int commitTerminal(const ZnTerminal &terminal);

    static QString terminalKindText(int typeNumber);
    static QString workStateText(int status);
    static QString speakerText(int state);

public slots:
    void showTerminals();
    // Nothing: the model's deleted signal is not followed (a removal the page
    // made drops its row, any other shows with the next list).
    void delTer(int id);
    void updateTer(int id);
    void slot_delError();
    void slot_tableItemSelected();
    void slot_setTermClicked();
    void slot_delTermClicked();
    void openAmpClicked();
    void closeAmpClicked();
    // The volume buttons and the slider drive the shared stepper, which holds
    // the repeat and apply timers.
    void addVolumnReleased();
    void addVolumnPressed();
    void decVolumnPressed();
    void decVolumnReleased();
    void defaultSetClicked();
    void tcpModeClicked();
    void progressVolumnChange(int volume);
    void ampTmptSetClick();
    void speakerCheckClicked();
    // Nothing: no control of the page asks for them.
    void setSpeakerEn();
    void offAmpSet();
    void doChangeVol();
    void slot_sliderChanged(int value);

private:
    struct CellTexts;
    void initView();
    void refillTerminals();
    void makeRow(const ZnTerminal &terminal, ZnTableRow &row) const;
    static void makeRow(const CellTexts &texts, const ZnTerminal &terminal, ZnTableRow &row);
    void connectSignals();
    void switchAmps(bool on);
    // Sends each record as the whole terminal setting; tells once when any was refused.
    void sendSettings(const QList<ZnTerminal> &records);
    static void tell(const QString &text);

    Ui::playerInfoForm ui;
    ZnVolumeStepper *stepper;
    bool refillQueued = false;
    // Destroyed before the table: it follows the table's model to the end.
    std::unique_ptr<ZnColumnFit> nameFit;
};
