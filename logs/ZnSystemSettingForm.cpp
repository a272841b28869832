#include "ZnSystemSettingForm.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpressionValidator>

#include <cerrno>
#include <cstdio>
#include <utility>

#include "BaseMessageDialog.h"
#include "ZnBackupTransfers.h"
#include "ZnCommon.h"
#include "ZnConfigSettings.h"
#include "ZnFileFailure.h"
#include "ZnFileMd5.h"
#include "ZnNewFile.h"
#include "ZnServerConfigMgr.h"
#include "ZnServerParam.h"

namespace {
const char kDefaultTitle[] = "管理中心";
const char kSet[] = "[已设置]";
const char kSetFailed[] = "[设置失败]";

ZnServerConfigMgr *model()
{
    return ZnServerConfigMgr::instance();
}

QString defaultTitle()
{
    return QString::fromUtf8(kDefaultTitle);
}

void print(const char *format, const QString &text)
{
    std::printf(format, text.toUtf8().constData());
    std::fflush(stdout);
}
} // namespace

ZnSystemSettingForm::ZnSystemSettingForm() : m_title(defaultTitle()), m_transfers(new ZnBackupTransfers(this))
{
    setObjectName(QStringLiteral("ZnSystemSettingForm"));
    ui.setupUi(this);
    connectSignals();
    initWidgets();
    model()->requestSystemParameter();
}

void ZnSystemSettingForm::connectSignals()
{
    ZnServerConfigMgr *m = model();
    connect(m, &ZnServerConfigMgr::gotServerList, this, &ZnSystemSettingForm::slot_gotServerConfig);
    connect(m, &ZnServerConfigMgr::gotBackupMd5, this, &ZnSystemSettingForm::slot_gotBackupMd5);
    connect(m, &ZnServerConfigMgr::downloadFinish, this, &ZnSystemSettingForm::slot_downlaodFinish);
    connect(m, &ZnServerConfigMgr::uploadFinish, this, &ZnSystemSettingForm::slot_uplaodFinish);
    connect(ui.fRecordButton, &QPushButton::clicked, this, &ZnSystemSettingForm::slot_setRecordServerBtnClick);
    connect(ui.fTalkLogButton, &QPushButton::clicked, this, &ZnSystemSettingForm::slot_setLogServerBtnClick);
    connect(ui.fUserPassButton, &QPushButton::clicked, this, &ZnSystemSettingForm::slot_setPasswordBtnClick);
    connect(ui.fVadpushButton, &QPushButton::clicked, this, &ZnSystemSettingForm::slot_setVadPttBtnClick);
    connect(ui.fBackupDirBtn, &QPushButton::clicked, this, &ZnSystemSettingForm::slot_backupDownloadDirClicked);
    connect(ui.fRestoreDirBtn, &QPushButton::clicked, this, &ZnSystemSettingForm::slot_uploadRestoreDirClicked);
    connect(ui.fBackupStartBtn, &QPushButton::clicked, this, &ZnSystemSettingForm::slot_backupDownloadStartClicked);
    connect(ui.fRestoreStartBtn, &QPushButton::clicked, this, &ZnSystemSettingForm::slot_uploadRestoreStartClicked);
    connect(ui.fSaveTileBtn, &QPushButton::clicked, this, &ZnSystemSettingForm::slot_saveTitleClicked);
    connect(m_transfers, &ZnBackupTransfers::downloadFailed, this, [this](const QString &why) {
        m_backupLocalPath.clear();
        tell(tr("The backup was not downloaded: %1").arg(why));
    });
    connect(m_transfers, &ZnBackupTransfers::uploadFailed, this, [this](const QString &why) {
        // No restore is asked for a file the server has not got whole.
        m_restoreName.clear();
        ui.fRestoreStartBtn->setEnabled(true);
        tell(tr("The restore file was not uploaded: %1").arg(why));
    });
}

void ZnSystemSettingForm::initWidgets()
{
    ui.fPassLe->setMaxLength(6);
    ui.fPassLe->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[a-zA-Z0-9]+$")), ui.fPassLe));
    for (QWidget *w :
         std::initializer_list<QWidget *>{ui.fBackupStartBtn, ui.fRestoreStartBtn, ui.fBackupLe, ui.fRestoreLe})
        w->setEnabled(false);
    ui.fServerBackupGb->hide();
    ui.fTalkLogGb->hide();
    ui.fRecordServerGb->hide();
    m_title = defaultTitle();
    ui.fTitleLe->setText(m_title);
}

