// Screenshots of the demo console: every page the walk reaches and every dialog
// its buttons open, as PNG files in the folder given (default gallery/).
#include "InfoCenterMgr.h"
#include "ZnDemoConsole.h"
#include "ZnPageWalker.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

QString outDir;
QStringList written;

void save(QWidget *w, const QString &name)
{
    const QString file = outDir + QLatin1Char('/') + name + QStringLiteral(".png");
    if (w->grab().save(file))
        written << file;
    else
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

// A file name part from a button's object name or text.
QString tag(const QAbstractButton *b)
{
    QString t = b->objectName().isEmpty() ? b->text() : b->objectName();
    t.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_]")), QString());
    return t.isEmpty() ? QStringLiteral("button") : t;
}

// Windows shown now that were not before: dialogs opened without exec().
QList<QWidget *> newWindows(const QSet<QWidget *> &before)
{
    QList<QWidget *> out;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !before.contains(w) && !qobject_cast<InfoCenterMgr *>(w))
            out << w;
    }
    return out;
}

QSet<QWidget *> shownWindows()
{
    QSet<QWidget *> s;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            s << w;
    }
    return s;
}

void closeWindow(QWidget *w)
{
    if (auto *d = qobject_cast<QDialog *>(w))
        d->reject();
    w->close();
}

// Chooses the first row of the page's main table, as most buttons and the detail
// panels act on the chosen row.
void chooseFirstRow(QWidget *page)
{
    QTableWidget *table = nullptr;
    for (QTableWidget *t : page->findChildren<QTableWidget *>()) {
        if (t->isVisibleTo(page) && (!table || t->rowCount() > table->rowCount()))
            table = t;
    }
    if (table && table->rowCount() > 0 && table->item(0, 0))
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(table->item(0, 0)).center());
}

// Clicks each button of the page that opens a window and grabs what it opens;
// modal ones are grabbed and cancelled from a timer while their exec() runs.
void openDialogs(const QString &prefix, QWidget *page)
{
    QSet<QString> done;
    const auto buttons = page->findChildren<QAbstractButton *>();
    for (QAbstractButton *button : buttons) {
        if (!button->isVisibleTo(page) || !button->isEnabled() || button->isCheckable())
            continue;
        const QString name = prefix + QLatin1Char('-') + tag(button);
        if (done.contains(name))
            continue;
        done << name;
        const QSet<QWidget *> before = shownWindows();
        int shots = 0;
        QTimer modal;
        QObject::connect(&modal, &QTimer::timeout, [&] {
            QWidget *m = QApplication::activeModalWidget();
            if (!m || before.contains(m))
                return;
            save(m, shots ? name + QString::number(shots) : name);
            ++shots;
            closeWindow(m);
        });
        modal.start(100);
        QPointer<QAbstractButton> guard(button);
        button->click();
        modal.stop();
        for (QWidget *w : newWindows(before)) {
            (void)QTest::qWaitForWindowExposed(w);
            save(w, shots ? name + QString::number(shots) : name);
            ++shots;
            closeWindow(w);
        }
        if (!guard)
            return;
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    outDir = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery")).absolutePath();
    const bool dialogs = !app.arguments().contains(QStringLiteral("--pages-only"));
    QDir().mkpath(outDir);
    QTemporaryDir run;
    ZnDemoConsole console;
    if (!console.start(run.path())) {
        std::fprintf(stderr, "cannot start the simulator\n");
        return 1;
    }
    int n = 0;
    QStringList missed;
    const int code = console.run([&](InfoCenterMgr &window) {
        window.resize(1280, 800);
        missed = ZnPageWalker(window).walk([&](const ZnPageWalker::Stop &stop) {
            // Let the page fill from the simulator before the picture.
            (void)QTest::qWaitFor([&] { return !ZnPageWalker::shownTexts(stop.page).isEmpty(); }, 3000);
            // The server clock shows dashes until its first tick.
            (void)QTest::qWaitFor([&] { return !window.form().mSrvTimeLe->text().startsWith(QLatin1Char('-')); }, 3000);
            chooseFirstRow(stop.page);
            QCoreApplication::processEvents();
            const QString prefix = QStringLiteral("%1-%2").arg(++n, 2, 10, QLatin1Char('0')).arg(stop.name);
            save(&window, prefix);
            if (dialogs)
                openDialogs(prefix, stop.page);
        });
    });
    for (const QString &f : written)
        std::printf("%s\n", qPrintable(f));
    for (const QString &m : missed)
        std::fprintf(stderr, "not reached: %s\n", qPrintable(m));
    return code;
}
