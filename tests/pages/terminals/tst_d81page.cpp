#include "PageSim.h"
#include "ZnD72ListMgr.h"
#include "ZnD74ListMgr.h"
#include "ZnD81SettingDialog.h"
#include "ZnMicInfoForm.h"
#include "ZnMicListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRegionListMgr.h"
#include "ZnSsTaskDataMgr.h"

#include <QCheckBox>
#include <QtTest>

// The server-microphone page and its setting dialog against the simulated server.
class TstD81Page : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void books_data();
    void books();
    void sourceEditing();
    void baseChange_data();
    void baseChange();

private:
    ZnMic console(int id)
    {
        ZnMic m;
        ZnMicListMgr::instance()->getMic(id, m);
        return m;
    }
    size_t posts(const std::string &type) const { return s.requests("POST " + type).size(); }

    SimSession s;
    std::unique_ptr<ZnMicInfoForm> page;
};

namespace {

Json::Value task(int id, const std::string &name, int category, int type)
{
    Json::Value r(Json::objectValue);
    r["sourceId"] = std::to_string(id);
    r["name"] = name;
    r["sourceCategory"] = std::to_string(category);
    r["sourceType"] = std::to_string(type);
    r["status"] = "2";
    return r;
}

QTableWidgetItem *rowOfId(QTableWidget *t, int id)
{
    for (int r = 0; r < t->rowCount(); ++r) {
        if (t->item(r, 0)->data(Qt::UserRole).toInt() == id)
            return t->item(r, 0);
    }
    return nullptr;
}

QString namesOf(QTableWidget *t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << t->item(r, 0)->text();
    return out.join(QLatin1Char(' '));
}

void selectIds(QTableWidget *t, const QList<int> &ids)
{
    t->clearSelection();
    for (int id : ids)
        rowOfId(t, id)->setSelected(true);
}

} // namespace

void TstD81Page::initTestCase()
{
    s.sim.withData([](ZnSimData &d) {
        // Plan tasks A and C are offered; B broadcasts a microphone, M is a manual task.
        d.table("soundsource") = {task(11, "A", 1, 1), task(12, "B", 1, 4), task(13, "C", 1, 2), task(14, "M", 2, 1)};
        d.table("dsk81").push_back(terminalRow(70003, "Loose", 0, "3"));
        d.table("dsk81").back()["pttMode"] = "7";
    });
    QVERIFY(startModels(s));
    ZnSsTaskDataMgr::instance();
    ZnRegionListMgr::instance();
    ZnD72ListMgr::instance();
    ZnD74ListMgr::instance();
    QCOMPARE(ZnPlayTermListMgr::instance()->requestPlayTermList(), 0);
    page.reset(new ZnMicInfoForm);
    QTRY_COMPARE(page->tableWidget()->rowCount(), 3);
    QCOMPARE(rowsOf(page->tableWidget()), QStringLiteral("70001:Control desk 70002:D81_70002 70003:Loose"));
}

void TstD81Page::init()
{
    s.sim.withData([](ZnSimData &d) {
        Json::Value m(Json::objectValue);
        m["terminalId"] = "70001", m["monitorId"] = "10001", m["monitorType"] = "6", m["orderId"] = "1";
        d.table("d81monitor") = {m};
        Json::Value a(Json::objectValue);
        a["terminalId"] = "70001", a["sourceId"] = "13", a["orderId"] = "1";
        d.table("d81soundsource") = {a};
        Json::Value r(Json::objectValue);
        r["terminalId"] = "70001", r["regionId"] = "1", r["orderId"] = "1";
        d.table("d81broadcast") = {r};
    });
}

