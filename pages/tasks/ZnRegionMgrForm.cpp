#include "ZnRegionMgrForm.h"

#include "ZnCommon.h"
#include "ZnCommonTable.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRegionEditDialog.h"
#include "ZnRegionListMgr.h"
#include "ZnTipsInfo.h"

#include <QHeaderView>
#include <QTableWidget>

ZnRegionMgrForm::ZnRegionMgrForm(QWidget *parent) : ZnTerListPage(parent)
{
    setObjectName(QStringLiteral("ZnRegionMgrForm"));
    ui.setupUi(this);
    ui.fConfigBtn->hide();
    ui.tableNameLable->setText(tr("Region List"));
    ui.fEditBtn->setText(tr("Edit"));
    ui.fGroupTableWidget->setColumnCount(2);
    ui.fGroupTableWidget->setHorizontalHeaderLabels({ZnTipsInfo::nameText(), QStringLiteral("ID")});
    initTable();
    ui.fGroupTableWidget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui.fTermTableWidget->setColumnCount(1);
    ui.fTermTableWidget->setHorizontalHeaderLabels({tr("Player")});
    ZnCommon::initTableWidget(ui.fTermTableWidget);
    deleteFailedText = tr("Delete Error!");
    dropRowOnRemoval = false;

    ZnRegionListMgr *model = ZnRegionListMgr::instance();
    connect(model, SIGNAL(gotRegionList()), this, SLOT(slot_showRegionList()));
    connect(model, SIGNAL(regionChanged(int)), this, SLOT(slot_updateRegionRow(int)));
    connect(model, SIGNAL(regionDeleted(int)), this, SLOT(slot_delRegionRow(int)));
    connect(ui.fNewBtn, SIGNAL(clicked()), this, SLOT(slot_add_clicked()));
    connect(ui.fEditBtn, SIGNAL(clicked()), this, SLOT(slot_edit_clicked()));
    connect(ui.fDelBtn, SIGNAL(clicked()), this, SLOT(slot_delete_clicked()));
    connect(ui.fGroupTableWidget, SIGNAL(itemDoubleClicked(QTableWidgetItem *)), this, SLOT(slot_edit_clicked()));
    connect(ui.fGroupTableWidget, SIGNAL(itemClicked(QTableWidgetItem *)), this,
            SLOT(widget_item_clicked(QTableWidgetItem *)));
    slot_showRegionList();
}

void ZnRegionMgrForm::makeRow(const ZnRegion &region, ZnTableRow &row)
{
    row.addLocal(region.name, region.regionId);
    row.add(QString::number(region.regionId), 0);
}

bool ZnRegionMgrForm::recordRow(int id, ZnTableRow &row)
{
    ZnRegion region;
    if (!ZnRegionListMgr::instance()->getRegion(id, &region))
        return false;
    makeRow(region, row);
    return true;
}

void ZnRegionMgrForm::slot_showRegionList()
{
    refillReversed(ZnRegionListMgr::instance()->regionList(), &ZnRegionMgrForm::makeRow);
}

void ZnRegionMgrForm::slot_updateRegionRow(int id)
{
    redrawOrAdd(id);
    const int row = findRowById(id);
    if (row >= 0 && row == ui.fGroupTableWidget->currentRow())
        widget_item_clicked(nullptr);
}

void ZnRegionMgrForm::slot_delRegionRow(int id)
{
    dropRow(id);
    ZnCommon::clearTable(ui.fTermTableWidget);
}

void ZnRegionMgrForm::widget_item_clicked(QTableWidgetItem *)
{
    ui.fEditBtn->setEnabled(true);
    ui.fDelBtn->setEnabled(true);
    ZnRegion region;
    if (!ZnRegionListMgr::instance()->getRegion(currentId(), &region))
        return;
    QTableWidget *t = ui.fTermTableWidget;
    ZnCommon::clearTable(t);
    // Three passes, each inserting its finds at the top in stored order: the D74
    // block ends on top, then D72, then the play terminals.
    auto insert = [t](const std::string &name, int id) {
        t->insertRow(0);
        ZnCommon::setTableItem2(t, QString::fromLocal8Bit(name.c_str()), 0, 0, quint64(id));
    };
    const auto &members = region.terminals;
    for (auto it = members.rbegin(); it != members.rend(); ++it) {
        ZnTerminal found;
        if (ZnPlayTermListMgr::instance()->hasTerminal(it->id, found))
            insert(found.name, it->id);
    }
    for (auto it = members.rbegin(); it != members.rend(); ++it) {
        ZnMic found;
        if (ZnD72ListMgr::instance()->findD72(it->id, found))
            insert(found.name, it->id);
    }
    for (auto it = members.rbegin(); it != members.rend(); ++it) {
        ZnMic found;
        if (ZnD74ListMgr::instance()->findD74(it->id, found))
            insert(found.name, it->id);
    }
}

int ZnRegionMgrForm::newRegionId(int largest)
{
    const int r = ZnCommon::randomIndex();
    return largest + (r == 0 ? 1 : r);
}

int ZnRegionMgrForm::editAndCommit(ZnRegion &region, int op)
{
    {
        ZnRegionEditDialog dialog(&region);
        if (dialog.exec() != QDialog::Accepted)
            return 0;
    }
    // A region removed meanwhile was told by rowStillShown: nothing was sent.
    if (op == ZnRegionListMgr::Modify && !rowStillShown(region.regionId))
        return 0;
    if (op == ZnRegionListMgr::Add)
        region.regionId = newRegionId(ZnRegionListMgr::instance()->maxRegionId());
    // Any result but 0 is a refusal: the model changed nothing.
    if (ZnRegionListMgr::instance()->modifyRegion(&region, op) != 0) {
        tell(tr("Setting Error!"));
        return -1;
    }
    return 0;
}

void ZnRegionMgrForm::slot_add_clicked()
{
    ZnRegion region;
    if (editAndCommit(region, ZnRegionListMgr::Add) != 0)
        tell(tr("Add Error!"));
}

void ZnRegionMgrForm::slot_edit_clicked()
{
    editCurrent();
}

void ZnRegionMgrForm::editRecord(int id)
{
    ZnRegion region;
    if (!ZnRegionListMgr::instance()->getRegion(id, &region))
        return;
    if (editAndCommit(region, ZnRegionListMgr::Modify) != 0)
        tell(tr("Edit Error!"));
}

void ZnRegionMgrForm::slot_delete_clicked()
{
    deleteSelected();
}

int ZnRegionMgrForm::removeRecord(int id)
{
    ZnRegion region;
    if (!ZnRegionListMgr::instance()->getRegion(id, &region))
        return RecordGone;
    return ZnRegionListMgr::instance()->modifyRegion(&region, ZnRegionListMgr::Delete);
}
