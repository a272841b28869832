#include "ZnTaskMediaListViewCtrl.h"

#include "ZnCommon.h"
#include "ZnTableRow.h"
#include "ZnFtpClientMgr.h"

#include <QTableWidgetItem>

void ZnTaskMediaListViewCtrl::requestDirList(const QString& path)
{
    if (ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance())
        mgr->getFileListOf(path);
}

void ZnTaskMediaListViewCtrl::buildRow(const ZnMediaFile_t& entry, ZnTableRow& row) const
{
    row.clear(); // cells a table took leave their places behind
    row.reserve(2);
    row.add(entry.namePart, entry.isDir)->setIcon(entry.isDir ? m_folderIcon : m_fileIcon);
    if (!entry.isDir) {
        const qint64 bytes = qMax<qint64>(0, entry.Size.toLongLong());
        row.addText(QString::fromStdString(ZnCommon::formatSizeMB(quint64(bytes))))
            ->setData(Qt::UserRole, QVariant::fromValue<quint64>(quint64(bytes)));
    }
}
