#include "ZnSetTCPForm.h"

#include "ZnPlayTermListMgr.h"
#include "ZnTableFill.h"
#include "ZnTableRow.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QTableWidget>

#include <memory>

namespace {
const int kFirewallColumn = 2;
}

ZnSetTCPForm::ZnSetTCPForm(int k) : kind(k)
{
    ui.setupUi(centralWidget());
    setObjectName(QStringLiteral("ZnSetTCPForm"));
    // The picture header's form is small; the table needs room.
    resize(minimumSizeHint().expandedTo(QSize(620, 460)));
    QTableWidget *t = ui.fTableWidget;
    t->setColumnCount(3);
    t->setHorizontalHeaderLabels({QStringLiteral("ID"), QStringLiteral("终端名称"), QStringLiteral("经过防火墙")});
    t->setColumnWidth(0, 200);
    t->horizontalHeader()->setStretchLastSection(true);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->verticalHeader()->setVisible(false);
    t->setWordWrap(true);
    connectSignals();
    loadTable(kind);
}

void ZnSetTCPForm::connectSignals()
{
    connect(ui.fTcpBtn, &QPushButton::clicked, this, &ZnSetTCPForm::setAlltoTcp);
    connect(ui.fUdpBtn, &QPushButton::clicked, this, &ZnSetTCPForm::setAlltoUdp);
    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnSetTCPForm::accept);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnSetTCPForm::reject);
}

void ZnSetTCPForm::loadTable(int k)
{
    ui.fTableWidget->setRowCount(0);
    if (k != 1)
        return;
    // Copied under the lock; the check-box widgets are made after it is released.
    ZnPlayTermListMgr *model = ZnPlayTermListMgr::instance();
    const std::list<ZnTerminal> *list = model->lockList();
    if (!list)
        return;
    const std::list<ZnTerminal> terminals = *list;
    model->unlockList();
    for (const ZnTerminal &terminal : terminals)
        appendRow(terminal);
}

void ZnSetTCPForm::appendRow(const ZnTerminal &terminal)
{
    ZnTableRow row;
    row.add(QString::number(terminal.id), terminal.id);
    row.addLocal(terminal.name, terminal.id);
    row.add(QString(), terminal.viaFirewall);
    QTableWidget *t = ui.fTableWidget;
    const int at = t->rowCount();
    ZnTableFill::insertRow(t, at, row);
    auto *box = new QCheckBox;
    box->setChecked(terminal.viaFirewall == 1);
    t->setCellWidget(at, kFirewallColumn, box);
}

QCheckBox *ZnSetTCPForm::rowBox(int row) const
{
    return qobject_cast<QCheckBox *>(ui.fTableWidget->cellWidget(row, kFirewallColumn));
}

void ZnSetTCPForm::setAll(bool on)
{
    for (int row = 0; row < ui.fTableWidget->rowCount(); ++row) {
        if (QCheckBox *box = rowBox(row))
            box->setChecked(on);
    }
}

void ZnSetTCPForm::setAlltoTcp()
{
    setAll(true);
}

void ZnSetTCPForm::setAlltoUdp()
{
    setAll(false);
}

void ZnSetTCPForm::collectRecords()
{
    records.clear();
    QTableWidget *t = ui.fTableWidget;
    for (int row = 0; row < t->rowCount(); ++row) {
        const QCheckBox *box = rowBox(row);
        const QTableWidgetItem *loaded = t->item(row, kFirewallColumn);
        const QTableWidgetItem *first = t->item(row, 0);
        if (!box || !loaded || !first)
            continue;
        // Compared with what the box showed: a stored value neither 0 nor 1 shows
        // unchecked and stays unless the operator checks the box.
        const int state = box->isChecked() ? 1 : 0;
        if (box->isChecked() == (loaded->data(Qt::UserRole).toInt() == 1))
            continue;
        std::unique_ptr<ZnTerminal> terminal =
            ZnPlayTermListMgr::instance()->getTerminal(first->data(Qt::UserRole).toInt());
        if (!terminal)
            continue;
        terminal->viaFirewall = state;
        records << *terminal;
    }
}

void ZnSetTCPForm::accept()
{
    collectRecords();
    ZnBaseDialog::accept();
}
