#include "ZnMediaMgrForm.h"

#include "BaseMessageDialog.h"
#include "BaseSetNameDialog.h"
#include "LoginSettings.h"
#include "TcpSocketClient.h"
#include "ZnCFtpClient.h"
#include "ZnConfigSettings.h"
#include "ZnDownAndUploadViewCtr.h"
#include "ZnFtpClientMgr.h"
#include "ZnGlobals.h"
#include "ZnMediaFile_t.h"
#include "ZnMediaViewCtrl.h"
#include "ZnServerText.h"
#include "ZnTipsInfo.h"

#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QToolTip>

namespace {
const char kLastPathKey[] = "MediaLastFilePath";

bool containsAny(const QString& text, const QString& chars)
{
    for (const QChar c : chars) {
        if (text.contains(c))
            return true;
    }
    return false;
}
}

ZnMediaMgrForm::ZnMediaMgrForm(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ZnMediaMgrForm"));
    ui.setupUi(this);
    ui.tableNameLable->setStyleSheet(QStringLiteral("font: 9pt \"微软雅黑\";\ncolor:white"));

    m_browser = new ZnMediaViewCtrl(ui.fMediaTableWidget);
    connect(m_browser, &ZnMediaViewCtrl::updateMediaPath, this, &ZnMediaMgrForm::slot_showMediaPath);
    if (ZnCFtpClient* c = ZnFtpClientMgr::instance()->client())
        c->setMediaBrowser(m_browser);

    m_transfers = new ZnDownAndUploadViewCtr(ui.fUpOrDownTableWidget);

    connect(ui.fUploadBtn, &QPushButton::clicked, this, &ZnMediaMgrForm::slot_uploadClicked);
    connect(ui.fDownloadBtn, &QPushButton::clicked, this, &ZnMediaMgrForm::slot_downloadClicked);
    connect(ui.fNewDirBtn, &QPushButton::clicked, this, &ZnMediaMgrForm::newDirClicked);
    connect(ui.fDelBtn, &QPushButton::clicked, this, &ZnMediaMgrForm::delMediaClicked);
    connect(ui.fRenameBtn, &QPushButton::clicked, this, &ZnMediaMgrForm::renameClicked);
    // Deleted rows and new names show at once; what the service kept comes back
    // with the folder's listing, and a row it did not delete at once, as the
    // folder cannot be listed while the service is out of reach.
    connect(TcpSocketClient::instance(), &TcpSocketClient::deleteFailed, this,
            [this](const QString& path, const QString& why) {
                // A refusal is answered by listing the folder again; out of reach,
                // no listing comes, so the row goes back here. Doing both let the
                // late listing drop what the operator chose meanwhile.
                if (m_browser->serviceUnreachable())
                    m_browser->restoreRow(path);
                refused(failedText(kDelete), path, why);
            });
    connect(TcpSocketClient::instance(), &TcpSocketClient::renameFailed, this,
            [this](const QString& path, const QString& why) { refused(failedText(kRename), path, why); });
    connect(TcpSocketClient::instance(), &TcpSocketClient::createDirFailed, this,
            [this](const QString& path, const QString& why) { refused(failedText(kCreateDir), path, why); });
    ui.fDownloadBtn->setText(gMediaOperationText[kDownload]);
    ui.fUploadBtn->setText(gMediaOperationText[kUpload]);
    ui.fNewDirBtn->setText(gMediaOperationText[kCreateDir]);
    ui.fDelBtn->setText(gMediaOperationText[kDelete]);
    ui.fRenameBtn->setText(gMediaOperationText[kRename]);
    // Nothing is written on the server before it has named its media root.
    ui.fUploadBtn->setEnabled(false);
    ui.fNewDirBtn->setEnabled(false);

    ui.fMediaEdit->setEnabled(false);
    ui.fCopyBtn->hide();
    ui.fCutBtn->hide();
    ui.fPasteBtn->hide();
    ui.fUpDirMediaBtn->hide();

    TcpSocketClient* worker = TcpSocketClient::instance();
    connect(worker, &TcpSocketClient::updateProgressIndicator, m_transfers,
            &ZnDownAndUploadViewCtr::slot_progressIndicator);
    const LoginSettings* login = LoginSettings::instance();
    const std::string host = login ? login->serverIp() : std::string();
    worker->setServer(QString::fromUtf8(host.data(), int(host.size())), TcpSocketClient::servicePort());
    if (!worker->isRunning())
        worker->start(QThread::InheritPriority);
    worker->addGetFileRootTask();

    m_fileFilter = tr("Audio Files (*.mp3)");
    ui.fMediaTableWidget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui.fUpOrDownTableWidget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui.fMediaTableWidget->setMouseTracking(true);
    connect(ui.fMediaTableWidget, &QTableWidget::itemEntered, this, &ZnMediaMgrForm::slot_ItemEnter);
}

