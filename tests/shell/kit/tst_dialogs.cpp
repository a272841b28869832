#include "BaseMessageDialog.h"
#include "BaseSetNameDialog.h"
#include "ZnMessageBox.h"
#include "ZnModalHelper.h"
#include "ZnResources.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

class tst_dialogs : public QObject
{
    Q_OBJECT

    static bool shown(QDialog &d, const char *name)
    {
        auto *b = d.findChild<QPushButton *>(name);
        return b && !b->isHidden();
    }
    static QLineEdit *edit(QDialog &d) { return d.findChild<QLineEdit *>("fNameEdit"); }

private slots:
    void initTestCase() { znInitResources(); }

    // The type picks the buttons; every way out but Confirm answers 0.
    void messageBox_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("confirm") << 1 << "ConfirmButton" << "ConfirmButton" << 1;
        QTest::newRow("close on 1") << 1 << "ConfirmButton" << "dialogCloseBtn" << 0;
        QTest::newRow("cancel") << 2 << "cancelButton" << "cancelButton" << 0;
        QTest::newRow("cancel on 99") << 99 << "ConfirmButton cancelButton" << "cancelButton" << 0;
        QTest::newRow("escape") << 3 << "ConfirmButton cancelButton" << "escape" << 0;
        QTest::newRow("close before the timer") << 4 << "" << "dialogCloseBtn" << 0;
        QTest::newRow("4 closes itself") << 4 << "" << "" << 0;
    }
    void messageBox()
    {
        QFETCH(int, type);
        QFETCH(QString, buttons);
        QFETCH(QString, how);
        BaseMessageDialog box("Tips", "question?", type);
        QCOMPARE(shown(box, "ConfirmButton"), buttons.contains("Confirm"));
        QCOMPARE(shown(box, "cancelButton"), buttons.contains("cancel"));
        QVERIFY(box.findChild<QTextEdit *>("infoTextEdit")->isReadOnly());
        ZnModalHelper modal;
        if (how == "escape")
            modal.pressEscape();
        else if (!how.isEmpty())
            modal.clickButton(how);
        QTEST(box.exec(), "result");
        QVERIFY(modal.handled() || how.isEmpty());
        QVERIFY(!box.isVisible());
    }

    void textLayout()
    {
        const QString lead = "    ";
        QCOMPARE(BaseMessageDialog::layoutText(QString(21, 'x')), lead + "\r\n\r\n" + lead + QString(21, 'x'));
        QCOMPARE(BaseMessageDialog::layoutText(QString(22, 'x')), lead + "\r\n" + lead + QString(22, 'x'));
        // Counted in characters, not bytes.
        const QString cjk(21, QChar(0x4e2d));
        QCOMPARE(BaseMessageDialog::layoutText(cjk), lead + "\r\n\r\n" + lead + cjk);
    }

    // One box, reused: the flags pick the button row, each button answers.
    void sharedBox_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("onlyOk");
        QTest::addColumn<bool>("okCancel");
        QTest::newRow("ok") << 1 << "OkBtn" << 1 << true << false;
        QTest::newRow("cancel") << 3 << "BtnCancel" << 0 << false << true;
        QTest::newRow("close") << 2 << "fBtnClosed" << 0 << false << false;
    }
    void sharedBox()
    {
        QFETCH(int, flags);
        QFETCH(QString, button);
        static ZnMessageBox *first = nullptr;
        bool onlyOk = false, okCancel = false;
        ZnModalHelper modal;
        modal.onModal([&](QWidget *w) {
            onlyOk = !w->findChild<QWidget *>("OnlyOk_2")->isHidden();
            okCancel = !w->findChild<QWidget *>("OkAndCancel")->isHidden();
            ZnModalHelper::findButton(w, button)->click();
        });
        QTEST(ZnMessageBox::message(nullptr, "Tips", "text", flags), "result");
        QTEST(onlyOk, "onlyOk");
        QTEST(okCancel, "okCancel");
        QVERIFY(modal.seenTexts().contains("text"));
        QVERIFY(ZnMessageBox::instance() && (!first || ZnMessageBox::instance() == first));
        first = ZnMessageBox::instance();
    }

    // --- name dialog ---

    void emptyNameIsRefusedAndDialogStaysOpen()
    {
        BaseSetNameDialog dlg;
        dlg.show();
        ZnModalHelper modal;
        modal.clickButton("ConfirmButton", &dlg);
        QTest::mouseClick(dlg.findChild<QPushButton *>("fOkBtn"), Qt::LeftButton);
        QVERIFY(modal.handled());
        QVERIFY(modal.seenTexts().join("|").contains("Setting Error!"));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }

    // A blank name is taken untrimmed; whichever way out, the name is kept.
    void nameWaysOut_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("ok") << "fOkBtn" << int(QDialog::Accepted);
        QTest::newRow("cancel") << "fCancelBtn" << int(QDialog::Rejected);
        QTest::newRow("close") << "fCloseBtn" << int(QDialog::Rejected);
        QTest::newRow("escape") << "escape" << int(QDialog::Rejected);
    }
    void nameWaysOut()
    {
        QFETCH(QString, how);
        QFETCH(int, result);
        BaseSetNameDialog dlg;
        dlg.setName(" ");
        ZnModalHelper modal;
        if (how == "escape")
            modal.pressEscape();
        else
            modal.clickButton(how);
        QCOMPARE(dlg.exec(), result);
        QCOMPARE(dlg.getName(), std::string(" "));
    }

    void thirtyTwoCharacters()
    {
        BaseSetNameDialog dlg;
        dlg.show();
        QTest::keyClicks(edit(dlg), QString(40, 'a'));
        QCOMPARE(edit(dlg)->text().size(), 32);
        const QString cjk(40, QChar(0x4e2d));
        dlg.setName(cjk.toLocal8Bit().constData());
        QCOMPARE(edit(dlg)->text(), cjk.left(32));
        dlg.setName(nullptr);
        QCOMPARE(edit(dlg)->text(), cjk.left(32));
    }
};

QTEST_MAIN(tst_dialogs)
#include "tst_dialogs.moc"
