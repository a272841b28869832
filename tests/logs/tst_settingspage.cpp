// The system settings page against the simulated server and its file service:
// the boxes' input rules, the server's values, refused settings, and the
// database backup and restore end to end.
#include "../managers/consoles/ModelSim.h"
#include "TcpSocketClient.h"
#include "ZnConfigSettings.h"
#include "ZnServerConfigMgr.h"
#include "ZnSimFileService.h"
#include "ZnSystemSettingForm.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <tuple>

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

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QString kRefused = QStringLiteral("The server did not take the setting (result %1).");

} // namespace

class tst_settingspage : public QObject
{
    Q_OBJECT

    SimSession s;
    ZnSimFileService files;
    QTemporaryDir work;
    std::unique_ptr<Page> page;

    std::string parameter(const std::string &name)
    {
        std::string value = "<none>";
        s.sim.withData([&](ZnSimData &d) {
            for (const Json::Value &r : d.table("parameter"))
                if (r["name"].asString() == name)
                    value = r["value"].asString();
        });
        return value;
    }
    void setParameter(const std::string &name, const std::string &value)
    {
        s.sim.withData([&](ZnSimData &d) {
            auto &rows = d.table("parameter");
            rows.erase(std::remove_if(rows.begin(), rows.end(),
                                      [&](const Json::Value &r) { return r["name"].asString() == name; }),
                       rows.end());
            if (!value.empty()) {
                Json::Value r(Json::objectValue);
                r["name"] = name;
                r["value"] = value;
                rows.push_back(r);
            }
        });
    }
    // Asks the server's values again and waits until the page has shown them
    // (the answer may already be shown while the request waits).
    void reload()
    {
        QSignalSpy shown(page.get(), &ZnSystemSettingForm::sendTitleString);
        ZnServerConfigMgr::instance()->requestSystemParameter();
        QTRY_VERIFY(!shown.isEmpty());
    }
    QString lastTold() const { return page->told.isEmpty() ? QString() : page->told.last(); }

private slots:
    void initTestCase()
    {
        QDir::setCurrent(work.path());
        QVERIFY(startModels(s));
        QVERIFY(files.start(0, "127.0.0.1", work.filePath(QStringLiteral("media")).toStdString()));
        s.sim.withData([&](ZnSimData &d) {
            d.backupFolder = files.backupFolder();
            d.recoveryFolder = files.recoveryFolder();
        });
        TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(files.port()));
        TcpSocketClient::instance()->start();
        page.reset(new Page);
        for (const char *dir : {"program", "chosen"})
            QVERIFY(QDir().mkpath(work.filePath(QLatin1String(dir))));
        page->program = work.filePath(QStringLiteral("program"));
        page->folder = work.filePath(QStringLiteral("chosen"));
        // The page's first answer: the sample server's title.
        QTRY_COMPARE(page->titleText(), QStringLiteral("Demo site"));
    }
    void cleanupTestCase()
    {
        page.reset();
        files.stop();
    }
    void init() { page->told.clear(); }

    // What a box takes as typed, what it sends, and what it says when it
    // refuses; the box closes either way.
    void inputRules_data()
    {
        QTest::addColumn<bool>("password"); // else the talk time-out
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("sent"); // empty: nothing sent
        QTest::newRow("password: letters and digits") << true << "ab12CD"
                                                      << "ab12CD";
        QTest::newRow("password: seventh character dropped") << true << "abc1234"
                                                             << "abc123";
        QTest::newRow("password: signs and blanks refused") << true << "a-b c!"
                                                            << "abc";
        QTest::newRow("password: Chinese refused") << true << "密码"
                                                   << "";
        QTest::newRow("time-out: 299 refused") << false << "299"
                                               << "";
        QTest::newRow("time-out: 300 sent") << false << "300"
                                            << "300";
        QTest::newRow("time-out: 300abc sent as typed") << false << "300abc"
                                                        << "300abc";
        QTest::newRow("time-out: blank and sign") << false << " +450"
                                                  << " +450";
        QTest::newRow("time-out: no number") << false << "abc"
                                             << "";
    }
    void inputRules()
    {
        QFETCH(bool, password);
        QFETCH(QString, typed);
        QFETCH(QString, sent);
        auto &ui = page->form();
        QGroupBox *box = password ? ui.fUserPassGb : ui.fVadgroupBox;
        QLineEdit *edit = password ? ui.fPassLe : ui.fVadlineEdit;
        const int before = s.sim.count("POST ModTalkManagerInfo");
        if (!password) {
            setParameter("Vad_Ptt_Time_Out", "600");
            reload();
        }
        box->setChecked(true);
        edit->clear();
        if (password) {
            for (const QChar c : typed)
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QCOMPARE(edit->text(), sent);
        } else {
            edit->setText(typed);
        }
        (password ? ui.fUserPassButton : ui.fVadpushButton)->click();
        if (password) {
            QCOMPARE(s.sim.count("POST ModTalkManagerInfo"), before + (sent.isEmpty() ? 0 : 1));
            if (!sent.isEmpty())
                QCOMPARE(lastBody(s, "POST ModTalkManagerInfo")["PassWord"].asString(), sent.toStdString());
            QVERIFY(edit->text().isEmpty());
        } else {
            QCOMPARE(parameter("Vad_Ptt_Time_Out"), sent.isEmpty() ? std::string("600") : sent.toStdString());
            QCOMPARE(edit->text(), sent.isEmpty() ? QStringLiteral("600") : sent);
        }
        const QString refusal =
            password ? QStringLiteral("密码不能为空！") : QStringLiteral("超时时间必须大于或者等于300秒");
        QCOMPARE(page->told, sent.isEmpty() ? QStringList{refusal} : QStringList());
        QVERIFY(!box->isChecked());
    }

    // The server's values as the page shows them: "ip:port" split only at a
    // colon, the title falls back when the server has no name entry.
    void serverValuesShown_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("address and port")
            << QStringLiteral("10.0.0.5:7801")
            << QStringList{QStringLiteral("10.0.0.5"), QStringLiteral("7801"), QStringLiteral("[已设置]")} << "二号楼"
            << "二号楼";
        QTest::newRow("no colon: unchanged")
            << QStringLiteral("10.0.0.5")
            << QStringList{QStringLiteral("old"), QStringLiteral("1"), QStringLiteral("[未设置]")} << QString()
            << QStringLiteral("管理中心");
        QTest::newRow("colon at the end")
            << QStringLiteral("10.0.0.5:")
            << QStringList{QStringLiteral("10.0.0.5"), QString(), QStringLiteral("[已设置]")} << QStringLiteral("X")
            << QStringLiteral("X");
    }
    void serverValuesShown()
    {
        QFETCH(QString, value);
        QFETCH(QStringList, shown);
        QFETCH(QString, name);
        QFETCH(QString, title);
        auto &ui = page->form();
        for (auto fields : {std::make_tuple(ui.fTbRecordIp, ui.fTbRecordPort, ui.kRecordNoteLabel),
                            std::make_tuple(ui.fTbLogIp, ui.fTbLogPort, ui.kTalkLogNoteLabel)}) {
            std::get<0>(fields)->setText(QStringLiteral("old"));
            std::get<1>(fields)->setText(QStringLiteral("1"));
            std::get<2>(fields)->setText(QStringLiteral("[未设置]"));
        }
        setParameter("Record_Server", value.toStdString());
        setParameter("Talk_Log_Server", value.toStdString());
        setParameter("System_Name", name.toStdString());
        QSignalSpy titles(page.get(), &ZnSystemSettingForm::sendTitleString);
        reload();
        QCOMPARE((QStringList{ui.fTbRecordIp->text(), ui.fTbRecordPort->text(), ui.kRecordNoteLabel->text()}), shown);
        QCOMPARE((QStringList{ui.fTbLogIp->text(), ui.fTbLogPort->text(), ui.kTalkLogNoteLabel->text()}), shown);
        QCOMPARE((QStringList{titles.last().first().toString(), ui.fTitleLe->text(), page->titleText()}),
                 (QStringList{title, title, title}));
    }

    // Each setting, taken and refused: "[已设置]" and the new title only for an
    // answer of 0, else the failure is shown and the old state kept.
    void settingsTakenOrRefused_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<bool>("refused");
        for (const char *name : {"System_Name", "Record_Server", "Talk_Log_Server", "Vad_Ptt_Time_Out", "admin"}) {
            QTest::addRow("%s taken", name) << name << false;
            QTest::addRow("%s refused", name) << name << true;
        }
    }
    void settingsTakenOrRefused()
    {
        QFETCH(QString, setting);
        QFETCH(bool, refused);
        auto &ui = page->form();
        setParameter("System_Name", "Before");
        reload();
        ZnConfigSettings().setValue(QStringLiteral("Setting/Title"), QStringLiteral("Before"));
        s.sim.withData([&](ZnSimData &d) {
            d.refusedSettings.clear();
            if (refused)
                d.refusedSettings.insert(setting.toStdString());
        });
        setParameter("Record_Server", "10.9.9.9:1");
        setParameter("Talk_Log_Server", "10.9.9.9:1");
        QSignalSpy titles(page.get(), &ZnSystemSettingForm::sendTitleString);
        QLabel *label = nullptr;
        if (setting == QStringLiteral("System_Name")) {
            ui.fTitleNameGb->setChecked(true);
            ui.fTitleLe->setText(QStringLiteral("After"));
            ui.fSaveTileBtn->click();
        } else if (setting == QStringLiteral("Record_Server") || setting == QStringLiteral("Talk_Log_Server")) {
            const bool record = setting == QStringLiteral("Record_Server");
            (record ? ui.fRecordServerGb : ui.fTalkLogGb)->setChecked(true);
            (record ? ui.fTbRecordIp : ui.fTbLogIp)->setText(QStringLiteral("10.1.1.1"));
            (record ? ui.fTbRecordPort : ui.fTbLogPort)->setText(QStringLiteral("7000"));
            label = record ? ui.kRecordNoteLabel : ui.kTalkLogNoteLabel;
            label->setText(QStringLiteral("[未设置]"));
            (record ? ui.fRecordButton : ui.fTalkLogButton)->click();
            QCOMPARE(parameter(setting.toStdString()), std::string(refused ? "10.9.9.9:1" : "10.1.1.1:7000"));
        } else if (setting == QStringLiteral("Vad_Ptt_Time_Out")) {
            ui.fVadgroupBox->setChecked(true);
            ui.fVadlineEdit->setText(QStringLiteral("900"));
            label = ui.fVadlabel;
            ui.fVadpushButton->click();
        } else {
            ui.fUserPassGb->setChecked(true);
            ui.fPassLe->setText(QStringLiteral("new1"));
            ui.fUserPassButton->click();
        }
        QCOMPARE(page->told, refused ? QStringList{kRefused.arg(1)} : QStringList());
        if (label)
            QCOMPARE(label->text(), QString(refused ? QStringLiteral("[设置失败]") : QStringLiteral("[已设置]")));
        if (setting == QStringLiteral("System_Name")) {
            const QString title = refused ? QStringLiteral("Before") : QStringLiteral("After");
            QCOMPARE(titles.count(), refused ? 0 : 1);
            QCOMPARE(ui.fTitleLe->text(), title);
            QCOMPARE(ZnConfigSettings().value(QStringLiteral("Setting/Title")).toString(), title);
            QCOMPARE(parameter("System_Name"), title.toStdString());
        }
        s.sim.withData([](ZnSimData &d) { d.refusedSettings.clear(); });
    }

    void restoreFileChecks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("problem");
        QTest::newRow("blank in the name") << "my copy.backup" << qint64(10) << "";
        QTest::newRow("colon") << "a:b.backup" << qint64(10) << "文件名包含非法字符！";
        QTest::newRow("128 bytes") << QString(121, QLatin1Char('n')) + QStringLiteral(".backup") << qint64(10)
                                   << QString();
        QTest::newRow("129 bytes") << QString(122, QLatin1Char('n')) + QStringLiteral(".backup") << qint64(10)
                                   << QStringLiteral("文件名称超长！");
        QTest::newRow("exactly 1 GiB") << "big.backup" << qint64(1073741824) << "";
        QTest::newRow("one byte more") << "big.backup" << qint64(1073741825) << "%1\n文件大于1024MB，禁止上传！";
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

    void backupNamedByDate()
    {
        QCOMPARE(ZnSystemSettingForm::backupFileName(QDate(2024, 3, 5)), QStringLiteral("ZNX_2024-03-05.backup"));
    }

    // Request, report, download, digest check and copy into the chosen folder.
    void backupEndToEnd_data()
    {
        QTest::addColumn<bool>("corrupt");
        QTest::addColumn<bool>("capitals");
        QTest::addColumn<bool>("nameTaken");
        QTest::newRow("intact") << false << false << false;
        QTest::newRow("digest in capitals") << false << true << false;
        QTest::newRow("name taken in the folder") << false << false << true;
        QTest::newRow("corrupted file") << true << false << false;
    }
    void backupEndToEnd()
    {
        QFETCH(bool, corrupt);
        QFETCH(bool, capitals);
        QFETCH(bool, nameTaken);
        auto &ui = page->form();
        ui.fServerBackupGb->show();
        const QString name = ZnSystemSettingForm::backupFileName(QDate::currentDate());
        QDir(page->folder).removeRecursively();
        QVERIFY(QDir().mkpath(page->folder));
        const QString target = page->folder + QStringLiteral("/") + name;
        if (nameTaken) {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("mine") == 4);
        }
        s.sim.withData([&](ZnSimData &d) {
            d.corruptBackupFile = corrupt;
            d.upperCaseBackupMd5 = capitals;
        });

        ui.fBackupDirBtn->click();
        QCOMPARE(ui.fBackupLe->text(), page->folder);
        ui.fBackupStartBtn->click();
        QVERIFY(!ui.fBackupStartBtn->isEnabled());
        QCOMPARE(lastBody(s, "POST DataBackup")["BackupFile"].asString(), name.toStdString());
        QTRY_COMPARE_WITH_TIMEOUT(page->told.size(), 1, 10000);

        const QByteArray served = bytesOf(QString::fromStdString(files.backupFolder()) + QStringLiteral("/") + name);
        if (corrupt) {
            QCOMPARE(page->told, QStringList{QStringLiteral("Md5校验失败！")});
            QCOMPARE(QDir(page->folder).entryList(QDir::Files), QStringList());
        } else if (nameTaken) {
            const QString other = QString(name).replace(QStringLiteral(".backup"), QStringLiteral(" (2).backup"));
            QVERIFY2(lastTold().startsWith(other + QStringLiteral("下载完成！\n")), qPrintable(lastTold()));
            QCOMPARE(bytesOf(target), QByteArray("mine"));
            QCOMPARE(bytesOf(page->folder + QStringLiteral("/") + other), served);
        } else {
            QCOMPARE(page->told, QStringList{name + QStringLiteral("下载完成！")});
            QCOMPARE(bytesOf(target), served);
        }
        s.sim.withData([](ZnSimData &d) { d.corruptBackupFile = d.upperCaseBackupMd5 = false; });
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
        setParameter("System_Name", "Saved");
        std::string dump;
        s.sim.withData([&](ZnSimData &d) { dump = d.dump(); });
        setParameter("System_Name", "Changed since");
        page->file = work.filePath(QStringLiteral("site copy.backup"));
        QFile f(page->file);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(dump.data(), qint64(dump.size())) == qint64(dump.size()));
        f.close();
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
        QCOMPARE(lastTold(), told);
        QCOMPARE(s.sim.count("POST DataRecovery"), asked + (uploadRefused ? 0 : 1));
        if (!uploadRefused) {
            const Json::Value body = lastBody(s, "POST DataRecovery");
            QCOMPARE(body["RecoveryFile"].asString(), std::string("site copy.backup"));
            QCOMPARE(body["Md5"].asString(),
                     QCryptographicHash::hash(QByteArray::fromStdString(dump), QCryptographicHash::Md5)
                         .toHex()
                         .toStdString());
        }
        const bool restored = !uploadRefused && !serverRefuses;
        QCOMPARE(parameter("System_Name"), std::string(restored ? "Saved" : "Changed since"));
        QCOMPARE(ui.fRestoreStartBtn->isEnabled(), !restored);
        files.setFaults({});
        s.sim.clearRules();
    }
};

QTEST_MAIN(tst_settingspage)
#include "tst_settingspage.moc"
