#include "ZnD82SettingDialog.h"

#include "BaseMessageDialog.h"
#include "BookRequest.h"
#include "ZnApi.h"
#include "ZnBookWord.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnD82ListMgr.h"
#include "ZnMicListMgr.h"
#include "ZnRegionListMgr.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnStoredBook.h"
#include "ZnTipsInfo.h"

#include <QIcon>

#include <algorithm>

namespace {

// Terminal-type numbers of the contact families; a contact is written and
// matched by the type code text of its family.
enum { Dsk72Type = 2, Dsk81Type = 3, Dsk74Type = 4, D82Type = 8 };

const int kPlanTask = 1;

bool named(const std::list<BookEntry> &book, int id, const std::string &type)
{
    return std::any_of(book.begin(), book.end(), [&](const BookEntry &e) {
        return e.hasItemId && e.itemId == id && (type.empty() || ZnBookWord::of(e) == QString::fromStdString(type));
    });
}

int checkState(bool on)
{
    return on ? Qt::Checked : Qt::Unchecked;
}

// A contact row's family word, kept beside the type text the row shows: the
// records hold the type as a number, the book names the family.
QString familyWord(const QTableWidgetItem *typeItem)
{
    return typeItem ? typeItem->data(Qt::UserRole).toString() : QString();
}

// A contact as the book writes it: its family word, "_" and its id.
QString contactText(const std::string &word, int id)
{
    return QString::fromStdString(word) + QLatin1Char('_') + QString::number(id);
}

} // namespace

ZnD82SettingDialog::ZnD82SettingDialog(ZnD82 *d) : device(d)
{
    ui.setupUi(this);
    setMouseTracking(true);
    const QIcon icon(QStringLiteral(":/images/edit20x20.png"));
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    setWindowIcon(icon);
    setWindowTitle(QStringLiteral("手机设置"));
    ui.titleNameLabel->setText(QStringLiteral("手机设置"));
    ui.dialogCloseBtn->setFixedSize(23, 25);
    if (device)
        ui.fNameEdit->setText(QString::fromLocal8Bit(device->name.c_str()));
    opened.note(ui.fNameEdit);

    contacts.initMultiSelect(ui.fTalkTb, ui.fTalkAllCb, 3);
    sources.initMultiSelect(ui.fSsTaskTb, ui.fSsTaskCb, 2);
    regions.initMultiSelect(ui.fRegionTb, ui.fRegionCb, 2);
    ui.fConfigTabWidget->setCurrentIndex(0);

    loadContactList();
    loadSourceTasks();
    loadRegionConfig();

    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnD82SettingDialog::slot_ok_clicked);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnD82SettingDialog::reject);
    connect(ui.dialogCloseBtn, &QPushButton::clicked, this, &ZnD82SettingDialog::close);
}

bool ZnD82SettingDialog::loadBook(int type)
{
    if (!device)
        return false;
    ZnBookRequest request;
    request.type = type;
    request.terminalId = device->id;
    return ZnD82ListMgr::instance()->requestD82Books(&request) == 0;
}

void ZnD82SettingDialog::loadContactList()
{
    if (!loadBook(CallBook))
        return;
    keptContacts.setRead();
    const std::list<BookEntry> book = ZnD82ListMgr::instance()->callList();
    // The row shows the record's own type; the family word matches the book
    // and is what OK writes.
    auto offer = [&](const ZnBaseTerminal &t, int family) {
        const std::string word = terminalTypeName(family);
        contacts.fillTable(checkState(named(book, t.id, word)), t.name, t.id, t.type);
        keptContacts.listed(contactText(word, t.id));
        if (QTableWidgetItem *typeItem = ui.fTalkTb->item(ui.fTalkTb->rowCount() - 1, 2))
            typeItem->setData(Qt::UserRole, QString::fromStdString(word));
    };
    for (const ZnMic &m : ZnD72ListMgr::instance()->micList())
        offer(m, Dsk72Type);
    for (const ZnMic &m : ZnD74ListMgr::instance()->micList())
        offer(m, Dsk74Type);
    ZnMicListMgr *mics = ZnMicListMgr::instance();
    if (const std::list<ZnMic> *list = mics->lockMicList()) {
        for (const ZnMic &m : *list)
            offer(m, Dsk81Type);
        mics->unlockMicList();
    }
    ZnD82ListMgr *d82 = ZnD82ListMgr::instance();
    if (const std::list<ZnD82> *list = d82->lock()) {
        for (const ZnD82 &other : *list) {
            if (other.id != device->id)
                offer(other, D82Type);
        }
        d82->unlock();
    }
    // A contact goes back in the family it was read in; one whose family the
    // text cannot name (no row shows it) holds the book back.
    for (const BookEntry &e : book) {
        if (ZnStoredBook::keptUnreadable(keptContacts, e))
            continue;
        const QString word = ZnBookWord::of(e);
        if (word.isEmpty())
            keptContacts.storedUnwritable(QString::number(e.itemId));
        else
            keptContacts.stored(contactText(word.toStdString(), e.itemId));
    }
}

