// quillet: the window program.
#include "gui/QtDialogs.h"
#include "gui/frmMain.h"
#include "gui/frmMain_startup.h"

#include "files/ProgramStart.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    // First of all: no core file, no working folder of a killed run, no temporaries left on a signal.
    const bool protectedFromCoreDumps = ProgramStart::SecureStart();
    QApplication app(argc, argv);
    if (!protectedFromCoreDumps)
        qWarning("quillet: the process could not be protected from core dumps.");
    QtDialogs dialogs;
    if (!LoadProgramTextsOrReport(dialogs, QCoreApplication::applicationDirPath()))
        return EXIT_FAILURE;
    frmMain window(dialogs);
    dialogs.setParent(&window);
    window.Form_Load();
    return app.exec();
}
