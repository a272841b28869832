#include "PageSim.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnD81SettingDialog.h"
#include "ZnD82ListMgr.h"
#include "ZnD82SettingDialog.h"
#include "ZnMicListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRegionListMgr.h"
#include "ZnSsTaskDataMgr.h"

#include <QCheckBox>
#include <QtTest>

namespace {

// Each book as read, one edit, what OK sends, and the book read back by the next dialog.
struct BookCase
{
    const char *tag, *book, *key, *fail; // the request, its field, the query that fails
    QList<int> clicks;                   // rows clicked (monitor, region) or tasks added
    const char *read, *sent, *again;     // shown, sent ("-": nothing), shown by the next dialog
};
const BookCase kBooks[] = {
    {"monitor untouched", "D81MonitorBook", "Monitor", "", {}, "IP_10001", "-", ""},
    {"monitor: a console and a speaker",
     "D81MonitorBook",
     "Monitor",
     "",
     {60001, 10002},
     "IP_10001",
     "Dsk74_60001 IpAmp_10001 IpAmp_10002",
     "Dsk74_60001 IP_10001 IP_10002"},
    {"monitor not read", "D81MonitorBook", "Monitor", "FixMonitorList", {}, "", "-", ""},
    {"sources untouched", "D81SoundSource", "SoundSource", "", {}, "C", "-", ""},
    {"sources: one added", "D81SoundSource", "SoundSource", "", {11}, "C", "13 11", "C A"},
    {"sources not read", "D81SoundSource", "SoundSource", "FixSsTaskList", {}, "", "-", ""},
    {"regions: one more", "D81BroadBook", "RegionId", "", {2}, "1", "1 2", "1 2"},
    {"regions: none left", "D81BroadBook", "RegionId", "", {1}, "1", "", ""},
    {"regions not read", "D81BroadBook", "RegionId", "FixRegionList", {}, "", "-", ""},
};

} // namespace

Q_DECLARE_METATYPE(const BookCase *)

// The book dialogs of the server microphone (D81) and the D82 device against
// the simulated server.
class TstBookDialogs : public QObject
{
    Q_OBJECT

    SimSession s;

    ZnMic console(int id)
    {
        ZnMic m;
        ZnMicListMgr::instance()->getMic(id, m);
        return m;
    }
    static QString namesOf(QTableWidget *t)
    {
        QStringList out;
        for (int r = 0; r < t->rowCount(); ++r)
            out << t->item(r, 0)->text();
        return out.join(QLatin1Char(' '));
    }
    // "type_id" (or "id" without a type column) of every checked row, in table order.
    static QString checkedRows(QTableWidget *t, int typeColumn)
    {
        QStringList out;
        for (int r = 0; r < t->rowCount(); ++r) {
            if (t->item(r, 0)->checkState() == Qt::Checked)
                out << (typeColumn < 0 ? QString() : t->item(r, typeColumn)->text() + QLatin1Char('_'))
                           + t->item(r, 0)->data(Qt::UserRole).toString();
        }
        return out.join(QLatin1Char(' '));
    }
    // A book as the dialog shows it: the chosen sources by name, the monitors
    // with their type, the regions.
    static QString book(Ui::fD81SettingForm &ui, const QString &name)
    {
        if (name == QStringLiteral("D81SoundSource"))
            return namesOf(ui.fSeleSsTaskTb);
        return name == QStringLiteral("D81MonitorBook") ? checkedRows(ui.fMonitorTb, 1) : checkedRows(ui.fRegionTb, -1);
    }

private slots:
    void initTestCase()
    {
        s.sim.withData([](ZnSimData &d) {
            // Plan tasks A and C are offered; B broadcasts a microphone, M is a manual task.
            auto task = [](const char *id, const char *name, const char *category, const char *type) {
                return record({{"sourceId", id},
                               {"name", name},
                               {"sourceCategory", category},
                               {"sourceType", type},
                               {"status", "2"}});
            };
            d.table("soundsource") = {task("11", "A", "1", "1"), task("12", "B", "1", "4"), task("13", "C", "1", "2"),
                                      task("14", "M", "2", "1")};
            d.table("dsk81").push_back(terminalRow(70003, "Loose", 0, "3"));
            d.table("dsk81").back()["pttMode"] = "7";
        });
        QVERIFY(startModels(s));
        ZnSsTaskDataMgr::instance();
        ZnRegionListMgr::instance();
        ZnD72ListMgr::instance();
        ZnD74ListMgr::instance();
        QCOMPARE(ZnPlayTermListMgr::instance()->requestPlayTermList(), 0);
        QVERIFY(signalled(ZnMicListMgr::instance(), &ZnMicListMgr::gotMicList,
                          [] { ZnMicListMgr::instance()->requestMicList(); }));
        QTRY_VERIFY(ZnD74ListMgr::instance()->micList().size() == 2);
        QVERIFY(signalled(ZnD82ListMgr::instance(), &ZnD82ListMgr::gotD82List,
                          [] { ZnD82ListMgr::instance()->requestD82List(); }));
    }
    void init()
    {
        s.sim.withData([](ZnSimData &d) {
            d.table("d81monitor") = {
                record({{"terminalId", "70001"}, {"monitorId", "10001"}, {"monitorType", "6"}, {"orderId", "1"}})};
            d.table("d81soundsource") = {record({{"terminalId", "70001"}, {"sourceId", "13"}, {"orderId", "1"}})};
            d.table("d81broadcast") = {record({{"terminalId", "70001"}, {"regionId", "1"}, {"orderId", "1"}})};
        });
    }

