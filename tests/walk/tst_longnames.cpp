#include "InfoCenterMgr.h"
#include "ZnDemoConsole.h"
#include "ZnModalGuard.h"
#include "ZnModalHelper.h"
#include "ZnPageWalker.h"

#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <map>

namespace {

// A name the server may send: long, and without a blank to wrap at.
const std::string kHuge(1 << 20, 'W');

} // namespace

// Every name the server sends a megabyte long, the system title too: the main
// window keeps to a laptop's screen on every page, and every page repaints
// (laying out such names in full took seconds per repaint). Such a title would
// make config.ini too large to read again: it is not saved, and the operator is
// told so once.
class tst_longnames : public QObject
{
    Q_OBJECT

    std::map<QString, int> widths; // the window's width on each page
    QStringList missed;
    int exitCode = -1;
    ZnModalHelper notice;

private slots:
    void initTestCase()
    {
        // Any other box fails the case rather than waiting for an answer.
        ZnModalGuard::install();
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
        notice.answer(QStringLiteral("ConfirmButton"));
        exitCode = console.run([&](InfoCenterMgr &window) {
            missed = ZnPageWalker(window).walk([&](const ZnPageWalker::Stop &stop) {
                (void)QTest::qWaitFor([&] { return !ZnPageWalker::shownTexts(stop.page).isEmpty(); }, 20000);
                // Returns only once every cell, elided or not, is drawn.
                window.repaint();
                widths[stop.name] = window.width();
            });
            // The title the server sent is saved (and refused) at its answer.
            (void)ZnModalHelper::waitFor([&] { return notice.handled(); }, 20000);
        });
    }

    void consoleExitsCleanly()
    {
        QCOMPARE(exitCode, 0);
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QLatin1Char(' '))));
    }

    void titleNotSavedIsTold()
    {
        QVERIFY(notice.handled());
        const QStringList seen = notice.seenTexts();
        QVERIFY2(std::any_of(seen.begin(), seen.end(),
                             [](const QString &t) {
                                 return t.simplified()
                                        == QStringLiteral("设置未能保存：config.ini 无法写入（文件过大）。");
                             }),
                 qPrintable(seen.join(QStringLiteral(" | "))));
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