QString ZnSystemSettingForm::backupFileName(const QDate &day)
{
    return QStringLiteral("ZNX_") + day.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(".backup");
}

int ZnSystemSettingForm::leadingNumber(const QString &text)
{
    return ZnCommon::atoiClamped(text.toUtf8().constData());
}

QString ZnSystemSettingForm::restoreFileProblem(const QString &path)
{
    const QFileInfo info(path);
    const QByteArray name = info.fileName().toLocal8Bit();
    if (name.size() > 128)
        return QStringLiteral("文件名称超长！");
    if (!ZnCommon::isValidName(name.toStdString()))
        return QStringLiteral("文件名包含非法字符！");
    if (info.size() > kMaxRestoreBytes)
        return QStringLiteral("%1\n%2").arg(info.absoluteFilePath(), QStringLiteral("文件大于1024MB，禁止上传！"));
    return QString();
}

int ZnSystemSettingForm::tell(const QString &text, int type, const QString &title)
{
    BaseMessageDialog box(title.isEmpty() ? QStringLiteral("提示") : title, text, type);
    return box.exec();
}

bool ZnSystemSettingForm::reportResult(int result)
{
    if (result == 0)
        return true;
    tell(tr("The server did not take the setting (result %1).").arg(result));
    return false;
}

void ZnSystemSettingForm::slot_gotServerConfig()
{
    bool titled = false;
    const auto fill = [](const std::string &value, QLineEdit *address, QLineEdit *port, QLabel *label) {
        const QStringList parts = QString::fromStdString(value).split(QLatin1Char(':'));
        if (parts.size() < 2)
            return;
        address->setText(parts.at(0));
        port->setText(parts.at(1));
        label->setText(QString::fromUtf8(kSet));
    };
    for (const ZnServerParam &p : model()->serverList()) {
        switch (p.kind) {
        case ZnServerParam::RecordServer:
            fill(p.value, ui.fTbRecordIp, ui.fTbRecordPort, ui.kRecordNoteLabel);
            break;
        case ZnServerParam::TalkLogServer:
            fill(p.value, ui.fTbLogIp, ui.fTbLogPort, ui.kTalkLogNoteLabel);
            break;
        case ZnServerParam::VadPttTimeout:
            ui.fVadlineEdit->setText(QString::fromStdString(p.value));
            ui.fVadlabel->setText(QString::fromUtf8(kSet));
            break;
        case ZnServerParam::SystemName:
            titled = true;
            m_title = QString::fromStdString(p.value);
            ui.fTitleLe->setText(m_title);
            emit sendTitleString(m_title);
            break;
        default:
            break;
        }
    }
    if (!titled) {
        m_title = defaultTitle();
        emit sendTitleString(m_title);
        ui.fTitleLe->setText(m_title);
    }
}

void ZnSystemSettingForm::sendServer(QGroupBox *box, const QString &address, int type, QLabel *label)
{
    if (box->isChecked()) {
        const int result = model()->setNamedParameter(address.toStdString(), type);
        label->setText(QString::fromUtf8(result == 0 ? kSet : kSetFailed));
        reportResult(result);
    }
    box->setChecked(false);
}

void ZnSystemSettingForm::slot_setRecordServerBtnClick()
{
    sendServer(ui.fRecordServerGb, ui.fTbRecordIp->text() + QLatin1Char(':') + ui.fTbRecordPort->text(),
               ZnSystemSettingForm::RecordServerType, ui.kRecordNoteLabel);
}

void ZnSystemSettingForm::slot_setLogServerBtnClick()
{
    sendServer(ui.fTalkLogGb, ui.fTbLogIp->text() + QLatin1Char(':') + ui.fTbLogPort->text(),
               ZnSystemSettingForm::LogServerType, ui.kTalkLogNoteLabel);
}

void ZnSystemSettingForm::slot_setPasswordBtnClick()
{
    if (ui.fUserPassGb->isChecked()) {
        if (ui.fPassLe->text().isEmpty())
            tell(QStringLiteral("密码不能为空！"));
        else
            reportResult(
                model()->setNamedParameter(ui.fPassLe->text().toStdString(), ZnSystemSettingForm::AdminPasswordType));
    }
    ui.fPassLe->clear();
    ui.fUserPassGb->setChecked(false);
}

