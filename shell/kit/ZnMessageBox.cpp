#include "ZnMessageBox.h"

namespace {
ZnMessageBox *gMessageBox = nullptr;
}

ZnMessageBox::ZnMessageBox() : ZnBaseDialog(nullptr)
{
    ui.setupUi(this);
    ui.OnlyOk_2->hide();
    ui.OkAndCancel->hide();
    ui.OkAndCancel->show();
    connect(ui.OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui.BtnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui.BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

int ZnMessageBox::message(QWidget *, const QString &, const QString &text, int buttons)
{
    if (!gMessageBox)
        gMessageBox = new ZnMessageBox;
    ZnMessageBox *box = gMessageBox;
    box->ui.OnlyOk_2->hide();
    box->ui.OkAndCancel->hide();
    if ((buttons & ZnMsgOk) && (buttons & ZnMsgCancel))
        box->ui.OkAndCancel->show();
    else if (buttons & ZnMsgOk)
        box->ui.OnlyOk_2->show();
    box->ui.LblText->setText(text);
    return box->exec();
}

ZnMessageBox *ZnMessageBox::instance()
{
    return gMessageBox;
}
