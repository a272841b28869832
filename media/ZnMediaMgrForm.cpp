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

void ZnMediaMgrForm::newDirClicked()
{
    ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance();
    if (!mgr || !serviceReady(kCreateDir))
        return;
    BaseSetNameDialog dialog;
    dialog.setTitle(tr("New Dir"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::string entered = dialog.getName();
    const QString typed = QString::fromUtf8(entered.data(), int(entered.size()));
    const QString name = toServerName(typed, 1);
    // The name is checked as typed: cut at its dot, "../x" would be "." and name the root.
    if (!isLegalName(typed) || name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        tell(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::illegalNameText());
        return;
    }
    mgr->createDir(m_browser->fullPath(name));
}

void ZnMediaMgrForm::renameClicked()
{
    ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance();
    QTableWidgetItem* item = mgr ? ui.fMediaTableWidget->item(ui.fMediaTableWidget->currentRow(), 0) : nullptr;
    if (!item || item->text() == QLatin1String("..") || !serviceReady(kRename))
        return;
    BaseSetNameDialog dialog;
    dialog.setName(item->text().toUtf8().constData());
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::string entered = dialog.getName();
    const QString typed = QString::fromUtf8(entered.data(), int(entered.size()));
    const int isDir = item->data(Qt::UserRole).toInt() != 0 ? 1 : 0;
    const QString newName = toServerName(typed, isDir);
    if (!isLegalName(typed) || newName.isEmpty() || newName == QLatin1String(".mp3")) {
        tell(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::illegalNameText());
        return;
    }
    const std::string from = m_browser->fullPath(item->text()).toUtf8().toStdString();
    const std::string to = m_browser->fullPath(newName).toUtf8().toStdString();
    if (mgr->renameFile(from, to, isDir) == 0)
        setItemText(item, newName.toUtf8().constData(), isDir);
}

void ZnMediaMgrForm::delMediaClicked()
{
    BaseMessageDialog confirm(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::deleteMediaQuestionText(), 1);
    if (confirm.exec() != 1)
        return;
    ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance();
    if (!mgr || !serviceReady(kDelete))
        return;
    QList<QTableWidgetItem*> chosen;
    for (QTableWidgetItem* item : ui.fMediaTableWidget->selectedItems()) {
        if (item->column() == 0)
            chosen.append(item);
    }
    std::sort(chosen.begin(), chosen.end(),
              [](QTableWidgetItem* a, QTableWidgetItem* b) { return a->row() < b->row(); });
    for (int i = chosen.size() - 1; i >= 0; --i) {
        QTableWidgetItem* item = chosen.at(i);
        if (item->text() == QLatin1String(".."))
            continue;
        const QString path = m_browser->fullPath(item->text());
        const int rc = item->data(Qt::UserRole).toInt() != 0 ? mgr->deleteDir(path) : mgr->deleteFile(path);
        if (rc != 0)
            tell(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::deleteFailedText());
    }
    for (int i = chosen.size() - 1; i >= 0; --i)
        removeRow(chosen.at(i)->row());
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
    const QString folder =
        QFileDialog::getExistingDirectory(nullptr, tr("save file"), lastPath(), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    setLastPath(folder);
    downloadSelected(folder);
}

void ZnMediaMgrForm::downloadSelected(const QString& folder)
{
    QList<QTableWidgetItem*> chosen;
    for (QTableWidgetItem* item : ui.fMediaTableWidget->selectedItems()) {
        if (item->column() == 0 && item->data(Qt::UserRole).toInt() == 0)
            chosen.append(item);
    }
    for (int i = chosen.size() - 1; i >= 0; --i) {
        QTableWidgetItem* item = chosen.at(i);
        const QString local = folder + QLatin1Char('/') + item->text();
        const QString server = m_browser->fullPath(item->text());
        const QTableWidgetItem* sizeItem = ui.fMediaTableWidget->item(item->row(), 3);
        const qint64 size = sizeItem ? sizeItem->data(Qt::UserRole).toLongLong() : 0;
        m_transfers->queueDownload(item->text().toUtf8().constData(), server.toUtf8().constData(),
                                   local.toUtf8().constData(), size);
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
