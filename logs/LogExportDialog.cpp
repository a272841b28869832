#include "LogExportDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QStandardPaths>

#include "BaseMessageDialog.h"
#include "LogExportKind.h"
#include "LogExportThread.h"
#include "ZnConfigSettings.h"
#include "ZnTipsInfo.h"

namespace {
const char kLastPathKey[] = "LogLastFilePath";

QString lastFolder()
{
    return ZnConfigSettings().value(QLatin1String(kLastPathKey)).toString();
}

void keepFolder(const QString &folder)
{
    ZnConfigSettings().setValue(QLatin1String(kLastPathKey), folder);
}

QString desktop()
{
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
}
}

LogExportDialog::LogExportDialog(QWidget *parent, QStringList headers, int kind)
    : ShadowWidget<QDialog>(parent), headers(std::move(headers)), kind(kind)
{
    ui.setupUi(this);
    initDialog();
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &LogExportDialog::reject);
    connect(ui.fExportBtn, &QPushButton::clicked, this, &LogExportDialog::export_btn_clicked);
    connect(ui.desktop_btn, &QPushButton::clicked, this, &LogExportDialog::user_define_btn_clicked);
    connect(ui.user_defined_btn, &QPushButton::clicked, this, &LogExportDialog::user_define_btn_clicked);
    connect(ui.close_btn, &QPushButton::clicked, this, &LogExportDialog::reject);
    // A closed dialog reports nothing more of an export it leaves running.
    connect(this, &QDialog::finished, this, [this] { closed = true; });
}

LogExportThread *LogExportDialog::exportThread() const
{
    return thread;
}

void LogExportDialog::initDialog()
{
    setMouseTracking(true);
    ui.export_bar->setRange(0, 100);
    ui.export_bar->setValue(0);
    ui.progress_widget->hide();
    ui.message_widget->hide();
    ui.icon_le->setPixmap(QPixmap(QStringLiteral(":/images/folder-open.png")));
    const QString title = QStringLiteral("日志导出");
    setWindowTitle(title);
    ui.title_name_le->setText(title);
    ui.title_name_le->setStyleSheet(QStringLiteral("color:white;"));
    const std::pair<QPushButton *, const char *> folderButtons[] = {{ui.desktop_btn, ":/images/desktop.png"},
                                                                    {ui.user_defined_btn, ":/images/folder_24px.png"}};
    for (const auto &b : folderButtons) {
        b.first->setFixedSize(69, 23);
        b.first->setFlat(true);
        b.first->setIcon(QIcon(QString::fromLatin1(b.second)));
        b.first->setStyleSheet(QStringLiteral("QPushButton{border-image:none;color:black;}"));
    }
    ui.contentGroupBox->setStyleSheet(QStringLiteral("background-color:white;"));

    switch (kind) {
    case UserLogKind:
        ui.file_name_le->setText(QStringLiteral("zn_user_log"));
        break;
    case TalkLogKind:
        ui.file_name_le->setText(QStringLiteral("zn_talkback_log"));
        break;
    case TermLogKind:
        ui.file_name_le->setText(QStringLiteral("zn_terminal_log"));
        break;
    default:
        break;
    }

    QString last = lastFolder();
    if (last.isEmpty())
        last = desktop();
    ui.directoryComboBox->addItem(last);
    ui.directoryComboBox->setCurrentIndex(
        ui.directoryComboBox->findText(last, Qt::MatchExactly | Qt::MatchCaseSensitive));

    ui.fExportBtn->setText(QStringLiteral("下载"));
    ui.fExportBtn->setIcon(QIcon(QStringLiteral(":/images/dwonload_btn_16px.png")));
    ui.fExportBtn->setDefault(true);
}

void LogExportDialog::chooseFolder(const QString &folder)
{
    if (folder.isEmpty())
        return;
    int at = ui.directoryComboBox->findText(folder, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at < 0) {
        ui.directoryComboBox->addItem(folder);
        at = ui.directoryComboBox->count() - 1;
    }
    ui.directoryComboBox->setCurrentIndex(at);
}

