#include "BaseMessageDialog.h"
#include "ShadowWidget.h"
#include "ZnBaseDialog.h"
#include "ZnCompositor.h"
#include "ZnResources.h"
#include "ZnWindowDrag.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

class DragWindow : public ShadowWidget<QDialog>
{
public:
    DragWindow() : drag(this) {}
    ZnWindowDrag drag;

protected:
    void mousePressEvent(QMouseEvent *e) override { drag.mousePress(e); }
    void mouseMoveEvent(QMouseEvent *e) override { drag.mouseMove(e); }
    void mouseReleaseEvent(QMouseEvent *e) override { drag.mouseRelease(e); }
};

void send(QWidget *w, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent e(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void moveTo(QWidget *w, QPoint global, Qt::MouseButtons held)
{
    QMouseEvent e(QEvent::MouseMove, w->mapFromGlobal(global), global, Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

} // namespace

class tst_frame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { znInitResources(); }

    void paintsShadowBandAndWhiteClient()
    {
        DragWindow w;
        w.resize(100, 80);
        QImage img(100, 80, QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        w.render(&img, QPoint(), QRegion(), QWidget::DrawChildren);

        QCOMPARE(img.pixel(6, 6), qRgba(255, 255, 255, 255));
        QCOMPARE(img.pixel(93, 73), qRgba(255, 255, 255, 255));
        QVERIFY(img.pixel(5, 40) != qRgba(255, 255, 255, 255));
        // Shadow band: partly transparent dark pixels, never opaque black.
        for (QPoint p : {QPoint(3, 40), QPoint(96, 40), QPoint(50, 3), QPoint(50, 76)}) {
            const int a = qAlpha(img.pixel(p));
            QVERIFY2(a > 0 && a < 128, qPrintable(QString("alpha %1 at %2,%3").arg(a).arg(p.x()).arg(p.y())));
        }
        // The outermost corner stays see-through.
        QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(img.pixel(99, 79)), 0);
    }

    // Only the left button drags, and a press on a child button starts nothing.
    void dragWithTheLeftButton()
    {
        DragWindow w;
        w.setGeometry(100, 100, 200, 150);
        w.show();
        for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton}) {
            send(&w, QEvent::MouseButtonPress, QPoint(20, 10), b, b);
            moveTo(&w, QPoint(300, 300), b);
            send(&w, QEvent::MouseButtonRelease, QPoint(20, 10), b, Qt::NoButton);
        }
        QCOMPARE(w.pos(), QPoint(100, 100));
        send(&w, QEvent::MouseButtonPress, QPoint(20, 10), Qt::LeftButton, Qt::LeftButton);
        moveTo(&w, QPoint(300, 250), Qt::LeftButton);
        QCOMPARE(w.pos(), QPoint(280, 240));
        send(&w, QEvent::MouseButtonRelease, QPoint(20, 10), Qt::RightButton, Qt::NoButton);
        moveTo(&w, QPoint(400, 400), Qt::NoButton);
        QCOMPARE(w.pos(), QPoint(280, 240));

        BaseMessageDialog box("Tips", "text", 3);
        box.setGeometry(100, 100, 299, 171);
        box.show();
        const QPoint start = box.pos();
        auto *button = box.findChild<QPushButton *>("ConfirmButton");
        QTest::mousePress(button, Qt::LeftButton);
        moveTo(&box, start + QPoint(150, 150), Qt::LeftButton);
        QCOMPARE(box.pos(), start);
        QTest::mouseRelease(button, Qt::LeftButton);
        // A label takes no press: it reaches the box, which starts a drag.
        auto *title = box.findChild<QLabel *>("messageTitle");
        const QPoint pressAt = title->mapTo(&box, QPoint(2, 2));
        QTest::mousePress(title, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        moveTo(&box, box.mapToGlobal(pressAt) + QPoint(30, 40), Qt::LeftButton);
        QCOMPARE(box.pos(), start + QPoint(30, 40));
    }

    void headerFilterDragsPictureDialog()
    {
        ZnBaseDialog dlg;
        dlg.setGeometry(50, 50, 430, 288);
        dlg.show();
        QWidget *header = dlg.findChild<QGroupBox *>("fGrpHeader");
        QCursor::setPos(200, 60);
        // Any button on the header starts a drag.
        send(header, QEvent::MouseButtonPress, QPoint(5, 5), Qt::RightButton, Qt::RightButton);
        QCursor::setPos(260, 100);
        send(header, QEvent::MouseMove, QPoint(6, 6), Qt::NoButton, Qt::RightButton);
        QCOMPARE(dlg.pos(), QPoint(110, 90));
        send(header, QEvent::MouseButtonRelease, QPoint(6, 6), Qt::RightButton, Qt::NoButton);
        QCursor::setPos(400, 400);
        send(header, QEvent::MouseMove, QPoint(6, 6), Qt::NoButton, Qt::NoButton);
        QCOMPARE(dlg.pos(), QPoint(110, 90));

        // Presses elsewhere are not the filter's business.
        QWidget *central = dlg.centralWidget();
        QCursor::setPos(200, 200);
        send(central, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
        QCursor::setPos(300, 300);
        send(central, QEvent::MouseMove, QPoint(6, 6), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(dlg.pos(), QPoint(110, 90));

        QTest::mouseClick(dlg.findChild<QPushButton *>("fBtnClosed"), Qt::LeftButton);
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!dlg.isVisible());
    }
};

QTEST_MAIN(tst_frame)
#include "tst_frame.moc"
