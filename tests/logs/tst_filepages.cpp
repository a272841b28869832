// The pages that move files through the simulated file service, against the
// simulated server: the call recordings (the download cell, one tip per download,
// the download rules) and the system settings (the boxes' input rules, the
// server's values, refused settings, the database backup and restore end to end).
#include "../managers/consoles/ModelSim.h"
#include "LogTestDb.h"
#include "MsgTips.h"
#include "MsgTipsGroup.h"
#include "ZnConfigSettings.h"
#include "ZnFifoTrap.h"
#include "ZnModalGuard.h"
#include "ZnResources.h"
#include "ZnServerConfigMgr.h"
#include "ZnServiceLogMgr.h"
#include "ZnSetUpFiles.h"
#include "ZnSmallDisk.h"
#include "ZnSystemSettingForm.h"
#include "ZnTalkRecordForm.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

// The page with its dialogs answered by the test: chosen folder and file, and
// the messages it showed.
class Page : public ZnSystemSettingForm
{
public:
    QString folder, file, program;
    QStringList told;

protected:
    QString chooseBackupFolder() override { return folder; }
    QString chooseRestoreFile() override { return file; }
    QString downloadFolder() const override { return program; }
    int tell(const QString &text, int, const QString &) override
    {
        told << text;
        return 1;
    }
};

// The recording page with the folder dialog answered by the test.
class RecordPage : public ZnTalkRecordForm
{
public:
    explicit RecordPage(QWidget *parent) : ZnTalkRecordForm(parent) {}
    QString folder;

protected:
    QString chooseFolder(const QString &) override { return folder; }
};

const QByteArray kRecording(200 * 1024, 'r');
const QString kRefused = QStringLiteral("The server did not take the setting (result 1).");

} // namespace

class tst_filepages : public QObject
{
    Q_OBJECT

    SimSession s;
    ZnSimFileService files;
    QTemporaryDir work;
    std::unique_ptr<Page> page;
    QWidget frame;
    std::unique_ptr<RecordPage> records;

    int fileRequests() const
    {
        int n = 0;
        for (const std::string &r : files.requests())
            n += r.find("GetFile\"") != std::string::npos;
        return n;
    }
    // A folder below the work folder whose path is exactly bytes long (ASCII).
    QString folderOfLength(int bytes)
    {
        QString path = work.path();
        while (path.size() < bytes)
            path += QLatin1Char('/') + QString(qMin(100, bytes - path.size() - 1), QLatin1Char('d'));
        return QDir().mkpath(path) && path.toUtf8().size() == bytes ? path : QString();
    }
    // Double-clicks the download cell of the row showing that id.
    void download(int id) { records->slot_cellDoubleClicked(records->findRowById(id), 8); }
    MsgTips *tip(const QString &name) { return records->tips()->findTip(name); }

    QString parameter(const std::string &name)
    {
        std::string value = "<none>";
        s.sim.withData([&](ZnSimData &d) {
            for (const Json::Value &r : d.table("parameter"))
                if (r["name"].asString() == name)
                    value = r["value"].asString();
        });
        return QString::fromStdString(value);
    }
    // Sets the server's values, and shows them on the page.
    void setParameters(const std::map<std::string, std::string> &values)
    {
        s.sim.withData([&](ZnSimData &d) {
            auto &rows = d.table("parameter");
            for (const auto &v : values) {
                rows.erase(std::remove_if(rows.begin(), rows.end(),
                                          [&](const Json::Value &r) { return r["name"].asString() == v.first; }),
                           rows.end());
                Json::Value r(Json::objectValue);
                r["name"] = v.first;
                r["value"] = v.second;
                if (!v.second.empty())
                    rows.push_back(r);
            }
        });
        // The answer may already be shown while the request waits.
        QSignalSpy shown(page.get(), &ZnSystemSettingForm::sendTitleString);
        ZnServerConfigMgr::instance()->requestSystemParameter();
        QTRY_VERIFY(!shown.isEmpty());
    }

private slots:
    void initTestCase()
    {
        ZnModalGuard::install();
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
        QVERIFY(QDir().mkpath(work.filePath(QStringLiteral("served/record"))));
        for (int id : {1, 3, 5})
            QVERIFY(writeFile(work.filePath(QStringLiteral("served/record/%1.mp3").arg(id)), kRecording));
        frame.resize(900, 600);
        records.reset(new RecordPage(&frame));
        records->folder = work.filePath(QStringLiteral("local"));
        QTRY_COMPARE(records->form().fTableWidget->rowCount(), 5);
        s.sim.withData([&](ZnSimData &d) {
            d.backupFolder = files.backupFolder();
            d.recoveryFolder = files.recoveryFolder();
        });
        page.reset(new Page);
        for (const char *dir : {"program", "chosen", "local"})
            QVERIFY(QDir().mkpath(work.filePath(QLatin1String(dir))));
        page->program = work.filePath(QStringLiteral("program"));
        page->folder = work.filePath(QStringLiteral("chosen"));
        // The page's first answer: the sample server's title.
        QTRY_COMPARE(page->titleText(), QStringLiteral("Demo site"));
    }
    void cleanupTestCase()
    {
        page.reset();
        records.reset();
        files.stop();
    }
    void init()
    {
        page->told.clear();
        s.sim.clearRules();
        files.setFaults({});
    }

