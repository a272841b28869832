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
    // The edits' texts.
    std::string name() const;
    std::string comment() const;
    // Puts the text of each edit the operator changed into name or comment; an
    // edit left alone keeps what the caller holds: the stored text, which it may
    // not show whole (longer than its limit, no UTF-8), or one pushed meanwhile.
    void writeChanged(std::string &name, std::string &comment) const;

public slots:
    // An empty name is refused and the dialog stays open.
    void accept() override;

private:
    Ui::SchemePropertyDialog ui;
    // What the fields showed when the dialog opened.
    ZnOpenedFields opened;
};
