#include "ZnTimerTaskEditDialog.h"

#include "BookRequest.h"
#include "ServiceHub.h"
#include "ZnCommonTable.h"
#include "ZnExecTimeDialog.h"
#include "ZnExecTimeViewCtrl.h"
#include "ZnMicListMgr.h"
#include "ZnRegionListMgr.h"
#include "ZnTipsInfo.h"

#include <QDateTime>
#include <QHeaderView>
#include <QIcon>

#include <algorithm>
#include <set>

namespace {
std::list<ZnExecTime> entriesOf(ZnExecTimeViewCtrl *view)
{
    std::list<ZnExecTime> out;
    view->entries(out);
    return out;
}

ZnTaskSourceWidgets sourceWidgets(Ui::fTimerTaskEditDialog &ui)
{
    return ZnTaskSourceWidgets{
        ui.fNameEdit,          ui.fVolSlider,         ui.fVolSpinBox,         ui.fPlayTimeCheckBox, ui.fPlayTimeEdit,
        ui.fPlayCountCheckBox, ui.fPlayCountLineEdit, ui.fTypeComboBox,       ui.fStackedWidget,    ui.fFileTableWidget,
        ui.fPlayTableWidget,   ui.fCapTableWidget,    ui.fTtsContentTextEdit, ui.fSizeLabel};
}
} // namespace

ZnTimerTaskEditDialog::ZnTimerTaskEditDialog(ZnSsTask *t)
    : task(t),
      sourceCtrl((ui.setupUi(this), sourceWidgets(ui)), t),
      manual(t->SourceCategory == ZnSsTask::CategoryManual)
{
    setMouseTracking(true);
    ui.dialogCloseBtn->setFixedSize(23, 25);
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    const bool fresh = task->Id == 0;
    setWindowTitle(fresh ? QStringLiteral("新建") : QStringLiteral("编辑"));
    ui.titleNameLabel->setText(fresh ? QStringLiteral("新建任务") : QStringLiteral("任务编辑"));
    sourceCtrl.fill();
    // Here the file size fits its column; the names share the rest.
    ui.fFileTableWidget->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    if (fresh) {
        ui.fNameEdit->setText(QStringLiteral("新建任务"));
        ui.fNameEdit->setFocus();
    }
    fillTimerSettings();
    fillTerminals();
    opened.note({ui.fPreOpenAmpSpinBox, ui.fStartDateEdit, ui.fStopDateCb, ui.fStopDateEdit, ui.fMondayCb,
                 ui.fTuesdayCb, ui.fWednesdayCb, ui.fThursdayCb, ui.fFridayCb, ui.fSaturdayCb, ui.fSundayCb});
    opened.note(ui.fExecTimeTable, QString::fromStdString(ZnSsTask::joinExecuteTimes(entriesOf(execTimeView))));
    opened.note(ui.fTerminalTable, QString::fromStdString(ZnSsTask::joinTerminalIds(checkedTerminals())));

    connect(ui.fOkBtn, SIGNAL(clicked()), this, SLOT(slot_okClicked()));
    connect(ui.fCancelBtn, SIGNAL(clicked()), this, SLOT(reject()));
    connect(ui.dialogCloseBtn, SIGNAL(clicked()), this, SLOT(close()));
    connect(ui.fFileTableWidget, SIGNAL(cellDoubleClicked(int, int)), this, SLOT(slot_addPlayFile(int, int)));
    connect(ui.fPlayTableWidget, SIGNAL(cellDoubleClicked(int, int)), this, SLOT(slot_delPlayFile(int, int)));
    sourceCtrl.connectDialog(this);
    connect(ui.fStopDateCb, SIGNAL(stateChanged(int)), this, SLOT(slot_setStopDateStateChanged(int)));
    connect(ui.fTimeAddBtn, SIGNAL(clicked()), this, SLOT(slot_addExecTime()));
    connect(ui.fTimeEditBtn, SIGNAL(clicked()), this, SLOT(slot_editExecTime()));
    connect(ui.fExecTimeTable, SIGNAL(cellDoubleClicked(int, int)), this, SLOT(slot_editExecTime()));
    connect(ui.fTimeDelBtn, SIGNAL(clicked()), this, SLOT(slot_delExecTime()));
    connect(ui.fAddPlayListBtn, SIGNAL(clicked()), this, SLOT(slot_addAllSelectedFiles()));
    connect(ui.fPlayListDelBtn, SIGNAL(clicked()), this, SLOT(slot_delAllSelectedFiles()));
    connect(ui.fPlayListUpBtn, SIGNAL(clicked()), this, SLOT(moveup_broad_file()));
    connect(ui.fPlayListDownBtn, SIGNAL(clicked()), this, SLOT(movedown_broad_file()));
    connect(ui.fRegionTable, SIGNAL(itemClicked(QTableWidgetItem *)), this,
            SLOT(slot_regionTableItemClicked(QTableWidgetItem *)));
}

