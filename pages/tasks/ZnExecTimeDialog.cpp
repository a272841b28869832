#include "ZnExecTimeDialog.h"

#include "BaseMessageDialog.h"
#include "ZnSsTask.h"
#include "ZnTipsInfo.h"

#include <QIcon>

ZnExecTimeDialog::ZnExecTimeDialog()
{
    ui.setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    setWindowTitle(QStringLiteral("设置时间"));
    ui.fNameEdit->setMaxLength(32);
    ui.fNameEdit->setText(QStringLiteral("执行时间"));
    ui.fExecTimeEdit->setTime(defaultTime(QTime::currentTime()));
    ui.fCloseBtn->setFixedSize(23, 25);
    ui.fNameEdit->setFocus();
    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnExecTimeDialog::accept);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnExecTimeDialog::reject);
    connect(ui.fCloseBtn, &QPushButton::clicked, this, &ZnExecTimeDialog::reject);
}

QTime ZnExecTimeDialog::defaultTime(const QTime &now)
{
    return QTime(now.hour(), now.minute()).addSecs(180);
}

void ZnExecTimeDialog::setEntry(const ZnExecTime &entry)
{
    ui.fNameEdit->setText(QString::fromLocal8Bit(entry.name));
    ui.fExecTimeEdit->setTime(QTime(0, 0).addSecs(static_cast<int>(entry.seconds)));
    opened.note({ui.fNameEdit, ui.fExecTimeEdit});
}

void ZnExecTimeDialog::entry(ZnExecTime &out) const
{
    // An entry's time outside the day, or a name its edit cannot hold whole,
    // stays while its field is left alone.
    const QTime t = ui.fExecTimeEdit->time();
    opened.write(ui.fExecTimeEdit, out.seconds, t.hour() * 3600 + t.minute() * 60 + t.second());
    if (!ui.fNameEdit->text().isEmpty() && opened.changed(ui.fNameEdit))
        out.setName(ui.fNameEdit->text().toLocal8Bit().toStdString());
}

void ZnExecTimeDialog::accept()
{
    if (!ZnSsTask::fitsExecuteTimes(ui.fNameEdit->text().toLocal8Bit().toStdString())) {
        BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), tr("The name must not contain \"#$%\" or \"!!!\"!"), 1);
        box.exec();
        return;
    }
    QDialog::accept();
}
