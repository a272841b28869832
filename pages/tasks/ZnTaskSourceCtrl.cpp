#include "ZnTaskSourceCtrl.h"

#include "BaseMessageDialog.h"
#include "ServiceHub.h"
#include "ZnBaseTaskMgrForm.h"
#include "ZnCFtpClient.h"
#include "ZnCapListMgr.h"
#include "ZnCommon.h"
#include "ZnCommonTable.h"
#include "ZnFtpClientMgr.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnTaskMediaListViewCtrl.h"
#include "ZnTipsInfo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QIcon>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QTimeEdit>

namespace {
QString fromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

int secondsOf(const QTime &t)
{
    return t.hour() * 3600 + t.minute() * 60 + t.second();
}
} // namespace

ZnTaskSourceCtrl::ZnTaskSourceCtrl(const ZnTaskSourceWidgets &widgets, ZnSsTask *t) : w(widgets), task(t) {}

ZnTaskSourceCtrl::~ZnTaskSourceCtrl() = default;

void ZnTaskSourceCtrl::refuse(const QString &text)
{
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), text, 1);
    box.exec();
}

void ZnTaskSourceCtrl::fill()
{
    const bool fresh = task->Id == 0;
    w.name->setMaxLength(32);
    if (!fresh)
        w.name->setText(QString::fromLocal8Bit(task->Name.c_str()));
    w.volSlider->setRange(0, 100);
    w.volSpin->setRange(0, 100);
    w.volSpin->setValue(fresh ? 75 : task->PlayVol);
    w.volSlider->setValue(w.volSpin->value());

    auto *group = new QButtonGroup(this);
    group->addButton(w.timeBox, 1);
    group->addButton(w.countBox, 2);
    group->setExclusive(true);
    w.countEdit->setValidator(new QIntValidator(0, 9999, w.countEdit));
    w.timeEdit->setDisplayFormat(QStringLiteral("hh:mm:ss"));
    w.timeEdit->setEnabled(false);
    w.countEdit->setEnabled(false);
    if (fresh || task->PlayTimes != 0) {
        w.countBox->setChecked(true);
        w.countEdit->setText(QString::number(fresh ? 1 : task->PlayTimes));
        w.countEdit->setEnabled(true);
        if (fresh)
            w.timeEdit->setTime(QTime(0, 1));
    } else {
        w.timeBox->setChecked(true);
        w.timeEdit->setEnabled(true);
        const int d = std::max(0, task->Duration);
        w.timeEdit->setTime(QTime(d / 3600 % 24, d / 60 % 60, d % 60));
    }

    for (int type : {ZnSsTask::SourceFiles, ZnSsTask::SourceCapture, ZnSsTask::SourceTts})
        w.typeBox->addItem(ZnBaseTaskMgrForm::sourceTypeText(type), type);
    // A type the box does not offer shows none, and stays with its content
    // until the operator picks one.
    w.typeBox->setCurrentIndex(w.typeBox->findData(task->SourceType));

    mediaTable.initTable(w.fileTable, 2);
    playTable.initTable(w.playTable, 1);
    w.playTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    mediaBrowser.reset(new ZnTaskMediaListViewCtrl(w.fileTable));
    if (ZnCFtpClient *client = ZnFtpClientMgr::instance()->client())
        client->setTaskBrowser(mediaBrowser.get());
    mediaBrowser->refreshMediaList();
    w.fileTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    w.fileTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    fillCaptureUnits();
    if (task->SourceType > 0 && task->SourceType <= w.stack->count())
        w.stack->setCurrentIndex(task->SourceType - 1);

    w.sizeLabel->setText(QStringLiteral("%1/%2").arg(TtsLimit).arg(TtsLimit));
    if (task->SourceType == ZnSsTask::SourceFiles) {
        for (const std::string &path : ZnSsTask::splitPlayList(task->SourceContent)) {
            entries.emplace_back(path, ZnCommon::fileNameFromPath(path));
            playTable.addMediaRow(entries.back().second);
        }
    } else if (task->SourceType == ZnSsTask::SourceCapture) {
        const int id = ZnCommon::atoiClamped(task->SourceContent.c_str());
        for (int row = 0; row < w.capTable->rowCount(); ++row) {
            if (ZnCommon::itemIntData(w.capTable, row, 0) == id) {
                w.capTable->item(row, 0)->setCheckState(Qt::Checked);
                checkedCapRow = row;
                w.capTable->selectRow(row);
                break;
            }
        }
    } else if (task->SourceType == ZnSsTask::SourceTts) {
        const QString text = fromUtf8(task->SourceContent);
        w.ttsEdit->setPlainText(text);
        w.sizeLabel->setText(QStringLiteral("%1/%2").arg(std::max(0, TtsLimit - text.size())).arg(TtsLimit));
    }
    noteOpened();

    connect(w.volSlider, SIGNAL(valueChanged(int)), w.volSpin, SLOT(setValue(int)));
    connect(w.volSpin, SIGNAL(valueChanged(int)), w.volSlider, SLOT(setValue(int)));
    connect(w.typeBox, SIGNAL(currentIndexChanged(int)), w.stack, SLOT(setCurrentIndex(int)));
}

