#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include "ShadowWidget.h"
#include "ui_LogExportDialog.h"

class LogExportThread;

// Asks for a file name and a folder and exports one whole log into it as CSV,
// with progress. Closing the dialog stops a running export and waits for it, so
// the export never queries the shared database connection beside the pages.
class LogExportDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    LogExportDialog(QWidget *parent, QStringList headers, int kind);
    ~LogExportDialog() override;

    Ui::LogExportDialog &form() { return ui; }
    // The header line the page handed over.
    QStringList headerList() const { return headers; }
    // The running export, or null.
    LogExportThread *exportThread() const;
    // folder/name, with ".csv" added unless the name ends in it.
    static QString exportPath(const QString &folder, const QString &name);

public slots:
    void user_define_btn_clicked();
    void export_btn_clicked();
    void update_export_rate(long percent);
    void update_finish_flag(int code);
    void reject() override;

private:
    void initDialog();
    void chooseFolder(const QString &folder);
    void stopExport();

    Ui::LogExportDialog ui;
    QStringList headers;
    int kind;
    QString fileName;
    QString directory;
    QPointer<LogExportThread> thread;
    bool closing = false;
};
