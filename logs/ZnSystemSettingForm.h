#pragma once

#include "ui_settingSystemSetForm.h"

#include <QDate>
#include <QWidget>

class ZnBackupTransfers;
class QGroupBox;
class QLabel;

// The page of the management server's own settings: title, administrator
// password, voice-activity time-out, and (built hidden) the talk-recording and
// talk-log servers and the database backup and restore.
class ZnSystemSettingForm : public QWidget
{
    Q_OBJECT
public:
    // Request types of the settings sent through the configuration model.
    enum ServerParameterId {
        SystemNameType = 173,
        RecordServerType = 176,
        LogServerType = 179,
        AdminPasswordType = 180,
        BackupType = 181,
        RestoreType = 182
    };

    ZnSystemSettingForm();

    // The system title: the default until the server configuration gives one.
    QString titleText() const { return m_title; }
    Ui_settingSystemSetForm &form() { return ui; }

    // "ZNX_yyyy-MM-dd.backup" for that day.
    static QString backupFileName(const QDate &day);
    // The leading decimal number of a time-out text; 0 when it has none.
    static int leadingNumber(const QString &text);
    // Why that file cannot be sent for a restore ("" when it can).
    static QString restoreFileProblem(const QString &path);
    static const qint64 kMaxRestoreBytes = 1073741824;

signals:
    void sendTitleString(QString title);

public slots:
    void settingButtonEnable(bool) {}
    void setting_btn_click() {}
    void slot_setRecordServerBtnClick();
    void slot_gotServerConfig();
    void slot_gotBackupMd5();
    void slot_downlaodFinish();
    void slot_uplaodFinish();
    void slot_setLogServerBtnClick();
    void slot_setPasswordBtnClick();
    void slot_setVadPttBtnClick();
    void slot_uploadRestoreDirClicked();
    void slot_backupDownloadDirClicked();
    void slot_uploadRestoreStartClicked();
    void slot_backupDownloadStartClicked();
    void slot_saveTitleClicked();

protected:
    // The choices the operator makes in dialogs; tests answer them.
    virtual QString chooseBackupFolder();
    virtual QString chooseRestoreFile();
    // Where the backup is fetched to before it is checked: the program's folder.
    virtual QString downloadFolder() const;
    // Message box titled title; returns 1 when the operator confirmed.
    virtual int tell(const QString &text, int type = 1, const QString &title = QString());

private:
    void connectSignals();
    void initWidgets();
    // Sends "address:port" of a server box and shows the answer on its label.
    void sendServer(QGroupBox *box, const QString &address, int type, QLabel *label);
    // Shows a refused setting; true when the answer was 0.
    bool reportResult(int result);
    void backupChecked(const QString &digest);
    void restoreChecked(const QString &digest);
    // Copies the checked backup into folder; the path written, or "" when none
    // was, with why when the disk was full or the path too long.
    QString saveBackupCopy(const QString &file, const QString &folder, QString *why);

    Ui_settingSystemSetForm ui;
    QString m_title;
    QString m_backupLocalPath;
    QString m_backupMd5;
    QString m_restoreMd5;
    QString m_restoreName;
    QString m_restorePath;
    QString m_backupAsked; // the backup file asked for, until the server reports it
    ZnBackupTransfers *m_transfers;
};
