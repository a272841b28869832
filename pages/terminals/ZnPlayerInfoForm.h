#pragma once

#include <QWidget>

// Page of the IP amplifiers and players; holds its place in the main window's page stack.
class ZnPlayerInfoForm : public QWidget
{
    Q_OBJECT
public:
    ZnPlayerInfoForm();

    // Fills the page from the play-terminal list.
    void showTerminals();
};