void ZnTaskSourceCtrl::connectDialog(QObject *dialog)
{
    connect(w.timeBox, SIGNAL(stateChanged(int)), dialog, SLOT(slot_setPlayTimeStateChanged(int)));
    connect(w.countBox, SIGNAL(stateChanged(int)), dialog, SLOT(slot_setPlayCountsStateChanged(int)));
    connect(w.capTable, SIGNAL(itemClicked(QTableWidgetItem *)), dialog,
            SLOT(slot_capTableItemClicked(QTableWidgetItem *)));
    connect(w.capTable, SIGNAL(cellChanged(int, int)), dialog, SLOT(slot_capTableCellChanged(int, int)));
    connect(w.ttsEdit, SIGNAL(textChanged()), dialog, SLOT(slot_textChanged()));
}

void ZnTaskSourceCtrl::noteOpened()
{
    opened.note({w.name, w.volSpin, w.timeBox, w.timeEdit, w.countBox, w.countEdit, w.typeBox});
    opened.note(w.ttsEdit, w.ttsEdit->toPlainText());
    openedEntries = entries;
    openedCapRow = w.capTable->currentRow();
}

bool ZnTaskSourceCtrl::kept(std::initializer_list<const QObject *> fields) const
{
    return task->Id != 0 && !opened.changed(fields);
}

bool ZnTaskSourceCtrl::keepSource() const
{
    // The stored text may hold what the widgets cannot show: empty play-list
    // pieces, a capture unit the list lacks, bytes that are no UTF-8.
    if (!kept({w.typeBox}) || task->SourceContent.empty())
        return false;
    switch (w.typeBox->currentData().toInt()) {
    case ZnSsTask::SourceFiles:
        return entries == openedEntries;
    case ZnSsTask::SourceCapture:
        return w.capTable->currentRow() == openedCapRow;
    case ZnSsTask::SourceTts:
        return !opened.changed(w.ttsEdit, w.ttsEdit->toPlainText());
    default:
        return true;
    }
}

void ZnTaskSourceCtrl::fillCaptureUnits()
{
    QTableWidget *t = w.capTable;
    t->setColumnCount(3);
    t->setHorizontalHeaderLabels({ZnTipsInfo::nameText(), QStringLiteral("ID"), QStringLiteral("IP")});
    ZnCommon::initTableWidget(t);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    if (!ServiceHub::instance())
        return;
    ZnCapListMgr *caps = ZnCapListMgr::instance();
    std::list<ZnCap> *list = caps->lockList();
    if (!list) {
        ServiceHub::instance()->requestCapList();
        list = caps->lockList();
    }
    if (!list)
        return;
    for (const ZnCap &cap : *list) {
        const int row = t->rowCount();
        t->insertRow(row);
        auto *name = new QTableWidgetItem(QString::fromLocal8Bit(cap.name.c_str()));
        name->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        name->setCheckState(Qt::Unchecked);
        name->setData(Qt::UserRole, cap.id);
        t->setItem(row, 0, name);
        t->setItem(row, 1, new QTableWidgetItem(QString::number(cap.id)));
        t->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(cap.ip)));
    }
    caps->unlock();
}

bool ZnTaskSourceCtrl::addPlayFile(const std::string &fullPath, const std::string &name)
{
    if (!ZnSsTask::fitsPlayList(fullPath)) {
        refuse(tr("The file path must not contain \"@#$%\"!"));
        return false;
    }
    entries.emplace_back(fullPath, name);
    playTable.addMediaRow(name);
    return true;
}

void ZnTaskSourceCtrl::addSelectedFiles()
{
    // Paths first: a refusal box lets a new listing replace the rows meanwhile.
    std::vector<PlayEntry> picked;
    for (QTableWidgetItem *item : w.fileTable->selectedItems()) {
        if (item->column() == 0 && mediaBrowser->hasItemInColumn1(item->row()))
            picked.emplace_back(mediaBrowser->fullPath(item->text()).toUtf8().toStdString(),
                                item->text().toUtf8().toStdString());
    }
    for (const PlayEntry &e : picked) {
        if (!addPlayFile(e.first, e.second))
            break;
    }
}

void ZnTaskSourceCtrl::removePlayRow(int row)
{
    if (row < 0 || row >= w.playTable->rowCount())
        return;
    if (row < static_cast<int>(entries.size()))
        entries.erase(entries.begin() + row);
    w.playTable->removeRow(row);
}

void ZnTaskSourceCtrl::movePlayRow(int row, int step)
{
    const int other = row + step;
    if (row < 0 || other < 0 || other >= w.playTable->rowCount() || other >= static_cast<int>(entries.size())
        || row >= static_cast<int>(entries.size()))
        return;
    std::swap(entries[row], entries[other]);
    ZnCommon::swapRows(w.playTable, other, row, w.playTable->columnCount());
    w.playTable->clearSelection();
    w.playTable->setCurrentCell(other, 0);
}

void ZnTaskSourceCtrl::slot_setPlayTimeStateChanged(int)
{
    const bool on = w.timeBox->isChecked();
    w.timeEdit->setEnabled(on);
    if (on && w.timeEdit->time() == QTime(0, 0))
        w.timeEdit->setTime(QTime(0, 1));
}

