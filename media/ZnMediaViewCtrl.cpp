#include "ZnMediaViewCtrl.h"

#include "TcpSocketClient.h"
#include "ZnCFtpClient.h"
#include "ZnCommon.h"
#include "ZnCommonTable.h"
#include "ZnFtpClientMgr.h"
#include "ZnServerText.h"
#include "ZnTableFill.h"
#include "ZnTableRow.h"

#include <QBoxLayout>
#include <QDir>
#include <QHash>
#include <QLabel>
#include <QScopedValueRollback>
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
    connect(worker, &TcpSocketClient::socketConnected, this, [this](bool reached) {
        m_unreachable = !reached;
        updateNotice();
    });
    connect(worker, &TcpSocketClient::mediaRootMissing, this, [this](const QString& why) {
        if (hasRoot())
            return;
        m_rootMissing = why;
        updateNotice();
    });
    // Listings of the media page arrive on the worker thread, the task dialogs' on this one.
    connect(this, &ZnMediaViewCtrl::getDirListFinished, this, &ZnMediaViewCtrl::showMediaTable);
    placeNotice();
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
    delete m_notice.data();
}

QWidget* ZnMediaViewCtrl::widget()
{
    return m_table;
}

void ZnMediaViewCtrl::emitDirListFinished(const QString& folder, const QList<ZnMediaFile_t>& entries,
                                          const QString& error)
{
    emit getDirListFinished(folder, entries, error);
}

QString ZnMediaViewCtrl::fullPath(const QString& name) const
{
    return QDir::cleanPath(m_root + m_separator + m_folder + m_separator + name);
}

QString ZnMediaViewCtrl::currentPath() const
{
    return QDir::cleanPath(m_root + m_separator + m_folder);
}

int ZnMediaViewCtrl::rowOf(const QString& folder, const QString& name) const
{
    if (!m_table || QDir::cleanPath(folder) != currentPath())
        return -1;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QTableWidgetItem* item = m_table->item(row, 0);
        if (item && item->text() == name)
            return row;
    }
    return -1;
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

void ZnMediaViewCtrl::goTo(const QString& folder, const QString& path)
{
    m_pendingFolder = folder;
    m_pendingPath = QDir::cleanPath(path);
    requestDirList(path);
}

void ZnMediaViewCtrl::refreshMediaList()
{
    if (!hasRoot()) {
        const QString reported = TcpSocketClient::instance()->mediaRoot();
        if (reported.isEmpty()) {
            // Without a root a listing would name files by paths no task can
            // play; the root is asked for again and listed when it comes.
            TcpSocketClient::instance()->addGetFileRootTask();
            return;
        }
        m_root = QDir::cleanPath(reported);
        m_rootMissing.clear();
        updateNotice();
    }
    // The root becomes the folder shown when its rows come.
    goTo(QStringLiteral("."), m_root);
}

void ZnMediaViewCtrl::slot_setMediaRoot(const QString& root)
{
    if (root.isEmpty())
        return;
    const QString cleaned = QDir::cleanPath(root);
    if (cleaned != m_root) {
        // Rows of another root name nothing under this one.
        m_root = cleaned;
        m_folder = QStringLiteral(".");
        clearTable();
        m_rootMissing.clear();
        updateNotice();
        emit updateMediaPath(m_root);
    }
    goTo(QStringLiteral("."), m_root);
}

void ZnMediaViewCtrl::slot_updateCurrentPathList()
{
    requestDirList(currentPath());
}

void ZnMediaViewCtrl::mediaTableDClicked()
{
    if (!m_table)
        return;
    const int row = m_table->currentRow();
    const QTableWidgetItem* item = row < 0 ? nullptr : m_table->item(row, 0);
    if (!item || item->data(Qt::UserRole).toInt() == 0)
        return;
    if (item->text() == QLatin1String(".."))
        goTo(QStringLiteral("."), m_root);
    else
        goTo(m_separator + item->text(), m_root + m_separator + item->text());
}

void ZnMediaViewCtrl::showMediaTable(const QString& folder, const QList<ZnMediaFile_t>& entries, const QString& error)
{
    const QString path = QDir::cleanPath(folder);
    const bool asked = !m_pendingPath.isEmpty() && path == m_pendingPath;
    if (asked)
        m_pendingPath.clear();
    if (!error.isEmpty()) {
        if (asked || path == currentPath())
            setProblem(QStringLiteral("无法读取目录 %1：%2").arg(path, error));
        return;
    }
    if (asked)
        m_folder = m_pendingFolder;
    else if (path != currentPath())
        return; // a folder no longer shown, such as the one an upload went to
    fill(entries);
    setProblem(QString());
    if (asked)
        emit updateMediaPath(path);
}

void ZnMediaViewCtrl::fill(const QList<ZnMediaFile_t>& entries)
{
    if (!m_table)
        return;
    m_listed = entries;
    {
        ZnTableFill fill(m_table, entries.size());
        const QScopedValueRollback<ZnTableFill*> filling(m_fill, &fill);
        for (int i = 0; i < entries.size(); ++i)
            addMediaFileRow(&entries.at(i), i);
    }
    if (m_folder != QLatin1String(".")) {
        const ZnMediaFile_t up = upEntry();
        addMediaFileRow(&up, 0);
    }
}

