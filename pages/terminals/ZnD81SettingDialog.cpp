#include "ZnD81SettingDialog.h"

#include "BaseMessageDialog.h"
#include "BookRequest.h"
#include "ZnApi.h"
#include "ZnBookWord.h"
#include "ZnCommonTable.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnMicListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRegionListMgr.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnStoredBook.h"
#include "ZnTipsInfo.h"

#include <QIcon>

#include <algorithm>

namespace {

enum { Dsk72Type = 2, Dsk81Type = 3, Dsk74Type = 4 };
enum { PlanTask = 1, MicSource = 4 };

// A monitor row's book word, on its type cell (whose UserRole is the tick flag).
const int kBookWordRole = Qt::UserRole + 1;

bool listed(const std::list<BookEntry> &book, int id)
{
    return std::any_of(book.begin(), book.end(), [id](const BookEntry &e) { return e.hasItemId && e.itemId == id; });
}

int checkState(bool on)
{
    return on ? Qt::Checked : Qt::Unchecked;
}

// A monitored terminal's book word: its type text when that names a console
// family, else IpAmp.
std::string monitorWord(const std::string &type)
{
    return type.find("Dsk") != std::string::npos ? type : std::string("IpAmp");
}

// The word of an entry no row shows, by the family stored for it: the book
// has always named an amplifier (stored as 6) IpAmp.
QString storedMonitorWord(const BookEntry &e)
{
    return ZnBookWord::of(e, {{6, QStringLiteral("IpAmp")}});
}

bool offered(const ZnSsTask &task)
{
    return task.SourceCategory == PlanTask && task.SourceType != MicSource;
}

} // namespace

ZnD81SettingDialog::ZnD81SettingDialog(ZnMic *m) : mic(m)
{
    ui.setupUi(this);
    setMouseTracking(true);
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    setWindowTitle(tr("Mic Setting"));
    ui.titleNameLabel->setText(tr("Mic Setting"));
    ui.dialogCloseBtn->setFixedSize(23, 25);

    const struct
    {
        QSlider *slider;
        QSpinBox *spin;
        int value;
    } volumes[] = {{ui.fCapSlider, ui.fCapSpinBox, mic ? mic->capVol : 0},
                   {ui.fTalkSlider, ui.fTalkSpinBox, mic ? mic->callVol : 0},
                   {ui.fRingSlider, ui.fRingSpinBox, mic ? mic->bellVol : 0},
                   {ui.fBcastSlider, ui.fBcastSpinBox, mic ? mic->broVol : 0}};
    for (const auto &v : volumes) {
        v.slider->setRange(0, 100);
        v.spin->setRange(0, 100);
        connect(v.slider, &QSlider::valueChanged, v.spin, &QSpinBox::setValue);
        connect(v.spin, QOverload<int>::of(&QSpinBox::valueChanged), v.slider, &QSlider::setValue);
        v.spin->setValue(v.value);
    }
    if (mic) {
        ui.fNameEdit->setText(QString::fromLocal8Bit(mic->name.c_str()));
        ui.fPTTcomboBox->setCurrentIndex(mic->pttMode == 1 ? 1 : 0);
    }
    opened.note({ui.fNameEdit, ui.fCapSpinBox, ui.fTalkSpinBox, ui.fRingSpinBox, ui.fBcastSpinBox, ui.fPTTcomboBox});

    contacts.initMultiSelect(ui.fTalkTb, ui.fTalkAllCb, 3);
    transfers.initMultiSelect(ui.fTransferMicTb, ui.fTranMicAllCb, 4);
    groups.initMultiSelect(ui.fGroupTb, ui.fGroupAllCb, 4);
    monitors.initMultiSelect(ui.fMonitorTb, ui.fMonitorAllCb, 1);
    regions.initMultiSelect(ui.fRegionTb, ui.fRegionCb, 4);

    ui.fSsTaskTb->setColumnCount(2);
    ui.fSsTaskTb->setHorizontalHeaderLabels({QStringLiteral("名称"), QStringLiteral("ID")});
    ui.fSsTaskTb->setColumnHidden(1, true);
    ZnCommon::initTableWidget(ui.fSsTaskTb);
    ui.fSeleSsTaskTb->setColumnCount(1);
    ui.fSeleSsTaskTb->setHorizontalHeaderLabels({QStringLiteral("名称")});
    ZnCommon::initTableWidget(ui.fSeleSsTaskTb);
    for (QTableWidget *t : {ui.fSsTaskTb, ui.fSeleSsTaskTb})
        t->setSelectionMode(QAbstractItemView::ExtendedSelection);

    loadMonitorList();
    loadSsTasks();
    loadRegionList();

    QTabWidget *tabs = ui.fConfigTabWidget;
    tabs->setTabText(2, QStringLiteral("选择监听终端"));
    tabs->setTabText(3, QStringLiteral("选择音源"));
    tabs->setTabText(4, QStringLiteral("选择分区"));
    tabs->setCurrentIndex(2);
    tabs->removeTab(1);
    tabs->removeTab(0);
    ui.fSsTaskCb->hide();

    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnD81SettingDialog::slot_ok_clicked);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnD81SettingDialog::reject);
    connect(ui.dialogCloseBtn, &QPushButton::clicked, this, &ZnD81SettingDialog::close);
    connect(ui.fSsTaskUpBtn, &QPushButton::clicked, this, &ZnD81SettingDialog::moveup_broad_file);
    connect(ui.fSsTaskDownBtn, &QPushButton::clicked, this, &ZnD81SettingDialog::movedown_broad_file);
    connect(ui.fSeleDelSsTaskBtn, &QPushButton::clicked, this,
            QOverload<>::of(&ZnD81SettingDialog::slot_delSelectedSsTask));
    connect(ui.fSeleSsTaskTb, &QTableWidget::cellDoubleClicked, this,
            QOverload<int, int>::of(&ZnD81SettingDialog::slot_delSelectedSsTask));
    connect(ui.fSsTaskTb, &QTableWidget::cellDoubleClicked, this, &ZnD81SettingDialog::slot_addSsPlan);
    connect(ui.fSsPlanAddBtn, &QPushButton::clicked, this, &ZnD81SettingDialog::slot_addAllSelectedPlan);
}

