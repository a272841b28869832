#include "BaseSetNameDialog.h"
#include "ZnModalHelper.h"
#include "ZnResources.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

class tst_namedialog : public QObject
{
    Q_OBJECT

private:
    static QLineEdit *edit(QDialog &d) { return d.findChild<QLineEdit *>("fNameEdit"); }

private slots:
    void initTestCase() { znInitResources(); }

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

    void nameIsKeptOnOk()
    {
        BaseSetNameDialog dlg;
        dlg.setName("Hall 1");
        ZnModalHelper modal;
        modal.clickButton("fOkBtn");
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(dlg.getName(), std::string("Hall 1"));
    }

    void blankNameIsAcceptedUntrimmed()
    {
        BaseSetNameDialog dlg;
        dlg.setName(" ");
        ZnModalHelper modal;
        modal.clickButton("fOkBtn");
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(dlg.getName(), std::string(" "));
    }

    void thirtyTwoCharacters()
    {
        BaseSetNameDialog dlg;
        dlg.show();
        QTest::keyClicks(edit(dlg), QString(40, 'a'));
        QCOMPARE(edit(dlg)->text().size(), 32);
        dlg.setName(QByteArray(50, 'b').constData());
        QCOMPARE(edit(dlg)->text(), QString(32, 'b'));
        const QString cjk(40, QChar(0x4e2d));
        dlg.setName(cjk.toLocal8Bit().constData());
        QCOMPARE(edit(dlg)->text(), cjk.left(32));
    }

    void nullNameLeavesField()
    {
        BaseSetNameDialog dlg;
        dlg.setName("keep");
        dlg.setName(nullptr);
        QCOMPARE(edit(dlg)->text(), QString("keep"));
    }

    void waysOutThatReject_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("cancel") << "fCancelBtn";
        QTest::newRow("close") << "fCloseBtn";
        QTest::newRow("escape") << "escape";
    }
    void waysOutThatReject()
    {
        QFETCH(QString, how);
        BaseSetNameDialog dlg;
        dlg.setName("typed");
        ZnModalHelper modal;
        if (how == "escape")
            modal.pressEscape();
        else
            modal.clickButton(how);
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QCOMPARE(dlg.getName(), std::string("typed"));
    }

};

QTEST_MAIN(tst_namedialog)
#include "tst_namedialog.moc"
