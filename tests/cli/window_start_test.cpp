// The window program answers a wrong command line on the terminal before it needs a display, as
// --help and --version do: the usage and exit code 2, also where there is no display at all.
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

const QString WindowBinary = QStringLiteral(QUILLET_BIN_DIR "/quillet");

struct Finished {
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QString out, err;
};

// The window program started as from a terminal with no display: no X, no Wayland, no platform
// chosen for Qt.
Finished StartWithoutDisplay(const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(variable));
    QProcess window;
    window.setProcessEnvironment(environment);
    window.start(WindowBinary, arguments);
    Finished run;
    if (!window.waitForFinished(30000)) {
        window.kill();
        window.waitForFinished();
        return run;
    }
    run.exitCode = window.exitCode();
    run.status = window.exitStatus();
    run.out = QString::fromUtf8(window.readAllStandardOutput());
    run.err = QString::fromUtf8(window.readAllStandardError());
    return run;
}

TEST(WindowStartTest, AWrongCommandLineGetsTheUsageAndExitCodeTwoWithoutADisplay)
{
    const struct {
        QStringList arguments;
        const char* named; // what the first line names as wrong
    } cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"a.zip", "b.zip"}, "not 2"},
        // Qt's own options are passed over; what follows them is still read.
        {{"-platform", "offscreen", "--bogus"}, "--bogus"},
        {{"-style=fusion", "a.zip", "b.zip"}, "not 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Finished run = StartWithoutDisplay(c.arguments);
        EXPECT_EQ(run.status, QProcess::NormalExit) << run.err.toStdString();
        EXPECT_EQ(run.exitCode, 2) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("quillet: "))) << run.err.toStdString();
        EXPECT_TRUE(run.err.section('\n', 0, 0).contains(QLatin1String(c.named))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("Usage: quillet [FILE]"))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
}

TEST(WindowStartTest, HelpAndVersionAnswerWithoutADisplay)
{
    for (const char* option : {"--help", "--version"}) {
        SCOPED_TRACE(option);
        const Finished run = StartWithoutDisplay({QLatin1String(option)});
        EXPECT_EQ(run.status, QProcess::NormalExit);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_TRUE(run.out.startsWith(QStringLiteral("Usage: quillet")) ||
                    run.out.startsWith(QStringLiteral("quillet ")))
            << run.out.toStdString();
    }
}

} // namespace
