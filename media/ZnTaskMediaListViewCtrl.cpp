#include "ZnTaskMediaListViewCtrl.h"

#include "ZnCommon.h"
#include "ZnCommonTable.h"
#include "ZnFtpClientMgr.h"

#include <QTableWidget>

void ZnTaskMediaListViewCtrl::requestDirList(const QString& path)
{
    if (ZnFtpClientMgr* mgr = ZnFtpClientMgr::instance())
        mgr->getFileListOf(path);
}

void ZnTaskMediaListViewCtrl::fillMediaRow(const ZnMediaFile_t& entry, int row)
{
    setItemQString(entry.namePart, row, 0, entry.isDir);
    if (!entry.isDir) {
        const qint64 bytes = qMax<qint64>(0, entry.Size.toLongLong());
        ZnCommon::setTableItem2(m_table, QString::fromStdString(ZnCommon::formatSizeMB(quint64(bytes))), row, 1,
                                quint64(bytes));
    }
    setRowIcon(row);
}
