#include "BaseMessageDialog.h"
#include "ZnMessageBox.h"
#include "ZnModalHelper.h"
#include "ZnResources.h"

#include <QPushButton>
#include <QTextEdit>
#include <QtTest>

class tst_messagebox : public QObject
{
    Q_OBJECT

private:
    static bool shown(QDialog &d, const char *name)
    {
        auto *b = d.findChild<QPushButton *>(name);
        return b && !b->isHidden();
    }

private slots:
    void initTestCase() { znInitResources(); }

    void buttonsByType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("cancel");
        QTest::newRow("1 confirm only") << 1 << true << false;
        QTest::newRow("2 cancel only") << 2 << false << true;
        QTest::newRow("4 none") << 4 << false << false;
        QTest::newRow("0 both") << 0 << true << true;
        QTest::newRow("3 both") << 3 << true << true;
        QTest::newRow("99 both") << 99 << true << true;
    }
    void buttonsByType()
    {
        QFETCH(int, type);
        QFETCH(bool, confirm);
        QFETCH(bool, cancel);
        BaseMessageDialog box("t", "m", type);
        QCOMPARE(shown(box, "ConfirmButton"), confirm);
        QCOMPARE(shown(box, "cancelButton"), cancel);
        QCOMPARE(box.windowFlags() & Qt::FramelessWindowHint, Qt::FramelessWindowHint);
        QCOMPARE(box.findChild<QLabel *>("messageTitle")->text(), QString("t"));
        QVERIFY(box.findChild<QTextEdit *>("infoTextEdit")->isReadOnly());
    }

    void resultOfEachWayOut_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::newRow("confirm") << 1 << "ConfirmButton" << 1;
        QTest::newRow("close on type 1") << 1 << "dialogCloseBtn" << 0;
        QTest::newRow("cancel") << 2 << "cancelButton" << 0;
        QTest::newRow("close on type 2") << 2 << "dialogCloseBtn" << 0;
        QTest::newRow("cancel on type 3") << 3 << "cancelButton" << 0;
        QTest::newRow("escape") << 3 << "escape" << 0;
        QTest::newRow("close before the timer") << 4 << "dialogCloseBtn" << 0;
    }
    void resultOfEachWayOut()
    {
        QFETCH(int, type);
        QFETCH(QString, how);
        BaseMessageDialog box("Tips", "question?", type);
        ZnModalHelper modal;
        if (how == "escape")
            modal.pressEscape();
        else
            modal.clickButton(how);
        QFETCH(int, result);
        QCOMPARE(box.exec(), result);
        QVERIFY(modal.handled());
    }

    void typeFourClosesItself()
    {
        BaseMessageDialog box("Tips", "done", 4);
        QElapsedTimer t;
        t.start();
        QCOMPARE(box.exec(), 0);
        QVERIFY(t.elapsed() >= 1400);
        QVERIFY(!box.isVisible());
    }

    void textLayout()
    {
        const QString lead = "    ";
        QCOMPARE(BaseMessageDialog::layoutText(QString(21, 'x')), lead + "\r\n\r\n" + lead + QString(21, 'x'));
        QCOMPARE(BaseMessageDialog::layoutText(QString(22, 'x')), lead + "\r\n" + lead + QString(22, 'x'));
        QCOMPARE(BaseMessageDialog::layoutText(QString()), lead + "\r\n\r\n" + lead);
        // Counted in characters, not bytes.
        const QString cjk(21, QChar(0x4e2d));
        QCOMPARE(BaseMessageDialog::layoutText(cjk), lead + "\r\n\r\n" + lead + cjk);
    }

    void sharedBoxButtons()
    {
        struct Case { int flags; bool onlyOk; bool okCancel; };
        const Case cases[] = {{1, true, false}, {3, false, true}, {2, false, false}, {0, false, false}};
        for (const Case &c : cases) {
            ZnModalHelper modal;
            bool onlyOk = false, okCancel = false;
            modal.onModal([&](QWidget *w) {
                onlyOk = !w->findChild<QWidget *>("OnlyOk_2")->isHidden();
                okCancel = !w->findChild<QWidget *>("OkAndCancel")->isHidden();
                static_cast<QDialog *>(w)->reject();
            });
            QCOMPARE(ZnMessageBox::message(nullptr, "Tips", "x", c.flags), 0);
            QCOMPARE(onlyOk, c.onlyOk);
            QCOMPARE(okCancel, c.okCancel);
        }
    }

    void sharedBoxIsReusedAndAnswers()
    {
        ZnModalHelper modal;
        modal.clickButton("OkBtn");
        QCOMPARE(ZnMessageBox::message(nullptr, "", "first", 1), 1);
        ZnMessageBox *first = ZnMessageBox::instance();
        QVERIFY(first);

        modal.clickButton("BtnCancel");
        QCOMPARE(ZnMessageBox::message(nullptr, "", "second", 3), 0);
        QCOMPARE(ZnMessageBox::instance(), first);
        QVERIFY(modal.seenTexts().contains("second"));

        modal.clickButton("fBtnClosed");
        QCOMPARE(ZnMessageBox::message(nullptr, "", "third", 0), 0);
    }
};

QTEST_MAIN(tst_messagebox)
#include "tst_messagebox.moc"
