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
#include "ZnServerText.h"
#include "ui_fCommonTableForm.h"

#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolTip>
#include <QTranslator>
#include <QVBoxLayout>
#include <QtTest>

namespace {

void mouse(QWidget *w, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons held)
{
    QCursor::setPos(global);
    QMouseEvent e(type, w->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A press at `from`, a move to `to` (both global) and a release, all with one button.
void drag(QWidget *w, Qt::MouseButton b, QPoint from, QPoint to)
{
    mouse(w, QEvent::MouseButtonPress, from, b, b);
    mouse(w, QEvent::MouseMove, to, Qt::NoButton, b);
    mouse(w, QEvent::MouseButtonRelease, to, b, Qt::NoButton);
}

bool shown(QWidget &d, const char *name)
{
    auto *b = d.findChild<QPushButton *>(QLatin1String(name));
    return b && !b->isHidden();
}

} // namespace

class tst_widgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { znInitResources(); }

    // The type picks the buttons; every way out but Confirm answers 0; type 4
    // closes itself.
    void messageBox_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("how");
        QTest::newRow("confirm") << 1 << "ConfirmButton" << 1 << "ConfirmButton";
        QTest::newRow("close on 1") << 1 << "ConfirmButton" << 0 << "dialogCloseBtn";
        QTest::newRow("cancel") << 2 << "cancelButton" << 0 << "cancelButton";
        QTest::newRow("cancel on 99") << 99 << "ConfirmButton cancelButton" << 0 << "cancelButton";
        QTest::newRow("escape") << 3 << "ConfirmButton cancelButton" << 0 << "escape";
        QTest::newRow("4 closes itself") << 4 << "" << 0 << "";
    }
    void messageBox()
    {
        QFETCH(int, type);
        QFETCH(QString, buttons);
        QFETCH(QString, how);
        BaseMessageDialog box(QStringLiteral("Tips"), QStringLiteral("question?"), type);
        QCOMPARE(shown(box, "ConfirmButton"), buttons.contains(QStringLiteral("Confirm")));
        QCOMPARE(shown(box, "cancelButton"), buttons.contains(QStringLiteral("cancel")));
        ZnModalHelper modal;
        if (!how.isEmpty())
            modal.answer(how);
        QTEST(box.exec(), "result");
        QVERIFY(modal.handled() || how.isEmpty());
    }

