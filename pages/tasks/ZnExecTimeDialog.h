#pragma once

#include "ShadowWidget.h"
#include "ZnExecTime.h"
#include "ZnOpenedFields.h"
#include "ui_fExectTimeDialog.h"

#include <QDialog>
#include <QTime>

// Names one execution time of a timer task and sets its time of day.
class ZnExecTimeDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    ZnExecTimeDialog();

    void setEntry(const ZnExecTime &entry);
    // Seconds from the time edit; the name only when the edit is not empty, cut to
    // 31 bytes on a character boundary.
    void entry(ZnExecTime &out) const;

    // Three minutes after the current minute, as the dialog first shows it.
    static QTime defaultTime(const QTime &now);
    Ui::fExectTimeDialog &form() { return ui; }

public slots:
    // Refuses a name holding a separator of the stored execution times.
    void accept() override;

private:
    Ui::fExectTimeDialog ui;
    // What the fields showed when an entry was set.
    ZnOpenedFields opened;
};
