#include "ZnD72InfoForm.h"

#include "ZnD72ListMgr.h"
#include "ZnD72SettingDialog.h"
#include "ZnTipsInfo.h"

#include <QTableWidget>

ZnD72InfoForm::ZnD72InfoForm(QWidget *parent) : ZnTerListPage(parent)
{
    setObjectName(QStringLiteral("ZnD72InfoForm"));
    ui.setupUi(this);
    ui.fNewBtn->hide();
    ui.fConfigBtn->hide();
    ui.fEditBtn->setText(tr("Attribute"));
    ui.tableNameLable->setText(tr("Call Mic"));
    QTableWidget *t = ui.fCommonTableWidget;
    t->setColumnCount(6);
    t->setHorizontalHeaderLabels({ZnTipsInfo::nameText(), ZnTipsInfo::codeText(), ZnTipsInfo::isAecText(),
                                  ZnTipsInfo::isPptText(), ZnTipsInfo::statusText(), ZnTipsInfo::ipText()});
    initTable();
    deleteFailedText = tr("Delete Error!");
    // The row goes when the model announces the removal.
    dropRowOnRemoval = false;

    ZnD72ListMgr *model = ZnD72ListMgr::instance();
    connect(model, &ZnD72ListMgr::gotD72List, this, &ZnD72InfoForm::slot_showD72List);
    connect(model, &ZnD72ListMgr::d72Changed, this, &ZnD72InfoForm::slot_updateD72Row);
    connect(model, &ZnD72ListMgr::d72Deleted, this, &ZnD72InfoForm::slot_delD72Row);
    connect(ui.fEditBtn, &QPushButton::clicked, this, &ZnD72InfoForm::slot_edit_clicked);
    connect(ui.fDelBtn, &QPushButton::clicked, this, &ZnD72InfoForm::slot_delete_clicked);
    connect(t, &QTableWidget::itemDoubleClicked, this, &ZnD72InfoForm::slot_edit_clicked);
    slot_showD72List();
}

QString ZnD72InfoForm::flagText(int flag)
{
    return flag >= 1 ? tr("Yes") : tr("No");
}

void ZnD72InfoForm::makeRow(const ZnMic &mic, ZnTableRow &row)
{
    row.addLocal(mic.name, mic.id);
    row.add(QString::number(mic.id), 0);
    row.add(flagText(mic.aec), 0);
    row.add(flagText(mic.ppt), 0);
    row.add(ZnTipsInfo::micStateText(mic.status), 0)->setForeground(mic.status == 7 ? Qt::red : Qt::black);
    row.addLocal(mic.ip, 0);
}

bool ZnD72InfoForm::insertRecord(int id)
{
    ZnMic mic;
    return ZnD72ListMgr::instance()->findD72(id, mic) && insertRecordRow(&mic) == 0;
}

int ZnD72InfoForm::insertRecordRow(const ZnMic *mic)
{
    if (!mic)
        return -1;
    ZnTableRow row;
    makeRow(*mic, row);
    return insertTop(row);
}

int ZnD72InfoForm::writeRecordRow(int row, const ZnMic *mic)
{
    if (!mic)
        return -1;
    ZnTableRow cells;
    makeRow(*mic, cells);
    // Code, AEC and PPT keep what the row was inserted with.
    for (int column : {1, 2, 3})
        delete cells.take(column);
    ZnTableFill::writeRow(tableWidget(), row, cells);
    return 0;
}

void ZnD72InfoForm::updateRow(int row, int id)
{
    ZnMic mic;
    if (ZnD72ListMgr::instance()->findD72(id, mic))
        writeRecordRow(row, &mic);
}

void ZnD72InfoForm::slot_showD72List()
{
    // The model hands out a copy, so the walk needs no lock.
    refillAtTop(ZnD72ListMgr::instance()->micList(), [this](const ZnMic &mic) { insertRecordRow(&mic); });
}

void ZnD72InfoForm::slot_updateD72Row(int id)
{
    redrawOrAdd(id);
}

void ZnD72InfoForm::slot_delD72Row(int id)
{
    dropRow(id);
}

void ZnD72InfoForm::slot_edit_clicked()
{
    editCurrent();
}

void ZnD72InfoForm::slot_delete_clicked()
{
    deleteSelected();
}

void ZnD72InfoForm::editRecord(int id)
{
    ZnD72ListMgr *model = ZnD72ListMgr::instance();
    ZnMic mic;
    if (!model->findD72(id, mic))
        return;
    ZnD72SettingDialog dialog(&mic);
    if (dialog.exec() == 0 || !rowStillShown(id))
        return;
    if (model->modifyD72(mic) != 0) {
        tell(tr("Setting Error!"));
        return;
    }
    if (dialog.form().fCallConfigGroupBox->isChecked() && model->setBtnCalls(dialog.btnCalls) != 0)
        tell(tr("Button Call Config Setting Error!"));
}

int ZnD72InfoForm::removeRecord(int id)
{
    ZnMic mic;
    if (!ZnD72ListMgr::instance()->findD72(id, mic))
        return RecordGone;
    if (!isNull(mic.status))
        return RecordOnline;
    return ZnD72ListMgr::instance()->removeD72(mic);
}
