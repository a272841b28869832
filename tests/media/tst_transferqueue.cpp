// The transfer queue against the simulated file service and the real encoder:
// conversions, uploads, a download cut short, and the note file.
#include "TcpSocketClient.h"
#include "WavFile.h"
#include "ZnDownAndUploadViewCtr.h"
#include "ZnSimFileService.h"

#include <QDir>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {
bool isMp3(const QString& path)
{
    QFile f(path);
    const QByteArray head = f.open(QIODevice::ReadOnly) ? f.read(4) : QByteArray();
    return head.startsWith("ID3") || (head.size() == 4 && uchar(head[0]) == 0xFF && (uchar(head[1]) & 0xE0) == 0xE0);
}

QString cell(const QTableWidget& t, int row, int col = 0)
{
    return t.item(row, col) ? t.item(row, col)->text() : QString();
}

bool failed(const QTableWidget& t, int row)
{
    return cell(t, row).startsWith(QStringLiteral("失败"));
}
}

class TestTransferQueue : public QObject
{
    Q_OBJECT
    ZnSimFileService m_service;
    QTemporaryDir m_work;
    QByteArray m_path;

    QString served(const QString& rel) const
    {
        return QString::fromStdString(m_service.folder()) + QLatin1Char('/') + rel;
    }

private slots:
    void initTestCase()
    {
        // The queue keeps its note and converted files in the working folder.
        QVERIFY(QDir::setCurrent(m_work.path()));
        m_path = qgetenv("PATH");
        QVERIFY(m_service.start(0));
        TcpSocketClient::instance()->setServer(QStringLiteral("127.0.0.1"), quint16(m_service.port()));
        TcpSocketClient::instance()->start();
    }
    void init()
    {
        m_service.setFaults({});
        qputenv("PATH", m_path);
    }
    void cleanupTestCase() { m_service.stop(); }

    // Uploads convert one at a time; each ends as the service answered, and a
    // failure leaves its row marked, saying why, while the queue goes on.
    void uploads_data()
    {
        QTest::addColumn<QStringList>("files"); // local files, relative to the work folder
        QTest::addColumn<bool>("noEncoder");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<QStringList>("failed"); // names whose rows stay failed
        const auto list = [](const char* a, const char* b = nullptr) {
            return b ? QStringList{QString::fromUtf8(a), QString::fromUtf8(b)} : QStringList{QString::fromUtf8(a)};
        };
        QTest::newRow("wav converted and sent") << list("a/tone.wav") << false << false << QStringList();
        QTest::newRow("same name twice") << list("a/same.wav", "b/same.wav") << false << false << QStringList();
        QTest::newRow("encoder fails, next goes on")
            << list("a/gone.wav", "a/next.wav") << false << false << list("gone.wav");
        QTest::newRow("encoder missing") << list("a/lost.wav") << true << false << list("lost.wav");
        QTest::newRow("refused") << list("a/no.wav") << false << true << list("no.wav");
    }
    void uploads()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, noEncoder);
        QFETCH(bool, refuse);
        QFETCH(QStringList, failed);
        ZnSimFileService::Faults f;
        f.refusePost = refuse;
        m_service.setFaults(f);
        if (noEncoder)
            qputenv("PATH", m_work.path().toUtf8());

        QTableWidget table(0, 4);
        ZnDownAndUploadViewCtr queue(&table);
        for (const QString& rel : files) {
            QDir().mkpath(m_work.filePath(QFileInfo(rel).path()));
            if (!rel.contains(QLatin1String("gone")))
                QVERIFY(writeWav(m_work.filePath(rel), 1));
            const QString name = QFileInfo(rel).fileName();
            QCOMPARE(queue.queueUpload(name.toUtf8().constData(), m_work.filePath(rel).toUtf8().constData(),
                                       (QStringLiteral("/data/mp3/演出/") + name).toUtf8().constData(),
                                       QFileInfo(m_work.filePath(rel)).size()),
                     0);
        }
        QCOMPARE(cell(table, 0), QStringLiteral("正在转码"));
        if (files.size() > 1)
            QCOMPARE(cell(table, 1), QStringLiteral("等待转码"));
        QVERIFY(table.item(0, 0)->data(Qt::UserRole).toInt()
                != (files.size() > 1 ? table.item(1, 0)->data(Qt::UserRole).toInt() : 0));

        const auto settled = [&] {
            for (int row = 0; row < table.rowCount(); ++row) {
                if (!::failed(table, row))
                    return false;
            }
            return table.rowCount() == failed.size();
        };
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 30000);
        for (int row = 0; row < table.rowCount(); ++row) {
            QVERIFY(failed.contains(cell(table, row, 1)));
            QVERIFY(cell(table, row).size() > 3);
            QVERIFY(!table.item(row, 0)->toolTip().isEmpty());
        }
        if (noEncoder)
            QVERIFY(table.item(0, 0)->toolTip().contains(QLatin1String("lame")));
        for (const QString& rel : files) {
            const QString mp3 =
                served(QStringLiteral("演出/") + QFileInfo(rel).completeBaseName() + QLatin1String(".mp3"));
            QCOMPARE(isMp3(mp3), !failed.contains(QFileInfo(rel).fileName()));
        }
        // Nothing of a finished upload stays behind in the temporary folder.
        if (failed.isEmpty())
            QCOMPARE(QDir(QStringLiteral("temp_mp3")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                     QStringList());
    }

    void downloadCut()
    {
        ZnSimFileService::Faults f;
        f.cutGetFileAt = 4000;
        m_service.setFaults(f);
        QTemporaryDir into;
        QTableWidget table(0, 4);
        ZnDownAndUploadViewCtr queue(&table);
        const QString local = into.filePath(QStringLiteral("欢迎词.mp3"));
        const qint64 size = QFileInfo(served(QStringLiteral("欢迎词.mp3"))).size();
        QCOMPARE(queue.queueDownload("欢迎词.mp3", "/data/mp3/欢迎词.mp3", local.toUtf8().constData(), size), 0);
        QCOMPARE(cell(table, 0), QStringLiteral("正在下载"));
        QTRY_VERIFY_WITH_TIMEOUT(failed(table, 0), 30000);
        QVERIFY(!QFileInfo::exists(local));
    }

    // The records outlive the queue in a file of fixed-size slots.
    void noteFile()
    {
        QFile::remove(QLatin1String(ZnDownAndUploadViewCtr::kNoteFile));
        {
            QTableWidget table(0, 4);
            ZnDownAndUploadViewCtr queue(&table);
            queue.queueUpload("a.wav", "/nowhere/a.wav", "/data/mp3/a.wav", 10);
            queue.queueUpload("abc", "/nowhere/abc", "/data/mp3/abc", 10);
            QTRY_VERIFY(failed(table, 0) && failed(table, 1));
        }
        QFile note(QLatin1String(ZnDownAndUploadViewCtr::kNoteFile));
        QVERIFY(note.open(QIODevice::ReadOnly));
        const QByteArray bytes = note.readAll();
        QCOMPARE(bytes.size(), 1390);
        QCOMPARE(bytes.mid(695, 7), QByteArray("classb:"));
        QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 702), -193485963);
        QCOMPARE(bytes.mid(702 + 12, 4), QByteArray("abc\0", 4));
    }
};

QTEST_MAIN(TestTransferQueue)
#include "tst_transferqueue.moc"
