#pragma once

#include "ShadowWidget.h"
#include "ZnOpenedFields.h"
#include "ui_fSetCapForm.h"

#include <QDialog>

class ZnCap;

// Edits a capture unit's name, capture volume and sample rate in the caller's copy.
class ZnSetCapDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    ZnSetCapDialog();

    void setCap(ZnCap *cap);
    Ui::fSetCapForm &form() { return ui; }

public slots:
    void accept() override;

private:
    Ui::fSetCapForm ui;
    ZnCap *cap = nullptr;
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
