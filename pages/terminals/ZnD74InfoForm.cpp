#include "ZnD74InfoForm.h"

#include "ZnD74ListMgr.h"
#include "ZnD74SettingDialog.h"
#include "ZnTipsInfo.h"
#include "ZnVolumeStepper.h"

#include <QTableWidget>

namespace {
const int kVolumeColumn = 3;
const int kStatusEmergency = 7;
} // namespace

ZnD74InfoForm::ZnD74InfoForm(QWidget *parent) : ZnTerListPage(parent)
{
    setObjectName(QStringLiteral("ZnD74InfoForm"));
    ui.setupUi(this);
    stepper = new ZnVolumeStepper(ui.fVolumeSlider, ui.fDecVolumnBtn, ui.fAddVolumnBtn, this);
    ui.fEditBtn->setText(tr("Attribute"));
    ui.fConfigBtn->hide();
    ui.tableNameLable->setText(tr("Emergency Phone"));
    QTableWidget *t = ui.fCommonTableWidget;
    t->setColumnCount(8);
    t->setHorizontalHeaderLabels({ZnTipsInfo::nameText(), ZnTipsInfo::codeText(), ZnTipsInfo::statusText(),
                                  QStringLiteral("广播音量"), ZnTipsInfo::ipText(), tr("Move Mode"), tr("Color"),
                                  tr("Text Content")});
    initTable();
    deleteFailedText = tr("Delete Error!");
    // The row goes when the model announces the removal.
    dropRowOnRemoval = false;

    ZnD74ListMgr *model = ZnD74ListMgr::instance();
    connect(model, &ZnD74ListMgr::gotD74List, this, &ZnD74InfoForm::slot_showD74List);
    connect(model, &ZnD74ListMgr::d74Changed, this, &ZnD74InfoForm::slot_updateD74Row);
    connect(model, &ZnD74ListMgr::d74Deleted, this, &ZnD74InfoForm::slot_delD74Row);
    connect(ui.fVolumeSlider, &QSlider::valueChanged, this, &ZnD74InfoForm::slot_sliderChanged);
    connect(ui.fAddVolumnBtn, &QPushButton::released, this, &ZnD74InfoForm::addVolumnReleased);
    connect(ui.fAddVolumnBtn, &QPushButton::pressed, this, &ZnD74InfoForm::addVolumnPressed);
    connect(ui.fDecVolumnBtn, &QPushButton::released, this, &ZnD74InfoForm::decVolumnReleased);
    connect(ui.fDecVolumnBtn, &QPushButton::pressed, this, &ZnD74InfoForm::decVolumnPressed);
    connect(stepper, &ZnVolumeStepper::applyDue, this, &ZnD74InfoForm::doChangeVol);
    connect(stepper, &ZnVolumeStepper::releasedAt, this, &ZnD74InfoForm::sendSelectedVolume);
    connect(ui.fEditBtn, &QPushButton::clicked, this, &ZnD74InfoForm::slot_edit_clicked);
    connect(ui.fDelBtn, &QPushButton::clicked, this, &ZnD74InfoForm::slot_delete_clicked);
    connect(t, &QTableWidget::itemDoubleClicked, this, &ZnD74InfoForm::slot_edit_clicked);
    connect(t, &QTableWidget::itemClicked, this, &ZnD74InfoForm::widget_item_clicked);
    slot_showD74List();
}

QString ZnD74InfoForm::stateText(int status)
{
    return ZnTipsInfo::micStateText(status);
}

QString ZnD74InfoForm::colorText(int code)
{
    if (code == 28)
        return tr("Green");
    if (code == 252)
        return tr("Yellow");
    return tr("Red");
}

// Modes above 5 are no mode the display knows; they show their number.
QString ZnD74InfoForm::moveModeText(int mode)
{
    switch (mode < 2 ? 2 : mode) {
    case 2:
        return tr("Left Move");
    case 3:
        return tr("Right Move");
    case 4:
        return tr("Up Move");
    case 5:
        return tr("Down Move");
    default:
        return QString::number(mode);
    }
}

void ZnD74InfoForm::makeRow(const ZnMic &mic, ZnTableRow &row)
{
    row.addLocal(mic.name, mic.id);
    row.add(QString::number(mic.id), 0);
    row.add(stateText(mic.status), 0)->setForeground(mic.status == kStatusEmergency ? Qt::red : Qt::black);
    row.add(QString::number(mic.broVol), 0);
    row.addLocal(mic.ip, 0);
    row.add(moveModeText(mic.switchMode), 0);
    row.add(colorText(mic.ledColor), 0);
    row.addLocal(mic.ledTxt, 0);
}

bool ZnD74InfoForm::insertRecord(int id)
{
    ZnMic mic;
    return ZnD74ListMgr::instance()->findD74(id, mic) && insertRecordRow(&mic) == 0;
}

