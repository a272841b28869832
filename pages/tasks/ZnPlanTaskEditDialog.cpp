#include "ZnPlanTaskEditDialog.h"

#include <QIcon>

namespace {
ZnTaskSourceWidgets sourceWidgets(Ui::fTaskEditDialog &ui)
{
    return ZnTaskSourceWidgets{
        ui.fNameEdit,          ui.fVolSlider,         ui.fVolSpinBox,         ui.fPlayTimeCheckBox, ui.fPlayTimeEdit,
        ui.fPlayCountCheckBox, ui.fPlayCountLineEdit, ui.fTypeComboBox,       ui.fStackedWidget,    ui.fFileTableWidget,
        ui.fPlayTableWidget,   ui.fCapTableWidget,    ui.fTtsContentTextEdit, ui.fSizeLabel};
}
} // namespace

ZnPlanTaskEditDialog::ZnPlanTaskEditDialog(ZnSsTask *t) : task(t), sourceCtrl((ui.setupUi(this), sourceWidgets(ui)), t)
{
    setMouseTracking(true);
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    const bool fresh = task->Id == 0;
    setWindowTitle(fresh ? tr("New") : tr("Edit"));
    ui.titleNameLabel->setText(fresh ? tr("New Sound Source Task") : tr("Sound Source Task Edit"));
    sourceCtrl.fill();
    ui.dialogCloseBtn->setFixedSize(23, 25);

    connect(ui.fOkBtn, SIGNAL(clicked()), this, SLOT(slot_okClicked()));
    connect(ui.fCancelBtn, SIGNAL(clicked()), this, SLOT(reject()));
    connect(ui.dialogCloseBtn, SIGNAL(clicked()), this, SLOT(close()));
    connect(ui.fFileTableWidget, SIGNAL(cellDoubleClicked(int, int)), this, SLOT(slot_addPlayFile(int, int)));
    connect(ui.fPlayTableWidget, SIGNAL(cellDoubleClicked(int, int)), this, SLOT(slot_delPlayFile(int, int)));
    sourceCtrl.connectDialog(this);
}

void ZnPlanTaskEditDialog::slot_addPlayFile(int, int)
{
    sourceCtrl.addSelectedFiles();
}

void ZnPlanTaskEditDialog::slot_delPlayFile(int row, int)
{
    sourceCtrl.removePlayRow(row);
}

void ZnPlanTaskEditDialog::slot_okClicked()
{
    sourceCtrl.takeStoredTask();
    if (!sourceCtrl.writeName(tr("The name cannot be empty!"))
        || !sourceCtrl.writePlayAmount(tr("Play times or counts must be selected!"), tr("Play time con't be 0!"),
                                       tr("Play counts con't be 0!"))
        || !sourceCtrl.writeSource(tr("Please select play file!"), tr("Please select terminal!"),
                                   tr("Tts content can't be empty!")))
        return;
    accept();
}

void ZnPlanTaskEditDialog::slot_stateChanged(int state)
{
    sourceCtrl.setMediaChecks(state);
}