    // An untouched book is not sent; nor is one that could not be read,
    // even with its select-all box ticked, lest it go out empty over the real one.
    void books_data() { addCases(kBooks); }
    void books()
    {
        QFETCH(const BookCase *, c);
        const QString book = QLatin1String(c->book), fail = QLatin1String(c->fail);
        const QString read = QLatin1String(c->read), sent = QLatin1String(c->sent);
        if (!fail.isEmpty())
            s.sim.addRule(ZnSimRule::make("GET SqlConfig/" + fail.toStdString(), ZnSimRule::Fail, "", 0, 1));
        const std::string label = "POST " + book.toStdString();
        const size_t before = s.requests(label).size(), all = s.requests("POST D81").size();
        const size_t bases = s.requests("POST ModTalkTerminal").size();
        ZnMic mic = console(70001);
        {
            ZnD81SettingDialog dialog(&mic);
            auto &ui = dialog.form();
            QCOMPARE(TstBookDialogs::book(ui, book), read);
            for (int id : c->clicks) {
                if (book == QStringLiteral("D81SoundSource")) {
                    selectIds(ui.fSsTaskTb, {id});
                    ui.fSsPlanAddBtn->click();
                } else {
                    QTableWidget *t = book == QStringLiteral("D81MonitorBook") ? ui.fMonitorTb : ui.fRegionTb;
                    emit t->itemClicked(t->item(rowOfId(t, id), 0));
                }
            }
            if (!fail.isEmpty()) {
                ui.fMonitorAllCb->click();
                ui.fRegionCb->click();
            }
            ui.fOkBtn->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        const size_t n = sent == QStringLiteral("-") ? 0 : 1;
        QCOMPARE(s.requests(label).size(), before + n);
        QCOMPARE(s.requests("POST ModTalkTerminal").size(), bases); // the console itself is unchanged
        // No other book went out (ticking the select-all boxes changes them).
        if (fail.isEmpty())
            QCOMPARE(s.requests("POST D81").size(), all + n);
        if (!n)
            return;
        QCOMPARE(QString::fromStdString(lastBody(s, label)[c->key].asString()), sent);
        ZnD81SettingDialog next(&mic);
        QCOMPARE(TstBookDialogs::book(next.form(), book), QLatin1String(c->again));
    }

    void sourceEditing()
    {
        ZnMic mic = console(70001);
        ZnD81SettingDialog dialog(&mic);
        auto &ui = dialog.form();
        QTableWidget *chosen = ui.fSeleSsTaskTb;
        // Only plan tasks that broadcast no microphone are offered.
        QCOMPARE(namesOf(ui.fSsTaskTb), QStringLiteral("A C"));
        QCOMPARE(namesOf(chosen), QStringLiteral("C"));
        // C is chosen already: said once, A added.
        selectIds(ui.fSsTaskTb, {11, 13});
        const QStringList seen =
            answering({ModalChain::confirm()}, [&] { emit ui.fSsTaskTb->cellDoubleClicked(0, 0); });
        QCOMPARE(seen.size(), 1);
        QVERIFY(seen.at(0).contains(QStringLiteral("已经选择!")));
        QCOMPARE(namesOf(chosen), QStringLiteral("C A"));
        // The first cannot go up, the last not down.
        chosen->setCurrentCell(0, 0);
        ui.fSsTaskUpBtn->click();
        chosen->setCurrentCell(1, 0);
        ui.fSsTaskDownBtn->click();
        QCOMPARE(namesOf(chosen), QStringLiteral("C A"));
        ui.fSsTaskUpBtn->click();
        QCOMPARE(namesOf(chosen), QStringLiteral("A C"));
        QCOMPARE(chosen->currentRow(), 0);
        emit chosen->cellDoubleClicked(0, 0);
        QCOMPARE(namesOf(chosen), QStringLiteral("C"));
        // A console never offers itself for monitoring.
        QCOMPARE(rowOfId(ui.fMonitorTb, 70001), -1);
        QVERIFY(rowOfId(ui.fMonitorTb, 70002) >= 0);
    }

    // A push-to-talk mode the dialog does not know goes out as off.
    void unknownModeSentAsOff()
    {
        ZnMic mic = console(70003);
        ZnD81SettingDialog dialog(&mic);
        dialog.form().fOkBtn->click();
        const Json::Value body = lastBody(s, "POST ModTalkTerminal");
        QCOMPARE(body["Id"].asString() + "/" + body["Name"].asString() + "/" + body["PttMode"].asString(),
                 std::string("70003/Loose/0"));
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
        const size_t posts = s.requests("POST D82").size();
        ZnD82 device;
        QVERIFY(ZnD82ListMgr::instance()->getD82(80001, device));
        {
            ZnD82SettingDialog dialog(&device);
            QTableWidget *t = dialog.form().fTalkTb;
            QCOMPARE(checkedRows(t, 2), QStringLiteral("Dsk81_70001"));
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
        QCOMPARE(checkedRows(again.form().fTalkTb, 2), shown);
    }
};

QTEST_MAIN(TstBookDialogs)
#include "tst_bookdialogs.moc"
