#pragma once

#include "TransferRecord.h"
#include "ZnFileNote.h"
#include "ZnTerBaseCtr.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <list>

class QAction;
class QMenu;
class QPoint;
class QTableWidget;

// The media page's transfer queue: one row per download or upload, uploads
// converted to MP3 one at a time first, progress redrawn every 200 ms, finished
// rows removed, and the records written to the note file when it goes.
class ZnDownAndUploadViewCtr : public QObject, public ZnTerBaseCtr
{
    Q_OBJECT
public:
    static const char* const kNoteFile;
    static const char* const kTempDir;

    explicit ZnDownAndUploadViewCtr(QTableWidget* table);
    ~ZnDownAndUploadViewCtr() override;

    QWidget* widget() override;
    QTableWidget* tableWidget() override { return m_table; }

    // 0 queued (and started), -1 refused.
    int queueDownload(const char* name, const char* serverPath, const char* localPath, qint64 size);
    int queueUpload(const char* name, const char* localPath, const char* serverPath, qint64 size);

    // State 0-5 from the shared texts; 6 failed.
    static QString stateText(int state);
    // ./temp_mp3/ plus the source's file name, a final ".wav" made ".mp3".
    static QString mp3NameOf(const QString& source);
    // A copy of the first record with that id; an unknown id gives state 2 and zeros.
    TransferRecord findRecord(int id);
    int recordCount();

public slots:
    void downloadAction();
    void uploadAction();
    void pauseAction();
    void deleteAction();
    void tableWidgetClick();
    void showMediaMenu(const QPoint& pos);
    void transcode_finished(bool ok, const QString& target);
    void slot_progressIndicator(int id, qint64 done);
    void slot_transferFinished(int id, bool ok, const QString& error);
    void slot_transferSizeKnown(int id, qint64 size);

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    int uniqueId(const QString& name);
    bool startDownload(const TransferRecord& r);
    bool startUpload(const TransferRecord& r);
    void startTranscode();
    void addRecord(const TransferRecord& r);
    void replaceRecord(const TransferRecord& r);
    void removeRecord(int id);
    void setShown(int id, qint64 shown);
    void addRow(const TransferRecord& r);
    void fillRow(int row, const TransferRecord& r);
    void rewriteRow(const TransferRecord& r);
    void fail(TransferRecord& r, const QString& why);
    static void dropTempFolder(TransferRecord& r);
    // Converting, waiting to, or moving bytes: not failed.
    static bool isRunning(const TransferRecord& r);
    void updateMenuActions(const TransferRecord& r);
    bool currentRecord(TransferRecord& out);
    // The record of the row the menu was opened on, found again by its id.
    bool menuRecord(TransferRecord& out);
    void createMenu();
    void cleanTempDir();
    void saveNote();

    QTableWidget* m_table;
    std::list<TransferRecord> m_records;
    QMutex m_mutex;
    std::list<TransferRecord> m_transcodeQueue;
    ZnFileNote m_note;
    QMenu* m_menu = nullptr;
    QAction* m_downloadAct = nullptr;
    QAction* m_uploadAct = nullptr;
    QAction* m_pauseAct = nullptr;
    QAction* m_deleteAct = nullptr;
    int m_timer = 0;
    int m_menuId = 0; // of the row the menu was opened on
};
