#pragma once

#include "ZnAdvancedCtr.h"
#include "ui_MediaMgrForm.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QTableWidgetItem;
class ZnDownAndUploadViewCtr;
class ZnMediaViewCtrl;

// The media page: browses the server's media library, uploads local audio
// (converted to MP3 by the transfer queue), downloads files, and creates,
// renames and deletes folders and files. Made once at start-up; its constructor
// also points the file-service worker at the server and starts it.
class ZnMediaMgrForm : public QWidget, public ZnAdvancedCtr
{
    Q_OBJECT
public:
    explicit ZnMediaMgrForm(QWidget* parent = nullptr);
    ~ZnMediaMgrForm() override;

    QWidget* widget() override { return this; }
    QTableWidget* tableWidget() override { return ui.fMediaTableWidget; }

    ZnMediaViewCtrl* browser() const { return m_browser; }
    ZnDownAndUploadViewCtr* transfers() const { return m_transfers; }
    Ui::MediaMgrForm& form() { return ui; }

    // Queues the chosen local files for upload (the part after the file dialog).
    void uploadFiles(const QStringList& files);
    // Queues the selected files for download into folder (after the folder dialog).
    void downloadSelected(const QString& folder);

    // Rename check: none of / \ : * ? " < > | ' &.
    static bool isLegalName(const QString& name);
    // Upload check: none of / \ : * ? " < > | '.
    static bool isLegalMediaFileName(const QString& name);
    // Drops the name's last extension; files then end in exactly one ".mp3".
    static QString toServerName(const QString& name, int isDir);
    // Whether a name as it goes to the service (toServerName's) names an entry
    // directly in the folder shown that its listing would show: not "", "." or
    // "..", no separator, nothing the listing drops, and for a file not ".mp3".
    static bool isEntryName(const QString& name, int isDir);

    static const int64_t kMaxUpload = 1073741824;

public slots:
    void slot_uploadClicked();
    void slot_downloadClicked();
    void newDirClicked();
    void delMediaClicked();
    void renameClicked();
    void slot_ItemEnter(QTableWidgetItem* item);
    void slot_showMediaPath(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Indexes of gMediaOperationText.
    enum Operation { kDownload, kUpload, kCreateDir, kDelete, kRename };
    // A row as the operator chose it. Flows that open a box or a dialog take
    // these first and find the row again afterwards: a listing that arrives
    // meanwhile rebuilds the table.
    struct Entry
    {
        QString folder; // the server folder shown
        QString name;
        int isDir = 0;
        qint64 size = 0;
        QString path() const;
    };
    Entry entryOf(int row) const;
    // The selected rows (column 0), in the order of the selection.
    QList<Entry> selectedEntries() const;
    // The row that shows the entry now, -1 when the folder shown no longer has it.
    int rowNow(const Entry& entry) const;
    void tellGone(int operation, const QStringList& paths);
    void queueDownloads(const QList<Entry>& chosen, const QString& folder);
    static QString failedText(int operation);
    // Whether the service can take a change; if not, the notice says why operation failed.
    bool serviceReady(int operation);
    static void tell(const QString& title, const QString& text);
    // A change the file service did not take: the folder is listed again and the operator told why.
    void refused(const QString& what, const QString& path, const QString& why);
    static QString lastPath();
    static void setLastPath(const QString& path);

    Ui::MediaMgrForm ui;
    ZnMediaViewCtrl* m_browser = nullptr;
    ZnDownAndUploadViewCtr* m_transfers = nullptr;
    QString m_fileFilter;
};
