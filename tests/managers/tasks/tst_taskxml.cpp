#include "ZnPlanManage.h"
#include "ZnPlayTaskManage.h"

#include <QtTest>

#include <string>
#include <thread>
#include <vector>

namespace {

const char* const kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";

std::string task(const std::string& attrs, const std::string& children)
{
    return "<Task " + attrs + ">" + children + "</Task>";
}

const std::string kBare = "<exec/><files/><terminals/>";

const std::string kFull =
    "<exec><e i=\"28800\" n=\"morning\" rule=\"1\"/><e i=\"43200\" n=\"noon\"/></exec>"
    "<files><f i=\"3\" n=\"/media/bells/ring.mp3\" rule=\"9\" t=\"2\"/><f i=\"4\" n=\"plain.mp3\"/>"
    "<f i=\"5\" n=\"\"/><f i=\"6\" n=\"/media/folder/\"/></files>"
    "<TtsInfo tts_text=\"hello\" role=\"1\" speed=\"2\" vol=\"7\" tone=\"4\"/>"
    "<terminals vol=\"40\"><t i=\"11\" vol=\"30\"/><t i=\"0\" vol=\"50\"/><t i=\"12\"/></terminals>";

std::vector<ZnPlayTask*> g_pushed;
std::vector<int> g_deleted;
int g_lists = 0;
void onTask(ZnPlayTask* t)
{
    g_pushed.push_back(t);
}
void onDeleted(int id)
{
    g_deleted.push_back(id);
}
void onList(std::list<ZnPlayTask>*)
{
    ++g_lists;
}

} // namespace

class TstTaskXml : public QObject
{
    Q_OBJECT

private slots:
    void fullTask();
    void missingChildren_data();
    void missingChildren();
    void listAndSingleTaskElements();
    void namesCutOnCharacterBoundary();
    void pushesDeletesAndAnswers();
    void hostileTextIsRefused_data();
    void hostileTextIsRefused();
    void lockedTaskListOnlyWhenKept();
    void tasksWithoutIdLeftOut_data();
    void tasksWithoutIdLeftOut();
};

void TstTaskXml::fullTask()
{
    ZnPlayTaskManage m;
    const std::string xml = std::string(kDecl) + "<TaskList>"
                            + task("id=\"7\" name=\"Bell\" btime=\"4102444800\" ev=\"300\" mgr=\"70000\"", kFull)
                            + "</TaskList>";
    QCOMPARE(m.parseTaskList(xml), 0);
    QCOMPARE(m.taskList().size(), size_t(1));
    const ZnPlayTask& t = m.taskList().front();
    // Narrow fields keep the low bits.
    QCOMPARE(t.beginTime, 4102444800);
    QCOMPARE(int(t.ev), 44);
    QCOMPARE(int(t.manager), 4464);
    QCOMPARE(t.execTimes.back().nameText(), std::string("noon"));
    QCOMPARE(t.execTimes.front().rule, 1);
    // File entries whose name is empty or ends in "/" are dropped.
    QCOMPARE(t.files.size(), size_t(2));
    QCOMPARE(t.files.front().fileName, std::string("ring.mp3"));
    QCOMPARE(t.ttsSampleRate, 16000);
    // Terminal 0 adds a volume but no id, so the two lists differ in length.
    QCOMPARE(t.terminalIds, (std::list<int32_t>{11, 12}));
    QCOMPARE(t.terminalVolumes, (std::list<int32_t>{30, 50}));
}

void TstTaskXml::missingChildren_data()
{
    QTest::addColumn<QString>("children");
    QTest::addColumn<int>("execCount");
    QTest::addColumn<int>("fileCount");
    QTest::newRow("no exec") << "<files><f n=\"a.mp3\"/></files><terminals/>" << 0 << 0;
    QTest::newRow("no files") << "<exec><e i=\"1\"/></exec><terminals/>" << 1 << 0;
    QTest::newRow("no terminals") << "<exec><e i=\"1\"/></exec><files><f n=\"a.mp3\"/></files>" << 1 << 1;
}

