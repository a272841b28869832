#include "ZnTerDefaultSetCtr.h"

#include "ZnPlayTermListMgr.h"
#include "ZnTableFill.h"
#include "ZnTableRow.h"

#include <QCheckBox>
#include <QTableWidget>

#include <memory>

namespace {
const int kDefaultColumn = 3;
}

ZnTerDefaultSetCtr::ZnTerDefaultSetCtr()
{
    ui.setupUi(centralWidget());
    setObjectName(QStringLiteral("ZnTerDefaultSetCtr"));
    // The picture header's form is small; the table needs room.
    resize(minimumSizeHint().expandedTo(QSize(620, 460)));
    QTableWidget *t = ui.fTerTableWidget;
    t->setColumnCount(4);
    t->setHorizontalHeaderLabels({QStringLiteral("终端名称"), QStringLiteral("默认音量"),
                                  QStringLiteral("默认功放开关"), QStringLiteral("是否指定默认")});
    initTable();
    t->setSelectionMode(QAbstractItemView::ExtendedSelection);
    t->setColumnWidth(0, 100);
    ui.fVolumnSpinBox->setRange(-1, 100);
    initColumns();
    connectSignals();
}

void ZnTerDefaultSetCtr::initColumns()
{
    numberColumn = 1;
    ampColumn = 2;
}

void ZnTerDefaultSetCtr::connectSignals()
{
    connect(ui.fTerTableWidget, &QTableWidget::itemSelectionChanged, this, &ZnTerDefaultSetCtr::tableSelected);
    connect(ui.fOpenAmpBtn, &QPushButton::clicked, this, &ZnTerDefaultSetCtr::openAmpClicked);
    connect(ui.fCloseAmpBtn, &QPushButton::clicked, this, &ZnTerDefaultSetCtr::closeAmpClicked);
    connect(ui.fVolumnSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ZnTerDefaultSetCtr::volumnSpinChanged);
    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnTerDefaultSetCtr::accept);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnTerDefaultSetCtr::reject);
}

void ZnTerDefaultSetCtr::loadTable()
{
    fillAllTerminals();
}

int ZnTerDefaultSetCtr::insertRecordRow(const ZnTerminal *record)
{
    if (!record)
        return -1;
    const ZnTerminal &terminal = *record;
    if (!isBaseId(terminal.id))
        return 0;
    QTableWidget *t = ui.fTerTableWidget;
    // A terminal that follows another stands directly below it.
    int at = t->rowCount();
    if (terminal.masterId != 0) {
        const int master = findRowById(terminal.masterId);
        if (master >= 0)
            at = master + 1;
    }
    const QColor background = terminal.masterId == 0 ? QColor(255, 255, 255) : QColor(200, 200, 200);
    ZnTableRow row;
    row.addLocal(terminal.name, terminal.id)->setBackground(background);
    row.add(QString::number(terminal.defaultVolume), terminal.defaultVolume)->setBackground(background);
    row.add(ampStateText(terminal.defaultPower ? 1 : 0), terminal.defaultPower ? 1 : 0)->setBackground(background);
    row.add(QString(), 0);
    ZnTableFill::insertRow(t, at, row);
    auto *box = new QCheckBox;
    box->setChecked(terminal.isDefault);
    t->setCellWidget(at, kDefaultColumn, box);
    return 0;
}

QCheckBox *ZnTerDefaultSetCtr::rowBox(int row) const
{
    return qobject_cast<QCheckBox *>(ui.fTerTableWidget->cellWidget(row, kDefaultColumn));
}

void ZnTerDefaultSetCtr::tableSelected()
{
    loading = true;
    const int row = ui.fTerTableWidget->currentRow();
    if (ui.fTerTableWidget->item(row, numberColumn))
        ui.fVolumnSpinBox->setValue(itemValue(row, numberColumn));
    loading = false;
}

void ZnTerDefaultSetCtr::volumnSpinChanged(int value)
{
    if (loading)
        return;
    for (const QTableWidgetItem *item : ui.fTerTableWidget->selectedItems()) {
        if (item->column() == 0)
            setNumberCellAt(item->row(), value);
    }
}

void ZnTerDefaultSetCtr::openAmpClicked()
{
    setAmpStateCell(ui.fTerTableWidget->currentRow(), 1);
}

void ZnTerDefaultSetCtr::closeAmpClicked()
{
    setAmpStateCell(ui.fTerTableWidget->currentRow(), 0);
}

void ZnTerDefaultSetCtr::collectRecords()
{
    records.clear();
    for (int row = 0; row < ui.fTerTableWidget->rowCount(); ++row) {
        std::unique_ptr<ZnTerminal> terminal = ZnPlayTermListMgr::instance()->getTerminal(itemValue(row, 0));
        if (!terminal)
            continue;
        terminal->defaultVolume = itemValue(row, numberColumn);
        terminal->defaultPower = itemValue(row, ampColumn) != 0;
        const QCheckBox *box = rowBox(row);
        terminal->isDefault = box && box->isChecked();
        records << *terminal;
    }
}

void ZnTerDefaultSetCtr::accept()
{
    collectRecords();
    ZnBaseDialog::accept();
}
