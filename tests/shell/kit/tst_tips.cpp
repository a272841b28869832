#include "MsgTips.h"
#include "MsgTipsGroup.h"
#include "ZnModalHelper.h"

#include <QWidget>
#include <QtTest>

class tst_tips : public QObject
{
    Q_OBJECT

private slots:
    // Slots stack up from the lower right; a parent too small has none.
    void slotsAndLookup()
    {
        QWidget page;
        page.resize(800, 600);
        MsgTipsGroup group(&page, 250, 65, 25, 80, 65);
        QCOMPARE(group.count(), 6);
        QCOMPARE(group.slotRect(0), QRect(800 - 25 - 250, 470, 250, 65));
        QCOMPARE(group.slotRect(1).top(), 400);
        QCOMPARE(group.tipAt(0)->box()->geometry(), group.slotRect(0));
        MsgTips *a = group.freeTip();
        a->setText("a.mp3");
        a->showTip(-1);
        QCOMPARE(group.findTip("a.mp3"), a);
        QVERIFY(group.freeTip() != a);
        QVERIFY(!group.findTip("b.mp3"));

        QWidget small;
        small.resize(300, 150);
        MsgTipsGroup none(&small, 250, 65, 25, 80, 65);
        QCOMPARE(none.count(), 0);
        QVERIFY(!none.freeTip() && !none.findTip(""));
    }

    void restackWhenMiddleTipFrees()
    {
        QWidget page;
        page.resize(600, 600);
        page.show();
        MsgTipsGroup group(&page, 250, 65, 25, 80, 65);
        const QList<MsgTips *> t{group.tipAt(0), group.tipAt(1), group.tipAt(2)};
        for (int i = 0; i < 3; ++i) {
            t[i]->setText(QString::number(i));
            t[i]->showTip(i == 0 ? 0 : -1);
        }
        QVERIFY(ZnModalHelper::waitFor([&] { return !t[0]->isInUse(); }));
        for (int slot = 0; slot < 3; ++slot) {
            QCOMPARE(group.tipAt(slot), t[(slot + 1) % 3]);
            QCOMPARE(group.tipAt(slot)->box()->geometry(), group.slotRect(slot));
        }
        QVERIFY(t[0]->text().isEmpty() && t[0]->box()->isHidden());
    }

    // A tip reused for a running transfer must not inherit the time-out of its
    // last use: it stays until the transfer gives it a time again.
    void reusedProgressTipStaysShown()
    {
        QWidget page;
        page.resize(400, 400);
        MsgTips tip(&page, QRect(0, 0, 100, 50));
        tip.showTip(20);
        QVERIFY(ZnModalHelper::waitFor([&] { return !tip.isInUse(); }));
        QVERIFY(!tip.hasTimer());

        tip.setText("next.mp3");
        tip.showTip(-1);
        tip.updateText("50%");
        QVERIFY(!tip.hasTimer());
        QCOMPARE(tip.label()->text(), QString("50%"));
        QTest::qWait(100);
        QVERIFY(tip.isInUse());
        QCOMPARE(tip.text(), QString("next.mp3"));

        tip.setType(2);
        tip.updateText("failed");
        tip.showTip(10);
        QVERIFY(ZnModalHelper::waitFor([&] { return !tip.isInUse(); }));
        QVERIFY(tip.box()->styleSheet().contains("#f0f9eb"));
    }

    void groupOutlivingItsParentIsSafe()
    {
        auto *page = new QWidget;
        page->resize(400, 400);
        auto *group = new MsgTipsGroup(page, 200, 65, 10, 10, 10);
        delete page;
        delete group;
    }
};

QTEST_MAIN(tst_tips)
#include "tst_tips.moc"
