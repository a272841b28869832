#pragma once

#include "ShadowWidget.h"
#include "ui_fSetNameDialog.h"

#include <QDialog>
#include <string>

// Asks the operator for one name (at most 32 characters); an empty name is
// refused and the dialog stays open.
class BaseSetNameDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    BaseSetNameDialog();

    void setName(const char *name);
    void setTitle(const QString &title);
    std::string getName() const;

public slots:
    void accept() override;
    void reject() override;

private:
    std::string name;
    Ui::fSetNameDialog ui;
};
