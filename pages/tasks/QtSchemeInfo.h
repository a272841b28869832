#pragma once

#include "ui_QtSchemeInfo.h"

#include <QWidget>

class ZnSchemeViewCtrl;

// The timer plans of one kind: add, rename or comment, delete, enable or disable;
// tells its owner which plan is chosen.
class QtSchemeInfo : public QWidget
{
    Q_OBJECT
public:
    QtSchemeInfo(QWidget *parent, int kind);
    ~QtSchemeInfo() override;

    int kind() const { return schemeKind; }
    QTableWidget *table() const { return ui.fTblSchemeList; }
    Ui::QtSchemeInfo &form() { return ui; }

signals:
    // A plan id, or -1 when the kind has no plan.
    void showTaskInfo(int id);

public slots:
    void showScheme();
    void addSchemeClicked();
    void editSchemeClicked();
    void delSchemeClicked();
    void startOrStopSchemeClicked();
    void showTask();
    void addScheme(int id);
    void updateScheme(int id);
    void deleteScheme(int id);

private:
    void message(const QString &text);

    Ui::QtSchemeInfo ui;
    int schemeKind;
    ZnSchemeViewCtrl *view;
};
