#pragma once

#include "ShadowWidget.h"
#include "ZnOpenedFields.h"
#include "ui_SchemePropertyDialog.h"

#include <QDialog>

#include <string>

// Edits the name and comment of a timer plan.
class QtSchemePropertyDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    explicit QtSchemePropertyDialog(QWidget *parent);

    // Each non-empty text goes into its edit.
    void setTexts(const std::string &name, const std::string &comment);
    // An edit left as setTexts filled it gives back the text as it was given,
    // which it may not hold whole (longer than its limit, no UTF-8).
    std::string name() const;
    std::string comment() const;

public slots:
    // An empty name is refused and the dialog stays open.
    void accept() override;

private:
    Ui::SchemePropertyDialog ui;
    std::string givenName, givenComment;
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
