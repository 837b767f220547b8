// quillet: the window program.
#include "gui/AppIdentity.h"
#include "gui/QtDialogs.h"
#include "gui/StartOptions.h"
#include "gui/frmMain.h"
#include "gui/frmMain_startup.h"

#include "files/EnvironmentSecret.h"
#include "files/ProgramStart.h"
#include "keys/KeyRoutines.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int UsageExitCode = 2;

// --help, --version and a wrong command line are answered on the terminal; the exit code when one
// of them was, -1 when the window is to open.
int AnsweredOnTerminal(const StartOptions& options)
{
    switch (options.action) {
    case StartOptions::Action::Help:
        std::fputs(StartHelpText().toUtf8().constData(), stdout);
        return EXIT_SUCCESS;
    case StartOptions::Action::Version:
        std::fputs(StartVersionText().toUtf8().constData(), stdout);
        return EXIT_SUCCESS;
    case StartOptions::Action::Usage:
        std::fprintf(stderr, "quillet: %s\n%sTry 'quillet --help' for more information.\n",
                     options.error.toUtf8().constData(), StartUsageText().toUtf8().constData());
        return UsageExitCode;
    case StartOptions::Action::OpenWindow:
        break;
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    // Before anything is started (Help opens a browser, which would inherit the environment).
    {
        EnvironmentSecret::Taken unused = EnvironmentSecret::Take(ProgramStart::KeyVariable);
        Keys::WipeBytes(unused.value);
    }
    // Before Qt opens the display, so that --help, --version and a wrong command line are answered
    // on a terminal without one.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    const StartOptions options = ParseStartOptions(rawArguments);
    if (const int exitCode = AnsweredOnTerminal(options); exitCode >= 0)
        return exitCode;

    // Before any key or message is in memory: no core file, no working folder of a killed run, no
    // temporaries left on a signal.
    const bool protectedFromCoreDumps = ProgramStart::SecureStart();
    QApplication app(argc, argv);
    if (!protectedFromCoreDumps)
        qWarning("quillet: the process could not be protected from core dumps.");
    AppIdentity::ApplyNames();
    QtDialogs dialogs;
    if (!LoadProgramTextsOrReport(dialogs, QCoreApplication::applicationDirPath()))
        return EXIT_FAILURE;
    frmMain window(dialogs);
    dialogs.setParent(&window);
    window.Form_Load();
    // Every window without an icon of its own takes the application's, also one already shown.
    QGuiApplication::setWindowIcon(AppIdentity::Icon());
    if (!options.file.isEmpty())
        window.OpenReceivedFile(options.file);
    return app.exec();
}
