#include "ZnTtsInfoForm.h"

#include "BaseSetNameDialog.h"
#include "ZnTipsInfo.h"
#include "ZnTtsListMgr.h"

ZnTtsInfoForm::ZnTtsInfoForm()
{
    setObjectName(QStringLiteral("ZnTtsInfoForm"));
    ui.setupUi(this);

    ui.fConfigBtn->hide();
    ui.fNewBtn->hide();
    ui.tableNameLable->setText(tr("TTS List"));
    QTableWidget *t = ui.fCommonTableWidget;
    t->setColumnCount(4);
    t->setHorizontalHeaderLabels(
        {ZnTipsInfo::idText(), ZnTipsInfo::nameText(), ZnTipsInfo::statusText(), ZnTipsInfo::ipText()});
    initTable();
    deleteFailedText = tr("Delete Error!");
    // The model's deleted signal takes the row away.
    dropRowOnRemoval = false;

    ZnTtsListMgr *model = ZnTtsListMgr::instance();
    connect(model, &ZnTtsListMgr::gotTTsList, this, &ZnTtsInfoForm::showTtsList);
    connect(model, &ZnTtsListMgr::TTsChanged, this, &ZnTtsInfoForm::updateTTs);
    connect(model, &ZnTtsListMgr::TTsDeleted, this, &ZnTtsInfoForm::slot_delTts);
    connect(t, &QTableWidget::itemSelectionChanged, this, &ZnTtsInfoForm::ttsTableSelected);
    connect(t, &QTableWidget::cellDoubleClicked, this, &ZnTtsInfoForm::slot_editTtsClicked);
    connect(ui.fDelBtn, &QPushButton::clicked, this, &ZnTtsInfoForm::delTtsClicked);
    connect(ui.fEditBtn, &QPushButton::clicked, this, &ZnTtsInfoForm::slot_editTtsClicked);
    showTtsList();
}

QString ZnTtsInfoForm::statusName(int status)
{
    switch (status) {
    case 1:
        return tr("Idle");
    case 2:
        return tr("Begin Work");
    case 3:
        return tr("Working");
    case 4:
        return tr("End Work");
    default:
        return tr("Off Line");
    }
}

void ZnTtsInfoForm::makeRow(const ZnTts &tts, ZnTableRow &row)
{
    row.add(QString::number(tts.id), tts.id);
    row.addLocal(tts.name, 0);
    row.add(statusName(tts.status), 0);
    row.addLocal(tts.ip, 0);
}

bool ZnTtsInfoForm::recordRow(int id, ZnTableRow &row)
{
    ZnTts tts;
    if (!ZnTtsListMgr::instance()->getTts(id, tts))
        return false;
    makeRow(tts, row);
    return true;
}

void ZnTtsInfoForm::showTtsList()
{
    std::list<ZnTts> list;
    ZnTtsListMgr::instance()->copyList(list);
    refillReversed(list, &ZnTtsInfoForm::makeRow);
}

void ZnTtsInfoForm::slot_delTts(int id)
{
    dropRow(id);
}

void ZnTtsInfoForm::updateTTs(int id)
{
    redrawOrAdd(id);
}

void ZnTtsInfoForm::ttsTableSelected()
{
    if (currentId() >= 0)
        ui.fEditBtn->setEnabled(true);
}

void ZnTtsInfoForm::delTtsClicked()
{
    deleteSelected();
}

void ZnTtsInfoForm::slot_editTtsClicked()
{
    editCurrent();
}

void ZnTtsInfoForm::editRecord(int id)
{
    ZnTts tts;
    if (!ZnTtsListMgr::instance()->getTts(id, tts))
        return;
    BaseSetNameDialog dialog;
    dialog.setName(tts.name.c_str());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Read again: a push while the dialog was open may have changed or removed it.
    if (!rowStillShown(id) || !ZnTtsListMgr::instance()->getTts(id, tts))
        return;
    // The unit goes out as the list holds it now, with the entered name only
    // when the operator changed the field: a rename pushed meanwhile stays. The
    // row follows the model's changed signal.
    dialog.writeChanged(tts.name);
    if (ZnTtsListMgr::instance()->updateTts(tts) != 0)
        tell(tr("Setting Error!"));
}

int ZnTtsInfoForm::removeRecord(int id)
{
    ZnTts tts;
    if (!ZnTtsListMgr::instance()->getTts(id, tts))
        return RecordGone;
    if (!isNull(tts.status))
        return RecordOnline;
    return ZnTtsListMgr::instance()->deleteTts(tts);
}
