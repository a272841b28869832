#include "ZnD74SettingDialog.h"

#include "BaseMessageDialog.h"
#include "ZnD74ListMgr.h"
#include "ZnTalkSetting.h"
#include "ZnTipsInfo.h"

#include <QButtonGroup>
#include <QIcon>

#include <algorithm>

using namespace ZnTalkSetting;

namespace {
// The first move mode the display has; a stored mode below it reads as it.
const int kLeftMove = 2;
} // namespace

ZnD74SettingDialog::ZnD74SettingDialog(ZnMic *r) : record(r)
{
    ui.setupUi(this);
    initBaseConfig();
    initConnections();
    loadCallConfig();
    ui.fCallConfigGroupBox->setChecked(false);
}

void ZnD74SettingDialog::initConnections()
{
    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnD74SettingDialog::slot_ok_clicked);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnD74SettingDialog::reject);
    connect(ui.dialogCloseBtn, &QPushButton::clicked, this, &ZnD74SettingDialog::close);
    linkVolumes(ui);
    connect(ui.fBlueGroupCheckBox, &QCheckBox::stateChanged, this, &ZnD74SettingDialog::slot_setBlueGroupStateChanged);
    connect(ui.fBlueMicCheckBox, &QCheckBox::stateChanged, this, &ZnD74SettingDialog::slot_setBlueMicStateChanged);
}

void ZnD74SettingDialog::initBaseConfig()
{
    setMouseTracking(true);
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    setWindowTitle(tr("Mic Setting"));
    ui.titleNameLabel->setText(tr("Mic Setting"));
    ui.dialogCloseBtn->setFixedSize(23, 25);
    if (record)
        loadBase(ui, *record, opened);
    loadLedConfig();
    auto *key = new QButtonGroup(this);
    key->addButton(ui.fBlueGroupCheckBox, 1);
    key->addButton(ui.fBlueMicCheckBox, 2);
    ui.fBlueGroupComboBox->setEnabled(false);
    ui.fBlueMicComboBox->setEnabled(false);
}

void ZnD74SettingDialog::loadLedConfig()
{
    if (!record)
        return;
    setName(ui.fDispTextLineEdit, record->ledTxt);
    ui.fSwitchTimeSpinBox->setRange(1, 255);
    ui.fSwitchTimeSpinBox->setValue(record->displayTime);
    ui.fMoveComboBox->addItem(tr("Left Move"), 2);
    ui.fMoveComboBox->addItem(tr("Right Move"), 3);
    ui.fMoveComboBox->addItem(tr("Up Move"), 4);
    ui.fMoveComboBox->addItem(tr("Down Move"), 5);
    // The stored mode goes back as it is (one none of the four shows as the first)
    // unless the operator picks a mode: OK alone must not move the display. A
    // mode below 2 is the left move, and OK writes it as such.
    if (!selectId(ui.fMoveComboBox, std::max(record->switchMode, kLeftMove)))
        ui.fMoveComboBox->setCurrentIndex(0);
    keepStoredMode = true;
    connect(ui.fMoveComboBox, QOverload<int>::of(&QComboBox::activated), this, [this] { keepStoredMode = false; });
    auto *colours = new QButtonGroup(this);
    colours->addButton(ui.fRedColorCheckBox, 1);
    colours->addButton(ui.fGreenColorCheckBox, 2);
    colours->addButton(ui.fYellowColorCheckBox, 3);
    ui.fRedColorCheckBox->setChecked(record->ledColor == Red);
    ui.fGreenColorCheckBox->setChecked(record->ledColor == Green);
    ui.fYellowColorCheckBox->setChecked(record->ledColor == Yellow);
    opened.note({ui.fDispTextLineEdit, ui.fSwitchTimeSpinBox, ui.fRedColorCheckBox, ui.fGreenColorCheckBox,
                 ui.fYellowColorCheckBox});
}

void ZnD74SettingDialog::loadCallConfig()
{
    ZnD74ListMgr *model = ZnD74ListMgr::instance();
    if (!record || model->requestBtnCalls(*record) < 0)
        return;
    fillServerMics({ui.fBlueMicComboBox});
    fillGroups({ui.fBlueGroupComboBox});
    // Only this terminal's calls: the model keeps them per console.
    std::list<ZnMicBtnCall> calls;
    model->btnCalls(record->id, calls);
    for (const ZnMicBtnCall &call : calls) {
        if (call.startCall != startCallName)
            continue;
        if (call.dsk81Id != 0) {
            ui.fBlueMicCheckBox->setChecked(true);
            selectId(ui.fBlueMicComboBox, call.dsk81Id);
        } else {
            ui.fBlueGroupCheckBox->setChecked(true);
            selectId(ui.fBlueGroupComboBox, call.groupId);
        }
    }
}

void ZnD74SettingDialog::slot_setBlueGroupStateChanged(int)
{
    ui.fBlueGroupComboBox->setEnabled(ui.fBlueGroupCheckBox->isChecked());
}

void ZnD74SettingDialog::slot_setBlueMicStateChanged(int)
{
    ui.fBlueMicComboBox->setEnabled(ui.fBlueMicCheckBox->isChecked());
}

void ZnD74SettingDialog::slot_ok_clicked()
{
    // Fields left alone send what the model holds now: a push while the dialog
    // was open must not be undone by OK.
    if (record)
        ZnD74ListMgr::instance()->findD74(record->id, *record);
    if (!saveBaseConfig())
        return;
    saveButtonCall();
    saveLedConfig();
    accept();
}

bool ZnD74SettingDialog::saveBaseConfig()
{
    if (record && !saveBase(ui, *record, opened)) {
        BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), tr("The name cannot be empty!"), 1);
        box.exec();
        return false;
    }
    return true;
}

void ZnD74SettingDialog::saveButtonCall()
{
    if (!record || !ui.fCallConfigGroupBox->isChecked())
        return;
    btnCall.terminalId = record->id;
    btnCall.startCall = startCallName;
    btnCall.stopCall = stopCallName;
    btnCall.dsk81Id = chosenId(ui.fBlueMicCheckBox, ui.fBlueMicComboBox);
    btnCall.groupId = chosenId(ui.fBlueGroupCheckBox, ui.fBlueGroupComboBox);
}

void ZnD74SettingDialog::saveLedConfig()
{
    if (!record)
        return;
    // A switch time outside 1 to 255 or a text that is no UTF-8 stays as stored
    // while its field is left alone.
    opened.write(ui.fDispTextLineEdit, record->ledTxt, ui.fDispTextLineEdit->text().toLocal8Bit().toStdString());
    opened.write(ui.fSwitchTimeSpinBox, record->displayTime, ui.fSwitchTimeSpinBox->value());
    if (!keepStoredMode)
        record->switchMode = ui.fMoveComboBox->currentIndex() < 0 ? 0 : ui.fMoveComboBox->currentData().toInt();
    else if (record->switchMode < kLeftMove)
        record->switchMode = kLeftMove;
    if (!opened.changed({ui.fRedColorCheckBox, ui.fGreenColorCheckBox, ui.fYellowColorCheckBox}))
        return;
    if (ui.fRedColorCheckBox->isChecked())
        record->ledColor = Red;
    else if (ui.fGreenColorCheckBox->isChecked())
        record->ledColor = Green;
    else if (ui.fYellowColorCheckBox->isChecked())
        record->ledColor = Yellow;
}