void ZnSystemSettingForm::slot_setVadPttBtnClick()
{
    if (ui.fVadgroupBox->isChecked()) {
        const QString text = ui.fVadlineEdit->text();
        if (leadingNumber(text) < 300) {
            tell(QStringLiteral("超时时间必须大于或者等于300秒"));
            for (const ZnServerParam &p : model()->serverList()) {
                if (p.kind == ZnServerParam::VadPttTimeout)
                    ui.fVadlineEdit->setText(QString::fromStdString(p.value));
            }
        } else {
            // A refusal is told in its box; the label keeps what it said.
            if (reportResult(model()->modifyAdmin(text.toStdString())))
                ui.fVadlabel->setText(QString::fromUtf8(kSet));
        }
    }
    ui.fVadgroupBox->setChecked(false);
}

void ZnSystemSettingForm::slot_saveTitleClicked()
{
    const QString title = ui.fTitleLe->text();
    if (title.isEmpty()) {
        tell(QStringLiteral("请输入名称！"));
        return;
    }
    ui.fTitleNameGb->setChecked(false);
    // The window shows and keeps only a title the server took.
    const int result = model()->setNamedParameter(title.toStdString(), ZnSystemSettingForm::SystemNameType);
    if (!reportResult(result)) {
        ui.fTitleLe->setText(m_title);
        return;
    }
    m_title = title;
    emit sendTitleString(title);
    ZnConfigSettings().setValue(QStringLiteral("Setting/Title"), title);
}

QString ZnSystemSettingForm::chooseBackupFolder()
{
    return QFileDialog::getExistingDirectory(nullptr, QStringLiteral("文件保存"), QDir::currentPath(),
                                             QFileDialog::ShowDirsOnly);
}

QString ZnSystemSettingForm::chooseRestoreFile()
{
    return QFileDialog::getOpenFileName(this, QStringLiteral("文件选择"), QStringLiteral("./"),
                                        tr("Backup Files (*.backup)"));
}

QString ZnSystemSettingForm::downloadFolder() const
{
    return QCoreApplication::applicationDirPath();
}

void ZnSystemSettingForm::slot_backupDownloadDirClicked()
{
    const QString folder = chooseBackupFolder();
    if (folder.isEmpty())
        return;
    ui.fBackupLe->setText(folder);
    ui.fBackupStartBtn->setEnabled(true);
}

void ZnSystemSettingForm::slot_backupDownloadStartClicked()
{
    if (!ui.fBackupLe->text().isEmpty()) {
        m_backupAsked = backupFileName(QDate::currentDate());
        const int result = model()->setParameter(m_backupAsked.toStdString(), ZnSystemSettingForm::BackupType);
        if (result != 0) {
            m_backupAsked.clear();
            tell(tr("The server made no backup (result %1).").arg(result));
        }
    }
    ui.fBackupStartBtn->setEnabled(false);
}

void ZnSystemSettingForm::slot_gotBackupMd5()
{
    // Only the report of this page's own request starts a download, and only of
    // the file it asked for: the name decides what is written in the program's
    // folder, where config.ini and the program itself live.
    if (m_backupAsked.isEmpty())
        return;
    const QString asked = std::exchange(m_backupAsked, QString());
    const ZnServerParam backup = model()->backupResult();
    const QString name = QString::fromStdString(backup.name);
    if (name != asked) {
        tell(tr("The server reported an unusable backup file name: %1").arg(name));
        return;
    }
    const QString local = downloadFolder() + QLatin1Char('/') + name;
    m_backupLocalPath = local;
    m_backupMd5 = QString::fromStdString(backup.value);
    if (!m_transfers->download(name, local)) {
        m_backupLocalPath.clear();
        tell(tr("The backup was not downloaded: %1").arg(tr("file service unavailable")));
    }
}

void ZnSystemSettingForm::slot_downlaodFinish()
{
    if (m_backupLocalPath.isEmpty())
        return;
    ZnFileMd5::start(m_backupLocalPath, this, [this](const QString &digest) { backupChecked(digest); });
}

