// The call-recording page against the simulated server and file service: the
// download cell, one tip per download with its progress, and the download rules.
#include "../managers/consoles/ModelSim.h"
#include "LogTestDb.h"
#include "MsgTips.h"
#include "MsgTipsGroup.h"
#include "ZnResources.h"
#include "ZnTalkRecordForm.h"

#include <QDir>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kRecording(200 * 1024, 'r');

// The page with the folder dialog answered by the test.
class Page : public ZnTalkRecordForm
{
public:
    explicit Page(QWidget *parent) : ZnTalkRecordForm(parent) {}
    QString folder;

protected:
    QString chooseFolder(const QString &) override { return folder; }
};

} // namespace

class tst_recordpage : public QObject
{
    Q_OBJECT

    SimSession s;
    ZnSimFileService files;
    QTemporaryDir work;
    QWidget frame;
    std::unique_ptr<Page> page;

    int fileRequests() const
    {
        int n = 0;
        for (const std::string &r : files.requests())
            n += r.find("GetFile\"") != std::string::npos;
        return n;
    }
    // Double-clicks the download cell of the row showing that id.
    void download(int id) { page->slot_cellDoubleClicked(page->findRowById(id), 8); }
    MsgTips *tip(const QString &name) { return page->tips()->findTip(name); }

private slots:
    void initTestCase()
    {
        znInitResources();
        QDir::setCurrent(work.path());
        s.sim.withData([](ZnSimData &data) {
            data.table("talklog").clear();
            for (int id = 1; id <= 5; ++id) {
                Json::Value r(Json::objectValue);
                r["id"] = std::to_string(id);
                r["recordfile"] = id % 2 ? "/data/mp3/record/" + std::to_string(id) + ".mp3" : "";
                data.addRow("talklog", r);
            }
        });
        QVERIFY(startModels(s));
        QVERIFY(startFiles(files, work.filePath(QStringLiteral("served"))));
        QVERIFY(QDir().mkpath(work.filePath(QStringLiteral("served/record")))
                && QDir().mkpath(work.filePath(QStringLiteral("local"))));
        for (int id : {1, 3, 5})
            QVERIFY(writeFile(work.filePath(QStringLiteral("served/record/%1.mp3").arg(id)), kRecording));
        frame.resize(900, 600);
        page.reset(new Page(&frame));
        page->folder = work.filePath(QStringLiteral("local"));
        QTRY_COMPARE(page->form().fTableWidget->rowCount(), 5);
    }
    void cleanupTestCase()
    {
        page.reset();
        files.stop();
    }

    // The download cell; a refresh asks for the total again; no recording, no download.
    void pageThroughTheServer()
    {
        QCOMPARE(page->form().fDataSourceLabel->text(), QStringLiteral("[ 录音主机：Local ]"));
        QStringList cells;
        for (int row = 0; row < 5; ++row)
            cells << page->form().fTableWidget->item(row, 8)->text();
        QCOMPARE(cells, QStringList({QStringLiteral("双击下载"), QStringLiteral("------"), QStringLiteral("双击下载"),
                                     QStringLiteral("------"), QStringLiteral("双击下载")}));
        const int sent = s.sim.count("GET SqlLog");
        page->form().fRefreshButton->click();
        QTRY_COMPARE(s.sim.count("GET SqlLog"), sent + 2);

        Answered none;
        download(2);
        QCOMPARE(none.last(), QStringLiteral("录音文件不存在！"));
        QCOMPARE(fileRequests(), 0);
    }

    // Finished and failed downloads, each in a tip of its own that frees itself;
    // a second double click while the tip stands starts nothing; a failure leaves
    // no file; a file of that name is replaced only when the operator agrees.
    void downloads_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<qint64>("cutAt");
        QTest::addColumn<QString>("answer"); // to the question whether to replace
        QTest::addColumn<QString>("end");    // of the tip's text
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("finished") << 1 << qint64(-1) << QString() << QStringLiteral("下载完成！ [100%]") << kRecording;
        QTest::newRow("cut off") << 3 << qint64(70000) << QString() << QStringLiteral("下载失败！ [34%]")
                                 << QByteArray("<missing>");
        QTest::newRow("replace declined")
            << 5 << qint64(-1) << QStringLiteral("cancelButton") << QString() << QByteArray("mine");
        QTest::newRow("replace agreed") << 5 << qint64(-1) << QStringLiteral("ConfirmButton")
                                        << QStringLiteral("下载完成！ [100%]") << kRecording;
    }
    void downloads()
    {
        QFETCH(int, id);
        QFETCH(qint64, cutAt);
        QFETCH(QString, answer);
        QFETCH(QString, end);
        ZnSimFileService::Faults faults;
        faults.cutGetFileAt = cutAt;
        files.setFaults(faults);
        const QString name = QStringLiteral("%1.mp3").arg(id);
        const QString local = page->folder + QStringLiteral("/") + name;
        QVERIFY(answer.isEmpty() || writeFile(local, "mine"));
        const int before = fileRequests();
        {
            Answered ask(answer);
            download(id);
            QCOMPARE(ask.handled(), !answer.isEmpty());
        }
        QCOMPARE(bool(tip(name)), !end.isEmpty());
        if (!end.isEmpty()) {
            Answered busy;
            download(id);
            QCOMPARE(busy.last(), QStringLiteral("录音文件下载中，请等待任务完成！"));
            QTRY_COMPARE_WITH_TIMEOUT(
                tip(name)->label()->text(),
                ZnTalkRecordForm::tipText(QStringLiteral("录音文件 ") + name + QLatin1Char(' ') + end), 10000);
            QCOMPARE(tip(name)->box()->styleSheet().contains(QStringLiteral("#fdf6ec")), cutAt >= 0);
            QTRY_VERIFY_WITH_TIMEOUT(!tip(name), 10000);
        }
        QCOMPARE(fileRequests(), before + (end.isEmpty() ? 0 : 1));
        QTEST(bytesOf(local), "after");
        QCOMPARE(QDir(page->folder).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".part")),
                 QStringList());
        QFile::remove(local);
        files.setFaults({});
    }
};

QTEST_MAIN(tst_recordpage)
#include "tst_recordpage.moc"
