#pragma once

#include "ZnMediaFile_t.h"
#include "ZnMediaListSink.h"
#include "ZnTerBaseCtr.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QLabel;
class QTableWidget;
class ZnTableFill;
class ZnTableRow;

// Turns a table into a browser of the server's media library: lists a folder
// through the file-service client, enters a folder on double click, goes back
// with a ".." row, and builds the server path of a name. The library has two
// levels, the root and the folders directly below it.
//
// The rows shown and the folder that fullPath() names always belong together: a
// folder asked for becomes the current one only when its listing arrives, and a
// listing that fails leaves folder and rows as they were. What keeps the
// browser from the service is said in a notice beside the table.
class ZnMediaViewCtrl : public QObject, public ZnTerBaseCtr, public ZnMediaListSink
{
    Q_OBJECT
public:
    explicit ZnMediaViewCtrl(QTableWidget* table);
    ~ZnMediaViewCtrl() override;

    QWidget* widget() override;
    QTableWidget* tableWidget() override { return m_table; }

    virtual void requestDirList(const QString& path);
    // Inserts a row at row and fills it; -1 for a null entry.
    virtual int addMediaFileRow(const ZnMediaFile_t* entry, int row);

    // Sends a listing (or why it failed) on to showMediaTable, on this object's thread.
    void emitDirListFinished(const QString& folder, const QList<ZnMediaFile_t>& entries, const QString& error) override;
    // root/current folder/name, cleaned.
    QString fullPath(const QString& name) const;
    QString currentRoot() const { return m_root; }
    QString currentFolder() const { return m_folder; }
    // The server folder the rows belong to.
    QString currentPath() const;
    // The row that shows name while folder is shown, -1 otherwise. A flow that
    // opens a box keeps folder and name, not a row: a listing may arrive meanwhile.
    int rowOf(const QString& folder, const QString& name) const;
    // Whether the service has named its media root; nothing is written before.
    bool hasRoot() const { return m_root != QLatin1String("."); }
    // Lists the root again (asking the worker for it while none was reported).
    void refreshMediaList();
    bool hasItemInColumn1(int row) const;
    // Puts the row of path back where the folder's last listing had it (and the
    // ".." row inside a folder): a delete the service did not carry out must not
    // leave its row missing while the service cannot be listed.
    void restoreRow(const QString& path);

    // Why the last operation on the service failed, shown in the notice until a
    // listing succeeds; empty clears it.
    void setProblem(const QString& text);
    // The text of the notice (empty while hidden).
    QString noticeText() const;
    // Whether the last command did not reach the service.
    bool serviceUnreachable() const { return m_unreachable; }

signals:
    void getDirListFinished(QString folder, QList<ZnMediaFile_t> entries, QString error);
    void updateMediaPath(QString path);

public slots:
    virtual void mediaTableDClicked();
    virtual void mediaTableClicked() {}
    // Shows the listing of folder when it is the folder asked for or the one shown;
    // a failure is said in the notice and leaves the rows.
    void showMediaTable(const QString& folder, const QList<ZnMediaFile_t>& entries, const QString& error);
    void slot_updateCurrentPathList();
    void slot_setMediaRoot(const QString& root);

protected:
    QTableWidget* m_table;
    QString m_root = QStringLiteral(".");
    QString m_folder = QStringLiteral(".");
    const QString m_separator = QStringLiteral("/");
    QIcon m_fileIcon;
    QIcon m_folderIcon;
    const QString m_folderText;
    const QString m_fileText;

    // Puts a finished row at row: as the next row of the listing being shown, or
    // inserted into the table.
    void placeRow(ZnTableRow& cells, int row);

private:
    void fill(const QList<ZnMediaFile_t>& entries);
    ZnMediaFile_t upEntry() const;
    void goTo(const QString& folder, const QString& path);
    void placeNotice();
    void updateNotice();

    // The folder asked for and its server path, until its listing arrives.
    QString m_pendingFolder;
    QString m_pendingPath;
    bool m_unreachable = false;
    QString m_rootMissing;
    QString m_problem;
    // The entries of the current folder as last listed.
    QList<ZnMediaFile_t> m_listed;
    QPointer<QLabel> m_notice;
    // While a listing is shown: the one pass that takes its rows in order.
    ZnTableFill* m_fill = nullptr;
};