ZnTimerTaskEditDialog::~ZnTimerTaskEditDialog()
{
    delete execTimeView;
}

void ZnTimerTaskEditDialog::fillTimerSettings()
{
    if (manual) {
        ui.fStartTimeGroupBox->hide();
        ui.fPreOpenAmpSpinBox->setEnabled(false);
    }
    ui.fPreOpenAmpSpinBox->setRange(0, 99);
    ui.fExecTimeTable->setColumnCount(2);
    ui.fExecTimeTable->setHorizontalHeaderLabels({ZnTipsInfo::nameText(), QStringLiteral("执行时间")});
    ZnCommon::initTableWidget(ui.fExecTimeTable);
    execTimeView = new ZnExecTimeViewCtrl(ui.fExecTimeTable);

    QCheckBox *const days[] = {ui.fMondayCb, ui.fTuesdayCb,  ui.fWednesdayCb, ui.fThursdayCb,
                               ui.fFridayCb, ui.fSaturdayCb, ui.fSundayCb};
    const QDate today = QDate::currentDate();
    if (task->Id == 0) {
        ui.fPreOpenAmpSpinBox->setValue(3);
        ui.fStartDateEdit->setDate(today);
        ui.fStopDateEdit->setDate(today);
        ui.fStopDateEdit->setEnabled(false);
        for (QCheckBox *day : days)
            day->setChecked(true);
        return;
    }
    ui.fStartDateEdit->setDateTime(QDateTime::fromSecsSinceEpoch(task->StartDate));
    if (task->EndDate > 0) {
        ui.fStopDateCb->setChecked(true);
        ui.fStopDateEdit->setDateTime(QDateTime::fromSecsSinceEpoch(task->EndDate));
    } else {
        ui.fStopDateEdit->setDate(today);
        ui.fStopDateEdit->setEnabled(false);
    }
    execTimeView->setEntries(task->execTimes);
    for (int day = 1; day <= 7; ++day)
        days[day - 1]->setChecked(ZnSsTask::weekHasDay(task->Week, day));
    ui.fPreOpenAmpSpinBox->setValue(task->OpenAmp);
}

void ZnTimerTaskEditDialog::fillTerminals()
{
    terminalSelect.initMultiSelect(ui.fTerminalTable, ui.fTerminalCb, 4);
    if (ServiceHub::instance()) {
        ZnBookRequest request;
        request.type = ZnMicListMgr::AllPlayTerminalList;
        if (ZnMicListMgr::instance()->requestMicBooks(&request) == 0) {
            const std::set<int> stored(task->terminalIds.begin(), task->terminalIds.end());
            for (const ZnMic &t : ZnMicListMgr::instance()->playTermList()) {
                const bool on = task->Id != 0 && stored.count(t.id) > 0;
                terminalSelect.fillTable(on ? Qt::Checked : Qt::Unchecked, t.name, t.id, t.type);
            }
        }
    }
    if (task->Id != 0) {
        for (int id : task->terminalIds)
            terminalRow(id, true);
    }
    regionSelect.initMultiSelect(ui.fRegionTable, ui.fTerminalCb, 4);
    if (ServiceHub::instance()) {
        for (const ZnRegion &r : ZnRegionListMgr::instance()->regionList())
            regionSelect.fillTable(Qt::Unchecked, r.name, r.regionId, std::string());
    }
}

