// The e-mail the mail program opens (its mailto: address) and the launcher that starts the desktop's
// helpers: what a helper is handed, what it is not, and how its end is told.
#include "files/ProgramStart.h"
#include "mail/DesktopLauncher.h"
#include "mail/MailDraft.h"
#include "support/ProgramTexts.h"
#include "support/StandInPrograms.h"
#include "texts/Language.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace {

using stand_in::MailtoFields;

class MailDraftTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QStringLiteral(QUILLET_DATA_DIR)), 0); }
};

// A file name with anything a shell, a URI or a mail handler could take for syntax reaches the mail
// program byte for byte, and the address itself holds nothing but safe characters.
TEST_F(MailDraftTest, EveryFieldArrivesAsItIsAndTheAddressHoldsOnlySafeCharacters)
{
    const QString names[] = {
        QStringLiteral("/home/ann/letter to Bob.zip"),
        QStringLiteral("/home/ann/it's \"here\" $(touch pwned) `id` ; & | > <.zip"),
        QStringLiteral("/home/ann/a&attach=/etc/passwd?subject=x#frag%41.zip"),
        QStringLiteral("/home/ann/back\\slash\\c and \\n.zip"),
        QStringLiteral("/home/ann/Brief für Jürgen – 東京.zip"),
        QStringLiteral("/home/ann/line\nbreak\ttab.zip"),
        QStringLiteral("/home/ann/-dash +plus=equals,comma.zip"),
    };
    for (const QString& name : names) {
        const Mail::Draft draft{QStringLiteral("Subject: \"quoted\" & more"), QStringLiteral("one\ntwo & three=4"),
                                name};
        const QByteArray uri = Mail::MailtoUri(draft);
        for (const char c : uri.mid(7))
            EXPECT_TRUE(
                QByteArrayView("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789@.-/%?=&").contains(c))
                << "'" << c << "' in " << uri.constData();
        const auto fields = MailtoFields(uri);
        ASSERT_EQ(fields.size(), 3u) << uri.constData();
        EXPECT_EQ(fields[0], std::pair(QByteArray("subject"), draft.subject.toUtf8()));
        EXPECT_EQ(fields[1], std::pair(QByteArray("body"), QByteArray("one\r\ntwo & three=4")))
            << "line breaks are CR LF in an address";
        EXPECT_EQ(fields[2], std::pair(QByteArray("attach"), QFile::encodeName(name)));
    }
}

TEST_F(MailDraftTest, NoteAndSubjectSpeakTheWindowsLanguageAndCarryNothingElse)
{
    for (int language : {Language::English, Language::German}) {
        const Mail::Draft attached = Mail::WithAttachment(QStringLiteral("/tmp/x/letter.zip"), language);
        EXPECT_EQ(attached.subject, Text(MailTexts::Subject, language));
        EXPECT_EQ(attached.body, Text(MailTexts::AttachmentNote, language));
        EXPECT_EQ(attached.attachment, QStringLiteral("/tmp/x/letter.zip"));

        const QByteArray block = "-----BEGIN QUILLET MESSAGE-----\nUEsDBA==\n-----END QUILLET MESSAGE-----\n";
        const Mail::Draft text = Mail::WithTextBlock(block, language);
        EXPECT_EQ(text.subject, Text(MailTexts::Subject, language));
        EXPECT_EQ(text.body, Text(MailTexts::TextBlockNote, language) + "\n\n" + QString::fromLatin1(block));
        EXPECT_TRUE(text.attachment.isEmpty());
        const auto fields = MailtoFields(Mail::MailtoUri(text));
        ASSERT_EQ(fields.size(), 2u) << "nothing attached";
        EXPECT_TRUE(fields[1].second.endsWith("\r\nUEsDBA==\r\n-----END QUILLET MESSAGE-----\r\n"));
    }
    EXPECT_NE(Text(MailTexts::AttachmentNote, Language::English), Text(MailTexts::AttachmentNote, Language::German));
}

TEST_F(MailDraftTest, BlocksUpTo32KiBGoIntoTheBody)
{
    EXPECT_TRUE(Mail::FitsInBody(QByteArray(32 * 1024, 'A')));
    EXPECT_FALSE(Mail::FitsInBody(QByteArray(32 * 1024 + 1, 'A')));
}

class DesktopLauncherTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(bin.isValid());
        env.Set("PATH", bin.path().toUtf8() + ":/usr/bin:/bin");
    }

    // Launches `program` and waits for its outcome.
    std::optional<LaunchOutcome> LaunchAndWait(DesktopLauncher& launcher, const QString& program,
                                               const QStringList& arguments)
    {
        std::optional<LaunchOutcome> outcome;
        launcher.Launch(program, arguments, [&outcome](const LaunchOutcome& o) { outcome = o; });
        QElapsedTimer waited;
        waited.start();
        while (!outcome && waited.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return outcome;
    }

    QTemporaryDir bin;
    stand_in::Environment env;
};

TEST_F(DesktopLauncherTest, HelperGetsItsArgumentsButNoSecretNoFileAndNoSessionOfOurs)
{
    const QString helper = stand_in::Write(bin.path(), QStringLiteral("helper"));
    env.Set(ProgramStart::KeyVariable, "Correct Horse Battery Staple 42");
    // A descriptor a careless start would hand on (no close-on-exec).
    const int inherited = open("/dev/null", O_RDONLY);
    ASSERT_GE(inherited, 0);
    const QStringList arguments{QStringLiteral("it's \"here\" $(touch pwned) `id`; *"), QStringLiteral("-h"),
                                QStringLiteral("Jürgen\nzwei")};

    DesktopLauncher launcher;
    const std::optional<LaunchOutcome> outcome = LaunchAndWait(launcher, QStringLiteral("helper"), arguments);
    close(inherited);

    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->result, LaunchResult::Started);
    ASSERT_TRUE(stand_in::HasRun(helper));
    const stand_in::Received got = stand_in::Read(helper);
    ASSERT_EQ(got.arguments.size(), arguments.size());
    for (qsizetype i = 0; i < arguments.size(); ++i)
        EXPECT_EQ(QString::fromUtf8(got.arguments[i]), arguments[i]);
    EXPECT_FALSE(QFile::exists(bin.path() + "/pwned")) << "an argument went through a shell";
    EXPECT_FALSE(got.everything.contains("QUILLET_KEY"));
    EXPECT_FALSE(got.everything.contains("Correct Horse"));
    EXPECT_TRUE(got.environment.contains("PATH=" + qgetenv("PATH"))) << "the rest of the environment is kept";
    EXPECT_NE(got.session, qint64(getsid(0))) << "a terminal's hang-up or Ctrl+C would reach it";
    EXPECT_FALSE(got.openFiles.contains(QByteArray::number(inherited)));
}

TEST_F(DesktopLauncherTest, HowTheHelperEndsTellsTheOutcome)
{
    struct Case {
        const char* program;
        int exitStatus; // of the stand-in; -1: none is written
        LaunchResult result;
        int reported;
    };
    const Case cases[] = {
        {"ends-well", 0, LaunchResult::Started, 0},
        {"finds-no-handler", 3, LaunchResult::Failed, 3},
        {"fails", 4, LaunchResult::Failed, 4},
        {"not-installed", -1, LaunchResult::NotInstalled, -1},
    };
    DesktopLauncher launcher;
    for (const Case& c : cases) {
        if (c.exitStatus >= 0)
            stand_in::Write(bin.path(), QString::fromLatin1(c.program), c.exitStatus);
        const std::optional<LaunchOutcome> outcome = LaunchAndWait(launcher, QString::fromLatin1(c.program), {});
        ASSERT_TRUE(outcome.has_value()) << c.program;
        EXPECT_EQ(outcome->result, c.result) << c.program;
        EXPECT_EQ(outcome->exitStatus, c.reported) << c.program;
    }
}

TEST_F(DesktopLauncherTest, HelperStillRunningWhenTheWatchEndsCountsAsStartedAndIsLeftRunning)
{
    // A mail program that xdg-email runs in the foreground for as long as the user writes.
    const QString release = bin.path() + "/release";
    QFile script(bin.path() + "/long-runner");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nwhile [ ! -e '" + release.toUtf8() + "' ]; do /bin/sleep 0.1; done\n/usr/bin/touch '" +
                 release.toUtf8() + ".seen'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QElapsedTimer took;
    took.start();
    {
        DesktopLauncher launcher;
        const std::optional<LaunchOutcome> outcome = LaunchAndWait(launcher, QStringLiteral("long-runner"), {});
        ASSERT_TRUE(outcome.has_value());
        EXPECT_EQ(outcome->result, LaunchResult::Started);
        EXPECT_GE(took.elapsed(), DesktopLauncher::WatchMs) << "reported before the watch ended";
    }
    // The launcher is gone, as when Quillet ends: the program it started goes on.
    QFile releaseFile(release);
    ASSERT_TRUE(releaseFile.open(QIODevice::WriteOnly));
    releaseFile.close();
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(release + ".seen") && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(QFile::exists(release + ".seen"));
}

} // namespace
