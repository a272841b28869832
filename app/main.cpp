#include "ZnStartup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    saveArgs(argc, argv);
    // The console draws nothing with OpenGL, and the GL stack that the X11 platform
    // loads otherwise costs about half of the idle resident memory. A setting of
    // the operator's own is kept.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    return runConsole();
}
