#include "ZnStartup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    saveArgs(argc, argv);
    QApplication app(argc, argv);
    return runConsole();
}
