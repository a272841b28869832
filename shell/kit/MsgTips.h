#pragma once

#include <QDialog>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class QTimerEvent;
class QWidget;

// One pop-up tip drawn over its group's parent widget; it hides itself when its
// timer runs out and then tells the group to re-stack.
class MsgTips : public QObject
{
    Q_OBJECT
public:
    MsgTips(QWidget *parent, const QRect &geometry);
    ~MsgTips() override;

    void setText(const QString &key);
    void setLabelText(const QString &text);
    void setType(int type);
    void showTip(int timeout);
    void updateText(const QString &text);

    QString text() const { return key; }
    bool isInUse() const { return inUse != 0; }
    bool hasTimer() const { return timerId != 0; }
    QDialog *box() const { return boxWidget; }
    QLabel *label() const { return labelWidget; }
    void setGeometry(const QRect &geometry);

signals:
    void updateMsgTipsGroup();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void stopTimer();

    QString key;
    int inUse = 0;
    // Children of the group's parent widget, which may go first.
    QPointer<QDialog> boxWidget;
    QPointer<QLabel> labelWidget;
    int timerId = 0;
    int timeout = 0;
};
