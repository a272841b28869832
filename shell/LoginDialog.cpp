#include "LoginDialog.h"

#include "BaseMessageDialog.h"
#include "LoginSettings.h"
#include "ZnConfigNotice.h"
#include "ZnConfigSettings.h"
#include "ZnServerText.h"

#include <QIcon>
#include <QIntValidator>
#include <QKeyEvent>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace {
// Four numbers 0 to 255, the last at most 254 (255 would be the broadcast address).
const char *const kServerAddress = "((2[0-4]\\d|25[0-5]|[01]?\\d\\d?)\\.){3}(2[0-4]\\d|25[0-4]|[01]?\\d\\d?)";
// The title is the server's system name, kept in config.ini: the title bar shows
// this much of it, beside the close button, in the dialog's own width.
const int kTitleWidth = 240;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
        return true;
    default:
        return false;
    }
}
} // namespace

LoginDialog::LoginDialog(const QString &preset) : ui(new Ui::dialog), presetPassword(preset)
{
    ui->setupUi(this);

    LoginSettings::setInstance(new LoginSettings("config.ini"));
    // A setting the start could not save or read is told over this dialog.
    ZnConfigNotice::watch(this);

    setWindowIcon(QIcon(QStringLiteral(":/images/info32x32.png")));
    ZnConfigSettings settings;
    const QString title = settings.value(QStringLiteral("Setting/Title")).toString();
    ZnServerText::showTitle(this, ui->login_title_edit, title.isEmpty() ? QStringLiteral("管理中心") : title,
                            kTitleWidth);

    ui->title_icon_lable->setPixmap(QPixmap(QStringLiteral(":/images/info18x18.png")));
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_MouseTracking);
    ui->dialogMinBtn->setFixedSize(23, 25);
    ui->dialogMinBtn->hide();
    ui->dialogCloseBtn->setFixedSize(23, 25);
    ui->ok_btn->setText(QStringLiteral("连接"));
    ui->connect_port_edit->setPlaceholderText(QString::number(LoginSettings::kDefaultPort));
    ui->connect_port_edit->setValidator(new QIntValidator(0, 65535, this));
    ui->connect_ip_edit->setPlaceholderText(QStringLiteral("192.168.1.100"));
    ui->connect_ip_edit->setMinimumWidth(250);
    ui->connect_ip_edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QString::fromLatin1(kServerAddress)), this));
    ui->fPassLineEdit->setMaxLength(20);
    ui->fPassLineEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[a-zA-Z0-9]+$")), this));
    ui->ok_btn->setDefault(true);
    ui->fPortLabel->hide();
    ui->connect_port_edit->hide();

    connect(ui->ok_btn, &QPushButton::clicked, this, &LoginDialog::on_login_clicked);
    connect(ui->cancel_btn, &QPushButton::clicked, this, &LoginDialog::cancelClicked);
    connect(ui->dialogCloseBtn, &QPushButton::clicked, this, &LoginDialog::cancelClicked);
}

LoginDialog::~LoginDialog()
{
    delete ui;
}

void LoginDialog::fillFields()
{
    const LoginSettings *s = LoginSettings::instance();
    ui->nameLineEdit->setText(QString::fromLocal8Bit(s->User.c_str()));
    ui->fPassLineEdit->setFocus();
    if (!presetPassword.isEmpty())
        ui->fPassLineEdit->setText(presetPassword);
    ui->connect_ip_edit->setText(QString::fromLocal8Bit(s->ServerIp.c_str()));
    // No stored port leaves the field empty, so its placeholder port is used.
    ui->connect_port_edit->setText(s->ServerPort > 0 ? QString::number(s->ServerPort) : QString());
}

void LoginDialog::on_login_clicked()
{
    // The wait for the server processes events; nothing that arrives meanwhile may
    // start a second login inside the first.
    if (loggingIn)
        return;
    // The port field is hidden; left empty it means the default port.
    QString port = ui->connect_port_edit->text();
    if (port.isEmpty() || port.toInt() <= 0)
        port = QString::number(LoginSettings::kDefaultPort);
    if (ui->connect_ip_edit->text().isEmpty() || ui->nameLineEdit->text().isEmpty()
        || ui->fPassLineEdit->text().isEmpty()) {
        lastOutcome = EmptyField;
        BaseMessageDialog box(QStringLiteral("提示"), QStringLiteral("用户名或者密码不能为空，请重新输入!"), 1);
        box.exec();
        return;
    }

    LoginSettings *s = LoginSettings::instance();
    s->User = ui->nameLineEdit->text().toLocal8Bit().toStdString();
    s->Passwd = ui->fPassLineEdit->text().toLocal8Bit().toStdString();
    s->ServerIp = ui->connect_ip_edit->text().toLocal8Bit().toStdString();
    s->ServerPort = port.toInt();
    // Told before the wait for the server, which takes no clicks but those on cancel.
    if (!s->save())
        ZnConfigNotice::showWaiting();

    lastOutcome = NotTried;
    loggingIn = true;
    const int result = s->connectAndLogin(this);
    loggingIn = false;
    if (lastOutcome == Cancelled)
        return;
    if (result == 0) {
        lastOutcome = LoggedIn;
        succeeded = true;
        accept();
        return;
    }
    lastOutcome = s->isRejected() ? Refused : NotLoggedIn;
    if (lastOutcome == Refused) {
        BaseMessageDialog box(QStringLiteral("提示"), QStringLiteral("用户名或者密码错误，请重新输入!"), 1);
        box.exec();
    }
}

void LoginDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        on_login_clicked();
}

void LoginDialog::cancelClicked()
{
    // During a login only that attempt ends; the dialog stays for another one.
    if (loggingIn)
        cancelAttempt();
    else
        reject();
}

void LoginDialog::cancelAttempt()
{
    lastOutcome = Cancelled;
    LoginSettings::instance()->cancelLogin();
}

bool LoginDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Windows of their own (a message box) and the native window that hands the
    // input on to its widgets are left alone.
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!loggingIn || !widget || widget->window() != this || !isUserInput(event->type()))
        return ShadowWidget<QDialog>::eventFilter(watched, event);
    const bool toCancel = widget == ui->cancel_btn || widget == ui->dialogCloseBtn;
    return !toCancel;
}
