#include "ZnDigest.h"

#include <QtTest>

#include <cstring>

class TstDigest : public QObject
{
    Q_OBJECT

private slots:
    void rfc2202_data();
    void rfc2202();
    void keyLongerThanABlockWritesNothing();
    void loginBody_data();
    void loginBody();
};

void TstDigest::rfc2202_data()
{
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("digest");

    QByteArray key4;
    for (char c = 1; c <= 25; ++c)
        key4.append(c);
    QTest::newRow("1") << QByteArray(20, '\x0b') << QByteArray("Hi There")
                       << QByteArray("b617318655057264e28bc0b6fb378c8ef146be00");
    QTest::newRow("2") << QByteArray("Jefe") << QByteArray("what do ya want for nothing?")
                       << QByteArray("effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");
    QTest::newRow("3") << QByteArray(20, '\xaa') << QByteArray(50, '\xdd')
                       << QByteArray("125d7342b9ac11cd91a39af48aa17b4f63f175d3");
    QTest::newRow("4") << key4 << QByteArray(50, '\xcd')
                       << QByteArray("4c9007f4026250c6bc8414f9bf50c86c2d7235da");
    QTest::newRow("5") << QByteArray(20, '\x0c') << QByteArray("Test With Truncation")
                       << QByteArray("4c1a03424b55e07fe7f27be1d58bb9324a9a5a04");
    // A key of exactly one block is still used as it is.
    QTest::newRow("64-byte key")
        << QByteArray(64, '\xaa') << QByteArray("Test Using Larger Than Block-Size Key - Hash Key First")
        << QByteArray("070a98992c4c1a83474cb780fc564608df3cf503");
    QTest::newRow("empty message and key") << QByteArray() << QByteArray()
                                           << QByteArray("fbdb1d1b18aa6c08324b7d64b71fb76370690e1d");
}

void TstDigest::rfc2202()
{
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, digest);

    QCOMPARE(QByteArray::fromStdString(hmacSha1Hex(data.toStdString(), key.toStdString())),
             digest);

    char out[41];
    std::memset(out, 0, sizeof out);
    hmacSha1Hex(reinterpret_cast<const unsigned char *>(data.constData() ? data.constData() : ""),
                std::size_t(data.size()), out,
                reinterpret_cast<const unsigned char *>(key.constData() ? key.constData() : ""),
                std::size_t(key.size()));
    QCOMPARE(QByteArray(out), digest);
}

// RFC 2202 cases 6 and 7 use an 80-byte key, which the server's scheme refuses.
void TstDigest::keyLongerThanABlockWritesNothing()
{
    const QByteArray key(80, '\xaa');
    const QByteArray data = "Test Using Larger Than Block-Size Key - Hash Key First";
    char out[41];
    std::memset(out, 'z', sizeof out);
    hmacSha1Hex(reinterpret_cast<const unsigned char *>(data.constData()), std::size_t(data.size()),
                out, reinterpret_cast<const unsigned char *>(key.constData()),
                std::size_t(key.size()));
    QCOMPARE(QByteArray(out, sizeof out), QByteArray(41, 'z'));
    QVERIFY(hmacSha1Hex(data.toStdString(), key.toStdString()).empty());
    QVERIFY(!hmacSha1Hex(data.toStdString(), std::string(64, 'k')).empty());

    hmacSha1Hex(nullptr, 3, out, reinterpret_cast<const unsigned char *>("k"), 1);
    hmacSha1Hex(reinterpret_cast<const unsigned char *>("m"), 1, out, nullptr, 0);
    hmacSha1Hex(reinterpret_cast<const unsigned char *>("m"), 1, nullptr,
                reinterpret_cast<const unsigned char *>("k"), 1);
    QCOMPARE(QByteArray(out, sizeof out), QByteArray(41, 'z'));
}

void TstDigest::loginBody_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("password");
    QTest::addColumn<QByteArray>("body");
    QTest::newRow("plain")
        << QByteArray("operator") << QByteArray("secret")
        << QByteArray("{\"Name\":\"operator\",\"PassWord\":\"26682fd6cfbde871a250e7510cc04eda92e96c70\","
                      "\"Time\":\"2026-12-06 20:48:00\"}\n");
    // Longer than the 63 characters a fixed digest buffer would have held.
    QTest::newRow("long name and password")
        << QByteArray("a-rather-long-operator-name") << QByteArray("and-an-equally-long-password!")
        << QByteArray("{\"Name\":\"a-rather-long-operator-name\","
                      "\"PassWord\":\"507529c6a75c215bc56709179f9e0ed4ff651fd9\","
                      "\"Time\":\"2026-12-06 20:48:00\"}\n");
    // The digest is over the UTF-8 bytes; the writer escapes the name.
    QTest::newRow("chinese")
        << QByteArray("\xe6\x93\x8d\xe4\xbd\x9c\xe5\x91\x98") << QByteArray("\xe5\xaf\x86\xe7\xa0\x81")
        << QByteArray("{\"Name\":\"\\u64cd\\u4f5c\\u5458\","
                      "\"PassWord\":\"46299a65e7a7c5b54610e13d7c380225b50e2c75\","
                      "\"Time\":\"2026-12-06 20:48:00\"}\n");
}

void TstDigest::loginBody()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, password);
    QFETCH(QByteArray, body);
    const std::string text = ::loginBody(name.toStdString(), password.toStdString(),
                                         "2026-12-06 20:48:00");
    QCOMPARE(QByteArray::fromStdString(text), body);
    QVERIFY(!text.empty() && !QByteArray::fromStdString(text).contains("\"" + password + "\""));
}

QTEST_GUILESS_MAIN(TstDigest)
#include "tst_digest.moc"