void TstTaskXml::missingChildren()
{
    QFETCH(QString, children);
    QFETCH(int, execCount);
    QFETCH(int, fileCount);
    const std::string bad = task("id=\"2\" name=\"broken\"", children.toStdString());
    const std::string good = task("id=\"3\"", kBare);

    // Left out of a list...
    ZnPlayTaskManage m;
    QCOMPARE(m.parseTaskList(std::string(kDecl) + "<TaskList>" + bad + good + "</TaskList>"), 0);
    QCOMPARE(m.taskList().size(), size_t(1));
    QCOMPARE(m.taskList().front().id, 3);

    // ...but as a single task it keeps what was read before the missing child.
    QCOMPARE(m.parseSingleTask(std::string(kDecl) + bad), 0);
    QCOMPARE(m.currentTask().id, 2);
    QCOMPARE(m.currentTask().nameText(), std::string("broken"));
    QCOMPARE(int(m.currentTask().execTimes.size()), execCount);
    QCOMPARE(int(m.currentTask().files.size()), fileCount);
}

void TstTaskXml::listAndSingleTaskElements()
{
    ZnPlanManage m;
    const std::string one = task("id=\"1\"", kBare);
    QCOMPARE(m.parseTaskList(std::string(kDecl) + "<PlanTaskList>" + one + "</PlanTaskList>"), 0);
    // Another list element or no XML leaves the list; an empty list element empties it.
    QCOMPARE(m.parseTaskList(std::string(kDecl) + "<TaskList>" + one + one + "</TaskList>"), -1);
    QCOMPARE(m.parseTaskList("not xml <"), -1);
    QCOMPARE(m.taskList().size(), size_t(1));
    QCOMPARE(m.parseTaskList(std::string(kDecl) + "<PlanTaskList/>"), 0);
    QCOMPARE(m.taskList().size(), size_t(0));

    // Several top elements: the last one, past the comment, is the current task.
    QCOMPARE(m.parseSingleTask(std::string(kDecl) + "<PlanTask id=\"4\">" + kBare
                               + "</PlanTask><!-- between --><PlanTask id=\"5\">" + kBare + "</PlanTask>"),
             0);
    QCOMPARE(m.currentTask().id, 5);
    QCOMPARE(m.parseSingleTask(std::string(kDecl) + "<Task id=\"9\"/>"), -1);
    QCOMPARE(m.currentTask().id, 5);
}

void TstTaskXml::namesCutOnCharacterBoundary()
{
    // 10 three-byte characters = 30 bytes, then one more: 33 bytes do not fit in 31.
    const std::string name = QString(11, QChar(0x4e2d)).toStdString();
    ZnPlayTaskManage m;
    QCOMPARE(
        m.parseSingleTask(std::string(kDecl)
                          + task("name=\"" + name + "\"", "<exec><e n=\"" + name + "\"/></exec><files/><terminals/>")),
        0);
    QCOMPARE(m.currentTask().nameText(), name.substr(0, 30));
    QCOMPARE(m.currentTask().execTimes.front().nameText(), name.substr(0, 30));
}

void TstTaskXml::pushesDeletesAndAnswers()
{
    ZnPlayTaskManage play;
    ZnPlanManage plan;
    play.setListCallback(onList);
    play.setTaskCallbacks(nullptr, nullptr, onTask);
    plan.setTaskCallbacks(nullptr, nullptr, onTask);
    play.setDeleteIdCallback(onDeleted);
    plan.setDeleteIdCallback(onDeleted);
    const std::string body = std::string(kDecl) + task("id=\"8\"", kBare);
    QVERIFY(play.onPost("Task", body));
    for (const char* key : {"PlanTask", "Task_"})
        QVERIFY(!play.onPost(key, body));
    QVERIFY(!plan.onPost("Task", body));
    QCOMPARE(g_pushed.size(), size_t(1));
    QCOMPARE(g_pushed.front()->id, 8);
    plan.onDelete("PlanTask", 3);
    play.onDelete("PlanTask", 4);
    play.onDelete("Task", 5);
    QCOMPARE(g_deleted, (std::vector<int>{3, 5}));

    const std::string list = std::string(kDecl) + "<TaskList/>";
    for (int type : {13, 19, 20, 215}) // 19 is owned but has no callback, the others not owned
        play.onResponse(type, list);
    QCOMPARE(g_lists, 1);
    play.onResponse(18, "garbage"); // notified whatever the parse gave
    QCOMPARE(g_pushed.size(), size_t(2));
    QVERIFY(play.isDeleteReply(std::string(kDecl) + "<DeletePlayTask/>"));
    QVERIFY(!plan.isDeleteReply(std::string(kDecl) + "<DeletePlayTask/>"));
}

