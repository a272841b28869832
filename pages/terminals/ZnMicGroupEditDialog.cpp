#include "ZnMicGroupEditDialog.h"

#include "BaseMessageDialog.h"
#include "ZnCommonTable.h"
#include "ZnKeptEntries.h"
#include "ZnMembersRefusal.h"
#include "ZnMicGroup.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"
#include "ZnTipsInfo.h"

#include <QHeaderView>
#include <QIcon>

#include <algorithm>

ZnMicGroupEditDialog::ZnMicGroupEditDialog(ZnMicGroup *g) : group(g)
{
    ui.setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    ui.dialogCloseBtn->setFixedSize(23, 25);
    ui.fNameEdit->setMaxLength(32);
    for (int rule = 1; rule <= 5; ++rule)
        ui.ruleComboBox->addItem(ZnMicGroupInfoForm::ruleName(rule));
    QTableWidget *t = ui.fMicTableWidget;
    t->setColumnCount(3);
    t->setHorizontalHeaderLabels({ZnTipsInfo::nameText(), ZnTipsInfo::idText(), ZnTipsInfo::ipText()});
    ZnCommon::initTableWidget(t);
    // Names are the longest texts; no column keeps a fixed narrow width.
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    const bool editing = group && group->groupId != 0;
    const QString title = editing ? tr("Mic Group Edit") : tr("Mic Group New");
    setWindowTitle(title);
    ui.titleNameLabel->setText(title);
    if (editing) {
        ui.fNameEdit->setText(QString::fromLocal8Bit(group->name.c_str()));
        ui.timeSpinBox->setValue(group->ringTime);
        ui.ruleComboBox->setCurrentIndex(group->callWaitRule >= 1 && group->callWaitRule <= 5 ? group->callWaitRule - 1
                                                                                              : -1);
    } else {
        ui.timeSpinBox->setValue(60);
    }
    fillMembers();
    opened.note({ui.fNameEdit, ui.timeSpinBox, ui.ruleComboBox});
    opened.note(ui.fMicTableWidget, checkedMembers());

    connect(ui.fAllCheckBox, &QCheckBox::stateChanged, this, &ZnMicGroupEditDialog::slot_stateChanged);
    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnMicGroupEditDialog::slot_ok_clicked);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnMicGroupEditDialog::reject);
    connect(ui.dialogCloseBtn, &QPushButton::clicked, this, &ZnMicGroupEditDialog::close);
}

void ZnMicGroupEditDialog::fillMembers()
{
    const std::vector<int> none;
    const std::vector<int> &members = group ? group->members : none;
    QTableWidget *t = ui.fMicTableWidget;
    ZnMicListMgr *mics = ZnMicListMgr::instance();
    const std::list<ZnMic> *list = mics->lock();
    for (const ZnMic &mic : *list) {
        const int row = t->rowCount();
        t->insertRow(row);
        auto *first = new QTableWidgetItem(QString::fromLocal8Bit(mic.name.c_str()));
        first->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        const bool member = std::find(members.begin(), members.end(), mic.id) != members.end();
        first->setCheckState(member ? Qt::Checked : Qt::Unchecked);
        first->setData(Qt::UserRole, mic.id);
        t->setItem(row, 0, first);
        t->setItem(row, 1, new QTableWidgetItem(QString::number(mic.id)));
        t->setItem(row, 2, new QTableWidgetItem(QString::fromLocal8Bit(mic.ip.c_str())));
    }
    mics->unlock();
}

QString ZnMicGroupEditDialog::checkedMembers() const
{
    QStringList ids;
    const QTableWidget *t = ui.fMicTableWidget;
    for (int row = 0; row < t->rowCount(); ++row) {
        const QTableWidgetItem *item = t->item(row, 0);
        if (item && item->checkState() == Qt::Checked)
            ids << item->data(Qt::UserRole).toString();
    }
    return ids.join(QLatin1Char(' '));
}

void ZnMicGroupEditDialog::slot_stateChanged(int state)
{
    QTableWidget *t = ui.fMicTableWidget;
    for (int row = 0; row < t->rowCount(); ++row) {
        if (QTableWidgetItem *item = t->item(row, 0))
            item->setCheckState(Qt::CheckState(state));
    }
}

void ZnMicGroupEditDialog::slot_ok_clicked()
{
    if (ui.fNameEdit->text().isEmpty()) {
        BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), tr("The name cannot be empty!"), 1);
        box.exec();
        return;
    }
    if (!group) {
        reject();
        return;
    }
    // A field left as it opened keeps the stored value, which it may not show: a
    // ring time beyond the box, a rule none of the five.
    const bool stored = group->groupId != 0;
    // A push while the dialog was open stays: fields left alone send what the model holds now.
    if (stored)
        ZnMicGroupListMgr::instance()->getGroup(group->groupId, *group);
    if (!stored || opened.changed(ui.fNameEdit))
        group->name = ui.fNameEdit->text().toLocal8Bit().toStdString();
    if (!stored || opened.changed(ui.timeSpinBox))
        group->ringTime = ui.timeSpinBox->value();
    if (!stored || opened.changed(ui.ruleComboBox))
        group->callWaitRule = ui.ruleComboBox->currentIndex() + 1;
    // Every save writes the members: one that cannot be written back holds the
    // whole group back, and the dialog closes with nothing sent.
    if (ZnMembersRefusal::holdsBack(this, ZnKeptEntries::GroupMembers, group->unreadMembers))
        return;
    // Untouched checks keep the stored members as they are, repeats included.
    if (stored && !opened.changed(ui.fMicTableWidget, checkedMembers())) {
        accept();
        return;
    }
    // Members the table does not list (the console list not loaded yet, or a
    // console the server does not list) stay as they were; only the listed ones
    // follow their check box. The ring order is the stored one, newly checked
    // members follow in row order.
    ZnKeptEntries kept(ZnKeptEntries::GroupMembers);
    for (int id : group->members)
        kept.stored(QString::number(id));
    QStringList checked;
    QTableWidget *t = ui.fMicTableWidget;
    for (int row = 0; row < t->rowCount(); ++row) {
        const QTableWidgetItem *item = t->item(row, 0);
        if (!item)
            continue;
        const QString id = item->data(Qt::UserRole).toString();
        kept.listed(id);
        if (item->checkState() == Qt::Checked)
            checked << id;
    }
    std::vector<int> members;
    for (const QString &id : kept.inStoredOrder(checked))
        members.push_back(id.toInt());
    group->members = members;
    accept();
}
