#include "MsgTipsGroup.h"

#include "MsgTips.h"

#include <QWidget>

#include <algorithm>

MsgTipsGroup::MsgTipsGroup(QWidget *parent, int tipWidth, int tipHeight, int rightMargin, int topMargin,
                           int bottomMargin)
{
    const int w = parent ? parent->width() : 0;
    const int h = parent ? parent->height() : 0;
    const int step = tipHeight + 5;
    const int n = step > 0 ? (h - topMargin - bottomMargin) / step : 0;
    for (int i = 0; i < n; ++i) {
        const QRect r(w - rightMargin - tipWidth, h - bottomMargin - tipHeight - i * step, tipWidth, tipHeight);
        slotRects.append(r);
        auto *tip = new MsgTips(parent, r);
        connect(tip, &MsgTips::updateMsgTipsGroup, this, &MsgTipsGroup::slot_updateMsgTipsGroup);
        tips.append(tip);
    }
}

MsgTipsGroup::~MsgTipsGroup()
{
    qDeleteAll(tips);
}

MsgTips *MsgTipsGroup::freeTip() const
{
    for (MsgTips *t : tips)
        if (!t->isInUse())
            return t;
    return nullptr;
}

MsgTips *MsgTipsGroup::findTip(const QString &text) const
{
    for (MsgTips *t : tips)
        if (t->text() == text)
            return t;
    return nullptr;
}

void MsgTipsGroup::slot_updateMsgTipsGroup()
{
    // Shown tips first, each group keeping its order.
    std::stable_partition(tips.begin(), tips.end(), [](const MsgTips *t) { return t->isInUse(); });
    for (int i = 0; i < tips.size(); ++i)
        tips[i]->setGeometry(slotRects[i]);
}
