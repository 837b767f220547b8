// quillet: the window program.
#include "gui/QtDialogs.h"
#include "gui/frmMain.h"
#include "gui/frmMain_startup.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtDialogs dialogs;
    if (!LoadProgramTextsOrReport(dialogs, QCoreApplication::applicationDirPath()))
        return EXIT_FAILURE;
    frmMain window(dialogs);
    dialogs.setParent(&window);
    window.Form_Load();
    return app.exec();
}
