#pragma once

#include "ShadowWidget.h"
#include "ZnOpenedFields.h"
#include "ui_fMicGroupEditDialog.h"

#include <QDialog>

class ZnMicGroup;

// Edits a copy of one microphone group (new when its id is 0): name, ring time,
// ring rule and the member Dsk81 consoles. Writes into the group only on OK.
class ZnMicGroupEditDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    explicit ZnMicGroupEditDialog(ZnMicGroup *group);

    Ui::fMicGroupEditDialog &form() { return ui; }

public slots:
    void slot_ok_clicked();
    void slot_stateChanged(int state);

private:
    void fillMembers();
    // The ids of the checked rows, in table order.
    QString checkedMembers() const;

    Ui::fMicGroupEditDialog ui;
    ZnMicGroup *group;
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