void TstTaskXml::hostileTextIsRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("deep nesting") << QByteArray(kDecl) + "<TaskList>" + QByteArray("<a>").repeated(100000);
    QTest::newRow("unterminated") << QByteArray("<?xml?><TaskList><Task id=\"1\"><exec>");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("binary") << QByteArray("\x01<\xff<\x00<", 6);
}

void TstTaskXml::hostileTextIsRefused()
{
    QFETCH(QByteArray, text);
    ZnPlayTaskManage m;
    QCOMPARE(m.parseTaskList(text.toStdString()), -1);
    QCOMPARE(m.parseSingleTask(text.toStdString()), -1);
    m.onResponse(13, text.toStdString());
}

void TstTaskXml::lockedTaskListOnlyWhenKept()
{
    // Another thread can take the lock exactly when the reader holds none.
    ZnTaskListHolder holder;
    const auto othersCanLock = [&holder] {
        bool got = false;
        std::thread other([&] {
            got = holder.mutex.try_lock();
            if (got)
                holder.mutex.unlock();
        });
        other.join();
        return got;
    };
    QVERIFY(!ZnTaskBaseManage::lockTaskList(holder));
    QVERIFY(othersCanLock());
    ZnPlayTaskManage m;
    QCOMPARE(m.parseTaskList(std::string(kDecl) + "<TaskList>" + task("id=\"4\"", kBare) + "</TaskList>"), 0);
    holder.tasks = std::make_unique<std::list<ZnPlayTask>>(m.taskList());
    const std::list<ZnPlayTask>* tasks = ZnTaskBaseManage::lockTaskList(holder);
    QVERIFY(tasks);
    QCOMPARE(tasks->front().id, 4);
    QVERIFY(!othersCanLock());
    holder.mutex.unlock();
    QVERIFY(othersCanLock());
}

void TstTaskXml::tasksWithoutIdLeftOut_data()
{
    QTest::addColumn<QString>("id"); // the attribute as written
    QTest::newRow("missing") << "";
    QTest::newRow("empty") << "id=\"\"";
    QTest::newRow("no digits") << "id=\"x\"";
    QTest::newRow("fraction") << "id=\"1.5\"";
    QTest::newRow("digits then letters") << "id=\"12abc\"";
    QTest::newRow("past int") << "id=\"99999999999\"";
}

// A task element without a usable id is left out of a list, its good neighbours
// kept, and a push of one is not handed on.
void TstTaskXml::tasksWithoutIdLeftOut()
{
    QFETCH(QString, id);
    const std::string bad = task(id.toStdString() + " name=\"ghost\"", kBare);
    ZnPlayTaskManage m;
    QCOMPARE(m.parseTaskList(std::string(kDecl) + "<TaskList>" + task("id=\"4\"", kBare) + bad + task("id=\"6\"", kBare)
                             + "</TaskList>"),
             0);
    std::vector<int> ids;
    for (const ZnPlayTask& t : m.taskList())
        ids.push_back(t.id);
    QCOMPARE(ids, (std::vector<int>{4, 6}));

    g_pushed.clear();
    m.setTaskCallbacks(nullptr, nullptr, onTask);
    QVERIFY(m.onPost("Task", std::string(kDecl) + bad));
    QVERIFY(g_pushed.empty());
    QVERIFY(m.onPost("Task", std::string(kDecl) + task("id=\"6\"", kBare)));
    QCOMPARE(g_pushed.size(), size_t(1));
}

QTEST_GUILESS_MAIN(TstTaskXml)
#include "tst_taskxml.moc"
