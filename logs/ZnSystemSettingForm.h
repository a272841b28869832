#pragma once

#include <QWidget>

// Page of the system settings; holds its place in the main window's page stack.
class ZnSystemSettingForm : public QWidget
{
    Q_OBJECT
public:
    ZnSystemSettingForm();

    // The system title: the default until the server configuration gives one.
    QString titleText() const { return m_title; }

signals:
    void sendTitleString(QString title);

private:
    QString m_title;
};
