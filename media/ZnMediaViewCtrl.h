#pragma once

#include "ZnMediaFile_t.h"
#include "ZnMediaListSink.h"
#include "ZnTerBaseCtr.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

class QTableWidget;

// Turns a table into a browser of the server's media library: lists a folder
// through the file-service client, enters a folder on double click, goes back
// with a ".." row, and builds the server path of a name. The library has two
// levels, the root and the folders directly below it.
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

    void emitDirListFinished(QList<ZnMediaFile_t>* list) override;
    // root/current folder/name, cleaned.
    QString fullPath(const QString& name) const;
    QString currentRoot() const { return m_root; }
    QString currentFolder() const { return m_folder; }
    // Lists the root again (asking the worker for it while none was reported).
    void refreshMediaList();
    bool hasItemInColumn1(int row) const;

signals:
    void getDirListFinished(QList<ZnMediaFile_t>* list);
    void updateMediaPath(QString path);

public slots:
    virtual void mediaTableDClicked();
    virtual void mediaTableClicked() {}
    void showMediaTable(QList<ZnMediaFile_t>* list);
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

    // Fills an existing row from the entry.
    virtual void fillMediaRow(const ZnMediaFile_t& entry, int row);
    // Column-0 icon by the row's folder flag.
    void setRowIcon(int row);
};
