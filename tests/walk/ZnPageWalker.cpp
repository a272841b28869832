#include "ZnPageWalker.h"

#include "InfoCenterMgr.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>

QStringList ZnPageWalker::walk(const Visit &visit)
{
    QStringList missed;
    QListWidget *tabs = window.navList();
    QStackedWidget *menus = window.form().fCenterLeftStacked;
    QStackedWidget *pages = window.form().fCenterRightStacked;
    for (int row = 0; row < tabs->count(); ++row) {
        QListWidgetItem *item = tabs->item(row);
        const bool tabHidden = item->isHidden();
        if (tabHidden) {
            tabs->setCurrentRow(row);
        } else {
            tabs->scrollToItem(item);
            QTest::mouseClick(tabs->viewport(), Qt::LeftButton, {}, tabs->visualItemRect(item).center());
        }
        if (tabs->currentRow() != row) {
            missed << item->text();
            continue;
        }
        const auto buttons = menus->currentWidget()->findChildren<QPushButton *>();
        for (QPushButton *button : buttons) {
            QString name = button->objectName();
            if (!name.startsWith(QLatin1Char('f')) || !name.endsWith(QLatin1String("MgrBtn")))
                continue;
            name = name.mid(1, name.size() - 7);
            const bool hidden = tabHidden || button->isHidden();
            // The tab itself opens its first page and disables that page's button.
            if (button->isEnabled()) {
                if (hidden)
                    button->click();
                else
                    QTest::mouseClick(button, Qt::LeftButton);
            }
            if (button->isEnabled()) {
                missed << name;
                continue;
            }
            visit(Stop{name, pages->currentWidget(), hidden});
        }
    }
    return missed;
}

QStringList ZnPageWalker::shownTexts(QWidget *page)
{
    QStringList texts;
    for (QAbstractItemView *view : page->findChildren<QAbstractItemView *>()) {
        const QAbstractItemModel *model = view->model();
        if (!model || !view->isVisibleTo(page) || qobject_cast<QComboBox *>(view->parentWidget()))
            continue;
        // One level down as well: trees keep their rows under groups.
        QList<QModelIndex> parents{QModelIndex()};
        for (int r = 0; r < model->rowCount(); ++r)
            parents << model->index(r, 0);
        for (const QModelIndex &parent : parents) {
            for (int r = 0; r < model->rowCount(parent); ++r) {
                for (int c = 0; c < model->columnCount(parent); ++c)
                    texts << model->index(r, c, parent).data().toString();
            }
        }
    }
    for (QLineEdit *edit : page->findChildren<QLineEdit *>()) {
        if (edit->isVisibleTo(page))
            texts << edit->text();
    }
    texts.removeAll(QString());
    return texts;
}