ZnMediaFile_t ZnMediaViewCtrl::upEntry() const
{
    ZnMediaFile_t up;
    up.namePart = QStringLiteral("..");
    up.isDir = 1;
    up.Size = QStringLiteral("-1");
    return up;
}

void ZnMediaViewCtrl::restoreRow(const QString& path)
{
    if (!m_table)
        return;
    const QString wanted = QDir::cleanPath(path);
    QHash<QString, int> order;
    int at = -1;
    for (int i = 0; i < m_listed.size(); ++i) {
        order.insert(m_listed.at(i).namePart, i);
        if (fullPath(m_listed.at(i).namePart) == wanted)
            at = i;
    }
    if (at < 0)
        return; // not a row of the folder shown
    const QString up = QStringLiteral("..");
    const auto nameAt = [this](int row) {
        const QTableWidgetItem* item = m_table->item(row, 0);
        return item ? item->text() : QString();
    };
    if (m_folder != QLatin1String(".") && nameAt(0) != up) {
        const ZnMediaFile_t back = upEntry();
        addMediaFileRow(&back, 0);
    }
    // Rows renamed since the listing are not in it and keep their places.
    int row = 0;
    for (; row < m_table->rowCount(); ++row) {
        const QString name = nameAt(row);
        if (name == m_listed.at(at).namePart)
            return;
        if (name != up && order.value(name, -1) > at)
            break;
    }
    const ZnMediaFile_t entry = m_listed.at(at);
    addMediaFileRow(&entry, row);
}

int ZnMediaViewCtrl::addMediaFileRow(const ZnMediaFile_t* entry, int row)
{
    if (!entry || !m_table)
        return -1;
    ZnTableRow cells;
    const bool isDir = entry->Size.compare(QLatin1String("-1"), Qt::CaseInsensitive) == 0;
    cells.reserve(4);
    cells.add(entry->namePart, isDir ? 1 : 0)->setIcon(isDir ? m_folderIcon : m_fileIcon);
    cells.addText(entry->CreatDate);
    cells.addText(isDir ? m_folderText : m_fileText);
    if (!isDir) {
        // Sizes are 64-bit: files over 2 GiB keep their true size.
        const qint64 bytes = qMax<qint64>(0, entry->Size.toLongLong());
        cells.addText(QString::fromStdString(ZnCommon::formatSizeMB(quint64(bytes))))->setData(Qt::UserRole, bytes);
    }
    placeRow(cells, row);
    return 0;
}

void ZnMediaViewCtrl::placeRow(ZnTableRow& cells, int row)
{
    // A listing's rows come in order; any other row is inserted where it is asked for.
    if (m_fill && row == m_fill->rowsAppended())
        m_fill->append(cells);
    else
        ZnTableFill::insertRow(m_table, row, cells);
}

void ZnMediaViewCtrl::setProblem(const QString& text)
{
    m_problem = text;
    updateNotice();
}

QString ZnMediaViewCtrl::noticeText() const
{
    return m_notice && !m_notice->isHidden() ? m_notice->text() : QString();
}

void ZnMediaViewCtrl::placeNotice()
{
    if (!m_table)
        return;
    auto* label = new QLabel;
    label->setObjectName(QStringLiteral("fServiceNotice"));
    // The notice quotes the file service's reasons.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setStyleSheet(QStringLiteral("background-color: #fdf6ec; color: #b25d00; border: 1px solid #f5dab1;"
                                        " padding: 4px;"));
    label->hide();
    m_notice = label;
    // Above the table in its own layout, so the notice covers no row.
    if (QWidget* parent = m_table->parentWidget()) {
        for (QBoxLayout* box : parent->findChildren<QBoxLayout*>()) {
            const int at = box->indexOf(m_table);
            if (at >= 0) {
                box->insertWidget(at, label);
                return;
            }
        }
    }
    label->setParent(m_table);
}

void ZnMediaViewCtrl::updateNotice()
{
    if (!m_notice)
        return;
    QStringList lines;
    if (m_unreachable || (!hasRoot() && !m_rootMissing.isEmpty())) {
        const QString why = m_unreachable ? QString() : m_rootMissing;
        lines << QStringLiteral("无法连接文件服务 %1").arg(TcpSocketClient::instance()->serviceAddress())
                     + (why.isEmpty() ? QString() : QStringLiteral("（%1）").arg(why));
    }
    if (!m_problem.isEmpty())
        lines << m_problem;
    // The service's reasons and folder names may be of any length.
    ZnServerText::showWrapped(m_notice, lines.join(QLatin1Char('\n')));
    if (m_notice->parentWidget() == m_table) {
        m_notice->resize(m_table->width(), m_notice->heightForWidth(m_table->width()));
        m_notice->raise();
    }
    m_notice->setVisible(!lines.isEmpty());
}