void ZnSystemSettingForm::backupChecked(const QString &digest)
{
    print("md5-des %s.\n", digest);
    print("md5-download %s.\n", m_backupMd5);
    const QString local = m_backupLocalPath;
    m_backupLocalPath.clear();
    if (!ZnFileMd5::same(digest, m_backupMd5)) {
        QFile::remove(local);
        tell(QStringLiteral("Md5校验失败！"));
        return;
    }
    const QString name = QFileInfo(local).fileName();
    QString why;
    const QString saved = saveBackupCopy(local, ui.fBackupLe->text(), &why);
    if (saved.isEmpty()) {
        tell(why.isEmpty() ? tr("The backup could not be saved in %1.").arg(ui.fBackupLe->text())
                           : tr("The backup could not be saved in %1: %2.").arg(ui.fBackupLe->text(), why));
        return;
    }
    QString text = QFileInfo(saved).fileName() + QStringLiteral("下载完成！");
    if (QFileInfo(saved).fileName() != name)
        text += QLatin1Char('\n')
                + tr("A file named %1 exists there already; the backup was saved as %2.")
                      .arg(name, QFileInfo(saved).fileName());
    tell(text, 1, QStringLiteral("备份提示"));
}

QString ZnSystemSettingForm::saveBackupCopy(const QString &file, const QString &folder, QString *why)
{
    const QFileInfo source(file);
    const QDir dir(folder);
    // Written whole under a temporary name first: a full disk leaves nothing behind.
    ZnNewFile copy(QFile::encodeName(dir.filePath(source.fileName())).toStdString(), ZnNewFile::NameAnew);
    QFile in(file);
    bool ok = in.open(QIODevice::ReadOnly) && copy.open();
    QByteArray block(1 << 16, Qt::Uninitialized);
    for (qint64 n = 0; ok && (n = in.read(block.data(), block.size())) != 0;)
        ok = n > 0 && copy.write(block.constData(), size_t(n));
    // A file of that name stays; the copy takes the first free "name (n)".
    QString name = source.fileName();
    for (int n = 2; ok && n <= 1000; ++n) {
        if (copy.commitAs(QFile::encodeName(name).toStdString()))
            return dir.filePath(name);
        ok = copy.error() == EEXIST;
        name = source.completeBaseName() + QStringLiteral(" (%1).").arg(n) + source.suffix();
    }
    *why = ZnFileFailure::of(copy).text();
    return QString();
}

void ZnSystemSettingForm::slot_uploadRestoreDirClicked()
{
    const QString file = chooseRestoreFile();
    if (file.isEmpty())
        return;
    ui.fRestoreLe->setText(file);
    ui.fRestoreStartBtn->setEnabled(true);
}

void ZnSystemSettingForm::slot_uploadRestoreStartClicked()
{
    const QString path = ui.fRestoreLe->text();
    const QString problem = restoreFileProblem(path);
    if (!problem.isEmpty()) {
        tell(problem);
        return;
    }
    m_restorePath = path;
    m_restoreName.clear();
    // The digest of up to a gigabyte is read on its own thread; the page waits.
    ui.fRestoreStartBtn->setEnabled(false);
    ZnFileMd5::start(path, this, [this](const QString &digest) { restoreChecked(digest); });
}

void ZnSystemSettingForm::restoreChecked(const QString &digest)
{
    if (digest.isEmpty()) {
        ui.fRestoreStartBtn->setEnabled(true);
        tell(tr("%1 cannot be read.").arg(m_restorePath));
        return;
    }
    m_restoreMd5 = digest;
    m_restoreName = QFileInfo(m_restorePath).fileName();
    print("upload %s.\n", digest);
    if (!m_transfers->upload(m_restorePath, m_restoreName)) {
        m_restoreName.clear();
        ui.fRestoreStartBtn->setEnabled(true);
        tell(tr("The restore file was not uploaded: %1").arg(tr("file service unavailable")));
    }
}

void ZnSystemSettingForm::slot_uplaodFinish()
{
    if (m_restoreName.isEmpty())
        return;
    const std::string name = m_restoreName.toLocal8Bit().toStdString();
    m_restoreName.clear();
    const int result = model()->backupData(m_restoreMd5.toStdString(), name, ZnSystemSettingForm::RestoreType);
    if (result == 0) {
        ui.fRestoreStartBtn->setEnabled(false);
        tell(QStringLiteral("数据恢复完成！"), 4);
        return;
    }
    ui.fRestoreStartBtn->setEnabled(true);
    tell(QStringLiteral("数据恢复失败！"));
}