ZnMediaMgrForm::~ZnMediaMgrForm()
{
    delete m_browser;
    delete m_transfers;
}

void ZnMediaMgrForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A service that was away at start-up is asked for its root again.
    if (!m_browser->hasRoot())
        m_browser->refreshMediaList();
}

void ZnMediaMgrForm::refused(const QString& what, const QString& path, const QString& why)
{
    const QString text = QStringLiteral("%1: %2\n%3").arg(what, why, path);
    // A service out of reach is said once, in the notice, not in a box per action.
    if (m_browser->serviceUnreachable()) {
        m_browser->setProblem(text);
        return;
    }
    m_browser->slot_updateCurrentPathList();
    tell(ZnTipsInfo::tipsTitleText(), text);
}

QString ZnMediaMgrForm::failedText(int operation)
{
    return gMediaOperationText[operation] + QStringLiteral("失败");
}

bool ZnMediaMgrForm::serviceReady(int operation)
{
    if (m_browser->hasRoot())
        return true;
    m_browser->setProblem(failedText(operation) + QStringLiteral("：文件服务没有给出媒体目录"));
    return false;
}

void ZnMediaMgrForm::tell(const QString& title, const QString& text)
{
    BaseMessageDialog box(title, text, 1);
    box.exec();
}

QString ZnMediaMgrForm::lastPath()
{
    return ZnConfigSettings().value(QLatin1String(kLastPathKey)).toString();
}

void ZnMediaMgrForm::setLastPath(const QString& path)
{
    if (path != lastPath())
        ZnConfigSettings().setValue(QLatin1String(kLastPathKey), path);
}

bool ZnMediaMgrForm::isLegalName(const QString& name)
{
    return !containsAny(name, QStringLiteral("/\\:*?\"<>|'&"));
}

bool ZnMediaMgrForm::isLegalMediaFileName(const QString& name)
{
    return !containsAny(name, QStringLiteral("/\\:*?\"<>|'"));
}

QString ZnMediaMgrForm::toServerName(const QString& name, int isDir)
{
    QString n = name;
    const int dot = n.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        n.truncate(dot);
    if (isDir)
        return n;
    const int mp3 = n.indexOf(QLatin1String(".mp3"));
    if (mp3 >= 0)
        n.truncate(mp3);
    return n + QLatin1String(".mp3");
}

bool ZnMediaMgrForm::isEntryName(const QString& name, int isDir)
{
    // Without a separator and other than "." and "..", a name resolves to an
    // entry directly in the folder shown.
    return ZnMediaFile_t::isSafeName(name) && (isDir || name != QLatin1String(".mp3"));
}

QString ZnMediaMgrForm::Entry::path() const
{
    return QDir::cleanPath(folder + QLatin1Char('/') + name);
}

ZnMediaMgrForm::Entry ZnMediaMgrForm::entryOf(int row) const
{
    Entry e;
    const QTableWidget* t = ui.fMediaTableWidget;
    const QTableWidgetItem* item = t->item(row, 0);
    if (!item)
        return e;
    e.folder = m_browser->currentPath();
    e.name = item->text();
    e.isDir = item->data(Qt::UserRole).toInt() != 0 ? 1 : 0;
    const QTableWidgetItem* sizeItem = t->item(row, 3);
    e.size = sizeItem ? sizeItem->data(Qt::UserRole).toLongLong() : 0;
    return e;
}

