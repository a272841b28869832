// XML pushes nested deep in ways a simple tag scan misreads: the reader would
// recurse once per level on the receive thread. The console must refuse them and
// go on answering.
#include "SimSession.h"

#include <QtTest>

class TstDeepXml : public QObject
{
    Q_OBJECT
    SimSession m_s;

private slots:
    void initTestCase() { QVERIFY(m_s.login()); }

    void deepPushLeavesTheConsoleRunning_data()
    {
        QTest::addColumn<QByteArray>("opener"); // what makes a tag scan lose track
        QTest::addColumn<QByteArray>("level");  // repeated: one level for the reader
        QTest::newRow("unknown node with a quote") << QByteArray("<:\"a>") << QByteArray("<a>");
        QTest::newRow("processing instruction ends at '>'") << QByteArray("<?pi ") << QByteArray("<a>");
        QTest::newRow("UTF-8 lead byte swallows a quote") << QByteArray("<b c='\xe0'\"'>") << QByteArray("<a>");
        QTest::newRow("numeric reference swallows the end tag") << QByteArray() << QByteArray("<a>&#x</a>x1;");
    }

    void deepPushLeavesTheConsoleRunning()
    {
        QFETCH(QByteArray, opener);
        QFETCH(QByteArray, level);
        const QByteArray body =
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><BroadcastList>" + opener + level.repeated(60000);
        m_s.sim.pushSet("", "", body.toStdString());
        QVERIFY(m_s.settle());
        QCOMPARE(m_s.centre->state(), int(ZnNetManage::LoggedIn));
        QCOMPARE(m_s.centre->getTtsList(), 0);
    }
};

QTEST_GUILESS_MAIN(TstDeepXml)
#include "tst_deepxml.moc"
