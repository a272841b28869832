#pragma once

#include "ShadowWidget.h"
#include "ZnOpenedFields.h"
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
    // Whether the operator changed the field since setName().
    bool nameChanged() const;
    // Puts the entered name into stored only when the operator changed the
    // field; returns whether it did. A name left alone keeps what the caller
    // holds now: a rename pushed while the dialog was open, or a stored name
    // longer than the field shows.
    bool writeChanged(std::string &stored) const;

public slots:
    void accept() override;
    void reject() override;

private:
    std::string name;
    Ui::fSetNameDialog ui;
    // What the field showed when the name was set.
    ZnOpenedFields opened;
};
