#pragma once

#include "ShadowWidget.h"
#include "ZnKeptEntries.h"
#include "ZnOpenedFields.h"
#include "ZnSelectTableCtrl.h"
#include "ui_fD81SettingForm.h"

#include <QDialog>
#include <QList>

class ZnMic;

// Renames one Dsk81 console, sets its volumes and push-to-talk mode, and edits
// three of its books on the server: the terminals it may monitor, its ordered
// audio sources and the regions it may broadcast to. The books are read once,
// when the dialog is built; a book is sent back only when it was read and then
// changed, so a failed read never wipes the server's book.
class ZnD81SettingDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    // Book request types: queries and changes.
    enum {
        MonitorBook = 272,
        SetMonitors = 273,
        SourceBook = 274,
        SetSources = 275,
        RegionBook = 276,
        SetRegions = 277
    };

    // The dialog writes name, volumes and mode into mic, which outlives it.
    explicit ZnD81SettingDialog(ZnMic *mic);

    Ui::fD81SettingForm &form() { return ui; }

public slots:
    void slot_ok_clicked();
    void moveup_broad_file();
    void movedown_broad_file();
    void slot_delSelectedSsTask();
    void slot_delSelectedSsTask(int row, int column);
    void slot_addSsPlan(int row, int column);
    void slot_addAllSelectedPlan();

private:
    bool commitBase();
    bool commitMonitorList();
    bool commitSsTaskList();
    bool commitRegionList();
    bool sendBook(int type, const ZnKeptEntries &kept, const QStringList &items, const QString &failure);
    bool loadBook(int type);
    void loadMonitorList();
    void loadSsTasks();
    void loadRegionList();
    void appendSelectedTask(const QString &name, int id);
    static void appendTask(QTableWidget *table, const QString &name, int id);
    QList<int> selectedSourceIds() const;
    void swapSources(int row, int other);
    static void tell(const QString &text, const QString &title);

    Ui::fD81SettingForm ui;
    ZnMic *mic;
    ZnSelectTableCtrl contacts;
    ZnSelectTableCtrl transfers;
    ZnSelectTableCtrl groups;
    ZnSelectTableCtrl monitors;
    ZnSelectTableCtrl regions;
    // The monitor and region books as read (whether they were read at all);
    // entries no row lists go back after the checked rows.
    ZnKeptEntries keptMonitors{ZnKeptEntries::Monitors};
    ZnKeptEntries keptRegions{ZnKeptEntries::Regions};
    // The audio-source book as read; a source the dialog does not offer keeps its
    // place in the play order.
    ZnKeptEntries keptSources{ZnKeptEntries::Sources};
    // The chosen sources as read, to tell a source book left alone.
    QList<int> sourcesAsRead;
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