int ZnD74InfoForm::insertRecordRow(const ZnMic *mic)
{
    if (!mic)
        return -1;
    ZnTableRow row;
    makeRow(*mic, row);
    return insertTop(row);
}

int ZnD74InfoForm::writeRecordRow(int row, const ZnMic *mic)
{
    if (!mic)
        return -1;
    ZnTableRow cells;
    makeRow(*mic, cells);
    delete cells.take(1); // the code column keeps its text
    ZnTableFill::writeRow(tableWidget(), row, cells);
    return 0;
}

void ZnD74InfoForm::updateRow(int row, int id)
{
    ZnMic mic;
    if (ZnD74ListMgr::instance()->findD74(id, mic))
        writeRecordRow(row, &mic);
}

void ZnD74InfoForm::slot_showD74List()
{
    // The model hands out a copy, so the walk needs no lock.
    refillAtTop(ZnD74ListMgr::instance()->micList(), [this](const ZnMic &mic) { insertRecordRow(&mic); });
}

void ZnD74InfoForm::slot_updateD74Row(int id)
{
    redrawOrAdd(id);
}

void ZnD74InfoForm::slot_delD74Row(int id)
{
    dropRow(id);
}

void ZnD74InfoForm::slot_edit_clicked()
{
    editCurrent();
}

void ZnD74InfoForm::slot_delete_clicked()
{
    deleteSelected();
}

void ZnD74InfoForm::widget_item_clicked(QTableWidgetItem *)
{
    QTableWidget *t = tableWidget();
    if (const QTableWidgetItem *cell = t->item(t->currentRow(), kVolumeColumn))
        ui.fVolumeSlider->setValue(int(cell->text().toUInt()));
}

void ZnD74InfoForm::addVolumnReleased()
{
    stepper->released();
}

void ZnD74InfoForm::addVolumnPressed()
{
    stepper->increasePressed();
}

void ZnD74InfoForm::decVolumnPressed()
{
    stepper->decreasePressed();
}

void ZnD74InfoForm::decVolumnReleased()
{
    stepper->released();
}

void ZnD74InfoForm::doChangeVol()
{
    stepper->stopTimers();
    sendSelectedVolume(ui.fVolumeSlider->value());
}

void ZnD74InfoForm::slot_sliderChanged(int value)
{
    stepper->setLastValue(value);
}

void ZnD74InfoForm::sendSelectedVolume(int volume)
{
    // Ids first: a failure box or a push may redraw the table between requests.
    for (int id : selectedIds())
        setRowVolume(id, volume);
}

bool ZnD74InfoForm::setRowVolume(int id, int volume)
{
    ZnD74ListMgr *model = ZnD74ListMgr::instance();
    ZnMic mic;
    if (!model->findD74(id, mic))
        return false;
    mic.broVol = volume;
    if (model->modifyD74(mic, ZnD74ListMgr::NameAndVolume) != 0) {
        tell(tr("Setting Error!"));
        return false;
    }
    QTableWidget *t = tableWidget();
    if (QTableWidgetItem *cell = t->item(findRowById(id), kVolumeColumn))
        cell->setText(QString::number(volume));
    ui.fVolumeSlider->setValue(volume);
    return true;
}

void ZnD74InfoForm::editRecord(int id)
{
    ZnD74ListMgr *model = ZnD74ListMgr::instance();
    ZnMic edited;
    if (!model->findD74(id, edited))
        return;
    ZnD74SettingDialog dialog(&edited);
    // The display settings as stored now, a push while the dialog was open included.
    ZnMic before;
    if (dialog.exec() == 0 || !rowStillShown(id) || !model->findD74(id, before))
        return;
    if (model->modifyD74(edited, ZnD74ListMgr::TalkSettings) != 0) {
        tell(tr("Setting Error!"));
        return;
    }
    if (dialog.form().fCallConfigGroupBox->isChecked() && model->setBtnCalls(dialog.buttonCall()) != 0) {
        tell(tr("Button Call Config Setting Error!"));
        return;
    }
    if (edited.ledColor == before.ledColor && edited.switchMode == before.switchMode
        && edited.displayTime == before.displayTime && edited.ledTxt == before.ledTxt)
        return;
    if (model->modifyD74(edited, ZnD74ListMgr::LedSettings) != 0)
        tell(tr("Led Config Setting Error!"));
}

int ZnD74InfoForm::removeRecord(int id)
{
    ZnMic mic;
    if (!ZnD74ListMgr::instance()->findD74(id, mic))
        return RecordGone;
    if (!isNull(mic.status))
        return RecordOnline;
    return ZnD74ListMgr::instance()->removeD74(mic);
}
