#include "ZnRegionEditDialog.h"

#include "BaseMessageDialog.h"
#include "ZnCommonTable.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnMembersRefusal.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRegion.h"
#include "ZnRegionListMgr.h"
#include "ZnTipsInfo.h"

#include <QHeaderView>
#include <QIcon>

#include <algorithm>

ZnRegionEditDialog::ZnRegionEditDialog(ZnRegion *r) : region(r)
{
    ui.setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    ui.dialogCloseBtn->setFixedSize(23, 25);
    ui.fNameEdit->setMaxLength(32);
    QTableWidget *t = ui.fTableWidget;
    t->setColumnCount(4);
    t->setHorizontalHeaderLabels({ZnTipsInfo::nameText(), QStringLiteral("ID"), tr("Type"), QStringLiteral("IP")});
    ZnCommon::initTableWidget(t);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    const QString title = region->regionId != 0 ? tr("Region Edit") : tr("Region New");
    setWindowTitle(title);
    ui.titleNameLabel->setText(title);
    if (region->regionId != 0)
        ui.fNameEdit->setText(QString::fromLocal8Bit(region->name.c_str()));

    if (const std::list<ZnTerminal> *players = ZnPlayTermListMgr::instance()->lockList()) {
        for (const ZnTerminal &p : *players)
            addRow(p.name, p.id, p.type, p.ip);
        ZnPlayTermListMgr::instance()->unlockList();
    }
    for (const ZnMic &m : ZnD72ListMgr::instance()->micList())
        addRow(m.name, m.id, m.type, m.ip);
    for (const ZnMic &m : ZnD74ListMgr::instance()->micList())
        addRow(m.name, m.id, m.type, m.ip);
    for (const ZnBaseTerminal &member : region->terminals) {
        if (!listed(member.id))
            addRow(member.name.empty() ? std::to_string(member.id) : member.name, member.id, member.type, member.ip);
    }

    opened.note(ui.fNameEdit);
    opened.note(ui.fTableWidget, checkedIds());

    connect(ui.fAllCheckBox, SIGNAL(stateChanged(int)), this, SLOT(slot_stateChanged(int)));
    connect(ui.fOkBtn, SIGNAL(clicked()), this, SLOT(slot_ok_clicked()));
    connect(ui.fCancelBtn, SIGNAL(clicked()), this, SLOT(reject()));
    connect(ui.dialogCloseBtn, SIGNAL(clicked()), this, SLOT(close()));
}

bool ZnRegionEditDialog::listed(int id) const
{
    for (int row = 0; row < ui.fTableWidget->rowCount(); ++row)
        if (ZnCommon::itemIntData(ui.fTableWidget, row, 0) == id)
            return true;
    return false;
}

void ZnRegionEditDialog::addRow(const std::string &name, int id, const std::string &type, const std::string &ip)
{
    QTableWidget *t = ui.fTableWidget;
    const int row = t->rowCount();
    t->insertRow(row);
    auto *first = new QTableWidgetItem(QString::fromLocal8Bit(name.c_str()));
    first->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    const auto &members = region->terminals;
    const bool held = std::any_of(members.begin(), members.end(), [id](const ZnBaseTerminal &m) { return m.id == id; });
    first->setCheckState(held ? Qt::Checked : Qt::Unchecked);
    first->setData(Qt::UserRole, id);
    t->setItem(row, 0, first);
    t->setItem(row, 1, new QTableWidgetItem(QString::number(id)));
    t->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(type)));
    t->setItem(row, 3, new QTableWidgetItem(QString::fromStdString(ip)));
}

QString ZnRegionEditDialog::checkedIds() const
{
    QStringList ids;
    for (int row = 0; row < ui.fTableWidget->rowCount(); ++row) {
        const QTableWidgetItem *first = ui.fTableWidget->item(row, 0);
        if (first && first->checkState() == Qt::Checked)
            ids << first->data(Qt::UserRole).toString();
    }
    return ids.join(QLatin1Char(' '));
}

void ZnRegionEditDialog::slot_stateChanged(int state)
{
    for (int row = 0; row < ui.fTableWidget->rowCount(); ++row)
        if (QTableWidgetItem *item = ui.fTableWidget->item(row, 0))
            item->setCheckState(Qt::CheckState(state));
}

void ZnRegionEditDialog::slot_ok_clicked()
{
    if (ui.fNameEdit->text().isEmpty()) {
        BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), tr("The name cannot be empty!"), 1);
        box.exec();
        return;
    }
    // A name the edit cannot hold whole stays while it is left alone; so do the
    // stored members (their order, any repeats) while no check changed.
    const bool stored = region->regionId != 0;
    // A push while the dialog was open stays: fields left alone send what the model holds now.
    if (stored)
        ZnRegionListMgr::instance()->getRegion(region->regionId, *region);
    // Every save writes the members: one that cannot be written back holds the
    // whole region back, and the dialog closes with nothing sent.
    if (ZnMembersRefusal::holdsBack(this, ZnKeptEntries::RegionMembers, region->unreadMembers))
        return;
    if (!stored || opened.changed(ui.fNameEdit))
        region->name = ui.fNameEdit->text().toLocal8Bit().toStdString();
    if (stored && !opened.changed(ui.fTableWidget, checkedIds())) {
        accept();
        return;
    }
    // A member that stays checked keeps its stored fields; a new one takes the row's.
    std::vector<ZnBaseTerminal> kept;
    QTableWidget *t = ui.fTableWidget;
    for (int row = 0; row < t->rowCount(); ++row) {
        const QTableWidgetItem *first = t->item(row, 0);
        if (!first || first->checkState() != Qt::Checked)
            continue;
        const int id = first->data(Qt::UserRole).toInt();
        const auto stored = std::find_if(region->terminals.begin(), region->terminals.end(),
                                         [id](const ZnBaseTerminal &m) { return m.id == id; });
        if (stored != region->terminals.end()) {
            kept.push_back(*stored);
            continue;
        }
        ZnBaseTerminal fresh;
        fresh.id = id;
        fresh.name = first->text().toLocal8Bit().toStdString();
        fresh.type = t->item(row, 2)->text().toStdString();
        fresh.ip = t->item(row, 3)->text().toStdString();
        kept.push_back(fresh);
    }
    region->terminals = kept;
    accept();
}
