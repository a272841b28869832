#include "ZnClock.h"
#include "ZnFileReply.h"
#include "ZnFileRequest.h"
#include "ZnGlobals.h"
#include "ZnLevelList.h"
#include "ZnSleep.h"

#include <QMutexLocker>
#include <QtTest>

#include <json/json.h>

namespace {

// What the threads the console never joins do while the program exits: the
// receive thread asks the time, pauses and replaces the level list; the file
// service's worker takes the listing lock, writes requests and reads replies.
void askAsTheThreadsDo()
{
    ZnClock::now();
    ZnSleep::ms(1);
    gLevelList.replace({});
    ZnLevel level;
    gLevelList.lookup(level, 1);
    QMutexLocker lock(&gMediaTableMutex);
    Json::Value reply;
    ZnFileReply::readObject(ZnFileRequest::getFileRoot(1), reply);
}

// Built before every other static object of the program and so destroyed after
// them all: whatever order the others go in, it meets each of them destroyed.
// Under the sanitizers a use of a destroyed one stops the program, and the test
// fails.
struct LastAtExit
{
    bool armed = false;
    ~LastAtExit()
    {
        if (armed)
            askAsTheThreadsDo();
    }
};
__attribute__((init_priority(101))) LastAtExit gLast;

} // namespace

// Nothing a thread may still use at exit is destroyed before the program ends.
class TstExitOrder : public QObject
{
    Q_OBJECT

private slots:
    void askedWhileStaticObjectsAreDestroyed()
    {
        // Once while the program runs, so that what is made on first use is
        // made now, not while the program exits.
        askAsTheThreadsDo();
        QVERIFY(ZnFileReply::isComplete(ZnFileRequest::getFileRoot(1)));
        gLast.armed = true;
    }
};

QTEST_MAIN(TstExitOrder)
#include "tst_exitorder.moc"
