#include "PageSim.h"
#include "ZnD82ListMgr.h"
#include "ZnD82SettingDialog.h"
#include "ZnMicListMgr.h"

#include <QtTest>

// The D82 setting dialog's contact book against the simulated server.
class TstD82Page : public QObject
{
    Q_OBJECT

    SimSession s;

private slots:
    void initTestCase()
    {
        QVERIFY(startModels(s));
        QVERIFY(signalled(ZnMicListMgr::instance(), &ZnMicListMgr::gotMicList,
                          [] { ZnMicListMgr::instance()->requestMicList(); }));
        QVERIFY(signalled(ZnD82ListMgr::instance(), &ZnD82ListMgr::gotD82List,
                          [] { ZnD82ListMgr::instance()->requestD82List(); }));
    }

    // The book of device 80001 as the dialog lists it (never the device itself),
    // a change sent on OK and read back by the next dialog. An untouched book
    // is not sent; a contact no list of the console holds is written back as it was.
    void contacts_data()
    {
        QTest::addColumn<QList<int>>("clicks"); // contact rows clicked, by id
        QTest::addColumn<QString>("sent");      // "-": nothing sent
        QTest::addColumn<QString>("shown");     // checked when the dialog opens again
        QTest::newRow("untouched") << QList<int>{} << "-" << QString();
        QTest::newRow("a console and a device added") << QList<int>{70002, 80002} << "Dsk81_70002 Dsk81_70001 D82_80002"
                                                      << "Dsk81_70002 Dsk81_70001 D82_80002";
        QTest::newRow("every contact unchecked") << QList<int>{70001} << "" << QString();
        QTest::newRow("unlisted amplifier kept") << QList<int>{70001, 70002} << "Dsk81_70002 IP_10001"
                                                 << "Dsk81_70002";
    }
    void contacts()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QString, sent);
        QFETCH(QString, shown);
        s.sim.withData([](ZnSimData &d) {
            Json::Value c(Json::objectValue);
            c["terminalId"] = "80001", c["contactId"] = "70001", c["contactType"] = "3", c["orderId"] = "1";
            d.table("d82call") = {c};
            c["contactId"] = "10001", c["contactType"] = "6", c["orderId"] = "2";
            if (QByteArray(QTest::currentDataTag()).startsWith("unlisted"))
                d.table("d82call").push_back(c);
        });
        // "type_id" of every checked row, in table order.
        auto checked = [](QTableWidget *t) {
            QStringList out;
            for (int r = 0; r < t->rowCount(); ++r) {
                if (t->item(r, 0)->checkState() == Qt::Checked)
                    out << t->item(r, 2)->text() + QLatin1Char('_') + t->item(r, 0)->data(Qt::UserRole).toString();
            }
            return out.join(QLatin1Char(' '));
        };
        const size_t posts = s.requests("POST D82").size();
        ZnD82 device;
        QVERIFY(ZnD82ListMgr::instance()->getD82(80001, device));
        {
            ZnD82SettingDialog dialog(&device);
            QTableWidget *t = dialog.form().fTalkTb;
            QCOMPARE(checked(t), QStringLiteral("Dsk81_70001"));
            QCOMPARE(rowOfId(t, 80001), -1);
            for (int id : clicks)
                emit t->itemClicked(t->item(rowOfId(t, id), 0));
            dialog.form().fOkBtn->click();
        }
        QCOMPARE(s.requests("POST D82").size(), posts + (sent == QStringLiteral("-") ? 0 : 1));
        if (sent == QStringLiteral("-"))
            return;
        QCOMPARE(QString::fromStdString(lastBody(s, "POST D82")["Contacts"].asString()), sent);
        ZnD82SettingDialog again(&device);
        QCOMPARE(checked(again.form().fTalkTb), shown);
    }
};

QTEST_MAIN(TstD82Page)
#include "tst_d82page.moc"
