#include "PageSim.h"
#include "ZnCapInfoForm.h"
#include "ZnSetCapDialog.h"
#include "ZnTtsInfoForm.h"

#include <QtTest>

// The capture-unit and text-to-speech pages' own texts and the capture dialog
// against the simulated server.
class TstUnitPages : public QObject
{
    Q_OBJECT

    SimSession s;
    std::unique_ptr<ZnTtsInfoForm> tts;
    std::unique_ptr<ZnCapInfoForm> caps;

private slots:
    void initTestCase()
    {
        s.sim.withData([](ZnSimData &d) {
            // Statuses 0 to 4, then two the unit never has.
            d.table("tts71").clear();
            int id = 40001;
            for (int status : {0, 1, 2, 3, 4, 5, -1})
                d.table("tts71").push_back(terminalRow(id++, "T", status, "TTS71"));
            auto cap = [](int id, int status, const char *rate) {
                Json::Value r = terminalRow(id, "C", status, "CAP");
                r["capSamplerate"] = rate;
                return r;
            };
            d.table("capd73") = {cap(5, 2, "44100"), cap(20001, 1, "24000"), cap(20002, 1, "24000")};
        });
        QVERIFY(startModels(s));
        tts.reset(new ZnTtsInfoForm);
        caps.reset(new ZnCapInfoForm);
        caps->show();
        QTRY_COMPARE(caps->tableWidget()->rowCount(), 3);
        QTRY_COMPARE(tts->tableWidget()->rowCount(), 7);
    }

    // A status the unit never has reads as off line, a rate other than the
    // three as the plain one.
    void texts()
    {
        QStringList states;
        for (int id = 40001; id <= 40007; ++id)
            states << rowText(tts->tableWidget(), id).section(QLatin1Char('|'), 2, 2);
        QCOMPARE(states.join(QLatin1Char('/')),
                 QStringLiteral("Off Line/Idle/Begin Work/Working/End Work/Off Line/Off Line"));
        QCOMPARE(rowText(caps->tableWidget(), 5).section(QLatin1Char('|'), 3, 3), QStringLiteral("General"));
        QCOMPARE(rowText(caps->tableWidget(), 20002).section(QLatin1Char('|'), 3, 3), QStringLiteral("Medium "));
    }

    // What the dialog shows of a unit and what OK sends back: a unit on air
    // keeps its own rate, whatever it is.
    void capEdit_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("checked"); // the rate button checked on opening
        QTest::addColumn<bool>("ratesEnabled");
        QTest::addColumn<QString>("choose"); // the button clicked, or none
        QTest::addColumn<QString>("sentRate");
        QTest::newRow("own rate kept") << 5 << QString() << false << QString() << "44100";
        QTest::newRow("medium to high") << 20002 << "fMediumQualityRBtn" << true << "fHighQualityRBtn"
                                        << "32000";
    }
    void capEdit()
    {
        QFETCH(int, id);
        QFETCH(QString, checked);
        QFETCH(bool, ratesEnabled);
        QFETCH(QString, choose);
        QFETCH(QString, sentRate);
        QString on;
        QVector<bool> enabled;
        answering({[&](QWidget *w) {
                      auto &ui = qobject_cast<ZnSetCapDialog *>(w)->form();
                      for (QRadioButton *b : {ui.fNormalQualityRBtn, ui.fMediumQualityRBtn, ui.fHighQualityRBtn}) {
                          if (b->isChecked())
                              on = b->objectName();
                          enabled << b->isEnabled();
                      }
                      ui.fCapVolSpinBox->setValue(55);
                      if (!choose.isEmpty())
                          w->findChild<QRadioButton *>(choose)->click();
                      ui.fOkBtn->click();
                  }},
                  [&] { doubleClickRow(caps->tableWidget(), id); });
        QCOMPARE(on, checked);
        QCOMPARE(enabled, QVector<bool>(3, ratesEnabled));
        const Json::Value body = lastBody(s, "POST CapD73Set");
        QCOMPARE(QString::fromStdString(body["CapSamplerate"].asString()), sentRate);
        QCOMPARE(body["CapVol"].asString(), std::string("55"));
        QCOMPARE(rowText(caps->tableWidget(), id).section(QLatin1Char('|'), 2, 2), QStringLiteral("55"));
    }

    // The attribute button follows the current row: only base ids have it.
    void capAttributesOnlyForBaseIds()
    {
        QTableWidget *t = caps->tableWidget();
        t->setSelectionMode(QAbstractItemView::SingleSelection);
        for (int id : {20002, 5, 20002}) {
            t->setCurrentCell(rowOfId(t, id), 0);
            QCOMPARE(caps->form().fEditBtn->isEnabled(), id == 5);
        }
    }
};

QTEST_MAIN(TstUnitPages)
#include "tst_unitpages.moc"
