#include "ZnD72SettingDialog.h"

#include "BaseMessageDialog.h"
#include "ZnD72ListMgr.h"
#include "ZnTalkSetting.h"
#include "ZnTipsInfo.h"

#include <QButtonGroup>
#include <QIcon>

using namespace ZnTalkSetting;

namespace {
const char *const kAlarmStart = "BackupShortPress";
const char *const kAlarmStop = "BackupLongPress";
} // namespace

ZnD72SettingDialog::ZnD72SettingDialog(ZnMic *r) : record(r)
{
    ui.setupUi(this);
    // In the order the calls are sent: middle, left, right.
    keys[0] = {ui.fBlueGroupCheckBox, ui.fBlueGroupComboBox, ui.fBlueMicCheckBox,
               ui.fBlueMicComboBox,   "ButtonPopUp",         "ButtonLongPress"};
    keys[1] = {ui.fRedLeftGroupCBox, ui.fRedLeftGroupCombo, ui.fRedLeftMicCb,
               ui.fRedLeftMicCombo,  "AlarmShortPress",     "AlarmLongPress"};
    keys[2] = {ui.fRedRightGroupCBox, ui.fRedRightGroupCombo, ui.fRedRightMicCb,
               ui.fRedRightMicCombo,  "Alarm2ShortPress",     "Alarm2LongPress"};
    initBaseConfig();
    initConnections();
    loadCallConfig();
    // The form's size and minimum, grown where its contents need more: no text
    // is cut, at any font.
    setMinimumSize(minimumSize().expandedTo(minimumSizeHint()));
    resize(size().expandedTo(minimumSize()));
}

void ZnD72SettingDialog::initBaseConfig()
{
    setMouseTracking(true);
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    setWindowTitle(tr("Mic Setting"));
    ui.titleNameLabel->setText(tr("Mic Setting"));
    if (record)
        loadBase(ui, *record, opened);
    ui.fCallConfigGroupBox->setChecked(false);
    for (const Key &key : keys) {
        auto *group = new QButtonGroup(this);
        group->addButton(key.groupBox, 1);
        group->addButton(key.micBox, 2);
        key.groupList->setEnabled(false);
        key.micList->setEnabled(false);
    }
    ui.fCloseAlarmradioButton->setChecked(true);
    ui.dialogCloseBtn->setFixedSize(23, 25);
}

void ZnD72SettingDialog::initConnections()
{
    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnD72SettingDialog::slot_ok_clicked);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnD72SettingDialog::reject);
    connect(ui.dialogCloseBtn, &QPushButton::clicked, this, &ZnD72SettingDialog::close);
    linkVolumes(ui);
    connect(ui.fRedLeftGroupCBox, &QCheckBox::stateChanged, this,
            &ZnD72SettingDialog::slot_setRedLeftGroupStateChanged);
    connect(ui.fRedLeftMicCb, &QCheckBox::stateChanged, this, &ZnD72SettingDialog::slot_setRedLeftMicStateChanged);
    connect(ui.fRedRightGroupCBox, &QCheckBox::stateChanged, this,
            &ZnD72SettingDialog::slot_setRedRightGroupStateChanged);
    connect(ui.fRedRightMicCb, &QCheckBox::stateChanged, this, &ZnD72SettingDialog::slot_setRedRightMicStateChanged);
    connect(ui.fBlueGroupCheckBox, &QCheckBox::stateChanged, this, &ZnD72SettingDialog::slot_setBlueGroupStateChanged);
    connect(ui.fBlueMicCheckBox, &QCheckBox::stateChanged, this, &ZnD72SettingDialog::slot_setBlueMicStateChanged);
}

void ZnD72SettingDialog::loadCallConfig()
{
    ZnD72ListMgr *model = ZnD72ListMgr::instance();
    if (!record || model->requestBtnCalls(*record) < 0)
        return;
    const QList<QComboBox *> micLists{ui.fBlueMicComboBox, ui.fRedLeftMicCombo, ui.fRedRightMicCombo};
    fillServerMics(micLists);
    fillD82(micLists);
    fillGroups({ui.fBlueGroupComboBox, ui.fRedLeftGroupCombo, ui.fRedRightGroupCombo});
    // Only this terminal's calls: the model keeps them per console.
    std::list<ZnMicBtnCall> calls;
    model->btnCalls(record->id, calls);
    for (const ZnMicBtnCall &call : calls) {
        if (call.startCall == kAlarmStart) {
            ui.fOpenAlarmRadioButton->setChecked(true);
            continue;
        }
        for (const Key &key : keys) {
            if (call.startCall != key.startCall)
                continue;
            if (call.dsk81Id != 0) {
                key.micBox->setChecked(true);
                selectId(key.micList, call.dsk81Id);
            } else {
                key.groupBox->setChecked(true);
                selectId(key.groupList, call.groupId);
            }
        }
    }
}

#define ZN_ENABLE_SLOT(slot, box, list)                                                                                \
    void ZnD72SettingDialog::slot(int)                                                                                 \
    {                                                                                                                  \
        ui.list->setEnabled(ui.box->isChecked());                                                                      \
    }
ZN_ENABLE_SLOT(slot_setRedLeftGroupStateChanged, fRedLeftGroupCBox, fRedLeftGroupCombo)
ZN_ENABLE_SLOT(slot_setRedLeftMicStateChanged, fRedLeftMicCb, fRedLeftMicCombo)
ZN_ENABLE_SLOT(slot_setRedRightGroupStateChanged, fRedRightGroupCBox, fRedRightGroupCombo)
ZN_ENABLE_SLOT(slot_setRedRightMicStateChanged, fRedRightMicCb, fRedRightMicCombo)
ZN_ENABLE_SLOT(slot_setBlueGroupStateChanged, fBlueGroupCheckBox, fBlueGroupComboBox)
ZN_ENABLE_SLOT(slot_setBlueMicStateChanged, fBlueMicCheckBox, fBlueMicComboBox)
#undef ZN_ENABLE_SLOT

ZnMicBtnCall ZnD72SettingDialog::keyCall(const Key &key) const
{
    ZnMicBtnCall call;
    call.terminalId = record->id;
    call.startCall = key.startCall;
    call.stopCall = key.stopCall;
    call.dsk81Id = chosenId(key.micBox, key.micList);
    call.groupId = chosenId(key.groupBox, key.groupList);
    return call;
}

void ZnD72SettingDialog::slot_ok_clicked()
{
    if (!record)
        return;
    // Fields left alone send what the model holds now: a push while the dialog
    // was open must not be undone by OK.
    ZnD72ListMgr::instance()->findD72(record->id, *record);
    if (!saveBase(ui, *record, opened)) {
        BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), tr("The name cannot be empty!"), 1);
        box.exec();
        return;
    }
    // A second OK (the dialog stays open only on a refused name) must not add them twice.
    btnCalls.clear();
    if (ui.fCallConfigGroupBox->isChecked()) {
        for (const Key &key : keys)
            btnCalls.push_back(keyCall(key));
        ZnMicBtnCall alarm;
        alarm.terminalId = record->id;
        if (ui.fOpenAlarmRadioButton->isChecked()) {
            alarm.startCall = kAlarmStart;
            alarm.stopCall = kAlarmStop;
        }
        btnCalls.push_back(alarm);
    }
    accept();
}
