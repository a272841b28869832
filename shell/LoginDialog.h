#pragma once

#include "ShadowWidget.h"
#include "ui_dialog.h"

#include <QDialog>

class LoginSettings;

// Asks for server address, user and password and logs in to the management
// server; stays open after a refused or failed attempt.
class LoginDialog : public ShadowWidget<QDialog>
{
    Q_OBJECT
public:
    // How the last press of the login button ended.
    enum Outcome { NotTried, EmptyField, LoggedIn, Refused, NotLoggedIn, Cancelled };

    explicit LoginDialog(const QString &presetPassword);
    ~LoginDialog() override;

    // Shows the login settings in the fields (after any command-line values).
    void fillFields();
    bool loginSucceeded() const { return succeeded; }
    Outcome outcome() const { return lastOutcome; }
    Ui::dialog &form() { return *ui; }

    // The login action. Deliberately not a slot: setupUi would take the on_
    // prefix for an auto-connection and warn that no signal matches.
    void on_login_clicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // While a login waits: the operator's input reaches only the cancel and close
    // buttons of this dialog; the rest is dropped, not kept for later.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Cancel and close end a login that is still waiting for the server and
    // leave the dialog open; otherwise they close it.
    void cancelClicked();
    void cancelAttempt();

    Ui::dialog *ui;
    QString presetPassword;
    bool succeeded = false;
    Outcome lastOutcome = NotTried;
    // Set while a login waits for the server; the window still repaints then.
    bool loggingIn = false;
};