int ZnTimerTaskEditDialog::terminalRow(int id, bool appendMissing)
{
    for (int row = 0; row < ui.fTerminalTable->rowCount(); ++row) {
        if (ZnCommon::itemIntData(ui.fTerminalTable, row, 0) == id)
            return row;
    }
    if (!appendMissing)
        return -1;
    terminalSelect.fillTable(Qt::Checked, std::to_string(id), id, std::string());
    return ui.fTerminalTable->rowCount() - 1;
}

void ZnTimerTaskEditDialog::slot_setStopDateStateChanged(int)
{
    ui.fStopDateEdit->setEnabled(ui.fStopDateCb->isChecked());
}

void ZnTimerTaskEditDialog::slot_regionTableItemClicked(QTableWidgetItem *item)
{
    if (!item || !regionSelect.isTicked(item->row()))
        return;
    ZnRegion region;
    if (!ZnRegionListMgr::instance()->getRegion(ZnCommon::itemIntData(ui.fRegionTable, item->row(), 0), &region))
        return;
    // Only terminals the table offers: a member the server does not list as a
    // play terminal is not written into the task.
    for (const ZnBaseTerminal &member : region.terminals) {
        const int row = terminalRow(member.id, false);
        if (row >= 0 && !terminalSelect.isTicked(row))
            terminalSelect.setTicked(row, true);
    }
}

void ZnTimerTaskEditDialog::slot_addExecTime()
{
    ZnExecTime entry;
    ZnExecTimeDialog dialog;
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.entry(entry);
    execTimeView->addEntry(entry);
}

void ZnTimerTaskEditDialog::slot_editExecTime()
{
    ZnExecTime entry;
    if (execTimeView->currentEntry(entry) < 0)
        return;
    ZnExecTimeDialog dialog;
    dialog.setEntry(entry);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.entry(entry);
    execTimeView->updateCurrent(entry);
}

void ZnTimerTaskEditDialog::slot_delExecTime()
{
    execTimeView->removeCurrent();
}

void ZnTimerTaskEditDialog::slot_addPlayFile(int, int)
{
    slot_addAllSelectedFiles();
}

void ZnTimerTaskEditDialog::slot_addAllSelectedFiles()
{
    sourceCtrl.addSelectedFiles();
}

void ZnTimerTaskEditDialog::slot_delPlayFile(int, int)
{
    slot_delAllSelectedFiles();
}

void ZnTimerTaskEditDialog::slot_delAllSelectedFiles()
{
    // Rows from the bottom up, so that each removal leaves the others in place.
    std::vector<int> rows;
    for (QTableWidgetItem *item : ui.fPlayTableWidget->selectedItems()) {
        if (item->column() == 0)
            rows.push_back(item->row());
    }
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows)
        sourceCtrl.removePlayRow(row);
}

void ZnTimerTaskEditDialog::moveup_broad_file()
{
    sourceCtrl.movePlayRow(ui.fPlayTableWidget->currentRow(), -1);
}

void ZnTimerTaskEditDialog::movedown_broad_file()
{
    sourceCtrl.movePlayRow(ui.fPlayTableWidget->currentRow(), 1);
}

