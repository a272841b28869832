// Every character the console can show must be drawn by the font its forms name:
// a character missing from it is painted blank ("44" for "44℃").
#include "ZnFontSetup.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QMap>
#include <QPainterPath>
#include <QRawFont>
#include <QTest>

namespace {
using Found = QMap<uint, QString>; // character -> first file that shows it

void addText(Found &found, const QString &text, const QString &file)
{
    const QVector<uint> chars = text.toUcs4();
    for (uint c : chars) {
        if (c >= 0x80 && !found.contains(c))
            found.insert(c, file);
    }
}

// The texts of string literals only: comments are for readers, not for the screen.
QString literals(const QString &code)
{
    QString out;
    const int n = code.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = code.at(i);
        if (c == QLatin1Char('/') && i + 1 < n && code.at(i + 1) == QLatin1Char('/')) {
            while (i < n && code.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && code.at(i + 1) == QLatin1Char('*')) {
            const int end = code.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 1;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            for (++i; i < n && code.at(i) != c; ++i) {
                if (code.at(i) == QLatin1Char('\\'))
                    ++i;
                else if (c == QLatin1Char('"'))
                    out += code.at(i);
            }
        }
    }
    return out;
}

// Some fonts map a character to an empty outline: it counts as present, and
// paints nothing.
bool blank(const QRawFont &font, uint c)
{
    if (QChar::isSpace(c))
        return false;
    const QVector<quint32> glyphs = font.glyphIndexesForString(QString::fromUcs4(&c, 1));
    return glyphs.size() != 1 || glyphs[0] == 0 || font.pathForGlyph(glyphs[0]).isEmpty();
}

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
} // namespace

class tst_fontcoverage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZnFontSetup::apply(); }

    void everyCharacterDrawn_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("patterns");
        QTest::addColumn<bool>("code");
        const QStringList product{QStringLiteral("app"),   QStringLiteral("core"),     QStringLiteral("managers"),
                                  QStringLiteral("shell"), QStringLiteral("pages"),    QStringLiteral("media"),
                                  QStringLiteral("logs"),  QStringLiteral("resources")};
        QTest::newRow("translation") << QStringList{QStringLiteral("resources/translate")}
                                     << QStringList{QStringLiteral("*.ts")} << false;
        QTest::newRow("forms and style sheet")
            << product << QStringList{QStringLiteral("*.ui"), QStringLiteral("*.css")} << false;
        QTest::newRow("string literals in code")
            << product << QStringList{QStringLiteral("*.cpp"), QStringLiteral("*.h")} << true;
    }

    void everyCharacterDrawn()
    {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, patterns);
        QFETCH(bool, code);
        Found found;
        int files = 0;
        for (const QString &folder : folders) {
            QDirIterator it(QStringLiteral(ZN_SOURCE_DIR "/") + folder, patterns, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                const QString text = readAll(path);
                addText(found, code ? literals(text) : text, path.mid(int(sizeof(ZN_SOURCE_DIR))));
                ++files;
            }
        }
        QVERIFY(files > 0);
        QVERIFY(!found.isEmpty());

        // Without merging, the metrics answer for the resolved font alone and not
        // for whatever fallback the machine happens to have.
        QFont font(QString::fromUtf8(ZnFontSetup::kFamily), 9);
        font.setStyleStrategy(QFont::NoFontMerging);
        const QFontMetrics metrics(font);
        const QRawFont raw = QRawFont::fromFont(font);
        QVERIFY(raw.isValid());
        QStringList missing;
        for (auto it = found.cbegin(); it != found.cend(); ++it) {
            if (!metrics.inFontUcs4(it.key()) || blank(raw, it.key()))
                missing << QStringLiteral("U+%1 %2 (%3)")
                               .arg(it.key(), 4, 16, QLatin1Char('0'))
                               .arg(QString::fromUcs4(&it.key(), 1), it.value());
        }
        QVERIFY2(missing.isEmpty(),
                 qPrintable(QFontInfo(font).family() + QStringLiteral(" lacks ") + missing.join(QStringLiteral(", "))));
    }
};

QTEST_MAIN(tst_fontcoverage)
#include "tst_fontcoverage.moc"
