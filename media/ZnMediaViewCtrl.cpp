#include "ZnMediaViewCtrl.h"

#include "TcpSocketClient.h"
#include "ZnCFtpClient.h"
#include "ZnCommon.h"
#include "ZnCommonTable.h"
#include "ZnFtpClientMgr.h"
#include "ZnGlobals.h"

#include <QDir>
#include <QMutexLocker>
#include <QTableWidget>

ZnMediaViewCtrl::ZnMediaViewCtrl(QTableWidget* table)
    : m_table(table),
      m_fileIcon(QStringLiteral(":/images/file_mp3_24px.png")),
      m_folderIcon(QStringLiteral(":/images/folder_24px.png")),
      m_folderText(tr("Folder")),
      m_fileText(tr("Media File"))
{
    initTable();
    if (m_table) {
        connect(m_table, &QTableWidget::cellClicked, this, &ZnMediaViewCtrl::mediaTableClicked);
        connect(m_table, &QTableWidget::cellDoubleClicked, this, &ZnMediaViewCtrl::mediaTableDClicked);
    }
    TcpSocketClient* worker = TcpSocketClient::instance();
    connect(worker, &TcpSocketClient::socketUpdateMedia, this, &ZnMediaViewCtrl::slot_updateCurrentPathList);
    connect(worker, &TcpSocketClient::socketGetMediaPath, this, &ZnMediaViewCtrl::slot_setMediaRoot);
    connect(this, &ZnMediaViewCtrl::getDirListFinished, this, &ZnMediaViewCtrl::showMediaTable);
}

ZnMediaViewCtrl::~ZnMediaViewCtrl()
{
    // A listing on its way must not reach a browser that is gone.
    if (ZnCFtpClient* c = ZnFtpClientMgr::instance()->client()) {
        if (c->mediaBrowser() == this)
            c->setMediaBrowser(nullptr);
        if (c->taskBrowser() == this)
            c->setTaskBrowser(nullptr);
    }
}

QWidget* ZnMediaViewCtrl::widget()
{
    return m_table;
}

void ZnMediaViewCtrl::emitDirListFinished(QList<ZnMediaFile_t>* list)
{
    emit getDirListFinished(list);
}

QString ZnMediaViewCtrl::fullPath(const QString& name) const
{
    return QDir::cleanPath(m_root + m_separator + m_folder + m_separator + name);
}

bool ZnMediaViewCtrl::hasItemInColumn1(int row) const
{
    return m_table && m_table->item(row, 1) != nullptr;
}

void ZnMediaViewCtrl::requestDirList(const QString& path)
{
    if (ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance())
        mgr->getFileList(QDir::cleanPath(path));
}

void ZnMediaViewCtrl::refreshMediaList()
{
    if (m_root == QLatin1String(".")) {
        const QString reported = TcpSocketClient::instance()->mediaRoot();
        if (!reported.isEmpty())
            m_root = QDir::cleanPath(reported);
    }
    requestDirList(m_root);
}

void ZnMediaViewCtrl::slot_setMediaRoot(const QString& root)
{
    if (root.isEmpty())
        return;
    m_root = QDir::cleanPath(root);
    m_folder = QStringLiteral(".");
    requestDirList(m_root);
    emit updateMediaPath(m_root);
}

void ZnMediaViewCtrl::slot_updateCurrentPathList()
{
    requestDirList(QDir::cleanPath(m_root + m_separator + m_folder));
}

void ZnMediaViewCtrl::mediaTableDClicked()
{
    if (!m_table)
        return;
    const int row = m_table->currentRow();
    const QTableWidgetItem* item = row < 0 ? nullptr : m_table->item(row, 0);
    if (!item || item->data(Qt::UserRole).toInt() == 0)
        return;
    QString path;
    if (item->text() == QLatin1String("..")) {
        m_folder = QStringLiteral(".");
        path = m_root;
    } else {
        m_folder = m_separator + item->text();
        path = QDir::cleanPath(m_root + m_folder);
    }
    requestDirList(path);
    emit updateMediaPath(path);
}

void ZnMediaViewCtrl::showMediaTable(QList<ZnMediaFile_t>* list)
{
    if (!list || !m_table)
        return;
    // The client refills this list on the worker thread under the same mutex;
    // the copy is taken under it and the table filled from the copy.
    QList<ZnMediaFile_t> entries;
    {
        QMutexLocker lock(&gMediaTableMutex);
        entries = *list;
    }
    m_table->setUpdatesEnabled(false);
    const bool sorting = m_table->isSortingEnabled();
    m_table->setSortingEnabled(false);
    clearTable();
    // Rows are made in one go and then filled: thousands of entries stay fast.
    const bool inFolder = m_folder != QLatin1String(".");
    m_table->setRowCount(entries.size() + (inFolder ? 1 : 0));
    if (inFolder) {
        ZnMediaFile_t up;
        up.namePart = QStringLiteral("..");
        up.isDir = 1;
        up.Size = QStringLiteral("-1");
        fillMediaRow(up, 0);
    }
    // The model announces the new cells once, not cell by cell.
    QAbstractItemModel* model = m_table->model();
    const bool blocked = model->blockSignals(true);
    for (int i = 0; i < entries.size(); ++i)
        fillMediaRow(entries.at(i), i + (inFolder ? 1 : 0));
    model->blockSignals(blocked);
    if (m_table->rowCount() > 0)
        emit model->dataChanged(model->index(0, 0), model->index(m_table->rowCount() - 1, m_table->columnCount() - 1));
    m_table->setSortingEnabled(sorting);
    m_table->setUpdatesEnabled(true);
}

int ZnMediaViewCtrl::addMediaFileRow(const ZnMediaFile_t* entry, int row)
{
    if (!entry || !m_table)
        return -1;
    m_table->insertRow(row);
    fillMediaRow(*entry, row);
    return 0;
}

void ZnMediaViewCtrl::fillMediaRow(const ZnMediaFile_t& entry, int row)
{
    // Items are made directly: this runs for every entry of listings thousands long.
    const bool isDir = entry.Size.compare(QLatin1String("-1"), Qt::CaseInsensitive) == 0;
    auto* name = new QTableWidgetItem(isDir ? m_folderIcon : m_fileIcon, entry.namePart);
    name->setData(Qt::UserRole, isDir ? 1 : 0);
    m_table->setItem(row, 0, name);
    m_table->setItem(row, 1, new QTableWidgetItem(entry.CreatDate));
    m_table->setItem(row, 2, new QTableWidgetItem(isDir ? m_folderText : m_fileText));
    if (!isDir) {
        // Sizes are 64-bit: files over 2 GiB keep their true size.
        const qint64 bytes = qMax<qint64>(0, entry.Size.toLongLong());
        auto* size = new QTableWidgetItem(QString::fromStdString(ZnCommon::formatSizeMB(quint64(bytes))));
        size->setData(Qt::UserRole, bytes);
        m_table->setItem(row, 3, size);
    }
}

void ZnMediaViewCtrl::setRowIcon(int row)
{
    if (QTableWidgetItem* item = m_table->item(row, 0))
        item->setIcon(item->data(Qt::UserRole).toInt() != 0 ? m_folderIcon : m_fileIcon);
}
