#include "ZnDigest.h"

#include <QtTest>

class TstDigest : public QObject
{
    Q_OBJECT

private slots:
    // RFC 2202 vectors, through both the text and the buffer form. The server's scheme
    // refuses keys longer than a block: nothing is written (empty digest).
    void rfc2202_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("digest");
        const QByteArray large = "Test Using Larger Than Block-Size Key - Hash Key First";
        QTest::newRow("2") << QByteArray("Jefe") << QByteArray("what do ya want for nothing?")
                           << QByteArray("effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
        QTest::newRow("64-byte key is used as it is")
            << QByteArray(64, '\xaa') << large << QByteArray("070a98992c4c1a83474cb780fc564608df3cf503");
        QTest::newRow("empty message and key")
            << QByteArray("") << QByteArray("") << QByteArray("fbdb1d1b18aa6c08324b7d64b71fb76370690e1d");
        QTest::newRow("80-byte key refused") << QByteArray(80, '\xaa') << large << QByteArray();
    }
    void rfc2202()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, digest);
        QCOMPARE(QByteArray::fromStdString(hmacSha1Hex(data.toStdString(), key.toStdString())), digest);
        QByteArray out(41, 'z');
        const auto bytes = [](const QByteArray &a) { return reinterpret_cast<const unsigned char *>(a.constData()); };
        hmacSha1Hex(bytes(data), std::size_t(data.size()), out.data(), bytes(key), std::size_t(key.size()));
        QCOMPARE(out.left(40), digest.isEmpty() ? QByteArray(40, 'z') : digest);
    }

    void loginBody_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("password");
        QTest::addColumn<QByteArray>("body");
        // Longer than the 63 characters a fixed digest buffer would have held.
        QTest::newRow("long name and password")
            << QByteArray("a-rather-long-operator-name") << QByteArray("and-an-equally-long-password!")
            << QByteArray("{\"Name\":\"a-rather-long-operator-name\","
                          "\"PassWord\":\"507529c6a75c215bc56709179f9e0ed4ff651fd9\",");
        // The digest is over the UTF-8 bytes; the writer escapes the name.
        QTest::newRow("chinese") << QByteArray("\xe6\x93\x8d\xe4\xbd\x9c\xe5\x91\x98")
                                 << QByteArray("\xe5\xaf\x86\xe7\xa0\x81")
                                 << QByteArray("{\"Name\":\"\\u64cd\\u4f5c\\u5458\","
                                               "\"PassWord\":\"46299a65e7a7c5b54610e13d7c380225b50e2c75\",");
    }
    void loginBody()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, password);
        QFETCH(QByteArray, body);
        const std::string text = ::loginBody(name.toStdString(), password.toStdString(), "2026-12-06 20:48:00");
        QCOMPARE(QByteArray::fromStdString(text), body + "\"Time\":\"2026-12-06 20:48:00\"}\n");
    }
};

QTEST_GUILESS_MAIN(TstDigest)
#include "tst_digest.moc"
