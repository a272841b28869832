#include "BaseMessageDialog.h"
#include "BaseSetNameDialog.h"
#include "MsgTips.h"
#include "MsgTipsGroup.h"
#include "ShadowWidget.h"
#include "ZnBaseDialog.h"
#include "ZnFontSetup.h"
#include "ZnMessageBox.h"
#include "ZnModalHelper.h"
#include "ZnResources.h"

#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTranslator>
#include <QWidget>
#include <QtTest>
#include <algorithm>

namespace {

void send(QWidget *w, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void moveTo(QWidget *w, QPoint global, Qt::MouseButtons held)
{
    QMouseEvent e(QEvent::MouseMove, w->mapFromGlobal(global), global, Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class tst_widgets : public QObject
{
    Q_OBJECT

    static bool shown(QDialog &d, const char *name)
    {
        auto *b = d.findChild<QPushButton *>(QLatin1String(name));
        return b && !b->isHidden();
    }

private slots:
    void initTestCase() { znInitResources(); }

    // --- message boxes ---

    // The type picks the buttons; every way out but Confirm answers 0.
    void messageBox_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("confirm") << 1 << "ConfirmButton"
                                 << "ConfirmButton" << 1;
        QTest::newRow("close on 1") << 1 << "ConfirmButton"
                                    << "dialogCloseBtn" << 0;
        QTest::newRow("cancel") << 2 << "cancelButton"
                                << "cancelButton" << 0;
        QTest::newRow("cancel on 99") << 99 << "ConfirmButton cancelButton"
                                      << "cancelButton" << 0;
        QTest::newRow("escape") << 3 << "ConfirmButton cancelButton"
                                << "escape" << 0;
        QTest::newRow("close before the timer") << 4 << ""
                                                << "dialogCloseBtn" << 0;
        QTest::newRow("4 closes itself") << 4 << ""
                                         << "" << 0;
    }
    void messageBox()
    {
        QFETCH(int, type);
        QFETCH(QString, buttons);
        QFETCH(QString, how);
        BaseMessageDialog box(QStringLiteral("Tips"), QStringLiteral("question?"), type);
        QCOMPARE(shown(box, "ConfirmButton"), buttons.contains(QStringLiteral("Confirm")));
        QCOMPARE(shown(box, "cancelButton"), buttons.contains(QStringLiteral("cancel")));
        QVERIFY(box.findChild<QTextEdit *>(QStringLiteral("infoTextEdit"))->isReadOnly());
        ZnModalHelper modal;
        if (!how.isEmpty())
            modal.answer(how);
        QTEST(box.exec(), "result");
        QVERIFY(modal.handled() || how.isEmpty());
        QVERIFY(!box.isVisible());
    }

    void textLayout()
    {
        const QString lead = QStringLiteral("    ");
        QCOMPARE(BaseMessageDialog::layoutText(QString(21, QLatin1Char('x'))),
                 lead + QStringLiteral("\r\n\r\n") + lead + QString(21, QLatin1Char('x')));
        QCOMPARE(BaseMessageDialog::layoutText(QString(22, QLatin1Char('x'))),
                 lead + QStringLiteral("\r\n") + lead + QString(22, QLatin1Char('x')));
        // Counted in characters, not bytes.
        const QString cjk(21, QChar(0x4e2d));
        QCOMPARE(BaseMessageDialog::layoutText(cjk), lead + QStringLiteral("\r\n\r\n") + lead + cjk);
    }

    // One box, reused: the flags pick the button row, each button answers.
    void sharedBox_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("row");
        QTest::newRow("ok") << 1 << "OkBtn" << 1 << "OnlyOk_2";
        QTest::newRow("cancel") << 3 << "BtnCancel" << 0 << "OkAndCancel";
        QTest::newRow("close") << 2 << "fBtnClosed" << 0 << "";
    }
    void sharedBox()
    {
        QFETCH(int, flags);
        QFETCH(QString, button);
        static ZnMessageBox *first = nullptr;
        QString row;
        ZnModalHelper modal;
        modal.onModal([&](QWidget *w) {
            for (const char *name : {"OnlyOk_2", "OkAndCancel"})
                row += w->findChild<QWidget *>(QLatin1String(name))->isHidden() ? QString() : QLatin1String(name);
            ZnModalHelper::findButton(w, button)->click();
        });
        QTEST(ZnMessageBox::message(nullptr, QStringLiteral("Tips"), QStringLiteral("text"), flags), "result");
        QTEST(row, "row");
        QVERIFY(modal.seenTexts().contains(QStringLiteral("text")));
        QVERIFY(ZnMessageBox::instance() && (!first || ZnMessageBox::instance() == first));
        first = ZnMessageBox::instance();
    }

    // --- name dialog ---

    void emptyNameIsRefusedAndDialogStaysOpen()
    {
        BaseSetNameDialog dlg;
        dlg.show();
        ZnModalHelper modal;
        modal.answer(QStringLiteral("ConfirmButton"), &dlg);
        QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("fOkBtn")), Qt::LeftButton);
        QVERIFY(modal.handled());
        QVERIFY(modal.seenTexts().join(QStringLiteral("|")).contains(QStringLiteral("Setting Error!")));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    // A blank name is taken untrimmed; whichever way out, the name is kept.
    void nameWaysOut_data()
    {
        QTest::addColumn<int>("result");
        QTest::newRow("fOkBtn") << int(QDialog::Accepted);
        QTest::newRow("fCancelBtn") << int(QDialog::Rejected);
        QTest::newRow("fCloseBtn") << int(QDialog::Rejected);
        QTest::newRow("escape") << int(QDialog::Rejected);
    }
    void nameWaysOut()
    {
        BaseSetNameDialog dlg;
        dlg.setName(" ");
        ZnModalHelper modal;
        modal.answer(QLatin1String(QTest::currentDataTag()));
        QTEST(dlg.exec(), "result");
        QCOMPARE(dlg.getName(), std::string(" "));
    }

    void thirtyTwoCharacters()
    {
        BaseSetNameDialog dlg;
        dlg.show();
        auto *edit = dlg.findChild<QLineEdit *>(QStringLiteral("fNameEdit"));
        QTest::keyClicks(edit, QString(40, QLatin1Char('a')));
        QCOMPARE(edit->text().size(), 32);
        const QString cjk(40, QChar(0x4e2d));
        dlg.setName(cjk.toLocal8Bit().constData());
        dlg.setName(nullptr);
        QCOMPARE(edit->text(), cjk.left(32));
    }

    // --- shadowed frame and window drag ---

    void paintsShadowBandAndWhiteClient()
    {
        ShadowWidget<QDialog> w;
        w.resize(100, 80);
        QImage img(100, 80, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);

        QCOMPARE(img.pixel(6, 6), qRgba(255, 255, 255, 255));
        QCOMPARE(img.pixel(93, 73), qRgba(255, 255, 255, 255));
        QVERIFY(img.pixel(5, 40) != qRgba(255, 255, 255, 255));
        // Shadow band: partly transparent dark pixels, never opaque black; the
        // outermost corners stay see-through.
        for (QPoint p : {QPoint(3, 40), QPoint(96, 40), QPoint(50, 3), QPoint(50, 76)})
            QVERIFY(qAlpha(img.pixel(p)) > 0 && qAlpha(img.pixel(p)) < 128);
        QVERIFY(qAlpha(img.pixel(0, 0)) == 0 && qAlpha(img.pixel(99, 79)) == 0);
    }

    // Only the left button drags, and a press on a child button starts nothing.
    void dragWithTheLeftButton()
    {
        BaseMessageDialog box(QStringLiteral("Tips"), QStringLiteral("text"), 3);
        box.setGeometry(100, 100, 299, 171);
        box.show();
        const QPoint start = box.pos();
        // A label takes no press: it reaches the box.
        QWidget *title = box.findChild<QLabel *>(QStringLiteral("messageTitle"));
        const QPoint at = title->mapTo(&box, QPoint(2, 2));
        for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
            send(&box, QEvent::MouseButtonPress, at, b, b);
            moveTo(&box, QPoint(300, 300), b);
            send(&box, QEvent::MouseButtonRelease, at, b, Qt::NoButton);
        }
        QCOMPARE(box.pos(), start);
        auto *button = box.findChild<QPushButton *>(QStringLiteral("ConfirmButton"));
        QTest::mousePress(button, Qt::LeftButton);
        moveTo(&box, start + QPoint(150, 150), Qt::LeftButton);
        QCOMPARE(box.pos(), start);
        QTest::mouseRelease(button, Qt::LeftButton);

        QTest::mousePress(title, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        moveTo(&box, box.mapToGlobal(at) + QPoint(30, 40), Qt::LeftButton);
        QCOMPARE(box.pos(), start + QPoint(30, 40));
        send(&box, QEvent::MouseButtonRelease, at, Qt::RightButton, Qt::NoButton);
        moveTo(&box, QPoint(400, 400), Qt::NoButton);
        QCOMPARE(box.pos(), start + QPoint(30, 40));
    }

    // Any button on the header drags the picture dialog; presses elsewhere
    // are not the filter's business.
    void headerFilterDragsPictureDialog()
    {
        ZnBaseDialog dlg;
        dlg.setGeometry(50, 50, 430, 288);
        dlg.show();
        QWidget *header = dlg.findChild<QGroupBox *>(QStringLiteral("fGrpHeader"));
        auto drag = [](QWidget *w, Qt::MouseButton b, QPoint from, QPoint to) {
            QCursor::setPos(from);
            send(w, QEvent::MouseButtonPress, QPoint(5, 5), b, b);
            QCursor::setPos(to);
            send(w, QEvent::MouseMove, QPoint(6, 6), Qt::NoButton, b);
            send(w, QEvent::MouseButtonRelease, QPoint(6, 6), b, Qt::NoButton);
        };
        drag(header, Qt::RightButton, {200, 60}, {260, 100});
        QCOMPARE(dlg.pos(), QPoint(110, 90));
        QCursor::setPos(400, 400);
        send(header, QEvent::MouseMove, QPoint(6, 6), Qt::NoButton, Qt::NoButton);
        drag(dlg.centralWidget(), Qt::LeftButton, {200, 200}, {300, 300});
        QCOMPARE(dlg.pos(), QPoint(110, 90));

        QTest::mouseClick(dlg.findChild<QPushButton *>(QStringLiteral("fBtnClosed")), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());
    }

    // --- tips ---

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
        a->setText(QStringLiteral("a.mp3"));
        a->showTip(-1);
        QCOMPARE(group.findTip(QStringLiteral("a.mp3")), a);
        QVERIFY(group.freeTip() != a);
        QVERIFY(!group.findTip(QStringLiteral("b.mp3")));

        QWidget small;
        small.resize(300, 150);
        MsgTipsGroup none(&small, 250, 65, 25, 80, 65);
        QCOMPARE(none.count(), 0);
        QVERIFY(!none.freeTip() && !none.findTip(QStringLiteral("")));
        // A group outliving its parent is safe.
        auto *parent = new QWidget;
        parent->resize(400, 400);
        auto *group2 = new MsgTipsGroup(parent, 200, 65, 10, 10, 10);
        delete parent;
        delete group2;
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

        tip.setText(QStringLiteral("next.mp3"));
        tip.showTip(-1);
        tip.updateText(QStringLiteral("50%"));
        QVERIFY(!tip.hasTimer());
        QCOMPARE(tip.label()->text(), QStringLiteral("50%"));
        // A tip given the old time-out now has run out; this one is still shown.
        MsgTips later(&page, QRect(0, 60, 100, 50));
        later.showTip(20);
        QVERIFY(ZnModalHelper::waitFor([&] { return !later.isInUse(); }));
        QVERIFY(tip.isInUse());
        QCOMPARE(tip.text(), QStringLiteral("next.mp3"));

        tip.setType(2);
        tip.updateText(QStringLiteral("failed"));
        tip.showTip(10);
        QVERIFY(ZnModalHelper::waitFor([&] { return !tip.isInUse(); }));
        QVERIFY(tip.box()->styleSheet().contains(QStringLiteral("#f0f9eb")));
    }

