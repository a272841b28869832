// The console as main() starts it, which once its main window shows opens every
// page the operator can reach (each visible tab, then each visible page button
// under it), says "every page open" on standard output and stays open: the
// process bench_memory measures with every page built and filled.
#include "InfoCenterMgr.h"
#include "ZnStartup.h"

#include <QApplication>
#include <QEvent>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>

#include <cstdio>

namespace {

void openEveryPage(InfoCenterMgr &window)
{
    QListWidget *tabs = window.navList();
    QStackedWidget *menus = window.form().fCenterLeftStacked;
    for (int row = 0; row < tabs->count(); ++row) {
        if (tabs->item(row)->isHidden())
            continue;
        tabs->setCurrentRow(row);
        for (QPushButton *button : menus->currentWidget()->findChildren<QPushButton *>()) {
            const QString name = button->objectName();
            if (name.startsWith(QLatin1Char('f')) && name.endsWith(QLatin1String("MgrBtn")) && button->isVisible()
                && button->isEnabled())
                button->click();
        }
    }
}

class PageOpener : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && !done) {
            if (auto *window = qobject_cast<InfoCenterMgr *>(watched)) {
                done = true;
                QTimer::singleShot(0, window, [window] {
                    openEveryPage(*window);
                    std::printf("every page open\n");
                    std::fflush(stdout);
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool done = false;
};

} // namespace

int main(int argc, char *argv[])
{
    saveArgs(argc, argv);
    // As the console's own main(): no GL stack.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    PageOpener opener;
    app.installEventFilter(&opener);
    return runConsole();
}