    // What the box's text field shows: four blanks, two line breaks for a message
    // of at most 21 characters (its own blanks counted), one for a longer one, four
    // blanks and the message as written. The title is shown as written too.
    void messageLayout_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("21 characters: two breaks") << "abcdefghijklmnopqrstu"
                                                   << "    \n\n    abcdefghijklmnopqrstu";
        QTest::newRow("22 characters: one break") << "abcdefghijklmnopqrstuv"
                                                  << "    \n    abcdefghijklmnopqrstuv";
        QTest::newRow("empty: two breaks, two runs of blanks") << ""
                                                               << "    \n\n    ";
        QTest::newRow("its own leading blanks count: 3 + 19") << "   abcdefghijklmnopqrs"
                                                              << "    \n       abcdefghijklmnopqrs";
        QTest::newRow("21 Chinese characters count as 21")
            << QString::fromUtf8("一二三四五六七八九十一二三四五六七八九十一")
            << QString::fromUtf8("    \n\n    一二三四五六七八九十一二三四五六七八九十一");
        QTest::newRow("markup shown as written") << "<b>x</b>"
                                                 << "    \n\n    <b>x</b>";
    }
    void messageLayout()
    {
        QFETCH(QString, message);
        BaseMessageDialog box(QStringLiteral("<b>x</b>"), message, 1);
        QTEST(box.findChild<QTextEdit *>(QStringLiteral("infoTextEdit"))->toPlainText(), "shown");
        auto *title = box.findChild<QLabel *>(QStringLiteral("messageTitle"));
        QCOMPARE(title->textFormat(), Qt::PlainText);
        QCOMPARE(title->text(), QStringLiteral("<b>x</b>"));
    }

    // One box, reused: the flags pick the buttons, each button answers; the text
    // is shown as written.
    void sharedBox_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        QTest::newRow("ok") << 1 << "OkBtn" << 1 << "text";
        QTest::newRow("cancel") << 3 << "BtnCancel" << 0 << "text";
        QTest::newRow("close") << 2 << "fBtnClosed" << 0 << "text";
        QTest::newRow("markup shown as written") << 1 << "OkBtn" << 1 << "<b>x</b>";
    }
    void sharedBox()
    {
        QFETCH(int, flags);
        QFETCH(QString, button);
        QFETCH(QString, text);
        static ZnMessageBox *first = nullptr;
        ZnModalHelper modal;
        modal.answer(button);
        QTEST(ZnMessageBox::message(nullptr, QStringLiteral("Tips"), text, flags), "result");
        QVERIFY(modal.seenTexts().contains(text));
        QCOMPARE(ZnMessageBox::instance()->ui.LblText->textFormat(), Qt::PlainText);
        QVERIFY(ZnMessageBox::instance() && (!first || ZnMessageBox::instance() == first));
        first = ZnMessageBox::instance();
    }

    // An empty name is refused with a message and the dialog stays open; a blank
    // name is taken untrimmed, and whichever way out, the name is kept.
    void nameWaysOut_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("empty") << QByteArray() << "fOkBtn" << -1;
        QTest::newRow("ok") << QByteArray(" ") << "fOkBtn" << int(QDialog::Accepted);
        QTest::newRow("cancel") << QByteArray(" ") << "fCancelBtn" << int(QDialog::Rejected);
        QTest::newRow("close") << QByteArray(" ") << "fCloseBtn" << int(QDialog::Rejected);
        QTest::newRow("escape") << QByteArray(" ") << "escape" << int(QDialog::Rejected);
    }
    void nameWaysOut()
    {
        QFETCH(QByteArray, name);
        QFETCH(QString, how);
        QFETCH(int, result);
        BaseSetNameDialog dlg;
        dlg.setName(name.constData());
        ZnModalHelper modal, error;
        if (result < 0) {
            dlg.show();
            error.answer(QStringLiteral("ConfirmButton"), &dlg);
            QTest::mouseClick(dlg.findChild<QPushButton *>(how), Qt::LeftButton);
            QVERIFY(error.seenTexts().join(QLatin1Char('|')).contains(QStringLiteral("Setting Error!")));
            QVERIFY(dlg.isVisible());
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
            return;
        }
        modal.answer(how);
        QCOMPARE(dlg.exec(), result);
        QCOMPARE(dlg.getName(), name.toStdString());
    }

    // A white client inside a partly transparent shadow band, never opaque black.
    void paintsShadowBandAndWhiteClient()
    {
        ShadowWidget<QDialog> w;
        w.resize(100, 80);
        QImage img(100, 80, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        QCOMPARE(img.pixel(6, 6), qRgba(255, 255, 255, 255));
        QCOMPARE(img.pixel(93, 73), qRgba(255, 255, 255, 255));
        for (QPoint p : {QPoint(3, 40), QPoint(96, 40), QPoint(50, 3), QPoint(50, 76)})
            QVERIFY(qAlpha(img.pixel(p)) > 0 && qAlpha(img.pixel(p)) < 128);
        QVERIFY(qAlpha(img.pixel(0, 0)) == 0 && qAlpha(img.pixel(99, 79)) == 0);
    }

    // A box drags only with the left button and not from a child button; the
    // picture dialog drags by its header with any button, not by its body.
    void windowDrag()
    {
        BaseMessageDialog box(QStringLiteral("Tips"), QStringLiteral("text"), 3);
        box.setGeometry(100, 100, 299, 171);
        box.show();
        const QPoint start = box.pos();
        const QPoint title = box.findChild<QLabel *>(QStringLiteral("messageTitle"))->mapToGlobal(QPoint(2, 2));
        drag(&box, Qt::RightButton, title, title + QPoint(50, 50));
        auto *button = box.findChild<QPushButton *>(QStringLiteral("ConfirmButton"));
        const QPoint onButton = button->mapToGlobal(button->rect().center());
        mouse(button, QEvent::MouseButtonPress, onButton, Qt::LeftButton, Qt::LeftButton);
        mouse(&box, QEvent::MouseMove, onButton + QPoint(50, 50), Qt::NoButton, Qt::LeftButton);
        mouse(button, QEvent::MouseButtonRelease, onButton, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(box.pos(), start);
        drag(&box, Qt::LeftButton, title, title + QPoint(30, 40));
        mouse(&box, QEvent::MouseMove, title + QPoint(90, 90), Qt::NoButton, Qt::NoButton);
        QCOMPARE(box.pos(), start + QPoint(30, 40));

        ZnBaseDialog dlg;
        dlg.setGeometry(50, 50, 430, 288);
        dlg.show();
        drag(dlg.findChild<QGroupBox *>(QStringLiteral("fGrpHeader")), Qt::RightButton, {200, 60}, {260, 100});
        QCOMPARE(dlg.pos(), QPoint(110, 90));
        drag(dlg.centralWidget(), Qt::LeftButton, {200, 200}, {300, 300});
        QCOMPARE(dlg.pos(), QPoint(110, 90));
    }

    // Slots stack up from the lower right; a freed tip moves the others down a slot.
    void tipSlots()
    {
        QWidget page;
        page.resize(800, 600);
        page.show();
        MsgTipsGroup group(&page, 250, 65, 25, 80, 65);
        QCOMPARE(group.count(), 6);
        QCOMPARE(group.slotRect(0), QRect(800 - 25 - 250, 470, 250, 65));
        const QList<MsgTips *> t{group.freeTip(), group.tipAt(1), group.tipAt(2)};
        for (int i = 0; i < 3; ++i) {
            t[i]->setText(QString::number(i));
            t[i]->showTip(i == 0 ? 0 : -1);
        }
        QTRY_VERIFY(!t[0]->isInUse());
        for (int slot = 0; slot < 3; ++slot) {
            QCOMPARE(group.tipAt(slot), t[(slot + 1) % 3]);
            QCOMPARE(group.tipAt(slot)->box()->geometry(), group.slotRect(slot));
        }
        QVERIFY(t[0]->text().isEmpty() && t[0]->box()->isHidden());
        // A group outliving its parent frees nothing twice.
        auto *parent = new QWidget;
        auto *orphan = new MsgTipsGroup(parent, 200, 65, 10, 10, 10);
        delete parent;
        delete orphan;
    }

    // A tip reused for a running transfer must not inherit the time-out of its
    // last use: it stays until the transfer gives it a time again.
    void reusedProgressTipStaysShown()
    {
        QWidget page;
        page.resize(400, 400);
        MsgTips tip(&page, QRect(0, 0, 100, 50));
        tip.showTip(20);
        QTRY_VERIFY(!tip.isInUse());
        tip.setText(QStringLiteral("next.mp3"));
        tip.showTip(-1);
        tip.updateText(QStringLiteral("50%"));
        QCOMPARE(tip.label()->text(), QStringLiteral("50%"));
        // A tip given the old time-out has run out by then; this one is still shown.
        MsgTips later(&page, QRect(0, 60, 100, 50));
        later.showTip(20);
        QTRY_VERIFY(!later.isInUse());
        QVERIFY(tip.isInUse() && !tip.hasTimer());
        tip.setType(2);
        tip.showTip(10);
        QTRY_VERIFY(!tip.isInUse());
        QVERIFY(tip.box()->styleSheet().contains(QStringLiteral("#f0f9eb")));
    }

    // Picture headers beside the program; an ASCII style sheet; the translation; a
    // CJK font.
    // A tool tip is a window of its own: whatever the text, it stays within a small
    // screen and shows the text as written, up to its bounds.
    void toolTipsStayOnScreen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::newRow("45,000 letters") << QString(45000, QLatin1Char('W')) << false;
        QTest::newRow("300 Chinese characters") << QString(300, QChar(0x5E7F)) << true;
        QTest::newRow("2,000 lines") << QStringLiteral("line\n").repeated(2000) << false;
        QTest::newRow("markup shown as written") << QStringLiteral("<b>x</b> & y") << true;
    }
    void toolTipsStayOnScreen()
    {
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QWidget host;
        host.resize(200, 100);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QToolTip::showText(host.mapToGlobal(QPoint(10, 10)), ZnServerText::toolTip(text), &host);
        QWidget *tip = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->inherits("QTipLabel") && w->isVisible())
                tip = w;
        QVERIFY(tip);
        QVERIFY2(tip->width() <= 1366 && tip->height() <= 768,
                 qPrintable(QStringLiteral("%1 x %2").arg(tip->width()).arg(tip->height())));
        QTextDocument doc;
        doc.setHtml(QToolTip::text());
        const QString shown = doc.toPlainText().remove(QChar(0x200B));
        if (whole)
            QCOMPARE(shown, text);
        else
            QVERIFY(shown.endsWith(QChar(0x2026)) && text.startsWith(shown.chopped(1)));
        QToolTip::hideText();
    }

    // A word-wrapped notice quoting a peer's text keeps its window on a small screen,
    // however long the text or many its lines; a short text is shown as written.
    void wrappedNoticeKeepsTheWindow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("whole");
        QTest::newRow("45,000 letters") << QString(45000, QLatin1Char('W')) << false;
        QTest::newRow("45,000 words") << QStringLiteral("word ").repeated(9000) << false;
        QTest::newRow("2,000 lines") << QStringLiteral("line\n").repeated(2000) << false;
        QTest::newRow("two short lines") << QStringLiteral("无法连接文件服务 127.0.0.1:8906\n<b>x</b>") << true;
    }
    void wrappedNoticeKeepsTheWindow()
    {
        QFETCH(QString, text);
        QFETCH(bool, whole);
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *notice = new QLabel;
        layout->addWidget(notice);
        layout->addWidget(new QTextEdit);
        ZnServerText::showWrapped(notice, text);
        window.setGeometry(0, 0, 800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(window.width() <= 1366 && window.height() <= 768,
                 qPrintable(QStringLiteral("%1 x %2").arg(window.width()).arg(window.height())));
        QCOMPARE(notice->textFormat(), Qt::PlainText);
        QCOMPARE(notice->text() == text, whole);
        QCOMPARE(notice->toolTip().isEmpty(), whole);
    }

    // The box's title is cut to the box; the whole of it is the title's tip.
    void longMessageTitleIsCut()
    {
        const QString title(45000, QLatin1Char('W'));
        BaseMessageDialog box(title, QStringLiteral("text"), 1);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY2(box.width() <= 1366, qPrintable(QString::number(box.width())));
        auto *label = box.findChild<QLabel *>(QStringLiteral("messageTitle"));
        QVERIFY(label->text().size() < title.size() && !label->toolTip().isEmpty());
        QVERIFY(shown(box, "ConfirmButton"));
    }

    // The shared terminal-list form: the table takes what the page gains, the
    // title strip keeps its height, and the buttons sit at the lower right, a
    // margin clear of the page's lower edge, also with the first one hidden.
    void sharedTableForm_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("configShown");
        QTest::newRow("as designed") << QSize(659, 420) << true;
        QTest::newRow("grown, config hidden") << QSize(1200, 800) << false;
    }
    void sharedTableForm()
    {
        QFETCH(QSize, size);
        QFETCH(bool, configShown);
        QWidget page;
        Ui::fCommonTableForm ui;
        ui.setupUi(&page);
        ui.fConfigBtn->setVisible(configShown);
        page.resize(size);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const int strip = ui.right_title_widget->sizeHint().height();
        QCOMPARE(ui.right_title_widget->height(), strip);
        QCOMPARE(ui.fCommonTableWidget->height(), size.height() - strip - 6 - 6 - 23);
        const QRect del(ui.fDelBtn->mapTo(&page, QPoint(0, 0)), ui.fDelBtn->size());
        // The button row sits on the page's lower edge: a nested layout's margin is 0 by default.
        QCOMPARE(del.bottom(), size.height() - 1);
        QCOMPARE(del.right(), size.width() - 1 - 6);
        QCOMPARE(ui.fNewBtn->x() + 75 + 6, ui.fEditBtn->x());
    }

    void resources()
    {
        QVERIFY(!QImage(QStringLiteral("./images/dialog_header.png")).isNull());
        QFile css(QStringLiteral(":/files/talkback_center.css"));
        QVERIFY(css.open(QIODevice::ReadOnly));
        const QByteArray bytes = css.readAll();
        QVERIFY(bytes.contains("#messageWidget"));
        QVERIFY(std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }));

        QTranslator tr;
        QVERIFY(tr.load(QStringLiteral("./translate/zh.qm")));
        QCOMPARE(tr.translate("BaseSetNameDialog", "Setting Error!"), QStringLiteral("设置错误！"));
        ZnFontSetup::apply();
        QCOMPARE(QFontInfo(QFont(QString::fromUtf8(ZnFontSetup::kFamily), 9)).family(),
                 QString::fromUtf8(ZnFontSetup::kInstalledFamily));
        QVERIFY(QFontMetrics(QApplication::font()).inFont(QChar(0x4e2d)));
    }
};

QTEST_MAIN(tst_widgets)
#include "tst_widgets.moc"
