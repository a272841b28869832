#include "InfoCenterMgr.h"
#include "ZnDemoConsole.h"
#include "ZnPageWalker.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

namespace {

const int kClear = 3;

// What of w the window shows: its rect cut by every ancestor's, in window
// coordinates.
QRect shownPart(QWidget *w, QWidget *window)
{
    QRect r(w->mapTo(window, QPoint(0, 0)), w->size());
    for (QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget())
        r &= QRect(p->mapTo(window, QPoint(0, 0)), p->size());
    return r & window->rect();
}

} // namespace

// At the smallest screen the console is made for, every button a page shows
// lies whole inside what the window shows of the page, a few pixels clear of
// its side and top edges: none runs into the pane beside it or is cut by the
// page's edge. The shared terminal-list form puts its button row on the page's
// lower edge, so the bottom needs no clearance.
class tst_pagefit : public QObject
{
    Q_OBJECT

    std::map<QString, QStringList> cut; // per page: the buttons not shown whole
    QStringList missed;
    int exitCode = -1;

private slots:
    void initTestCase()
    {
        QTemporaryDir dir;
        ZnDemoConsole console;
        QVERIFY(console.start(dir.path()));
        exitCode = console.run([&](InfoCenterMgr &window) {
            window.setGeometry(0, 0, 1366, 768);
            missed = ZnPageWalker(window).walk([&](const ZnPageWalker::Stop &stop) {
                (void)QTest::qWaitFor([&] { return !ZnPageWalker::shownTexts(stop.page).isEmpty(); }, 20000);
                QStringList &out = cut[stop.name];
                // A frame drawn on a side edge runs into the pane beside it: the
                // button looks cut off.
                const QRect page = shownPart(stop.page, &window).adjusted(kClear, kClear, -kClear, 0);
                for (QAbstractButton *b : stop.page->findChildren<QAbstractButton *>()) {
                    if (!b->isVisibleTo(stop.page) || qobject_cast<QAbstractItemView *>(b->parentWidget()))
                        continue;
                    const QRect r(b->mapTo(&window, QPoint(0, 0)), b->size());
                    if (!page.contains(r) || shownPart(b, &window) != r)
                        out << QStringLiteral("%1 %2,%3 %4x%5 in %6,%7 %8x%9")
                                   .arg(b->objectName())
                                   .arg(r.x())
                                   .arg(r.y())
                                   .arg(r.width())
                                   .arg(r.height())
                                   .arg(page.x())
                                   .arg(page.y())
                                   .arg(page.width())
                                   .arg(page.height());
                }
            });
        });
    }

    void consoleExitsCleanly()
    {
        QCOMPARE(exitCode, 0);
        QVERIFY2(missed.isEmpty(), qPrintable(missed.join(QLatin1Char(' '))));
    }

    void buttonsShowWhole_data()
    {
        QTest::addColumn<QStringList>("cutOff");
        for (const auto &c : cut)
            QTest::newRow(qPrintable(c.first)) << c.second;
    }
    void buttonsShowWhole()
    {
        QFETCH(QStringList, cutOff);
        QVERIFY2(cutOff.isEmpty(), qPrintable(cutOff.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(tst_pagefit)
#include "tst_pagefit.moc"
