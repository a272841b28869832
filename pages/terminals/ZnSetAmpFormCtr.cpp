#include "ZnSetAmpFormCtr.h"

#include "ZnPlayTermListMgr.h"
#include "ZnTableFill.h"
#include "ZnTableRow.h"

#include <QTableWidget>

#include <memory>

namespace {
QString degrees(int value)
{
    return QStringLiteral("%1 %2").arg(value).arg(QStringLiteral("℃"));
}
} // namespace

ZnSetAmpFormCtr::ZnSetAmpFormCtr()
{
    ui.setupUi(centralWidget());
    setObjectName(QStringLiteral("ZnSetAmpFormCtr"));
    // The picture header's form is small; the table needs room.
    resize(minimumSizeHint().expandedTo(QSize(620, 460)));
    QTableWidget *t = ui.fAmpTableWidget;
    t->setColumnCount(4);
    t->setHorizontalHeaderLabels({QStringLiteral("终端名称"), QStringLiteral("功放报警温度"),
                                  QStringLiteral("开启风扇温度"), QStringLiteral("最大音量")});
    initTable();
    t->setSelectionMode(QAbstractItemView::ExtendedSelection);
    t->setColumnWidth(0, 100);
    for (QSpinBox *spin : {ui.fVolumnSpinBox_2, ui.fVolumnSpinBox_3, ui.fVolumnSpinBox_4})
        spin->setRange(-1, 100);
    initColumns();
    connectSignals();
    // Until a row is chosen the spin boxes write nowhere.
    loading = true;
}

void ZnSetAmpFormCtr::initColumns()
{
    warnColumn = 1;
    fanColumn = 2;
    maxVolColumn = 3;
}

void ZnSetAmpFormCtr::connectSignals()
{
    connect(ui.fAmpTableWidget, &QTableWidget::itemSelectionChanged, this, &ZnSetAmpFormCtr::tableSelected);
    connect(ui.fVolumnSpinBox_2, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ZnSetAmpFormCtr::warningTempSpinChanged);
    connect(ui.fVolumnSpinBox_3, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &ZnSetAmpFormCtr::fanTempSpinChanged);
    connect(ui.fVolumnSpinBox_4, QOverload<int>::of(&QSpinBox::valueChanged), this, &ZnSetAmpFormCtr::maxVolChanged);
    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnSetAmpFormCtr::accept);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnSetAmpFormCtr::reject);
}

// No reply of the server fills the model number, so terminals of no known model
// (0) are offered beside the amplifiers that name it.
void ZnSetAmpFormCtr::loadTable()
{
    fillAllTerminals();
}

int ZnSetAmpFormCtr::insertRecordRow(const ZnTerminal *record)
{
    if (!record)
        return -1;
    const ZnTerminal &terminal = *record;
    if (!isBaseId(terminal.id) || (terminal.modelNo != AmpModel && terminal.modelNo != 0))
        return 0;
    ZnTableRow row;
    row.addLocal(terminal.name, terminal.id);
    auto value = [&row](const QString &text, int data) {
        QTableWidgetItem *cell = row.add(text, data);
        cell->setForeground(Qt::black);
        cell->setTextAlignment(Qt::AlignCenter);
    };
    value(degrees(terminal.warnTempThreshold), terminal.warnTempThreshold);
    value(degrees(terminal.fanTempThreshold), terminal.fanTempThreshold);
    value(QString::number(terminal.maxVol), terminal.maxVol);
    ZnTableFill::insertRow(ui.fAmpTableWidget, 0, row);
    return 0;
}

void ZnSetAmpFormCtr::tableSelected()
{
    loading = true;
    const int row = ui.fAmpTableWidget->currentRow();
    const std::pair<int, QSpinBox *> cells[] = {
        {warnColumn, ui.fVolumnSpinBox_2}, {fanColumn, ui.fVolumnSpinBox_3}, {maxVolColumn, ui.fVolumnSpinBox_4}};
    for (const auto &cell : cells) {
        if (ui.fAmpTableWidget->item(row, cell.first))
            cell.second->setValue(itemValue(row, cell.first));
    }
    loading = false;
}

void ZnSetAmpFormCtr::setSelectedCells(int column, int value, const QString &text)
{
    if (loading)
        return;
    for (QTableWidgetItem *item : ui.fAmpTableWidget->selectedItems()) {
        if (item->column() == column) {
            item->setText(text);
            item->setData(Qt::UserRole, value);
        }
    }
}

void ZnSetAmpFormCtr::warningTempSpinChanged(int value)
{
    setSelectedCells(warnColumn, value, degrees(value));
}

void ZnSetAmpFormCtr::fanTempSpinChanged(int value)
{
    setSelectedCells(fanColumn, value, degrees(value));
}

void ZnSetAmpFormCtr::maxVolChanged(int value)
{
    setSelectedCells(maxVolColumn, value, QString::number(value));
}

void ZnSetAmpFormCtr::collectRecords()
{
    records.clear();
    for (int row = 0; row < ui.fAmpTableWidget->rowCount(); ++row) {
        std::unique_ptr<ZnTerminal> terminal = ZnPlayTermListMgr::instance()->getTerminal(itemValue(row, 0));
        if (!terminal)
            continue;
        terminal->warnTempThreshold = itemValue(row, warnColumn);
        terminal->fanTempThreshold = itemValue(row, fanColumn);
        terminal->maxVol = itemValue(row, maxVolColumn);
        records << *terminal;
    }
}

void ZnSetAmpFormCtr::accept()
{
    collectRecords();
    ZnBaseDialog::accept();
}