QList<ZnMediaMgrForm::Entry> ZnMediaMgrForm::selectedEntries() const
{
    QList<Entry> chosen;
    for (const QTableWidgetItem* item : ui.fMediaTableWidget->selectedItems()) {
        if (item->column() == 0)
            chosen.append(entryOf(item->row()));
    }
    return chosen;
}

int ZnMediaMgrForm::rowNow(const Entry& entry) const
{
    const int row = m_browser->rowOf(entry.folder, entry.name);
    const QTableWidgetItem* item = ui.fMediaTableWidget->item(row, 0);
    return item && (item->data(Qt::UserRole).toInt() != 0 ? 1 : 0) == entry.isDir ? row : -1;
}

void ZnMediaMgrForm::tellGone(int operation, const QStringList& paths)
{
    tell(ZnTipsInfo::tipsTitleText(),
         QStringLiteral("%1: %2\n%3")
             .arg(failedText(operation), QStringLiteral("已不在当前目录"), paths.join(QLatin1Char('\n'))));
}

void ZnMediaMgrForm::newDirClicked()
{
    ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance();
    if (!mgr || !serviceReady(kCreateDir))
        return;
    // The folder the operator sees now, not the one shown when the dialog closes.
    const QString folder = m_browser->currentPath();
    BaseSetNameDialog dialog;
    dialog.setTitle(tr("New Dir"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::string entered = dialog.getName();
    const QString typed = QString::fromUtf8(entered.data(), int(entered.size()));
    const QString name = toServerName(typed, 1);
    // Only a name that would not be a folder of its own here is refused: cut at
    // its dot, "../x" would be "." and name the root. Other marks are the service's to take.
    if (!isEntryName(name, 1)) {
        tell(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::illegalNameText());
        return;
    }
    mgr->createDir(QDir::cleanPath(folder + QLatin1Char('/') + name));
}

void ZnMediaMgrForm::renameClicked()
{
    ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance();
    const Entry old = entryOf(mgr ? ui.fMediaTableWidget->currentRow() : -1);
    if (old.name.isEmpty() || old.name == QLatin1String("..") || !serviceReady(kRename))
        return;
    BaseSetNameDialog dialog;
    dialog.setName(old.name.toUtf8().constData());
    // A name left as it opened renames nothing (the field may show it cut short).
    if (dialog.exec() != QDialog::Accepted || !dialog.nameChanged())
        return;
    const std::string entered = dialog.getName();
    const QString typed = QString::fromUtf8(entered.data(), int(entered.size()));
    const QString newName = toServerName(typed, old.isDir);
    // Cut at its last dot, a folder's "..x" is "." and "..." is "..": the shown
    // folder itself or the one above it.
    if (!isLegalName(typed) || !isEntryName(newName, old.isDir)) {
        tell(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::illegalNameText());
        return;
    }
    const int row = rowNow(old);
    if (row < 0) {
        tellGone(kRename, {old.path()});
        return;
    }
    const std::string from = old.path().toUtf8().toStdString();
    const std::string to = QDir::cleanPath(old.folder + QLatin1Char('/') + newName).toUtf8().toStdString();
    if (mgr->renameFile(from, to, old.isDir) == 0)
        setItemText(ui.fMediaTableWidget->item(row, 0), newName.toUtf8().constData(), old.isDir);
}

void ZnMediaMgrForm::delMediaClicked()
{
    const QList<Entry> chosen = selectedEntries();
    BaseMessageDialog confirm(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::deleteMediaQuestionText(), 1);
    if (confirm.exec() != 1)
        return;
    ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance();
    if (!mgr || !serviceReady(kDelete))
        return;
    // Last chosen first. Each row is looked for again after every box: a failure
    // box lets a listing in.
    QStringList gone;
    for (int i = chosen.size() - 1; i >= 0; --i) {
        const Entry& e = chosen.at(i);
        if (e.name == QLatin1String(".."))
            continue;
        if (rowNow(e) < 0) {
            gone.prepend(e.path());
            continue;
        }
        const int rc = e.isDir ? mgr->deleteDir(e.path()) : mgr->deleteFile(e.path());
        if (rc != 0)
            tell(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::deleteFailedText());
    }
    for (int i = chosen.size() - 1; i >= 0; --i) {
        const int row = rowNow(chosen.at(i));
        if (row >= 0)
            removeRow(row);
    }
    if (!gone.isEmpty())
        tellGone(kDelete, gone);
}

void ZnMediaMgrForm::slot_uploadClicked()
{
    if (!ZnFtpClientMgr::instance() || !serviceReady(kUpload))
        return;
    const QStringList files = QFileDialog::getOpenFileNames(this, QStringLiteral("文件上传"), lastPath(), m_fileFilter);
    if (files.isEmpty()) {
        repaint();
        return;
    }
    setLastPath(files.first());
    uploadFiles(files);
}

void ZnMediaMgrForm::uploadFiles(const QStringList& files)
{
    if (!serviceReady(kUpload))
        return;
    for (const QString& local : files) {
        const int slash = local.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            break;
        const QString name = local.mid(slash + 1);
        if (name.size() > 256) {
            tell(QStringLiteral("提示"), QStringLiteral("文件名称超长！"));
            continue;
        }
        if (!isLegalMediaFileName(name)) {
            tell(QStringLiteral("提示"),
                 QStringLiteral("媒体文件名不能包含下列任何字符：\r\n\r\n           / \\ : * ? \" < > | '"));
            continue;
        }
        const QString server = m_browser->fullPath(name);
        const qint64 size = QFileInfo(local).size();
        if (size > kMaxUpload) {
            tell(QStringLiteral("提示"),
                 QStringLiteral("%1\n%2").arg(local, QStringLiteral("文件大于1024MB，禁止上传！")));
            continue;
        }
        if (m_transfers->queueUpload(name.toUtf8().constData(), local.toUtf8().constData(), server.toUtf8().constData(),
                                     size)
            != 0)
            tell(QStringLiteral("提示"), QStringLiteral("上传文件出错！"));
    }
}

void ZnMediaMgrForm::slot_downloadClicked()
{
    if (ui.fMediaTableWidget->selectedItems().isEmpty())
        return;
    // The files the operator chose, before a listing can rebuild the rows.
    const QList<Entry> chosen = selectedEntries();
    const QString folder =
        QFileDialog::getExistingDirectory(nullptr, tr("save file"), lastPath(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    setLastPath(folder);
    queueDownloads(chosen, folder);
}

void ZnMediaMgrForm::downloadSelected(const QString& folder)
{
    queueDownloads(selectedEntries(), folder);
}

void ZnMediaMgrForm::queueDownloads(const QList<Entry>& chosen, const QString& folder)
{
    for (int i = chosen.size() - 1; i >= 0; --i) {
        const Entry& e = chosen.at(i);
        if (e.isDir)
            continue;
        const QString local = folder + QLatin1Char('/') + e.name;
        m_transfers->queueDownload(e.name.toUtf8().constData(), e.path().toUtf8().constData(),
                                   local.toUtf8().constData(), e.size);
    }
}

void ZnMediaMgrForm::slot_showMediaPath(const QString& path)
{
    ui.fNewDirBtn->setEnabled(m_browser->hasRoot() && path == m_browser->currentRoot());
    ui.fUploadBtn->setEnabled(m_browser->hasRoot());
    ui.fMediaEdit->setText(path);
}

void ZnMediaMgrForm::slot_ItemEnter(QTableWidgetItem* item)
{
    if (item)
        QToolTip::showText(QCursor::pos(), ZnServerText::toolTip(item->text()));
}
