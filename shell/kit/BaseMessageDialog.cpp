#include "BaseMessageDialog.h"

#include "ZnServerText.h"

#include <QIcon>
#include <QPixmap>

namespace {
// Between the icon and the close button, in the box's designed width.
const int kTitleWidth = 200;
} // namespace

BaseMessageDialog::BaseMessageDialog(const QString &title, const QString &text, int type) : title(title), text(text)
{
    ui.setupUi(this);

    setWindowIcon(QIcon(QStringLiteral(":/images/info32x32.png")));
    setWindowTitle(QStringLiteral("信息"));
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/info18x18.png")));
    ui.dialogCloseBtn->setFixedSize(23, 25);
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_MouseTracking);

    if (type == 1) {
        ui.cancelButton->hide();
    } else if (type == 2) {
        ui.ConfirmButton->hide();
    } else if (type == 4) {
        ui.cancelButton->hide();
        ui.ConfirmButton->hide();
    }

    ZnServerText::showInLabel(ui.messageTitle, title, kTitleWidth);
    ui.infoTextEdit->setReadOnly(true);
    ui.infoTextEdit->setAlignment(Qt::AlignCenter);
    // Messages carry names and reasons from peers: a text edit would take one
    // that looks like markup as HTML, and load the pictures it names.
    ui.infoTextEdit->setPlainText(layoutText(text));

    connect(ui.ConfirmButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui.dialogCloseBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui.cancelButton, &QPushButton::clicked, this, &QDialog::close);

    if (type == 4) {
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this, &QDialog::close);
        timer.start(1500);
    }
}

QString BaseMessageDialog::layoutText(const QString &text)
{
    QString shown = QStringLiteral("    ") + text;
    shown.prepend(shown.size() <= 25 ? QStringLiteral("\r\n\r\n") : QStringLiteral("\r\n"));
    return QStringLiteral("    ") + shown;
}
