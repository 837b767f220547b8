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

// --help and --version answer on the terminal; true when one of them was asked for.
bool AnsweredOnTerminal(const StartOptions& options)
{
    if (options.action == StartOptions::Action::Help)
        std::fputs(StartHelpText().toUtf8().constData(), stdout);
    else if (options.action == StartOptions::Action::Version)
        std::fputs(StartVersionText().toUtf8().constData(), stdout);
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Before anything is started (Help opens a browser, which would inherit the environment).
    {
        EnvironmentSecret::Taken unused = EnvironmentSecret::Take(ProgramStart::KeyVariable);
        Keys::WipeBytes(unused.value);
    }
    // Before Qt opens the display, so that --help and --version work on a terminal without one.
    QStringList rawArguments;
    for (int i = 1; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    if (AnsweredOnTerminal(ParseStartOptions(rawArguments)))
        return EXIT_SUCCESS;

    // Before any key or message is in memory: no core file, no working folder of a killed run, no
    // temporaries left on a signal.
    const bool protectedFromCoreDumps = ProgramStart::SecureStart();
    QApplication app(argc, argv);
    if (!protectedFromCoreDumps)
        qWarning("quillet: the process could not be protected from core dumps.");
    // Qt has taken its own options (-platform and the like) out of the arguments by now.
    const StartOptions options = ParseStartOptions(app.arguments().mid(1));
    if (options.action == StartOptions::Action::Usage) {
        std::fprintf(stderr, "quillet: %s\nTry 'quillet --help' for more information.\n",
                     options.error.toUtf8().constData());
        return UsageExitCode;
    }
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
