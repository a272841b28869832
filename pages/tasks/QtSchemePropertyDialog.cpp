#include "QtSchemePropertyDialog.h"

#include "BaseMessageDialog.h"
#include "ZnTipsInfo.h"

#include <QIcon>

QtSchemePropertyDialog::QtSchemePropertyDialog(QWidget *parent) : ShadowWidget<QDialog>(parent)
{
    ui.setupUi(this);
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    ui.fSchemeNameLe->setMaxLength(32);
    ui.fSchemeCommentLe->setMaxLength(64);
    ui.fCloseBtn->setFixedSize(23, 25);
    ui.fSchemeNameLe->setFocus();
    connect(ui.fOkButton, &QPushButton::clicked, this, &QtSchemePropertyDialog::accept);
    connect(ui.fCancelButton, &QPushButton::clicked, this, &QtSchemePropertyDialog::reject);
    connect(ui.fCloseBtn, &QPushButton::clicked, this, &QtSchemePropertyDialog::reject);
}

void QtSchemePropertyDialog::setTexts(const std::string &name, const std::string &comment)
{
    if (!name.empty())
        ui.fSchemeNameLe->setText(QString::fromLocal8Bit(name.c_str()));
    if (!comment.empty())
        ui.fSchemeCommentLe->setText(QString::fromLocal8Bit(comment.c_str()));
    opened.note({ui.fSchemeNameLe, ui.fSchemeCommentLe});
}

std::string QtSchemePropertyDialog::name() const
{
    return ui.fSchemeNameLe->text().toLocal8Bit().toStdString();
}

std::string QtSchemePropertyDialog::comment() const
{
    return ui.fSchemeCommentLe->text().toLocal8Bit().toStdString();
}

void QtSchemePropertyDialog::writeChanged(std::string &storedName, std::string &storedComment) const
{
    opened.write(ui.fSchemeNameLe, storedName, name());
    opened.write(ui.fSchemeCommentLe, storedComment, comment());
}

void QtSchemePropertyDialog::accept()
{
    if (ui.fSchemeNameLe->text().isEmpty()) {
        BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), QStringLiteral("方案名称不可以空!"), 1);
        box.exec();
        return;
    }
    QDialog::accept();
}