bool ZnD81SettingDialog::loadBook(int type)
{
    if (!mic)
        return false;
    ZnBookRequest request;
    request.type = type;
    request.terminalId = mic->id;
    return ZnMicListMgr::instance()->requestMicBooks(&request) == 0;
}

void ZnD81SettingDialog::loadMonitorList()
{
    if (!loadBook(MonitorBook))
        return;
    keptMonitors.setRead();
    const std::list<BookEntry> book = ZnMicListMgr::instance()->monitorList();
    // The row shows the record's own type; the book word goes beside it: a
    // console's family, a play terminal's type text when it names a console
    // family, else IpAmp. The records hold a console's type as a number.
    auto offer = [&](const ZnBaseTerminal &t, const std::string &word) {
        monitors.fillTable(checkState(listed(book, t.id)), t.name, t.id, t.type);
        keptMonitors.listed(QString::number(t.id));
        if (QTableWidgetItem *typeItem = ui.fMonitorTb->item(ui.fMonitorTb->rowCount() - 1, 1))
            typeItem->setData(kBookWordRole, QString::fromStdString(word));
    };
    for (const ZnMic &m : ZnD72ListMgr::instance()->micList())
        offer(m, terminalTypeName(Dsk72Type));
    for (const ZnMic &m : ZnD74ListMgr::instance()->micList())
        offer(m, terminalTypeName(Dsk74Type));
    ZnMicListMgr *mics = ZnMicListMgr::instance();
    if (const std::list<ZnMic> *list = mics->lockMicList()) {
        for (const ZnMic &m : *list) {
            if (m.id != mic->id)
                offer(m, terminalTypeName(Dsk81Type));
        }
        mics->unlockMicList();
    }
    ZnPlayTermListMgr *players = ZnPlayTermListMgr::instance();
    if (const std::list<ZnTerminal> *list = players->lockList()) {
        for (const ZnTerminal &t : *list)
            offer(t, monitorWord(t.type));
        players->unlockList();
    }
    // An entry no row shows goes back in the family it was read in; one whose
    // family the text cannot name holds the book back while unshown.
    for (const BookEntry &e : book) {
        if (ZnStoredBook::keptUnreadable(keptMonitors, e))
            continue;
        const QString id = QString::number(e.itemId);
        const QString word = storedMonitorWord(e);
        if (word.isEmpty())
            keptMonitors.storedUnwritable(id);
        else
            keptMonitors.stored(id, word + QLatin1Char('_') + id);
    }
}

void ZnD81SettingDialog::loadSsTasks()
{
    if (!loadBook(SourceBook))
        return;
    keptSources.setRead();
    const std::list<BookEntry> book = ZnMicListMgr::instance()->sourceList();
    const std::list<ZnSsTask> tasks = ZnSsTaskDataMgr::instance()->taskList();
    for (const BookEntry &entry : book) {
        for (const ZnSsTask &task : tasks) {
            if (entry.hasItemId && task.Id == entry.sourceId() && offered(task)) {
                appendSelectedTask(QString::fromLocal8Bit(task.Name.c_str()), task.Id);
                break;
            }
        }
    }
    for (const ZnSsTask &task : tasks) {
        if (offered(task)) {
            appendTask(ui.fSsTaskTb, QString::fromLocal8Bit(task.Name.c_str()), task.Id);
            keptSources.listed(QString::number(task.Id));
        }
    }
    ZnStoredBook::keepIds(keptSources, book);
    sourcesAsRead = selectedSourceIds();
}

