#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class InfoCenterMgr;
class QWidget;

// Goes through the main window as an operator does: every tab of the top row, then
// every menu button under it, clicked with the mouse. Tabs and buttons that the
// window keeps hidden are reached through their own click, as far as the page stack
// holds them.
class ZnPageWalker
{
public:
    struct Stop
    {
        QString name; // the menu button's name without "f" and "MgrBtn", e.g. "Player"
        QWidget *page = nullptr;
        bool hidden = false; // no visible button or tab leads there
    };
    using Visit = std::function<void(const Stop &)>;

    explicit ZnPageWalker(InfoCenterMgr &window) : window(window) {}

    // Shows each page in turn and calls visit while it is shown. Returns the pages
    // it could not bring up (a click that did not change the stack).
    QStringList walk(const Visit &visit);

    // Texts the page shows in its tables, lists and fields.
    static QStringList shownTexts(QWidget *page);

private:
    InfoCenterMgr &window;
};