    // Every image a frame, box or the main window names (picture headers are read
    // from beside the program); an ASCII style sheet; the translation; a CJK font.
    void resources()
    {
        QStringList paths{QStringLiteral(":/images/info32x32.png"), QStringLiteral(":/images/info18x18.png"),
                          QStringLiteral(":/images/edit20x20.png")};
        for (const char *n : {"left", "right", "top", "bottom", "left-top", "right-top", "left-bottom", "right-bottom"})
            paths << QStringLiteral(":/images/shadow/shadow-%1").arg(QLatin1String(n));
        for (const char *n : {"close_btn", "maximize_btn", "show_normal_btn"})
            for (const char *st : {"normal", "hover", "pressed"})
                paths << QStringLiteral(":/images/button/%1_%2.png").arg(QLatin1String(n), QLatin1String(st));
        for (const char *n :
             {"dialog_header", "lTop", "rTop", "window_icon_small", "close", "close_hover", "close_pressed"})
            paths << QStringLiteral("./images/%1.png").arg(QLatin1String(n));
        for (const QString &p : paths)
            QVERIFY2(!QImage(p).isNull(), qPrintable(p));

        QFile css(QStringLiteral(":/files/talkback_center.css"));
        QVERIFY(css.open(QIODevice::ReadOnly));
        const QByteArray bytes = css.readAll();
        QVERIFY(bytes.contains("#messageWidget"));
        QVERIFY(std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }));

        QTranslator tr;
        QVERIFY(tr.load(QStringLiteral("./translate/zh.qm")));
        QCOMPARE(tr.translate("ZnTipsInfo", "Tips"), QStringLiteral("提示"));
        QCOMPARE(tr.translate("BaseSetNameDialog", "Setting Error!"), QStringLiteral("设置错误！"));

        ZnFontSetup::apply();
        QCOMPARE(QFontInfo(QFont(QString::fromUtf8(ZnFontSetup::kFamily), 9)).family(),
                 QString::fromUtf8(ZnFontSetup::kInstalledFamily));
        QVERIFY(QFontMetrics(QApplication::font()).inFont(QChar(0x4e2d)));
    }
};

QTEST_MAIN(tst_widgets)
#include "tst_widgets.moc"
