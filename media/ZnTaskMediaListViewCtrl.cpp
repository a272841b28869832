#include "ZnTaskMediaListViewCtrl.h"

#include "ZnCommon.h"
#include "ZnFtpClientMgr.h"
#include "ZnTableRow.h"

#include <QTableWidgetItem>

void ZnTaskMediaListViewCtrl::requestDirList(const QString& path)
{
    if (ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance())
        mgr->getFileListOf(path);
}

int ZnTaskMediaListViewCtrl::addMediaFileRow(const ZnMediaFile_t* entry, int row)
{
    if (!entry || !m_table)
        return -1;
    ZnTableRow cells;
    cells.reserve(2);
    cells.add(entry->namePart, entry->isDir)->setIcon(entry->isDir ? m_folderIcon : m_fileIcon);
    if (!entry->isDir) {
        const qint64 bytes = qMax<qint64>(0, entry->Size.toLongLong());
        cells.addText(QString::fromStdString(ZnCommon::formatSizeMB(quint64(bytes))))
            ->setData(Qt::UserRole, QVariant::fromValue<quint64>(quint64(bytes)));
    }
    placeRow(cells, row);
    return 0;
}
