#include "InfoCenterMgr.h"
#include "ZnDemoConsole.h"
#include "ZnPageWalker.h"

#include <QTemporaryDir>
#include <QtTest>

#include <map>

namespace {

// A name the server may send: long, and without a blank to wrap at.
const std::string kHuge(1 << 20, 'W');

} // namespace

// Every name the server sends a megabyte long, the system title too: the main
// window keeps to a laptop's screen on every page, and every page repaints
// (laying out such names in full took seconds per repaint).
class tst_longnames : public QObject
{
    Q_OBJECT

    std::map<QString, int> widths; // the window's width on each page
    QStringList missed;
    int exitCode = -1;

private slots:
    void initTestCase()
    {
        QTemporaryDir dir;
        ZnDemoConsole console;
        QVERIFY(console.start(dir.path()));
        console.server.withData([](ZnSimData &d) {
            for (auto &table : d.tables) {
                for (Json::Value &row : table.second) {
                    if (row.isMember("name") && table.first != "parameter")
                        row["name"] = kHuge;
                }
            }
            for (Json::Value &row : d.table("parameter")) {
                if (row["name"].asString() == "System_Name")
                    row["value"] = kHuge;
            }
        });
        exitCode = console.run([&](InfoCenterMgr &window) {
            missed = ZnPageWalker(window).walk([&](const ZnPageWalker::Stop &stop) {
                (void)QTest::qWaitFor([&] { return !ZnPageWalker::shownTexts(stop.page).isEmpty(); }, 20000);
                // Returns only once every cell, elided or not, is drawn.
                window.repaint();
                widths[stop.name] = window.width();
            });
        });
    }

    void consoleExitsCleanly()
    {
        QCOMPARE(exitCode, 0);
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QLatin1Char(' '))));
    }

    void windowKeepsToTheScreen_data()
    {
        QTest::addColumn<int>("width");
        for (const auto &w : widths)
            QTest::newRow(qPrintable(w.first)) << w.second;
    }
    void windowKeepsToTheScreen()
    {
        QFETCH(int, width);
        // The smallest screen the console is made for.
        QVERIFY2(width <= 1366, qPrintable(QString::number(width)));
    }
};

QTEST_MAIN(tst_longnames)
#include "tst_longnames.moc"