// Each book as read, one edit, what OK sends, and the book read back by the
// next dialog. An untouched book is not sent; nor is one that could not be read,
// even with its select-all box ticked, lest it go out empty over the real one.
void TstD81Page::books_data()
{
    QTest::addColumn<QString>("book");
    QTest::addColumn<QString>("fail");      // the query that fails, or none
    QTest::addColumn<QList<int>>("clicks"); // rows clicked (monitor, region) or tasks added
    QTest::addColumn<QString>("read");      // as the dialog shows the book
    QTest::addColumn<QString>("sent");      // "-": nothing sent
    QTest::newRow("monitor untouched") << "D81MonitorBook"
                                       << "" << QList<int>{} << "IP_10001"
                                       << "-";
    QTest::newRow("monitor: a console and a speaker") << "D81MonitorBook"
                                                      << "" << QList<int>{60001, 10002} << "IP_10001"
                                                      << "Dsk74_60001 IpAmp_10001 IpAmp_10002";
    QTest::newRow("monitor not read") << "D81MonitorBook"
                                      << "FixMonitorList" << QList<int>{} << ""
                                      << "-";
    QTest::newRow("sources untouched") << "D81SoundSource"
                                       << "" << QList<int>{} << "C"
                                       << "-";
    QTest::newRow("sources: one added") << "D81SoundSource"
                                        << "" << QList<int>{11} << "C"
                                        << "13 11";
    QTest::newRow("sources not read") << "D81SoundSource"
                                      << "FixSsTaskList" << QList<int>{} << ""
                                      << "-";
    QTest::newRow("regions: one more") << "D81BroadBook"
                                       << "" << QList<int>{2} << "1"
                                       << "1 2";
    QTest::newRow("regions: none left") << "D81BroadBook"
                                        << "" << QList<int>{1} << "1"
                                        << "";
    QTest::newRow("regions not read") << "D81BroadBook"
                                      << "FixRegionList" << QList<int>{} << ""
                                      << "-";
}

