#pragma once

#include "ShadowWidget.h"
#include "ZnOpenedFields.h"
#include "ui_fRegionEditDialog.h"

#include <QDialog>

#include <string>

class ZnRegion;

// Names a region and picks its terminals among the play terminals, D72 and D74
// consoles. Members no list offers keep a checked row of their own, so saving
// loses none the operator did not uncheck; a region holding a member stored as
// no number the console keeps is not saved at all.
class ZnRegionEditDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    explicit ZnRegionEditDialog(ZnRegion *region);

    Ui::fRegionEditDialog &form() { return ui; }

public slots:
    void slot_ok_clicked();
    void slot_stateChanged(int state);

private:
    void addRow(const std::string &name, int id, const std::string &type, const std::string &ip);
    bool listed(int id) const;
    // The ids of the checked rows, in table order.
    QString checkedIds() const;

    Ui::fRegionEditDialog ui;
    ZnRegion *region;
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