bool ZnTimerTaskEditDialog::writeTimerSettings()
{
    const QCheckBox *const days[] = {ui.fMondayCb, ui.fTuesdayCb,  ui.fWednesdayCb, ui.fThursdayCb,
                                     ui.fFridayCb, ui.fSaturdayCb, ui.fSundayCb};
    // Bits past Sunday have no box; they stay as stored, and so does the bit of a
    // day whose box the operator left alone.
    int32_t week = task->Week;
    for (int day = 1; day <= 7; ++day) {
        if (!kept({days[day - 1]}))
            week = ZnSsTask::weekWithDay(week, day, days[day - 1]->isChecked());
    }
    task->Week = week;
    if (manual) {
        task->StartDate = 0;
        task->EndDate = 0;
        task->ExecuteTime.clear();
        task->OpenAmp = 0;
        return true;
    }
    // A pre-power time beyond the box, a date unset or before 1970, an end date
    // below 0 and execution times out of order or with empty pieces show as
    // something near; untouched, they stay as stored.
    if (!kept({ui.fPreOpenAmpSpinBox}))
        task->OpenAmp = ui.fPreOpenAmpSpinBox->value();
    if (!kept({ui.fStartDateEdit}))
        task->StartDate = static_cast<int32_t>(ui.fStartDateEdit->dateTime().toSecsSinceEpoch());
    if (!kept({ui.fStopDateCb, ui.fStopDateEdit}))
        task->EndDate =
            ui.fStopDateCb->isChecked() ? static_cast<int32_t>(ui.fStopDateEdit->dateTime().toSecsSinceEpoch()) : 0;
    const std::list<ZnExecTime> times = entriesOf(execTimeView);
    if (task->Id != 0 && !task->ExecuteTime.empty()
        && !opened.changed(ui.fExecTimeTable, QString::fromStdString(ZnSsTask::joinExecuteTimes(times))))
        return true;
    task->execTimes = times;
    if (task->execTimes.empty()) {
        ZnTaskSourceCtrl::refuse(QStringLiteral("请添加执行时间！"));
        return false;
    }
    task->ExecuteTime = ZnSsTask::joinExecuteTimes(task->execTimes);
    return true;
}

std::list<int32_t> ZnTimerTaskEditDialog::checkedTerminals() const
{
    std::list<int32_t> ids;
    for (int row = 0; row < ui.fTerminalTable->rowCount(); ++row) {
        if (terminalSelect.isTicked(row))
            ids.push_back(ZnCommon::itemIntData(ui.fTerminalTable, row, 0));
    }
    return ids;
}

bool ZnTimerTaskEditDialog::kept(std::initializer_list<const QObject *> fields) const
{
    return task->Id != 0 && !opened.changed(fields);
}

bool ZnTimerTaskEditDialog::writeTerminals()
{
    const std::list<int32_t> ids = checkedTerminals();
    if (ids.empty()) {
        ZnTaskSourceCtrl::refuse(QStringLiteral("请选择播放终端!"));
        return false;
    }
    // The stored text keeps its own order (and any repeated or empty pieces)
    // while the same terminals stay checked.
    const QString text = QString::fromStdString(ZnSsTask::joinTerminalIds(ids));
    if (task->Id != 0 && !opened.changed(ui.fTerminalTable, text))
        return true;
    task->TerminalId = text.toStdString();
    return true;
}

void ZnTimerTaskEditDialog::slot_okClicked()
{
    sourceCtrl.takeStoredTask();
    if (!sourceCtrl.writeName(QStringLiteral("任务名称不能为空!"))
        || !sourceCtrl.writePlayAmount(tr("Play times or counts must be selected!"), QStringLiteral("播放时长不能为0!"),
                                       QStringLiteral("播放次数不能为0!"))
        || !writeTimerSettings() || !writeTerminals()
        || !sourceCtrl.writeSource(tr("Please select play file!"), QStringLiteral("请选择采集终端!"),
                                   QStringLiteral("请输入TTS内容!")))
        return;
    accept();
}

void ZnTimerTaskEditDialog::slot_stateChanged(int state)
{
    sourceCtrl.setMediaChecks(state);
}