void TstD81Page::books()
{
    QFETCH(QString, book);
    QFETCH(QString, fail);
    QFETCH(QList<int>, clicks);
    QFETCH(QString, read);
    QFETCH(QString, sent);
    auto shown = [&](Ui::fD81SettingForm &ui) {
        if (book == QStringLiteral("D81SoundSource"))
            return namesOf(ui.fSeleSsTaskTb);
        QTableWidget *t = book == QStringLiteral("D81MonitorBook") ? ui.fMonitorTb : ui.fRegionTb;
        QStringList out;
        for (int r = 0; r < t->rowCount(); ++r) {
            if (t->item(r, 0)->checkState() == Qt::Checked)
                out << (t->columnCount() == 2 && !t->isColumnHidden(1) ? t->item(r, 1)->text() + QLatin1Char('_')
                                                                       : QString())
                           + QString::number(t->item(r, 0)->data(Qt::UserRole).toInt());
        }
        return out.join(QLatin1Char(' '));
    };
    if (!fail.isEmpty())
        s.sim.addRule(ZnSimRule::make("GET SqlConfig/" + fail.toStdString(), ZnSimRule::Fail, "", 0, 1));
    const size_t before = posts(book.toStdString());
    const size_t others = s.requests("POST D81").size() - before;
    ZnMic mic = console(70001);
    {
        ZnD81SettingDialog dialog(&mic);
        auto &ui = dialog.form();
        QCOMPARE(shown(ui), read);
        for (int id : clicks) {
            if (book == QStringLiteral("D81SoundSource")) {
                selectIds(ui.fSsTaskTb, {id});
                ui.fSsPlanAddBtn->click();
            } else {
                QTableWidget *t = book == QStringLiteral("D81MonitorBook") ? ui.fMonitorTb : ui.fRegionTb;
                emit t->itemClicked(rowOfId(t, id));
            }
        }
        if (!fail.isEmpty()) {
            for (QCheckBox *all : {ui.fMonitorAllCb, ui.fRegionCb})
                all->click();
        }
        ui.fOkBtn->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
    // No other book went out (ticking the select-all boxes changes them).
    if (fail.isEmpty())
        QCOMPARE(s.requests("POST D81").size() - posts(book.toStdString()), others);
    if (sent == QStringLiteral("-")) {
        QCOMPARE(posts(book.toStdString()), before);
        return;
    }
    QCOMPARE(posts(book.toStdString()), before + 1);
    const Json::Value body = lastBody(s, "POST " + book.toStdString());
    const char *key = book == QLatin1String("D81MonitorBook")   ? "Monitor"
                      : book == QLatin1String("D81SoundSource") ? "SoundSource"
                                                                : "RegionId";
    QCOMPARE(QString::fromStdString(body[key].asString()), sent);
    ZnD81SettingDialog again(&mic);
    QCOMPARE(shown(again.form()), book == QStringLiteral("D81MonitorBook")
                                      ? QStringLiteral("Dsk74_60001 IP_10001 IP_10002")
                                  : book == QStringLiteral("D81SoundSource") ? QStringLiteral("C A")
                                                                             : sent);
}

void TstD81Page::sourceEditing()
{
    ZnMic mic = console(70001);
    ZnD81SettingDialog dialog(&mic);
    auto &ui = dialog.form();
    // Only plan tasks that broadcast no microphone are offered.
    QCOMPARE(namesOf(ui.fSsTaskTb), QStringLiteral("A C"));
    QCOMPARE(namesOf(ui.fSeleSsTaskTb), QStringLiteral("C"));
    // C is chosen already: said once, A added.
    ModalChain boxes;
    boxes.arm({ModalChain::click(QStringLiteral("ConfirmButton"))});
    selectIds(ui.fSsTaskTb, {11, 13});
    emit ui.fSsTaskTb->cellDoubleClicked(0, 0);
    QVERIFY(boxes.finished());
    QVERIFY(boxes.seen.at(0).contains(QStringLiteral("已经选择!")));
    QCOMPARE(namesOf(ui.fSeleSsTaskTb), QStringLiteral("C A"));
    // The first cannot go up, the last not down.
    QTableWidget *chosen = ui.fSeleSsTaskTb;
    chosen->setCurrentCell(0, 0);
    ui.fSsTaskUpBtn->click();
    chosen->setCurrentCell(1, 0);
    ui.fSsTaskDownBtn->click();
    QCOMPARE(namesOf(chosen), QStringLiteral("C A"));
    ui.fSsTaskUpBtn->click();
    QCOMPARE(namesOf(chosen), QStringLiteral("A C"));
    QCOMPARE(chosen->currentRow(), 0);
    ui.fSsTaskDownBtn->click();
    QCOMPARE(namesOf(chosen), QStringLiteral("C A"));
    emit chosen->cellDoubleClicked(0, 0);
    QCOMPARE(namesOf(chosen), QStringLiteral("A"));
    selectIds(chosen, {11});
    ui.fSeleDelSsTaskBtn->click();
    QCOMPARE(chosen->rowCount(), 0);
    // A console never offers itself for monitoring.
    QVERIFY(!rowOfId(ui.fMonitorTb, 70001));
    QVERIFY(rowOfId(ui.fMonitorTb, 70002));
}

// OK with the fields as shown: what goes to the server as the console's base.
void TstD81Page::baseChange_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name"); // empty: left as shown
    QTest::addColumn<QString>("sent"); // "Name/PttMode", "-" for nothing
    QTest::newRow("unchanged") << 70001 << ""
                               << "-";
    QTest::newRow("renamed") << 70001 << "总台"
                             << "总台/1";
    QTest::newRow("mode unknown becomes off") << 70003 << ""
                                              << "Loose/0";
}

void TstD81Page::baseChange()
{
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(QString, sent);
    const size_t before = posts("ModTalkTerminal");
    ZnMic mic = console(id);
    ZnD81SettingDialog dialog(&mic);
    if (!name.isEmpty())
        dialog.form().fNameEdit->setText(name);
    dialog.form().fOkBtn->click();
    if (sent == QStringLiteral("-")) {
        QCOMPARE(posts("ModTalkTerminal"), before);
        return;
    }
    QCOMPARE(posts("ModTalkTerminal"), before + 1);
    const Json::Value body = lastBody(s, "POST ModTalkTerminal");
    QCOMPARE(QString::fromStdString(body["Name"].asString() + "/" + body["PttMode"].asString()), sent);
    // The model's changed signal redraws the page's row.
    QTRY_VERIFY(rowsOf(page->tableWidget())
                    .contains(QString::number(id) + QStringLiteral(":") + sent.section(QLatin1Char('/'), 0, 0)));
}

QTEST_MAIN(TstD81Page)
#include "tst_d81page.moc"
