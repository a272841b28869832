#pragma once

#include <QObject>
#include <QRect>
#include <QVector>

class MsgTips;
class QWidget;

// A fixed column of tip slots in the bottom-right corner of a widget; slot 0 is
// the lowest. Shown tips always fill the lowest slots.
class MsgTipsGroup : public QObject
{
    Q_OBJECT
public:
    MsgTipsGroup(QWidget *parent, int tipWidth, int tipHeight, int rightMargin, int topMargin, int bottomMargin);
    ~MsgTipsGroup() override;

    MsgTips *freeTip() const;
    MsgTips *findTip(const QString &text) const;

    int count() const { return tips.size(); }
    MsgTips *tipAt(int i) const { return tips.value(i); }
    QRect slotRect(int i) const { return slotRects.value(i); }

public slots:
    void slot_updateMsgTipsGroup();

private:
    QVector<MsgTips *> tips;
    QVector<QRect> slotRects;
};
