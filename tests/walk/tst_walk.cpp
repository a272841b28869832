#include "InfoCenterMgr.h"
#include "ZnDemoConsole.h"
#include "ZnPageWalker.h"

#include <QTemporaryDir>
#include <QtTest>

class tst_walk : public QObject
{
    Q_OBJECT

    struct Seen {
        bool hidden = false;
        QStringList texts;
    };
    QMap<QString, Seen> seen;
    QStringList missed;
    int exitCode = -1;

private slots:
    void initTestCase()
    {
        QTemporaryDir dir;
        ZnDemoConsole console;
        QVERIFY(console.start(dir.path()));
        exitCode = console.run([&](InfoCenterMgr &window) {
            missed = ZnPageWalker(window).walk([&](const ZnPageWalker::Stop &stop) {
                (void)QTest::qWaitFor([&] { return !ZnPageWalker::shownTexts(stop.page).isEmpty(); }, 3000);
                seen[stop.name] = Seen{stop.hidden, ZnPageWalker::shownTexts(stop.page)};
                qDebug() << stop.name << stop.hidden << seen[stop.name].texts.mid(0, 12);
            });
        });
    }
    void exits() { QCOMPARE(exitCode, 0); QVERIFY(missed.isEmpty()); }
};

QTEST_MAIN(tst_walk)
#include "tst_walk.moc"
