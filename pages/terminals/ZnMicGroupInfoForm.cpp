#include "ZnMicGroupInfoForm.h"

#include "ZnCommon.h"
#include "ZnCommonTable.h"
#include "ZnMicGroupEditDialog.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"
#include "ZnTipsInfo.h"

ZnMicGroupInfoForm::ZnMicGroupInfoForm(QWidget *parent) : ZnTerListPage(parent)
{
    setObjectName(QStringLiteral("ZnMicGroupInfoForm"));
    ui.setupUi(this);
    ui.fConfigBtn->hide();
    ui.fEditBtn->setText(tr("Edit"));
    ui.tableNameLable->setText(tr("Servet Group List"));

    QTableWidget *groups = ui.fGroupTableWidget;
    groups->setColumnCount(4);
    // Only the name header is translated; the others stand as they are.
    groups->setHorizontalHeaderLabels(
        {ZnTipsInfo::nameText(), QStringLiteral("ID"), QStringLiteral("Rule"), QStringLiteral("Ring Time")});
    initTable();
    QTableWidget *members = ui.fTermTableWidget;
    members->setColumnCount(1);
    members->setHorizontalHeaderLabels({QStringLiteral("Server Mic")});
    ZnCommon::initTableWidget(members);
    deleteFailedText = tr("Delete Error!");
    dropRowOnRemoval = false;

    ZnMicGroupListMgr *model = ZnMicGroupListMgr::instance();
    connect(model, &ZnMicGroupListMgr::gotGroupList, this, &ZnMicGroupInfoForm::slot_showMicGroupList);
    connect(model, &ZnMicGroupListMgr::groupChanged, this, &ZnMicGroupInfoForm::slot_updateMicGroupRow);
    connect(model, &ZnMicGroupListMgr::groupDeleted, this, &ZnMicGroupInfoForm::slot_delMicGroupRow);
    connect(ui.fNewBtn, &QPushButton::clicked, this, &ZnMicGroupInfoForm::slot_add_clicked);
    connect(ui.fEditBtn, &QPushButton::clicked, this, &ZnMicGroupInfoForm::slot_edit_clicked);
    connect(ui.fDelBtn, &QPushButton::clicked, this, &ZnMicGroupInfoForm::slot_delete_clicked);
    connect(groups, &QTableWidget::itemDoubleClicked, this, &ZnMicGroupInfoForm::slot_edit_clicked);
    connect(groups, &QTableWidget::itemClicked, this, &ZnMicGroupInfoForm::widget_item_clicked);
    slot_showMicGroupList();
}

QString ZnMicGroupInfoForm::ruleName(int rule)
{
    switch (rule) {
    case 1:
        return tr("All Ring");
    case 2:
        return tr("Ring Least First");
    case 3:
        return tr("Answer Least First");
    case 4:
        return tr("Talk Least First");
    case 5:
        return tr("Fixed Order");
    default:
        return QString();
    }
}

int ZnMicGroupInfoForm::newGroupId(int largest)
{
    const int r = ZnCommon::randomIndex();
    return largest + (r == 0 ? 1 : r);
}

void ZnMicGroupInfoForm::makeRow(const ZnMicGroup &group, ZnTableRow &row)
{
    row.addLocal(group.name, group.groupId);
    row.add(QString::number(group.groupId), 0);
    row.add(ruleName(group.callWaitRule), 0);
    row.add(QStringLiteral("%1 s").arg(group.ringTime), 0);
}

bool ZnMicGroupInfoForm::recordRow(int id, ZnTableRow &row)
{
    ZnMicGroup group;
    if (!ZnMicGroupListMgr::instance()->getGroup(id, group))
        return false;
    makeRow(group, row);
    return true;
}

void ZnMicGroupInfoForm::updateRow(int row, int id)
{
    ZnTableRow cells;
    if (!recordRow(id, cells))
        return;
    // The id column stays as it is.
    delete cells.take(1);
    ZnTableFill::writeRow(tableWidget(), row, cells);
}

void ZnMicGroupInfoForm::slot_showMicGroupList()
{
    // A copy: the model's own list may be replaced while the rows are made.
    refillReversed(ZnMicGroupListMgr::instance()->groupList(), &ZnMicGroupInfoForm::makeRow);
}

void ZnMicGroupInfoForm::slot_updateMicGroupRow(int id)
{
    redrawOrAdd(id);
    // The group shown is redrawn as a click on it would: members, Edit and Delete.
    const int row = findRowById(id);
    if (row >= 0 && row == tableWidget()->currentRow())
        widget_item_clicked(tableWidget()->item(row, 0));
}

void ZnMicGroupInfoForm::slot_delMicGroupRow(int id)
{
    dropRow(id);
    clearMembers();
}

void ZnMicGroupInfoForm::widget_item_clicked(QTableWidgetItem *)
{
    ui.fEditBtn->setEnabled(true);
    ui.fDelBtn->setEnabled(true);
    showMembers();
}

void ZnMicGroupInfoForm::clearMembers()
{
    QTableWidget *members = ui.fTermTableWidget;
    for (int row = members->rowCount() - 1; row >= 0; --row)
        members->removeRow(row);
}

// The members of the current group in the reverse of their stored order; ids
// the Dsk81 model does not hold are not shown.
void ZnMicGroupInfoForm::showMembers()
{
    ZnMicGroup group;
    if (!ZnMicGroupListMgr::instance()->getGroup(currentId(), group))
        return;
    clearMembers();
    ZnMicListMgr *mics = ZnMicListMgr::instance();
    for (int id : group.members) {
        ZnMic mic;
        if (!mics->getMic(id, mic))
            continue;
        ZnTableRow row;
        row.addLocal(mic.name, mic.id);
        ZnTableFill::insertRow(ui.fTermTableWidget, 0, row);
    }
}

int ZnMicGroupInfoForm::editAndCommit(ZnMicGroup &group, int operation)
{
    {
        ZnMicGroupEditDialog dialog(&group);
        if (dialog.exec() != QDialog::Accepted)
            return 0;
    }
    // A group removed meanwhile was told by rowStillShown: nothing was sent.
    if (operation == ZnMicGroupListMgr::Modify && !rowStillShown(group.groupId))
        return 0;
    ZnMicGroupListMgr *model = ZnMicGroupListMgr::instance();
    if (operation == ZnMicGroupListMgr::Add)
        group.groupId = newGroupId(model->maxGroupId());
    if (model->modifyGroup(group, operation) != 0) {
        tell(tr("Setting Error!"));
        return -1;
    }
    return 0;
}

void ZnMicGroupInfoForm::slot_add_clicked()
{
    ZnMicGroup group;
    group.groupId = 0;
    if (editAndCommit(group, ZnMicGroupListMgr::Add) != 0)
        tell(tr("Add Error!"));
}

void ZnMicGroupInfoForm::slot_edit_clicked()
{
    editCurrent();
}

void ZnMicGroupInfoForm::editRecord(int id)
{
    ZnMicGroup group;
    if (!ZnMicGroupListMgr::instance()->getGroup(id, group))
        return;
    if (editAndCommit(group, ZnMicGroupListMgr::Modify) != 0)
        tell(tr("Edit Error!"));
}

void ZnMicGroupInfoForm::slot_delete_clicked()
{
    deleteSelected();
}

int ZnMicGroupInfoForm::removeRecord(int id)
{
    ZnMicGroup group;
    if (!ZnMicGroupListMgr::instance()->getGroup(id, group))
        return RecordGone;
    return ZnMicGroupListMgr::instance()->modifyGroup(group, ZnMicGroupListMgr::Delete);
}
