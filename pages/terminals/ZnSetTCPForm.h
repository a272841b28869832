#pragma once

#include "ZnBaseDialog.h"
#include "ZnTerminal.h"
#include "ui_QtSetTCPForm.h"

#include <QList>

class QCheckBox;

// Sets whether each play terminal is reached through a firewall. Sends
// nothing: OK collects copies of the terminals whose box changed into results().
class ZnSetTCPForm : public ZnBaseDialog
{
    Q_OBJECT
public:
    // kind 1: the play terminals, the only kind there is.
    explicit ZnSetTCPForm(int kind);

    const QList<ZnTerminal> &results() const { return records; }
    Ui::QtSetTCPForm &form() { return ui; }
    // The check box of a row, null past the end.
    QCheckBox *rowBox(int row) const;

public slots:
    void setAlltoTcp();
    void setAlltoUdp();
    void accept() override;

private:
    void connectSignals();
    void loadTable(int kind);
    void appendRow(const ZnTerminal &terminal);
    void setAll(bool on);
    void collectRecords();

    Ui::QtSetTCPForm ui;
    int kind;
    QList<ZnTerminal> records;
};
