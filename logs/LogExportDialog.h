#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include "ShadowWidget.h"
#include "ui_LogExportDialog.h"

class LogExportThread;

// Asks for a file name and a folder and exports one whole log into it as CSV,
// with progress. Closing the dialog leaves a running export to finish its file;
// the shared database connection takes one statement at a time.
class LogExportDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    LogExportDialog(QWidget *parent, QStringList headers, int kind);

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

private:
    void initDialog();
    void chooseFolder(const QString &folder);

    Ui::LogExportDialog ui;
    QStringList headers;
    int kind;
    QString fileName;
    QString directory;
    QPointer<LogExportThread> thread;
    bool closed = false;
};
