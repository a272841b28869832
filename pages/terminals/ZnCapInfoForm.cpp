#include "ZnCapInfoForm.h"

#include "ServiceHub.h"
#include "ZnCapListMgr.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnSetCapDialog.h"
#include "ZnTipsInfo.h"
#include "ZnViewConnectRequest.h"

ZnCapInfoForm::ZnCapInfoForm()
{
    setObjectName(QStringLiteral("ZnCapInfoForm"));
    ui.setupUi(this);

    ui.fConfigBtn->setText(tr("Call Config"));
    ui.fConfigBtn->hide();
    ui.fNewBtn->hide();
    ui.fEditBtn->setText(tr("Attributes"));
    ui.tableNameLable->setText(tr("CaptureList"));
    QTableWidget *t = ui.fCommonTableWidget;
    t->setColumnCount(6);
    // The volume and rate headers stand as they are; the others are the common texts.
    t->setHorizontalHeaderLabels({ZnTipsInfo::idText(), ZnTipsInfo::nameText(), QStringLiteral("CapVol"),
                                  QStringLiteral("Samplerate"), ZnTipsInfo::statusText(), ZnTipsInfo::ipText()});
    initTable();
    deleteFailedText = tr("Delete Error!");

    ServiceHub *hub = ServiceHub::instance();
    if (!hub)
        return;
    const struct
    {
        int16_t kind;
        const char *slot;
    } views[] = {{0, SLOT(showCaps())}, {2, SLOT(delCap(int))}, {3, SLOT(updateCap(int))}};
    for (const auto &v : views) {
        ZnViewConnectRequest request;
        request.kind = v.kind;
        request.receiver = this;
        request.slot = v.slot;
        ZnCreateViewCtrMgr::connectView(hub->capList(), request);
    }
    connect(t, &QTableWidget::itemSelectionChanged, this, &ZnCapInfoForm::capTableSelected);
    connect(t, &QTableWidget::cellDoubleClicked, this, &ZnCapInfoForm::slot_setNameClicked);
    connect(ui.fEditBtn, &QPushButton::clicked, this, &ZnCapInfoForm::slot_setNameClicked);
    connect(ui.fDelBtn, &QPushButton::clicked, this, &ZnCapInfoForm::delClicked);

    if (gCapList.lockedList())
        gCapList.unlock();
    else
        hub->requestCapList();
    showCaps();
}

QString ZnCapInfoForm::qualityName(int rate)
{
    if (rate == 24000)
        return tr("Medium ");
    if (rate == 32000)
        return tr("Advanced");
    return tr("General");
}

QString ZnCapInfoForm::statusName(int status)
{
    if (status == 1)
        return tr("Idle");
    if (status == 2)
        return tr("Broadcasting");
    return tr("Off Line");
}

void ZnCapInfoForm::makeRow(const ZnCap &cap, ZnTableRow &row)
{
    row.add(QString::number(cap.id), cap.id);
    row.addLocal(cap.name, 0);
    row.add(QString::number(cap.capVol), 0);
    row.add(qualityName(cap.capSamplerate), 0);
    row.add(statusName(cap.status), 0);
    row.addLocal(cap.ip, 0);
}

bool ZnCapInfoForm::recordRow(int id, ZnTableRow &row)
{
    ZnCap cap;
    if (!gCapList.findCap(id, cap))
        return false;
    makeRow(cap, row);
    return true;
}

void ZnCapInfoForm::showCaps()
{
    ZnCapListMgr *model = &gCapList;
    std::list<ZnCap> *list = model->lockedList();
    if (!list)
        return;
    refillReversed(*list, &ZnCapInfoForm::makeRow);
    model->unlock();
}

void ZnCapInfoForm::delCap(int id)
{
    dropRow(id);
}

void ZnCapInfoForm::updateCap(int id)
{
    redrawOrAdd(id);
}

void ZnCapInfoForm::capTableSelected()
{
    const int id = currentId();
    if (id >= 0)
        ui.fEditBtn->setEnabled(isBaseId(id));
}

void ZnCapInfoForm::slot_setNameClicked()
{
    editCurrent();
}

void ZnCapInfoForm::delClicked()
{
    deleteSelected();
}

void ZnCapInfoForm::editRecord(int id)
{
    ServiceHub *hub = ServiceHub::instance();
    ZnCap cap;
    if (!hub || !gCapList.findCap(id, cap))
        return;
    ZnSetCapDialog dialog;
    dialog.setCap(&cap);
    if (dialog.exec() != QDialog::Accepted || !rowStillShown(id))
        return;
    // The list changes without a signal: the page redraws the row itself.
    if (gCapList.modifyCap(hub->centre(), cap) == 0)
        updateRowById(id);
    else
        tell(tr("Setting Error!"));
}

int ZnCapInfoForm::removeRecord(int id)
{
    ServiceHub *hub = ServiceHub::instance();
    ZnCap cap;
    if (!hub || !gCapList.findCap(id, cap))
        return RecordGone;
    if (!isNull(cap.status))
        return RecordOnline;
    return gCapList.removeCap(hub->centre(), cap);
}