    // The download cell; a refresh asks for the total again; no recording, no download.
    void pageThroughTheServer()
    {
        QCOMPARE(records->form().fDataSourceLabel->text(), QStringLiteral("[ 录音主机：Local ]"));
        QStringList cells;
        for (int row = 0; row < 5; ++row)
            cells << records->form().fTableWidget->item(row, 8)->text();
        QCOMPARE(cells, QStringList({QStringLiteral("双击下载"), QStringLiteral("------"), QStringLiteral("双击下载"),
                                     QStringLiteral("------"), QStringLiteral("双击下载")}));
        const int sent = s.sim.count("GET SqlLog");
        records->form().fRefreshButton->click();
        QTRY_COMPARE(s.sim.count("GET SqlLog"), sent + 2);

        Answered none;
        download(2);
        QCOMPARE(none.last(), QStringLiteral("录音文件不存在！"));
        QCOMPARE(fileRequests(), 0);
    }

    // The recording page's headers in order, and a record's cells with the talk
    // type named as the talk log names it.
    void recordCells_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("named");
        QTest::newRow("0 emergency help") << 0 << "EmergencyHelp";
        QTest::newRow("1 talkback") << 1 << "Talkback";
        QTest::newRow("2 broadcast") << 2 << "Broadcast";
        QTest::newRow("3 talkback") << 3 << "Talkback";
        QTest::newRow("4 broadcast") << 4 << "Broadcast";
    }
    void recordCells()
    {
        QFETCH(int, type);
        QFETCH(QString, named);
        QTableWidget *t = records->form().fTableWidget;
        QStringList headers;
        for (int c = 0; c < t->columnCount(); ++c)
            headers << (t->horizontalHeaderItem(c) ? t->horizontalHeaderItem(c)->text() : QStringLiteral("-"));
        QCOMPARE(headers.join(QLatin1Char('|')),
                 QStringLiteral(
                     "Begin Time|End Time|Caller Code|Caller Name|Called Code|Called Name|Type|Content|Download"));
        QCOMPARE(records->form().tableNameLable->text(), QStringLiteral("Record List"));
        s.sim.withData([&](ZnSimData &d) {
            Json::Value &r = d.table("talklog").front(); // id 1, with a recording
            r["begin_time"] = "1700000000", r["end_time"] = "1700000090", r["callerId"] = "12";
            r["callerName"] = "甲", r["calledId"] = "34", r["calledName"] = "乙", r["source_name"] = "火警";
            r["type"] = std::to_string(type);
        });
        // The button rests for a second after each refresh.
        QTRY_VERIFY(records->form().fRefreshButton->isEnabled());
        records->form().fRefreshButton->click();
        const QString format = QStringLiteral("yyyy/MM/dd hh:mm:ss");
        const QString expected = QDateTime::fromSecsSinceEpoch(1700000000).toString(format) + QLatin1Char('|')
                                 + QDateTime::fromSecsSinceEpoch(1700000090).toString(format)
                                 + QStringLiteral("|12|甲|34|乙|") + named + QStringLiteral("|火警|双击下载");
        auto rowOf1 = [&] {
            const int row = records->findRowById(1);
            QStringList cells;
            for (int c = 0; row >= 0 && c < t->columnCount(); ++c)
                cells << (t->item(row, c) ? t->item(row, c)->text() : QStringLiteral("-"));
            return cells.join(QLatin1Char('|'));
        };
        QTRY_COMPARE(rowOf1(), expected);
    }

    // Finished and failed downloads, each in a tip of its own that frees itself;
    // a second double click while the tip stands starts nothing; a failure leaves
    // no file; a file of that name is replaced without a question, and only by a
    // download that came whole; a link or a second hard link there stays, the
    // download landing in the file it names.
    void downloads_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<qint64>("cutAt");
        QTest::addColumn<bool>("earlier"); // a file of that name is there
        // The tip's text at the start and at the end, broken into lines: with n its
        // length, before the character at n / 3 + 2, then at 2 * (n / 3) + 9 counting
        // the first break (at the end when the text is no longer). Both 22 and 23
        // characters long here, so both breaks fall at 9 and 23.
        QTest::addColumn<QString>("started");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QByteArray>("after");
        // 0: the page's folder; -1: a full disk of its own, -2 a read-only one; else a
        // folder of that many bytes.
        QTest::addColumn<int>("folder");
        // What the operator set up in a folder of its own, where the download then
        // goes (see ZnSetUpFiles); all of it stays as he set it up.
        QTest::addColumn<QStringList>("setUp");
        QTest::newRow("cut off") << 3 << qint64(70000) << false << QStringLiteral("录音文件 3.mp\n3 下载中... [0%]\n")
                                 << QStringLiteral("录音文件 3.mp\n3 下载失败！ [34%]\n") << QByteArray("<missing>")
                                 << 0 << QStringList();
        QTest::newRow("replaced") << 5 << qint64(-1) << true << QStringLiteral("录音文件 5.mp\n3 下载中... [0%]\n")
                                  << QStringLiteral("录音文件 5.mp\n3 下载完成！ [100%\n]") << kRecording << 0
                                  << QStringList();
        QTest::newRow("replaced, cut off: the older file stays")
            << 5 << qint64(70000) << true << QStringLiteral("录音文件 5.mp\n3 下载中... [0%]\n")
            << QStringLiteral("录音文件 5.mp\n3 下载失败！ [34%]\n") << QByteArray("mine") << 0 << QStringList();
        QTest::newRow("full disk: the older file stays, the tip says why")
            << 5 << qint64(-1) << true << QStringLiteral("录音文件 5.mp\n3 下载中... [0%]\n")
            << QStringLiteral("录音文件 5.mp3 下载失\n败：The disk is full\n！ [0%]") << QByteArray("mine") << -1
            << QStringList();
        QTest::newRow("read-only disk: the older file stays, the tip says why")
            << 5 << qint64(-1) << true << QStringLiteral("录音文件 5.mp\n3 下载中... [0%]\n")
            << QStringLiteral("录音文件 5.mp3 下载失败：\nThe disk is read-onl\ny！ [0%]") << QByteArray("mine") << -2
            << QStringList();
        QTest::newRow("into a folder of 4,085 bytes")
            << 1 << qint64(-1) << false << QStringLiteral("录音文件 1.mp\n3 下载中... [0%]\n")
            << QStringLiteral("录音文件 1.mp\n3 下载完成！ [100%\n]") << kRecording << 4085 << QStringList();
        QTest::newRow("over a relative link into another folder: its file replaced, the link kept")
            << 5 << qint64(-1) << false << QStringLiteral("录音文件 5.mp\n3 下载中... [0%]\n")
            << QStringLiteral("录音文件 5.mp\n3 下载完成！ [100%\n]") << kRecording << 0
            << QStringList{QStringLiteral("f mine/5.mp3"), QStringLiteral("l 5.mp3 mine/5.mp3")};
        QTest::newRow("over a file with a second hard link: written in place, both names show it")
            << 5 << qint64(-1) << false << QStringLiteral("录音文件 5.mp\n3 下载中... [0%]\n")
            << QStringLiteral("录音文件 5.mp\n3 下载完成！ [100%\n]") << kRecording << 0
            << QStringList{QStringLiteral("f 5.mp3"), QStringLiteral("h mine/copy.mp3 5.mp3")};
    }
    void downloads()
    {
        QFETCH(int, id);
        QFETCH(qint64, cutAt);
        QFETCH(bool, earlier);
        QFETCH(QString, started);
        QFETCH(QString, end);
        QFETCH(int, folder);
        QFETCH(QStringList, setUp);
        ZnSimFileService::Faults faults;
        faults.cutGetFileAt = cutAt;
        files.setFaults(faults);
        const QString name = QStringLiteral("%1.mp3").arg(id);
        std::unique_ptr<ZnSmallDisk> disk;
        const QString usual = records->folder;
        const auto back = qScopeGuard([&] { records->folder = usual; });
        if (folder < 0) {
            disk = std::make_unique<ZnSmallDisk>(64 * 1024);
            if (!disk->mounted())
                QSKIP(qPrintable(disk->why()));
            records->folder = disk->path();
        } else if (folder > 0) {
            records->folder = folderOfLength(folder);
        }
        QTemporaryDir own;
        if (!setUp.isEmpty())
            records->folder = own.path();
        const ZnSetUpFiles setUpFiles(records->folder, setUp, "mine");
        QVERIFY2(setUpFiles.made(), qPrintable(setUpFiles.why()));
        const QString local = records->folder + QStringLiteral("/") + name;
        QVERIFY(!earlier || writeFile(local, "mine"));
        if (disk)
            QVERIFY(folder == -1 ? disk->leaveFree(0) : disk->setReadOnly(true));
        const int before = fileRequests();
        {
            Answered ask;
            download(id);
            QVERIFY(!ask.handled()); // no question
        }
        QVERIFY(tip(name));
        // Progress comes queued: the first text still stands.
        QCOMPARE(tip(name)->label()->text(), started);
        Answered busy;
        download(id);
        QCOMPARE(busy.last(), QStringLiteral("录音文件下载中，请等待任务完成！"));
        // (A tip that went meanwhile fails the comparison, not the run.)
        QTRY_COMPARE_WITH_TIMEOUT(tip(name) ? tip(name)->label()->text() : QString(), end, 10000);
        QCOMPARE(tip(name)->box()->styleSheet().contains(QStringLiteral("#fdf6ec")),
                 QString(end).remove(QLatin1Char('\n')).contains(QStringLiteral("失败")));
        // The ended download's tip still stands: the file still counts as busy.
        Answered ended;
        download(id);
        QCOMPARE(ended.last(), QStringLiteral("录音文件下载中，请等待任务完成！"));
        QTRY_VERIFY_WITH_TIMEOUT(!tip(name), 10000);
        QCOMPARE(fileRequests(), before + 1);
        QTEST(bytesOf(local), "after");
        // No partial or waiting file is left behind.
        QCOMPARE(QDir(records->folder)
                     .entryList(QDir::Files | QDir::Hidden)
                     .filter(QRegularExpression(QStringLiteral("^\\."))),
                 QStringList());
        const QString differs = setUp.isEmpty() ? QString() : setUpFiles.changed(name, kRecording);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
        QFile::remove(local);
    }

    // Each setting as typed, taken or refused by the server: what the server has
    // afterwards, what the page said and shows; the box is unticked either way.
    void settings_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");   // by the server
        QTest::addColumn<QString>("server"); // its value afterwards; the password sent
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("label");
        const QString set = QStringLiteral("[已设置]"), failed = QStringLiteral("[设置失败]");
        const QString title = QStringLiteral("System_Name"), vad = QStringLiteral("Vad_Ptt_Time_Out");
        const QString admin = QStringLiteral("admin"), under = QStringLiteral("超时时间必须大于或者等于300秒");
        QTest::newRow("title taken") << title << "After" << false << "After" << QString() << QString();
        QTest::newRow("title refused") << title << "After" << true << "Before" << kRefused << QString();
        for (const QString &server : {QStringLiteral("Record_Server"), QStringLiteral("Talk_Log_Server")}) {
            QTest::addRow("%s taken", qPrintable(server))
                << server << "10.1.1.1:7000" << false << "10.1.1.1:7000" << QString() << set;
            QTest::addRow("%s refused", qPrintable(server))
                << server << "10.1.1.1:7000" << true << "10.9.9.9:1" << kRefused << failed;
        }
        QTest::newRow("time-out refused") << vad << "900" << true << "600" << kRefused << QStringLiteral("[未设置]");
        QTest::newRow("time-out 300 taken") << vad << "300" << false << "300" << QString() << set;
        QTest::newRow("time-out 299 not sent") << vad << "299" << false << "600" << under << QString();
        QTest::newRow("password refused") << admin << "new1" << true << "new1" << kRefused << QString();
        QTest::newRow("password: signs and blanks dropped, seventh cut")
            << admin << "aB1-c 2345" << false << "aB1c23" << QString() << QString();
        QTest::newRow("password: Chinese not sent")
            << admin << "密码" << false << "-" << QStringLiteral("密码不能为空！") << QString();
    }
    void settings()
    {
        QFETCH(QString, setting);
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        QFETCH(QString, server);
        QFETCH(QString, told);
        QFETCH(QString, label);
        auto &ui = page->form();
        setParameters({{"System_Name", "Before"},
                       {"Record_Server", "10.9.9.9:1"},
                       {"Talk_Log_Server", "10.9.9.9:1"},
                       {"Vad_Ptt_Time_Out", "600"}});
        ZnConfigSettings().setValue(QStringLiteral("Setting/Title"), QStringLiteral("Before"));
        s.sim.withData([&](ZnSimData &d) {
            d.refusedSettings.clear();
            if (refused)
                d.refusedSettings.insert(setting.toStdString());
        });
        struct
        {
            QGroupBox *box;
            QLineEdit *edit, *port;
            QPushButton *send;
            QLabel *note;
        } const boxes[] = {
            {ui.fTitleNameGb, ui.fTitleLe, nullptr, ui.fSaveTileBtn, nullptr},
            {ui.fRecordServerGb, ui.fTbRecordIp, ui.fTbRecordPort, ui.fRecordButton, ui.kRecordNoteLabel},
            {ui.fTalkLogGb, ui.fTbLogIp, ui.fTbLogPort, ui.fTalkLogButton, ui.kTalkLogNoteLabel},
            {ui.fVadgroupBox, ui.fVadlineEdit, nullptr, ui.fVadpushButton, ui.fVadlabel},
            {ui.fUserPassGb, ui.fPassLe, nullptr, ui.fUserPassButton, nullptr}};
        const QStringList names{QStringLiteral("System_Name"), QStringLiteral("Record_Server"),
                                QStringLiteral("Talk_Log_Server"), QStringLiteral("Vad_Ptt_Time_Out")};
        const auto &b = boxes[names.contains(setting) ? names.indexOf(setting) : 4];
        const int passwords = s.sim.count("POST ModTalkManagerInfo");
        QSignalSpy titles(page.get(), &ZnSystemSettingForm::sendTitleString);
        b.box->setChecked(true);
        b.edit->clear();
        if (b.port) {
            b.edit->setText(typed.section(QLatin1Char(':'), 0, 0));
            b.port->setText(typed.section(QLatin1Char(':'), 1));
        } else if (setting == QLatin1String("admin")) { // typed: the field's own rules apply
            for (const QChar c : typed)
                QTest::sendKeyEvent(QTest::Click, b.edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
        } else {
            b.edit->setText(typed);
        }
        if (b.note)
            b.note->setText(QStringLiteral("[未设置]"));
        b.send->click();
        QCOMPARE(page->told.join(QLatin1Char('|')), told);
        QVERIFY(!b.box->isChecked());
        if (b.note && !label.isEmpty())
            QCOMPARE(b.note->text(), label);
        if (setting == QLatin1String("admin")) {
            const bool sent = s.sim.count("POST ModTalkManagerInfo") > passwords;
            QCOMPARE(sent ? QString::fromStdString(lastBody(s, "POST ModTalkManagerInfo")["PassWord"].asString())
                          : QStringLiteral("-"),
                     server);
            QVERIFY(b.edit->text().isEmpty());
            return;
        }
        QCOMPARE(parameter(setting.toStdString()), server);
        if (setting == QLatin1String("Vad_Ptt_Time_Out") && !refused) // one the page refused shows the server's value
            QCOMPARE(b.edit->text(), server);
        if (setting == QLatin1String("System_Name")) {
            QCOMPARE(ui.fTitleLe->text(), server);
            QCOMPARE(ZnConfigSettings().value(QStringLiteral("Setting/Title")).toString(), server);
            QCOMPARE(titles.count(), refused ? 0 : 1);
        }
    }

    // The server's values as the page shows them: "ip:port" split only at a
    // colon; the title falls back when the server has no name entry.
    void serverValuesShown_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("shown"); // ip, port and label of both servers
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("address and port") << "10.0.0.5:7801"
                                          << "10.0.0.5 7801 [已设置]"
                                          << "二号楼"
                                          << "二号楼";
        QTest::newRow("no colon: unchanged") << "10.0.0.5"
                                             << "old 1 [未设置]" << QString() << "管理中心";
    }
    void serverValuesShown()
    {
        QFETCH(QString, value);
        QFETCH(QString, shown);
        QFETCH(QString, name);
        QFETCH(QString, title);
        auto &ui = page->form();
        const QList<QLineEdit *> ips{ui.fTbRecordIp, ui.fTbLogIp}, ports{ui.fTbRecordPort, ui.fTbLogPort};
        const QList<QLabel *> notes{ui.kRecordNoteLabel, ui.kTalkLogNoteLabel};
        for (int i = 0; i < 2; ++i) {
            ips[i]->setText(QStringLiteral("old"));
            ports[i]->setText(QStringLiteral("1"));
            notes[i]->setText(QStringLiteral("[未设置]"));
        }
        QSignalSpy titles(page.get(), &ZnSystemSettingForm::sendTitleString);
        setParameters({{"Record_Server", value.toStdString()},
                       {"Talk_Log_Server", value.toStdString()},
                       {"System_Name", name.toStdString()}});
        for (int i = 0; i < 2; ++i)
            QCOMPARE(ips[i]->text() + QLatin1Char(' ') + ports[i]->text() + QLatin1Char(' ') + notes[i]->text(), shown);
        QCOMPARE((QStringList{titles.last().first().toString(), ui.fTitleLe->text(), page->titleText()}),
                 (QStringList{title, title, title}));
    }

    void restoreFileChecks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("problem");
        const QString n121(121, QLatin1Char('n'));
        QTest::newRow("colon") << "a:b.backup" << qint64(10) << QStringLiteral("文件名包含非法字符！");
        QTest::newRow("128 bytes") << n121 + QStringLiteral(".backup") << qint64(10) << QString();
        QTest::newRow("129 bytes") << n121 + QStringLiteral("n.backup") << qint64(10)
                                   << QStringLiteral("文件名称超长！");
        QTest::newRow("exactly 1 GiB") << "big.backup" << qint64(1073741824) << QString();
        QTest::newRow("one byte more") << "big.backup" << qint64(1073741825)
                                       << QStringLiteral("%1\n文件大于1024MB，禁止上传！");
    }
    void restoreFileChecks()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        QFile f(path);
        // Sparse: the size counts, not the bytes on disk.
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(size));
        f.close();
        QCOMPARE(ZnSystemSettingForm::restoreFileProblem(path),
                 problem.contains(QStringLiteral("%1")) ? problem.arg(path) : problem);
    }

    // Request, report, download, digest check and copy into the chosen folder,
    // named by the day. The program's folder holds the working copy: an older
    // one goes only when the new one came whole, and a report naming any other
    // file than the one asked for downloads nothing.
    void backupEndToEnd_data()
    {
        QTest::addColumn<bool>("corrupt");
        QTest::addColumn<bool>("capitals");
        QTest::addColumn<bool>("nameTaken");
        QTest::addColumn<QString>("reported"); // by the server instead of the name asked for
        QTest::addColumn<qint64>("cutAt");
        QTest::addColumn<QString>("told");       // "": the download finished
        QTest::addColumn<QByteArray>("working"); // the working copy afterwards; "new": the served file
        // "program" or "chosen" and where that folder is: "full", a full disk of its
        // own, or the bytes of its path; empty: both as usual.
        QTest::addColumn<QString>("place");
        QTest::newRow("digest in capitals")
            << false << true << false << QString() << qint64(-1) << QString() << QByteArray("new") << QString();
        QTest::newRow("name taken in the folder")
            << false << false << true << QString() << qint64(-1) << QString() << QByteArray("new") << QString();
        QTest::newRow("corrupted file") << true << false << false << QString() << qint64(-1)
                                        << QStringLiteral("Md5校验失败！") << QByteArray("<missing>") << QString();
        QTest::newRow("cut off: older copy kept")
            << false << false << false << QString() << qint64(100)
            << QStringLiteral("The backup was not downloaded: interrupted") << QByteArray("older copy") << QString();
        QTest::newRow("server names config.ini")
            << false << false << false << QStringLiteral("config.ini") << qint64(-1)
            << QStringLiteral("The server reported an unusable backup file name: config.ini")
            << QByteArray("older copy") << QString();
        QTest::newRow("server names another day")
            << false << false << false << QStringLiteral("ZNX_2000-01-01.backup") << qint64(-1)
            << QStringLiteral("The server reported an unusable backup file name: ZNX_2000-01-01.backup")
            << QByteArray("older copy") << QString();
        QTest::newRow("program's disk full: older copy kept")
            << false << false << false << QString() << qint64(-1)
            << QStringLiteral("The backup was not downloaded: The disk is full") << QByteArray("older copy")
            << QStringLiteral("program full");
        QTest::newRow("chosen folder's disk full: nothing left there")
            << false << false << false << QString() << qint64(-1)
            << QStringLiteral("The backup could not be saved in %1: The disk is full.") << QByteArray("new")
            << QStringLiteral("chosen full");
        QTest::newRow("program folder of 4,070 bytes, a working copy's path of 4,092")
            << false << false << false << QString() << qint64(-1) << QString() << QByteArray("new")
            << QStringLiteral("program 4070");
        QTest::newRow("chosen folder of 4,080 bytes: the copy's path too long")
            << false << false << false << QString() << qint64(-1)
            << QStringLiteral("The backup could not be saved in %1: The file path is too long.") << QByteArray("new")
            << QStringLiteral("chosen 4080");
    }
    void backupEndToEnd()
    {
        QFETCH(bool, corrupt);
        QFETCH(bool, capitals);
        QFETCH(bool, nameTaken);
        QFETCH(QString, reported);
        QFETCH(qint64, cutAt);
        QFETCH(QString, told);
        QFETCH(QByteArray, working);
        QFETCH(QString, place);
        const QString usualProgram = page->program, usualFolder = page->folder;
        const auto back = qScopeGuard([&] {
            page->program = usualProgram;
            page->folder = usualFolder;
        });
        QString &moved = place.startsWith(QLatin1String("program")) ? page->program : page->folder;
        std::unique_ptr<ZnSmallDisk> disk;
        if (place.endsWith(QLatin1String(" full"))) {
            disk = std::make_unique<ZnSmallDisk>(64 * 1024);
            if (!disk->mounted())
                QSKIP(qPrintable(disk->why()));
            moved = disk->path();
        } else if (!place.isEmpty()) {
            moved = folderOfLength(place.section(QLatin1Char(' '), 1).toInt());
        }
        // The files a folder holds besides a small disk's filler.
        const auto filesIn = [](const QString &folder) {
            QStringList found = QDir(folder).entryList(QDir::Files | QDir::Hidden);
            found.removeAll(QStringLiteral("filler"));
            return found;
        };
        auto &ui = page->form();
        ui.fServerBackupGb->show();
        const QString name = QStringLiteral("ZNX_%1.backup").arg(QDate::currentDate().toString(Qt::ISODate));
        QDir(page->folder).removeRecursively();
        QVERIFY(QDir().mkpath(page->folder));
        const QString target = page->folder + QStringLiteral("/") + name;
        QVERIFY(!nameTaken || writeFile(target, "mine"));
        const QString program = page->program + QStringLiteral("/");
        QVERIFY(writeFile(program + name, "older copy") && writeFile(program + QStringLiteral("config.ini"), "keep"));
        s.sim.withData([&](ZnSimData &d) {
            d.corruptBackupFile = corrupt;
            d.upperCaseBackupMd5 = capitals;
            d.reportedBackupName = reported.toStdString();
        });
        ZnSimFileService::Faults faults;
        faults.cutGetFileAt = cutAt;
        files.setFaults(faults);
        if (disk)
            QVERIFY(disk->leaveFree(0));
        ui.fBackupDirBtn->click();
        QCOMPARE(ui.fBackupLe->text(), page->folder);
        ui.fBackupStartBtn->click();
        QVERIFY(!ui.fBackupStartBtn->isEnabled());
        QCOMPARE(lastBody(s, "POST DataBackup")["BackupFile"].asString(), name.toStdString());
        QTRY_COMPARE_WITH_TIMEOUT(page->told.size(), 1, 10000);
        s.sim.withData([](ZnSimData &d) {
            d.corruptBackupFile = d.upperCaseBackupMd5 = false;
            d.reportedBackupName.clear();
        });

        const QByteArray served = bytesOf(QString::fromStdString(files.backupFolder()) + QStringLiteral("/") + name);
        const QString other = QString(name).replace(QStringLiteral(".backup"), QStringLiteral(" (2).backup"));
        QCOMPARE(bytesOf(program + QStringLiteral("config.ini")), QByteArray("keep"));
        QCOMPARE(bytesOf(program + name), working == "new" ? served : working);
        QCOMPARE(filesIn(page->program).size(), working == "<missing>" ? 1 : 2);
        if (!told.isEmpty()) {
            QCOMPARE(page->told, QStringList{told.contains(QLatin1String("%1")) ? told.arg(page->folder) : told});
            QCOMPARE(filesIn(page->folder), QStringList());
        } else {
            const QString saved = nameTaken ? other : name;
            QVERIFY2(page->told.value(0).startsWith(saved + QStringLiteral("下载完成！")),
                     qPrintable(page->told.value(0)));
            QCOMPARE(bytesOf(page->folder + QStringLiteral("/") + saved), served);
            QCOMPARE(bytesOf(target), nameTaken ? QByteArray("mine") : served);
        }
    }

    // File chosen, checked, uploaded, then restored: only after the upload went
    // through and only for a file whose digest the server confirms.
    void restoreEndToEnd_data()
    {
        QTest::addColumn<bool>("uploadRefused");
        QTest::addColumn<bool>("serverRefuses");
        QTest::addColumn<QString>("told");
        QTest::newRow("restored") << false << false << "数据恢复完成！";
        QTest::newRow("server refuses") << false << true << "数据恢复失败！";
        QTest::newRow("upload refused") << true << false << "The restore file was not uploaded: upload refused";
    }
    void restoreEndToEnd()
    {
        QFETCH(bool, uploadRefused);
        QFETCH(bool, serverRefuses);
        QFETCH(QString, told);
        auto &ui = page->form();
        ui.fServerBackupGb->show();
        setParameters({{"System_Name", "Saved"}});
        std::string dump;
        s.sim.withData([&](ZnSimData &d) { dump = d.dump(); });
        setParameters({{"System_Name", "Changed since"}});
        page->file = work.filePath(QStringLiteral("site copy.backup"));
        QVERIFY(writeFile(page->file, QByteArray::fromStdString(dump)));
        ZnSimFileService::Faults faults;
        faults.refusePost = uploadRefused;
        files.setFaults(faults);
        if (serverRefuses)
            s.sim.addRule(ZnSimRule::make("POST DataRecovery", ZnSimRule::Fail, "refused"));
        const int asked = s.sim.count("POST DataRecovery");

        ui.fRestoreDirBtn->click();
        QCOMPARE(ui.fRestoreLe->text(), page->file);
        QVERIFY(ui.fRestoreStartBtn->isEnabled());
        ui.fRestoreStartBtn->click();
        QTRY_COMPARE_WITH_TIMEOUT(page->told.size(), 1, 10000);
        QCOMPARE(page->told.last(), told);
        QCOMPARE(s.sim.count("POST DataRecovery"), asked + (uploadRefused ? 0 : 1));
        if (!uploadRefused) {
            const Json::Value body = lastBody(s, "POST DataRecovery");
            QCOMPARE(body["RecoveryFile"].asString(), std::string("site copy.backup"));
            QCOMPARE(QByteArray::fromStdString(body["Md5"].asString()),
                     QCryptographicHash::hash(QByteArray::fromStdString(dump), QCryptographicHash::Md5).toHex());
        }
        const bool restored = !uploadRefused && !serverRefuses;
        QCOMPARE(parameter("System_Name"), restored ? QStringLiteral("Saved") : QStringLiteral("Changed since"));
        QCOMPARE(ui.fRestoreStartBtn->isEnabled(), !restored);
    }

    // A recording's name comes from the server: its tip shows it as written, and a
    // picture it names (a FIFO in the working folder) is never opened.
    void tipShowsNameAsText()
    {
        ZnFifoTrap trap(QDir::currentPath());
        QVERIFY(trap.isValid());
        const std::string path = "/data/mp3/record/<img src=trap>.mp3";
        s.sim.withData([&](ZnSimData &d) {
            for (Json::Value &r : d.table("talklog"))
                if (r["id"].asString() == "1")
                    r["recordfile"] = path;
        });
        QTRY_VERIFY(records->form().fRefreshButton->isEnabled());
        records->form().fRefreshButton->click();
        ZnLogRecord record;
        QTRY_VERIFY(ZnServiceLogMgr::instance()->findTalkRecord(1, record) && record.recordFile == path);
        download(1);
        const QString name = QStringLiteral("<img src=trap>.mp3");
        QVERIFY(tip(name));
        QCOMPARE(tip(name)->label()->textFormat(), Qt::PlainText);
        // 35 characters: breaks before 13 and, counting the first, 31.
        QCOMPARE(tip(name)->label()->text(), QStringLiteral("录音文件 <img src\n=trap>.mp3 下载中...\n [0%]"));
        tip(name)->box()->grab();
        QVERIFY(trap.stillUnopened());
        QTRY_VERIFY_WITH_TIMEOUT(!tip(name), 10000);
    }
};

QTEST_MAIN(tst_filepages)
#include "tst_filepages.moc"
