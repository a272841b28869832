#include "ZnFontSetup.h"
#include "ZnResources.h"

#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QTranslator>
#include <QtTest>

class tst_resources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { znInitResources(); }

    // Every image a frame, box or the main window names.
    void compiledInImages()
    {
        QStringList paths;
        for (const char *n : {"left", "right", "top", "bottom", "left-top", "right-top", "left-bottom", "right-bottom"})
            paths << QString(":/images/shadow/shadow-%1").arg(n);
        for (const char *n : {"close_btn", "maximize_btn", "show_normal_btn"})
            for (const char *st : {"normal", "hover", "pressed"})
                paths << QString(":/images/button/%1_%2.png").arg(n, st);
        paths << ":/images/info32x32.png" << ":/images/info18x18.png" << ":/images/edit20x20.png";
        // The picture headers are read from beside the program.
        for (const char *n : {"dialog_header", "lTop", "rTop", "window_icon_small", "close", "close_hover", "close_pressed"})
            paths << QString("./images/%1.png").arg(n);
        for (const QString &p : paths)
            QVERIFY2(!QImage(p).isNull(), qPrintable(p));
    }

    void styleSheetIsAscii()
    {
        QFile css(":/files/talkback_center.css");
        QVERIFY(css.open(QIODevice::ReadOnly));
        const QByteArray bytes = css.readAll();
        QVERIFY(bytes.contains("#messageWidget"));
        for (char c : bytes)
            QVERIFY(static_cast<unsigned char>(c) < 0x80);
    }

    void translation()
    {
        QTranslator tr;
        QVERIFY(tr.load("./translate/zh.qm"));
        QCOMPARE(tr.translate("ZnTipsInfo", "Tips"), QString("提示"));
        QCOMPARE(tr.translate("BaseSetNameDialog", "Setting Error!"), QString("设置错误！"));
    }

    void cjkFontSubstitute()
    {
        ZnFontSetup::apply();
        const QFontInfo info(QFont(QString::fromUtf8(ZnFontSetup::kFamily), 9));
        QCOMPARE(info.family(), QString(ZnFontSetup::kInstalledFamily));
        QVERIFY(QFontMetrics(QApplication::font()).inFont(QChar(0x4e2d)));
    }
};

QTEST_MAIN(tst_resources)
#include "tst_resources.moc"
