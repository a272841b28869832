#include "BaseSetNameDialog.h"

#include "BaseMessageDialog.h"
#include "ZnTipsInfo.h"

#include <QIcon>

BaseSetNameDialog::BaseSetNameDialog()
{
    ui.setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    ui.fNameEdit->setMaxLength(32);
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    setTitle(ZnTipsInfo::setNameText());
    ui.fCloseBtn->setFixedSize(23, 25);
    ui.fNameEdit->setFocus();
    opened.note(ui.fNameEdit);
    connect(ui.fOkBtn, &QPushButton::clicked, this, &BaseSetNameDialog::accept);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &BaseSetNameDialog::reject);
    connect(ui.fCloseBtn, &QPushButton::clicked, this, &BaseSetNameDialog::reject);
}

void BaseSetNameDialog::setName(const char *n)
{
    if (n)
        ui.fNameEdit->setText(QString::fromLocal8Bit(n));
    opened.note(ui.fNameEdit);
}

void BaseSetNameDialog::setTitle(const QString &title)
{
    setWindowTitle(title);
    ui.titleNameLabel->setText(title);
}

std::string BaseSetNameDialog::getName() const
{
    return ui.fNameEdit->text().toLocal8Bit().toStdString();
}

bool BaseSetNameDialog::nameChanged() const
{
    return opened.changed(ui.fNameEdit);
}

bool BaseSetNameDialog::writeChanged(std::string &stored) const
{
    if (!nameChanged())
        return false;
    stored = getName();
    return true;
}

void BaseSetNameDialog::accept()
{
    const std::string n = getName();
    if (n.empty()) {
        BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), tr("Setting Error!"), 1);
        box.exec();
        return;
    }
    name = n;
    QDialog::accept();
}

void BaseSetNameDialog::reject()
{
    QDialog::reject();
}