void ZnD81SettingDialog::loadRegionList()
{
    if (!loadBook(RegionBook))
        return;
    keptRegions.setRead();
    const std::list<BookEntry> book = ZnMicListMgr::instance()->regionList();
    for (const ZnRegion &region : ZnRegionListMgr::instance()->regionList()) {
        regions.fillTable(checkState(listed(book, region.regionId)), region.name, region.regionId, std::string());
        keptRegions.listed(QString::number(region.regionId));
    }
    ZnStoredBook::keepIds(keptRegions, book);
}

void ZnD81SettingDialog::appendTask(QTableWidget *table, const QString &name, int id)
{
    const int at = table->rowCount();
    table->insertRow(at);
    auto *item = new QTableWidgetItem(name);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setData(Qt::UserRole, id);
    table->setItem(at, 0, item);
    if (table->columnCount() > 1)
        table->setItem(at, 1, new QTableWidgetItem(QString::number(id)));
}

void ZnD81SettingDialog::appendSelectedTask(const QString &name, int id)
{
    appendTask(ui.fSeleSsTaskTb, name, id);
}

QList<int> ZnD81SettingDialog::selectedSourceIds() const
{
    QList<int> ids;
    for (int r = 0; r < ui.fSeleSsTaskTb->rowCount(); ++r) {
        if (const QTableWidgetItem *item = ui.fSeleSsTaskTb->item(r, 0))
            ids << item->data(Qt::UserRole).toInt();
    }
    return ids;
}

void ZnD81SettingDialog::slot_addSsPlan(int, int)
{
    slot_addAllSelectedPlan();
}

void ZnD81SettingDialog::slot_addAllSelectedPlan()
{
    // Taken before any box opens, in the order the operator selected them: the
    // items are not looked at again.
    QList<QPair<int, QString>> picked;
    for (const QTableWidgetItem *item : ui.fSsTaskTb->selectedItems()) {
        if (item->column() == 0)
            picked << qMakePair(item->data(Qt::UserRole).toInt(), item->text());
    }
    for (const auto &task : picked) {
        if (selectedSourceIds().contains(task.first))
            tell(QStringLiteral("已经选择!"), QStringLiteral("提示"));
        else
            appendSelectedTask(task.second, task.first);
    }
}

void ZnD81SettingDialog::slot_delSelectedSsTask()
{
    QTableWidget *t = ui.fSeleSsTaskTb;
    for (int r = t->rowCount() - 1; r >= 0; --r) {
        const QTableWidgetItem *item = t->item(r, 0);
        if (item && item->isSelected())
            t->removeRow(r);
    }
}

void ZnD81SettingDialog::slot_delSelectedSsTask(int row, int)
{
    if (row >= 0 && row < ui.fSeleSsTaskTb->rowCount())
        ui.fSeleSsTaskTb->removeRow(row);
}

void ZnD81SettingDialog::swapSources(int row, int other)
{
    QTableWidget *t = ui.fSeleSsTaskTb;
    for (int c = 0; c < t->columnCount(); ++c) {
        QTableWidgetItem *a = t->takeItem(row, c);
        QTableWidgetItem *b = t->takeItem(other, c);
        t->setItem(row, c, b);
        t->setItem(other, c, a);
    }
    t->clearSelection();
    t->setCurrentCell(other, 0);
}

void ZnD81SettingDialog::moveup_broad_file()
{
    const int row = ui.fSeleSsTaskTb->currentRow();
    if (row > 0)
        swapSources(row, row - 1);
}

void ZnD81SettingDialog::movedown_broad_file()
{
    const int row = ui.fSeleSsTaskTb->currentRow();
    if (row >= 0 && row < ui.fSeleSsTaskTb->rowCount() - 1)
        swapSources(row, row + 1);
}

void ZnD81SettingDialog::slot_ok_clicked()
{
    // Removed while the dialog was open: nothing is sent for it.
    ZnMic stored;
    if (mic && !ZnMicListMgr::instance()->getMic(mic->id, stored)) {
        tell(ZnTipsInfo::recordGoneText(), ZnTipsInfo::tipsTitleText());
        reject();
        return;
    }
    // Fields left alone send what the model holds now: a push while the dialog
    // was open must not be undone by OK.
    if (mic)
        *mic = stored;
    if (!commitBase())
        return;
    commitMonitorList();
    commitSsTaskList();
    commitRegionList();
    accept();
}