void ZnD82SettingDialog::loadSourceTasks()
{
    if (!loadBook(SourceBook))
        return;
    keptSources.setRead();
    const std::list<BookEntry> book = ZnD82ListMgr::instance()->sourceList();
    for (const ZnSsTask &task : ZnSsTaskDataMgr::instance()->taskList()) {
        if (task.SourceCategory == kPlanTask) {
            appendCheckRow(ui.fSsTaskTb, checkState(named(book, task.Id, std::string())),
                           {task.Name, task.Id, std::string()});
            keptSources.listed(QString::number(task.Id));
        }
    }
    ZnStoredBook::keepIds(keptSources, book);
}

void ZnD82SettingDialog::loadRegionConfig()
{
    if (!loadBook(RegionBook))
        return;
    keptRegions.setRead();
    const std::list<BookEntry> book = ZnD82ListMgr::instance()->regionList();
    for (const ZnRegion &region : ZnRegionListMgr::instance()->regionList()) {
        appendCheckRow(ui.fRegionTb, checkState(named(book, region.regionId, std::string())),
                       {region.name, region.regionId, std::string()});
        keptRegions.listed(QString::number(region.regionId));
    }
    ZnStoredBook::keepIds(keptRegions, book);
}

void ZnD82SettingDialog::appendCheckRow(QTableWidget *table, int state, const CheckRow &row)
{
    const int at = table->rowCount();
    table->insertRow(at);
    auto *first = new QTableWidgetItem(QString::fromLocal8Bit(row.name.c_str()));
    first->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    first->setCheckState(Qt::CheckState(state));
    first->setData(Qt::UserRole, row.id);
    table->setItem(at, 0, first);
    auto *idItem = new QTableWidgetItem(QString::number(row.id));
    idItem->setData(Qt::UserRole, state == Qt::Checked ? 1 : 0);
    table->setItem(at, 1, idItem);
    if (table->columnCount() == 3)
        table->setItem(at, 2, new QTableWidgetItem(QString::fromStdString(row.type)));
    if (state == Qt::Checked)
        table->selectRow(at);
}

void ZnD82SettingDialog::slot_ok_clicked()
{
    // Removed while the dialog was open: nothing is sent for it.
    ZnD82 stored;
    if (device && !ZnD82ListMgr::instance()->getD82(device->id, &stored)) {
        tell(ZnTipsInfo::recordGoneText());
        reject();
        return;
    }
    if (!commitBase())
        return;
    commitContactList();
    commitSourceTasks();
    commitRegionConfig();
    accept();
}

bool ZnD82SettingDialog::commitBase()
{
    const QString text = ui.fNameEdit->text();
    if (text.isEmpty()) {
        tell(QStringLiteral("名称不能为空！"));
        return false;
    }
    // A name left as it opened is not sent, also when the edit cannot show it
    // as stored (bytes that are no UTF-8).
    const std::string name = text.toLocal8Bit().toStdString();
    if (!device || !opened.changed(ui.fNameEdit) || name == device->name)
        return true;
    ZnD82 changed(*device);
    changed.name = name;
    // Only an accepted name is kept, so a second OK sends it again.
    if (ZnD82ListMgr::instance()->modifyD82(&changed) != 0) {
        tell(QStringLiteral("设置错误！"));
        return false;
    }
    device->name = name;
    return true;
}

bool ZnD82SettingDialog::commitContactList()
{
    return commitBook(contacts, ui.fTalkTb, SetCalls, true, keptContacts, QStringLiteral("提交通信名单错误!"));
}

bool ZnD82SettingDialog::commitSourceTasks()
{
    return commitBook(sources, ui.fSsTaskTb, SetSources, false, keptSources, QStringLiteral("提交音源任务错误!"));
}

bool ZnD82SettingDialog::commitRegionConfig()
{
    return commitBook(regions, ui.fRegionTb, SetRegions, false, keptRegions, QStringLiteral("提交分区配置错误!"));
}

bool ZnD82SettingDialog::commitBook(const ZnSelectTableCtrl &control, QTableWidget *table, int type, bool typed,
                                    const ZnKeptEntries &kept, const QString &failure)
{
    // A book that was not read shows no entry: its table, whatever was ticked,
    // would go out empty over the server's. Nothing is told, as for a Dsk81
    // console's.
    if (!kept.isRead() || !control.isChanged() || !device)
        return true;
    // Written without them, the server would drop them or file them elsewhere.
    const QString refused = kept.refusal();
    if (!refused.isEmpty()) {
        tell(refused);
        return false;
    }
    QStringList items;
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem *first = table->item(row, 0);
        if (!first || first->checkState() != Qt::Checked)
            continue;
        const QString id = QString::number(first->data(Qt::UserRole).toInt());
        items << (typed ? familyWord(table->item(row, 2)) + QLatin1Char('_') + id : id);
    }
    ZnBookRequest request;
    request.type = type;
    request.terminalId = device->id;
    request.text = kept.afterChosen(items).join(QLatin1Char(' ')).toStdString();
    if (ZnD82ListMgr::instance()->setD82Books(&request) == 0)
        return true;
    tell(failure);
    return false;
}

void ZnD82SettingDialog::tell(const QString &text)
{
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), text, 1);
    box.exec();
}