void ZnTaskSourceCtrl::slot_setPlayCountsStateChanged(int)
{
    const bool on = w.countBox->isChecked();
    w.countEdit->setEnabled(on);
    if (on && w.countEdit->text().toInt() == 0)
        w.countEdit->setText(QStringLiteral("1"));
}

void ZnTaskSourceCtrl::slot_capTableItemClicked(QTableWidgetItem *item)
{
    if (!item)
        return;
    if (checkedCapRow >= 0 && checkedCapRow < w.capTable->rowCount() && w.capTable->item(checkedCapRow, 0))
        w.capTable->item(checkedCapRow, 0)->setCheckState(Qt::Unchecked);
    if (QTableWidgetItem *first = w.capTable->item(item->row(), 0))
        first->setCheckState(Qt::Checked);
    checkedCapRow = item->row();
}

void ZnTaskSourceCtrl::slot_capTableCellChanged(int row, int column)
{
    const QTableWidgetItem *cell = w.capTable->item(row, column);
    if (cell && cell->checkState() == Qt::Checked)
        w.capTable->selectRow(row);
}

void ZnTaskSourceCtrl::slot_textChanged()
{
    const QString text = w.ttsEdit->toPlainText();
    const int excess = text.size() - TtsLimit;
    if (excess > 0) {
        // The characters just typed or pasted go again, so the text before them stays.
        const int cursor = w.ttsEdit->textCursor().position();
        const int from = std::max(0, cursor - excess);
        QString kept = text.left(from) + text.mid(cursor);
        kept.truncate(TtsLimit);
        w.ttsEdit->setPlainText(kept);
        QTextCursor c = w.ttsEdit->textCursor();
        c.setPosition(std::min(from, kept.size()));
        w.ttsEdit->setTextCursor(c);
        return;
    }
    w.sizeLabel->setText(QStringLiteral("%1/%2").arg(TtsLimit - text.size()).arg(TtsLimit));
}

void ZnTaskSourceCtrl::takeStoredTask()
{
    if (task->Id != 0)
        ZnSsTaskDataMgr::instance()->getTask(task->Id, *task);
}

bool ZnTaskSourceCtrl::writeName(const QString &emptyText)
{
    if (w.name->text().isEmpty()) {
        refuse(emptyText);
        return false;
    }
    if (!kept({w.name}))
        task->Name = w.name->text().toLocal8Bit().toStdString();
    if (!kept({w.volSpin}))
        task->PlayVol = w.volSpin->value();
    return true;
}

bool ZnTaskSourceCtrl::writePlayAmount(const QString &noneText, const QString &zeroTimeText,
                                       const QString &zeroCountText)
{
    if (!w.timeBox->isChecked() && !w.countBox->isChecked()) {
        refuse(noneText);
        return false;
    }
    // A duration of a day or more shows as less; untouched, it stays.
    const bool keep = kept({w.timeBox, w.timeEdit, w.countBox, w.countEdit});
    if (w.timeBox->isChecked()) {
        if (!keep) {
            task->Duration = secondsOf(w.timeEdit->time());
            task->PlayTimes = 0;
        }
        if (task->Duration == 0) {
            refuse(zeroTimeText);
            return false;
        }
        return true;
    }
    if (!keep) {
        task->PlayTimes = w.countEdit->text().toInt();
        task->Duration = 0;
    }
    if (task->PlayTimes == 0) {
        refuse(zeroCountText);
        return false;
    }
    return true;
}

bool ZnTaskSourceCtrl::writeSource(const QString &noFileText, const QString &noCapText, const QString &noTtsText)
{
    if (w.typeBox->currentIndex() < 0 || keepSource())
        return true;
    task->SourceType = w.typeBox->currentData().toInt();
    switch (task->SourceType) {
    case ZnSsTask::SourceFiles: {
        if (entries.empty()) {
            refuse(noFileText);
            return false;
        }
        std::vector<std::string> paths;
        for (const PlayEntry &e : entries)
            paths.push_back(e.first);
        task->SourceContent = ZnSsTask::joinPlayList(paths);
        return true;
    }
    case ZnSsTask::SourceCapture: {
        const int row = w.capTable->currentRow();
        if (row < 0 || !w.capTable->currentItem()) {
            refuse(noCapText);
            return false;
        }
        task->SourceContent = std::to_string(ZnCommon::itemIntData(w.capTable, row, 0));
        return true;
    }
    case ZnSsTask::SourceTts: {
        const QString text = w.ttsEdit->toPlainText();
        if (text.isEmpty()) {
            refuse(noTtsText);
            return false;
        }
        task->SourceContent = text.toLocal8Bit().toStdString();
        return true;
    }
    default:
        return true;
    }
}

void ZnTaskSourceCtrl::setMediaChecks(int state)
{
    for (int row = 0; row < w.fileTable->rowCount(); ++row) {
        if (QTableWidgetItem *item = w.fileTable->item(row, 0))
            item->setCheckState(Qt::CheckState(state));
    }
}