bool ZnD81SettingDialog::commitBase()
{
    const QString text = ui.fNameEdit->text();
    if (text.isEmpty()) {
        tell(tr("The name cannot be empty!"), ZnTipsInfo::tipsTitleText());
        return false;
    }
    if (!mic)
        return true;
    // A field left as it opened keeps the stored value, which it may not show: a
    // volume beyond 0 to 100, a push-to-talk mode neither off nor on.
    ZnMic changed(*mic);
    opened.write(ui.fNameEdit, changed.name, text.toLocal8Bit().toStdString());
    opened.write(ui.fCapSpinBox, changed.capVol, ui.fCapSpinBox->value());
    opened.write(ui.fTalkSpinBox, changed.callVol, ui.fTalkSpinBox->value());
    opened.write(ui.fRingSpinBox, changed.bellVol, ui.fRingSpinBox->value());
    opened.write(ui.fBcastSpinBox, changed.broVol, ui.fBcastSpinBox->value());
    opened.write(ui.fPTTcomboBox, changed.pttMode, ui.fPTTcomboBox->currentIndex());
    if (changed.name == mic->name && changed.capVol == mic->capVol && changed.callVol == mic->callVol
        && changed.bellVol == mic->bellVol && changed.broVol == mic->broVol && changed.pttMode == mic->pttMode)
        return true;
    // Only an accepted change is kept, so a second OK sends it again.
    if (ZnMicListMgr::instance()->modifyMic(changed) != 0) {
        tell(tr("Setting Error!"), ZnTipsInfo::tipsTitleText());
        return false;
    }
    *mic = changed;
    return true;
}

bool ZnD81SettingDialog::commitMonitorList()
{
    if (!keptMonitors.isRead() || !monitors.isChanged())
        return true;
    QStringList items;
    const QTableWidget *t = ui.fMonitorTb;
    for (int r = 0; r < t->rowCount(); ++r) {
        const QTableWidgetItem *first = t->item(r, 0);
        if (!first || first->checkState() != Qt::Checked)
            continue;
        const QTableWidgetItem *typeItem = t->item(r, 1);
        const QString word = typeItem ? typeItem->data(kBookWordRole).toString() : QString();
        items << word + QLatin1Char('_') + QString::number(first->data(Qt::UserRole).toInt());
    }
    return sendBook(SetMonitors, keptMonitors, keptMonitors.afterChosen(items), tr("Setting Monitor List Error!"));
}

bool ZnD81SettingDialog::commitSsTaskList()
{
    // Sent on every OK, changed or not, but never after a failed read: the empty
    // table would wipe the server's book.
    if (!keptSources.isRead())
        return true;
    const QList<int> chosen = selectedSourceIds();
    // Left alone, a book that cannot be written back is not sent, and nothing
    // is told: the operator asked for no change of it.
    if (chosen == sourcesAsRead && !keptSources.refusal().isEmpty())
        return true;
    QStringList items;
    for (int id : chosen)
        items << QString::number(id);
    return sendBook(SetSources, keptSources, keptSources.besideChosen(items), tr("Setting Ss Task List Error!"));
}

bool ZnD81SettingDialog::commitRegionList()
{
    if (!keptRegions.isRead() || !regions.isChanged())
        return true;
    QStringList items;
    const QTableWidget *t = ui.fRegionTb;
    for (int r = 0; r < t->rowCount(); ++r) {
        const QTableWidgetItem *first = t->item(r, 0);
        if (first && first->checkState() == Qt::Checked)
            items << QString::number(first->data(Qt::UserRole).toInt());
    }
    return sendBook(SetRegions, keptRegions, keptRegions.afterChosen(items), tr("Setting Region List Error!"));
}

bool ZnD81SettingDialog::sendBook(int type, const ZnKeptEntries &kept, const QStringList &items, const QString &failure)
{
    if (!mic)
        return true;
    // Written without them, the server would drop them or file them elsewhere.
    const QString refused = kept.refusal();
    if (!refused.isEmpty()) {
        tell(refused, ZnTipsInfo::tipsTitleText());
        return false;
    }
    ZnBookRequest request;
    request.type = type;
    request.terminalId = mic->id;
    request.text = items.join(QLatin1Char(' ')).toStdString();
    if (ZnMicListMgr::instance()->setMicBooks(&request) == 0)
        return true;
    tell(failure, ZnTipsInfo::tipsTitleText());
    return false;
}

void ZnD81SettingDialog::tell(const QString &text, const QString &title)
{
    BaseMessageDialog box(title, text, 1);
    box.exec();
}
