#pragma once

#include "ShadowWidget.h"
#include "ZnKeptEntries.h"
#include "ZnOpenedFields.h"
#include "ZnSelectTableCtrl.h"
#include "ui_fD82SettingForm.h"

#include <QDialog>
#include <QStringList>

#include <string>

class ZnD82;

// Renames one D82 device and edits its three books on the server: the contacts
// it may call, the plan tasks it may start and the regions it may broadcast to.
// The books are read once, when the dialog is built; a book is sent back only
// when it was read and then changed, so a failed read never wipes the server's
// book.
class ZnD82SettingDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    // Book request types: queries and changes.
    enum { CallBook = 282, SourceBook = 285, RegionBook = 287, SetCalls = 284, SetSources = 286, SetRegions = 288 };

    // The dialog writes the new name into device, which outlives it.
    explicit ZnD82SettingDialog(ZnD82 *device);

    Ui::fD82SettingForm &form() { return ui; }

public slots:
    void slot_ok_clicked();

private:
    struct CheckRow
    {
        std::string name;
        int id;
        std::string type;
    };

    bool commitBase();
    bool commitContactList();
    bool commitSourceTasks();
    bool commitRegionConfig();
    bool commitBook(const ZnSelectTableCtrl &control, QTableWidget *table, int type, bool typed,
                    const ZnKeptEntries &kept, const QString &failure);
    bool loadBook(int type);
    void loadContactList();
    void loadSourceTasks();
    void loadRegionConfig();
    void appendCheckRow(QTableWidget *table, int checkState, const CheckRow &row);
    static void tell(const QString &text);

    Ui::fD82SettingForm ui;
    ZnD82 *device;
    ZnSelectTableCtrl contacts;
    ZnSelectTableCtrl sources;
    ZnSelectTableCtrl regions;
    // The books as read (whether they were read at all); entries no row lists
    // go back after the checked rows.
    ZnKeptEntries keptContacts{ZnKeptEntries::Contacts};
    ZnKeptEntries keptSources{ZnKeptEntries::Sources};
    ZnKeptEntries keptRegions{ZnKeptEntries::Regions};
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