void LogExportDialog::user_define_btn_clicked()
{
    if (sender() == ui.desktop_btn) {
        chooseFolder(desktop());
        return;
    }
    chooseFolder(QFileDialog::getExistingDirectory(this, QStringLiteral("选择目录"), QDir::currentPath(),
                                                   QFileDialog::ShowDirsOnly));
}

QString LogExportDialog::exportPath(const QString &folder, const QString &name)
{
    QString path = folder + QLatin1Char('/') + name;
    if (!path.endsWith(QLatin1String(".csv")))
        path += QLatin1String(".csv");
    return path;
}

void LogExportDialog::export_btn_clicked()
{
    if (thread)
        return;
    const QString folder = ui.directoryComboBox->currentText();
    const QString path = exportPath(folder, ui.file_name_le->text());
    ui.fExportBtn->setEnabled(false);
    ui.fCancelBtn->setEnabled(false);
    ui.message_widget->hide();
    ui.export_bar->setValue(0);
    ui.progress_widget->show();
    keepFolder(folder);
    fileName = ui.file_name_le->text();
    directory = path;

    thread = new LogExportThread(path, headers, kind);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &LogExportThread::update_signal, this, &LogExportDialog::update_export_rate);
    connect(thread, &LogExportThread::finish_signal, this, &LogExportDialog::update_finish_flag);
    // Closing the dialog leaves the export running; quitting the program stops
    // it, a running statement broken off, and the earlier file stays.
    LogExportThread *running = thread;
    connect(qApp, &QCoreApplication::aboutToQuit, running, [running] {
        running->cancel();
        running->wait();
    });
    thread->start(QThread::InheritPriority);
}

void LogExportDialog::update_export_rate(long percent)
{
    if (closed)
        return;
    ui.export_bar->setValue(int(percent));
}

void LogExportDialog::update_finish_flag(int code)
{
    if (closed)
        return;
    // The thread ends right after this signal; a new export may start at once.
    int lost = 0;
    ZnFileFailure failure;
    if (thread) {
        thread->wait();
        lost = thread->lostCells();
        failure = thread->fileFailure();
        thread = nullptr;
    }
    switch (code) {
    case LogExportThread::Complete: {
        accept();
        QString text = QStringLiteral("日志下载完成！");
        if (lost > 0)
            text += QLatin1Char('\n') + QStringLiteral("%1 个单元格含有 GBK 无法保存的字符，已写作“?”。").arg(lost);
        BaseMessageDialog done(ZnTipsInfo::tipsTitleText(), text, 1);
        done.exec();
        return;
    }
    case LogExportThread::EmptyLog:
        ui.msg_lable->setText(QStringLiteral("日志空！"));
        ui.fCancelBtn->setText(QStringLiteral("确定"));
        ui.fExportBtn->hide();
        break;
    case LogExportThread::OpenFailed:
    case LogExportThread::DiskFull:
        // The earlier file stays; with the cause mended (room made, another folder
        // chosen) the export can run again. Only a cause this system cannot name
        // gets the advice to close the file.
        ui.msg_lable->setText(failure.named() ? tr("%1, the log was not exported!").arg(failure.text())
                                              : QStringLiteral("文件打开失败，请关闭文件尝试！"));
        ui.fExportBtn->setEnabled(true);
        break;
    case LogExportThread::NameTooLong:
        ui.msg_lable->setText(QStringLiteral("文件名称或路径超长！"));
        ui.fExportBtn->setEnabled(true);
        break;
    case LogExportThread::QueryFailed:
        ui.msg_lable->setText(QStringLiteral("数据库连接失败！"));
        ui.fCancelBtn->setText(QStringLiteral("退出"));
        ui.fExportBtn->hide();
        break;
    case LogExportThread::LogChanged:
        ui.msg_lable->setText(QStringLiteral("日志未能完整导出，请重新导出！"));
        ui.fExportBtn->setEnabled(true);
        break;
    default:
        break;
    }
    ui.message_widget->show();
    ui.progress_widget->hide();
    ui.fCancelBtn->setEnabled(true);
}
