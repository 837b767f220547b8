// quillet-cli as a user meets it: what it prints, its exit status, and what it leaves on disk. Each
// case runs the built program in its own temporary folder, with its own working-folder base and
// settings, detached from any terminal unless a case gives it one.
#include "cli/CliStatus.h"
#include "files/IoErrorText.h"
#include "files/UserLinks.h"
#include "format/AttachedFileName.h"
#include "format/CiphertextFile.h"
#include "format/PlainPackage.h"
#include "keys/KeyRoutines.h"
#include "keys/KeyStrength.h"
#include "pipeline/DecryptPipeline.h"
#include "pipeline/EncryptPipeline.h"
#include "support/FullFileSystem.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/TestVectors.h"
#include "texts/Language.h"
#include "vectors/CiphertextMaker.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <vector>

namespace {

const QString Binary = QStringLiteral(QUILLET_BIN_DIR "/quillet-cli");
const QString WindowBinary = QStringLiteral(QUILLET_BIN_DIR "/quillet");
// Typed with odd spacing and case: the key as accepted is the same as "Violets are blue, 1984 miles".
const QByteArray TypedKey = "  violets ARE blue,   1984 miles ";
const QString Key = QStringLiteral("Violets are blue, 1984 miles");
const QString VectorKey = QStringLiteral("Vector Key For Quillet 2024");
// A message that must come back byte for byte: non-ASCII, a byte-order mark, a line break at the end.
const QByteArray Message = "\xEF\xBB\xBFMeet me at noon.\nGr\xC3\xBC\xC3\x9F"
                           "e, \xE6\x9D\xB1\xE4\xBA\xAC.\n";

QByteArray EveryByteValue()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes.append(static_cast<char>(b));
    return bytes.repeated(40);
}

struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString errText() const { return QString::fromUtf8(err); }
};

class CliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0); }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (const char* sub : {"run", "config", "out"})
            ASSERT_TRUE(QDir(dir.path()).mkpath(sub));
        QFile(Path("run")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        Write("key.txt", Key.toUtf8() + "\n");
        // As a key file should be: a key file others may read is warned about.
        QFile(Path("key.txt")).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        Write("message.txt", Message);
    }

    void TearDown() override
    {
        // No working folder and no plain text is left behind, whatever the case did.
        EXPECT_TRUE(QDir(Path("run")).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }

    QString Path(const QString& name) const { return dir.filePath(name); }

    void Write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    mode_t ModeOf(const QString& name) const
    {
        struct stat status {};
        return lstat(QFile::encodeName(Path(name)).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
    }

    static mode_t CurrentUmask()
    {
        const mode_t mask = umask(022);
        umask(mask);
        return mask;
    }

    QByteArray Read(const QString& name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QStringList Environment(const QByteArray& envKey = {}) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QUILLET_KEY"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Path("run"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path("config"));
        if (!envKey.isEmpty())
            env.insert(QStringLiteral("QUILLET_KEY"), QString::fromUtf8(envKey));
        for (auto it = environmentChanges.cbegin(); it != environmentChanges.cend(); ++it)
            env.insert(it.key(), it.value());
        return env.toStringList();
    }

    // Runs quillet-cli in the case's folder, in a session of its own: there is no terminal to ask on.
    Result Run(const QStringList& arguments, const QByteArray& input = {}, const QByteArray& envKey = {}) const
    {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.setEnvironment(Environment(envKey));
        process.setChildProcessModifier([] { setsid(); });
        process.start(Binary, arguments);
        EXPECT_TRUE(process.waitForStarted());
        process.write(input);
        process.closeWriteChannel();
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    Result Encrypt(const QStringList& extra)
    {
        return Run(
            QStringList{"encrypt", "--kdf", "interactive", "--key-file", "key.txt", "--message-file", "message.txt"} +
            extra);
    }

    Result Decrypt(const QString& in, const QStringList& extra = {}, const QString& keyFile = "key.txt")
    {
        return Run(QStringList{"decrypt", "--in", in, "--key-file", keyFile} + extra);
    }

    QTemporaryDir dir;
    QMap<QString, QString> environmentChanges; // for the runs of quillet-cli
};

// ---- Round trips -------------------------------------------------------------------------------

TEST_F(CliTest, RoundTripWithoutFileGivesTheMessageBackByteForByte)
{
    const Result encrypted = Encrypt({"--out", "letter.zip"});
    ASSERT_EQ(encrypted.exitCode, 0) << encrypted.errText().toStdString();
    EXPECT_TRUE(encrypted.errText().contains(Text(EncryptTexts::DoneWithoutFile)))
        << "closing message of an encryption without a file";
    EXPECT_FALSE(Read("letter.zip").contains("Meet me")) << "the message is not readable in the ciphertext";

    const Result decrypted = Decrypt("letter.zip");
    ASSERT_EQ(decrypted.exitCode, 0) << decrypted.errText().toStdString();
    EXPECT_EQ(decrypted.out, Message);
    EXPECT_TRUE(decrypted.errText().contains(Text(DecryptTexts::Decrypted)));
    EXPECT_FALSE(decrypted.errText().contains(Text(DecryptTexts::NowInTextBox)))
        << "no talk of the window's text box on a terminal";
    EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files), QStringList()) << "no attached file appears";

    const Result toFile = Decrypt("letter.zip", {"--message-out", "received.txt"});
    ASSERT_EQ(toFile.exitCode, 0);
    EXPECT_TRUE(toFile.out.isEmpty());
    EXPECT_EQ(Read("received.txt"), Message);
    // The decrypted message is the user's alone; the ciphertext, meant to be sent, follows the umask.
    EXPECT_EQ(ModeOf("received.txt"), 0600u);
    EXPECT_EQ(ModeOf("letter.zip"), 0666u & ~CurrentUmask());
}

TEST_F(CliTest, RoundTripWithFileSavesItInTheOutputFolderAndReplacesOnlyWithForce)
{
    Write("Report.BIN", EveryByteValue());
    const Result encrypted = Encrypt({"--out", "letter.zip", "--attach", "Report.BIN"});
    ASSERT_EQ(encrypted.exitCode, 0) << encrypted.errText().toStdString();
    EXPECT_TRUE(encrypted.errText().contains(Text(EncryptTexts::DoneWithFile)));

    Write("out/report.bin", "an older file of the same name");
    const Result refused = Decrypt("letter.zip", {"--out-dir", "out"});
    EXPECT_EQ(refused.exitCode, 5) << refused.errText().toStdString();
    EXPECT_EQ(refused.out, Message) << "the message is still handed over";
    EXPECT_TRUE(refused.errText().contains(Text(CliTexts::NotReplaced))) << refused.errText().toStdString();
    EXPECT_EQ(Read("out/report.bin"), "an older file of the same name");
    EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"report.bin"});

    const Result forced = Decrypt("letter.zip", {"--out-dir", "out", "--force"});
    ASSERT_EQ(forced.exitCode, 0) << forced.errText().toStdString();
    EXPECT_EQ(forced.out, Message);
    EXPECT_EQ(Read("out/report.bin"), EveryByteValue());
    EXPECT_TRUE(forced.errText().contains(Text(DecryptTexts::DecryptedAndSaved)));
    EXPECT_TRUE(forced.errText().contains(Path("out/report.bin"))) << "says where the file went";

    EXPECT_EQ(ModeOf("out/report.bin"), 0666u & ~CurrentUmask()) << "a replaced file keeps its mode";

    // Without --out-dir the file lands in the current folder, readable by the user alone.
    ASSERT_EQ(Decrypt("letter.zip").exitCode, 0);
    EXPECT_EQ(Read("report.bin"), EveryByteValue());
    EXPECT_EQ(ModeOf("report.bin"), 0600u);
}

// ---- Interrupted runs --------------------------------------------------------------------------

// An encryption killed while the sensitive key derivation runs: its working folder then holds the
// compressed package (temp01.cpr), which zstd would turn back into the message.
class InterruptedRunTest : public CliTest {
  protected:
    void StartSlowEncryption(QProcess& process, const QByteArray& envKey = {}) const
    {
        process.setWorkingDirectory(dir.path());
        process.setEnvironment(Environment(envKey));
        process.setChildProcessModifier([] { setsid(); });
        QStringList arguments{"encrypt", "--kdf", "sensitive", "--message-file", "message.txt", "--out", "letter.zip"};
        if (envKey.isEmpty())
            arguments << "--key-file"
                      << "key.txt";
        process.start(Binary, arguments);
        ASSERT_TRUE(process.waitForStarted());
    }

    // Waits for the run's compressed package and keeps it open, which shows afterwards whether the
    // file was overwritten or only deleted (a hard link would be a second name, whose content the
    // clean-up rightly leaves alone). False on timeout.
    bool WitnessCompressedPackage()
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 60000) {
            QDirIterator it(Path("run"), {"temp*.cpr"}, QDir::Files, QDirIterator::Subdirectories);
            const QString package = it.hasNext() ? it.next() : QString();
            if (!package.isEmpty() && QFileInfo(package).size() > 0) {
                witness = std::make_unique<QFile>(package);
                if (witness->open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
                    packageBytes = witness->readAll();
                    return !packageBytes.isEmpty();
                }
            }
            QThread::msleep(5);
        }
        return false;
    }

    bool RunFolderEmpty() const
    {
        return QDir(Path("run")).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    // The package's bytes are gone from the disk: its blocks were overwritten in place.
    void ExpectShredded() const
    {
        const QByteArray now = witness->seek(0) ? witness->readAll() : QByteArray();
        EXPECT_EQ(now.size(), packageBytes.size());
        EXPECT_NE(now, packageBytes) << "the compressed package was deleted without being overwritten";
    }

    QByteArray packageBytes;
    std::unique_ptr<QFile> witness;
};

TEST_F(InterruptedRunTest, EachSignalShredsTheRunBeforeTheProgramEnds)
{
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        QProcess process;
        StartSlowEncryption(process);
        ASSERT_TRUE(WitnessCompressedPackage());
        ASSERT_EQ(kill(static_cast<pid_t>(process.processId()), signalNumber), 0);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << "ended by the signal";
        EXPECT_TRUE(RunFolderEmpty());
        ExpectShredded();
        EXPECT_FALSE(QFile::exists(Path("letter.zip")));
    }
}

TEST_F(InterruptedRunTest, AKilledRunIsShreddedByTheNextStartAndARunningOneIsLeftAlone)
{
    QProcess killed;
    StartSlowEncryption(killed);
    ASSERT_TRUE(WitnessCompressedPackage());
    QProcess running;
    StartSlowEncryption(running);
    QElapsedTimer timer;
    timer.start();
    while (QDir(Path("run")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size() < 2 && timer.elapsed() < 60000)
        QThread::msleep(5);

    killed.kill(); // SIGKILL: nothing in the program runs any more
    ASSERT_TRUE(killed.waitForFinished(60000));
    EXPECT_FALSE(RunFolderEmpty()) << "a killed run cannot clean up after itself";

    ASSERT_EQ(Run({"checksum", "--key-file", "key.txt"}).exitCode, 0);
    ExpectShredded();
    const QStringList left = QDir(Path("run")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    EXPECT_EQ(left.size(), 1) << "only the running encryption's folder stays: " << left.join(' ').toStdString();

    ASSERT_TRUE(running.waitForFinished(120000));
    EXPECT_EQ(running.exitCode(), 0) << running.readAllStandardError().toStdString();
    EXPECT_TRUE(RunFolderEmpty());
}

// While the program runs, the key is neither in its environment nor could a core file take it.
TEST_F(InterruptedRunTest, TheRunningProgramHoldsNoKeyInItsEnvironmentAndCannotDumpCore)
{
    QProcess process;
    StartSlowEncryption(process, TypedKey);
    ASSERT_TRUE(WitnessCompressedPackage());
    const QString proc = QStringLiteral("/proc/%1/").arg(process.processId());
    QFile environment(proc + "environ"), limits(proc + "limits");
    ASSERT_TRUE(environment.open(QIODevice::ReadOnly) && limits.open(QIODevice::ReadOnly));
    const QByteArray variables = environment.readAll();
    EXPECT_FALSE(variables.contains(TypedKey.trimmed())) << "the key is readable in /proc/<pid>/environ";
    EXPECT_FALSE(variables.contains("QUILLET_KEY")) << "the entry, and with it the key's length, is still there";
    EXPECT_TRUE(QString::fromLatin1(limits.readAll()).contains(QRegularExpression("Max core file size\\s+0\\s+0\\s")));
    kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_TRUE(RunFolderEmpty());
}

// The window program does the same at its start: no core file, left-behind folders shredded in both
// places (also under the temporary folder, where a run without $XDG_RUNTIME_DIR worked), and a
// signal ends it without a trace in the working-folder base.
TEST_F(InterruptedRunTest, TheWindowProgramStartsTheSameWay)
{
    const QString underTemp = QStringLiteral("tmp/quillet-%1").arg(geteuid());
    for (const QString& folder : {QStringLiteral("run/temp_zeb004"), underTemp + "/temp_zeb001"}) {
        ASSERT_TRUE(QDir().mkpath(Path(folder)));
        Write(folder + "/temp01.cpr", "left behind by a killed run");
        Write(folder + "/lock", {}); // nobody holds it
    }
    ASSERT_TRUE(QFile::setPermissions(Path(underTemp), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QProcess window;
    QStringList environment = Environment(TypedKey);
    environment << "QT_QPA_PLATFORM=offscreen"
                << "TMPDIR=" + Path("tmp");
    window.setEnvironment(environment);
    window.setWorkingDirectory(dir.path());
    window.start(WindowBinary, {});
    ASSERT_TRUE(window.waitForStarted());
    QElapsedTimer timer;
    timer.start();
    const auto bothCleaned = [&] { return RunFolderEmpty() && !QFile::exists(Path(underTemp + "/temp_zeb001")); };
    while (!bothCleaned() && timer.elapsed() < 30000)
        QThread::msleep(20);
    EXPECT_TRUE(RunFolderEmpty()) << "the left-behind folder is shredded at start";
    EXPECT_FALSE(QFile::exists(Path(underTemp + "/temp_zeb001"))) << "and the one under the temporary folder";
    QFile limits(QStringLiteral("/proc/%1/limits").arg(window.processId()));
    ASSERT_TRUE(limits.open(QIODevice::ReadOnly));
    // The window starts other programs (Help opens a browser): the key is not passed on to them.
    QFile variables(QStringLiteral("/proc/%1/environ").arg(window.processId()));
    ASSERT_TRUE(variables.open(QIODevice::ReadOnly));
    const QByteArray environ = variables.readAll();
    EXPECT_FALSE(environ.contains("QUILLET_KEY") || environ.contains(TypedKey.trimmed()));
    EXPECT_TRUE(QString::fromLatin1(limits.readAll()).contains(QRegularExpression("Max core file size\\s+0\\s+0\\s")));
    kill(static_cast<pid_t>(window.processId()), SIGTERM);
    ASSERT_TRUE(window.waitForFinished(30000));
    EXPECT_EQ(window.exitStatus(), QProcess::CrashExit);
}

TEST_F(CliTest, AHiddenAttachedNameIsSavedOnlyWithForce)
{
    Write(".profile", "export EVIL=1\n");
    ASSERT_EQ(Encrypt({"--out", "letter.zip", "--attach", ".profile"}).exitCode, 0);

    const Result refused = Decrypt("letter.zip", {"--out-dir", "out"});
    EXPECT_EQ(refused.exitCode, 5) << refused.errText().toStdString();
    EXPECT_EQ(refused.out, Message);
    EXPECT_TRUE(refused.errText().contains(Text(CliTexts::AttachedNotSaved))) << refused.errText().toStdString();
    EXPECT_TRUE(QDir(Path("out")).entryList(QDir::Files | QDir::Hidden).isEmpty());

    const Result forced = Decrypt("letter.zip", {"--out-dir", "out", "--force"});
    EXPECT_EQ(forced.exitCode, 0) << forced.errText().toStdString();
    EXPECT_EQ(Read("out/.profile"), "export EVIL=1\n");
}

// Not even --force lets the attached file replace a file the run uses: the ciphertext, the key file,
// the message output (there already or not yet). It goes under a free name, and the user is told.
TEST_F(CliTest, AnAttachedFileNamedLikeAFileTheRunUsesGoesUnderAFreeName)
{
    struct Case {
        const char* name;
        QString attached;
        QString keyFile;
        QString messageOut;
    } const cases[] = {
        {"the ciphertext", "letter.zip", "key.txt", "-"},
        {"the key file", "key.txt", "out/key.txt", "-"},
        {"the message output", "received.txt", "key.txt", "out/received.txt"},
        {"the message output through a link", "received.txt", "key.txt", "to-received"},
    };
    Write("out/key.txt", Key.toUtf8() + "\n");
    ASSERT_TRUE(QFile::link("out/received.txt", Path("to-received")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("send"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QFileInfo attached(c.attached);
        const QString freeName = "out/" + attached.baseName() + " (2)." + attached.suffix();
        QFile::remove(Path("out/received.txt"));
        QFile::remove(Path(freeName));
        Write("send/" + c.attached, "the sender's " + c.attached.toUtf8());
        ASSERT_EQ(Encrypt({"--out", "out/letter.zip", "--attach", "send/" + c.attached, "--force"}).exitCode, 0);
        const QByteArray ciphertext = Read("out/letter.zip");

        const Result result =
            Decrypt("out/letter.zip", {"--out-dir", "out", "--force", "--message-out", c.messageOut}, c.keyFile);

        EXPECT_EQ(result.exitCode, 0) << result.errText().toStdString();
        EXPECT_TRUE(result.errText().contains(Text(CliTexts::SavedUnderFreeName))) << result.errText().toStdString();
        EXPECT_EQ(Read("out/letter.zip"), ciphertext);
        EXPECT_EQ(Read("out/key.txt"), Key.toUtf8() + "\n");
        if (c.messageOut != "-") {
            EXPECT_EQ(Read("out/received.txt"), Message) << "the message, not the attached file";
        }
        EXPECT_EQ(Read(freeName), "the sender's " + c.attached.toUtf8());
    }
}

// A link another user planted in a shared folder (sticky, writable by everybody) is not followed,
// even with --force: the message and the ciphertext never land in the file it points to.
TEST_F(CliTest, ALinkAnotherUserPlantedInASharedFolderIsNotFollowed)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "a link of a second user needs root to be made";
    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);
    Write(".bash_login", "echo earlier\n");
    ASSERT_TRUE(QDir(dir.path()).mkdir("shared"));
    ASSERT_EQ(chmod(QFile::encodeName(Path("shared")).constData(), 01777), 0);
    for (const char* name : {"letter.txt", "reply.zip"}) {
        ASSERT_TRUE(QFile::link(Path(".bash_login"), Path(QStringLiteral("shared/") + name)));
        ASSERT_EQ(lchown(QFile::encodeName(Path(QStringLiteral("shared/") + name)).constData(), 65534, 65534), 0);
    }

    const Result message = Decrypt("letter.zip", {"--message-out", "shared/letter.txt", "--force"});
    const Result reply = Encrypt({"--out", "shared/reply.zip", "--force"});

    for (const auto& [result, link] : {std::pair{message, "shared/letter.txt"}, {reply, "shared/reply.zip"}}) {
        SCOPED_TRACE(link);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.errText().contains(Text(UserLinks::kRefusalText) + ' ' + link))
            << result.errText().toStdString();
        EXPECT_TRUE(QFileInfo(Path(link)).isSymLink());
    }
    EXPECT_EQ(Read(".bash_login"), "echo earlier\n");
}

// Two runs, or a file saved at --out during the key derivation: without --force it is kept (exit 1).
TEST_F(CliTest, AFileThatAppearsAtTheOutputDuringTheRunIsKept)
{
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.setEnvironment(Environment());
    process.setChildProcessModifier([] { setsid(); });
    process.start(Binary, {"encrypt", "--kdf", "interactive", "--key-file", "key.txt", "--out", "letter.zip"});
    ASSERT_TRUE(process.waitForStarted());
    // Past the check of the name: the program waits for the message on standard input.
    const QString syscall = QStringLiteral("/proc/%1/syscall").arg(process.processId());
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 20000) {
        QFile file(syscall);
        if (file.open(QIODevice::ReadOnly) && file.readAll().startsWith("0 0x0 "))
            break;
        QThread::msleep(10);
    }
    Write("letter.zip", "saved meanwhile");
    process.write(Message);
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(120000));

    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(process.readAllStandardError()).contains(Text(CliTexts::NotReplaced)));
    EXPECT_EQ(Read("letter.zip"), "saved meanwhile");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter("quillet"), QStringList());
}

TEST_F(CliTest, MessageOutCarriesTheExactBytesAndAnEmptyMessageMakesAnEmptyFile)
{
    Write("vector-key.txt", VectorKey.toUtf8());
    ASSERT_TRUE(QDir(dir.path()).mkdir("scratch"));
    const QByteArray notUtf8("caf\xE9 \xFF\x01 end\n");
    struct Case {
        const char* file;
        QByteArray message;
    } const cases[] = {{"bytes.zip", notUtf8}, {"empty.zip", QByteArray()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray file =
            CiphertextMaker::FromPackage(BuildPlainPackage(c.message, "empty.bin", ""), VectorKey, Path("scratch"));
        ASSERT_FALSE(file.isEmpty());
        Write(c.file, file);
        const QString messageOut = QString::fromLatin1(c.file) + ".txt";
        const Result toFile = Decrypt(c.file, {"--out-dir", "out", "--message-out", messageOut}, "vector-key.txt");
        EXPECT_EQ(toFile.exitCode, 0) << toFile.errText().toStdString();
        EXPECT_EQ(Read(messageOut), c.message);
        EXPECT_EQ(Read("out/empty.bin"), "") << "a 0-byte attached file is written, empty";
        QFile::remove(Path("out/empty.bin"));
        const Result toPipe = Decrypt(c.file, {"--out-dir", "out"}, "vector-key.txt");
        EXPECT_EQ(toPipe.out, c.message);
        QFile::remove(Path("out/empty.bin"));
    }
}

TEST_F(CliTest, AnExistingMessageFileIsReplacedOnlyWithForceAndThroughTheUsersLink)
{
    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("real"));
    Write("real/received.txt", "an earlier message");
    ASSERT_TRUE(QFile::link("real/received.txt", Path("link.txt")));

    const Result refused = Decrypt("letter.zip", {"--message-out", "link.txt"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.errText().contains(Text(CliTexts::NotReplaced)));
    EXPECT_EQ(Read("real/received.txt"), "an earlier message");

    const Result forced = Decrypt("letter.zip", {"--message-out", "link.txt", "--force"});
    EXPECT_EQ(forced.exitCode, 0) << forced.errText().toStdString();
    EXPECT_TRUE(QFileInfo(Path("link.txt")).isSymLink()) << "the user's link stays";
    EXPECT_EQ(Read("real/received.txt"), Message);
}

class CliFullDiskTest : public CliTest, public ::testing::WithParamInterface<qsizetype> {};

// --message-out on a file system that runs full: a failure, exit 1, and the earlier file whole.
// A message holds at most 99,999 bytes, so the largest case is the largest message.
TEST_P(CliFullDiskTest, AMessageFileThatDoesNotFitIsAFailureAndTheEarlierFileStays)
{
    const qsizetype size = GetParam();
    FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    Write("message.txt", QByteArray(size, 'm'));
    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);
    ASSERT_TRUE(disk.write("received.txt", "an earlier message"));
    ASSERT_TRUE(disk.fill(size / 2));

    const Result result = Decrypt("letter.zip", {"--message-out", disk.filePath("received.txt"), "--force"});

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.errText().contains(Text(EncryptTexts::OutputNotWritten) + " " + disk.filePath("received.txt") +
                                          ": Disk full."))
        << result.errText().toStdString();
    QFile earlier(disk.filePath("received.txt"));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), "an earlier message");
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"received.txt", "zz-filler"}));
}

INSTANTIATE_TEST_SUITE_P(Sizes, CliFullDiskTest, ::testing::Values(100, 16 * 1024, 99'999));

TEST_F(CliTest, AMessageFromStandardInputIsReadToItsEndAcrossShortReads)
{
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.setEnvironment(Environment());
    process.setChildProcessModifier([] { setsid(); });
    process.start(Binary, {"encrypt", "--kdf", "interactive", "--key-file", "key.txt", "--out", "letter.zip"});
    ASSERT_TRUE(process.waitForStarted());
    // Line by line with a pause, as a person types: each read of standard input gets one line.
    process.write("first line\n");
    ASSERT_TRUE(process.waitForBytesWritten());
    QThread::msleep(300);
    process.write("second line\n");
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(120000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(Decrypt("letter.zip").out, "first line\nsecond line\n");
}

// ---- The key -----------------------------------------------------------------------------------

struct TerminalRun {
    int exitCode = -1;
    QByteArray screen; // everything the terminal showed
};

// What to type on the terminal, and the prompt to wait for before typing it.
struct TypedLine {
    QByteArray prompt;
    QByteArray typed;
    bool lineEnd = true; // Enter after it
};

// Runs quillet-cli on a pseudo-terminal of its own (standard input, output and error all on it)
// and types each line once its prompt shows, in order.
TerminalRun RunOnTerminal(const QStringList& arguments, const QStringList& environment, const QString& folder,
                          const std::vector<TypedLine>& lines)
{
    std::vector<QByteArray> storage{Binary.toUtf8()};
    for (const QString& argument : arguments)
        storage.push_back(argument.toUtf8());
    const qsizetype argumentCount = static_cast<qsizetype>(storage.size());
    for (const QString& variable : environment)
        storage.push_back(variable.toUtf8());
    std::vector<char*> argv, envp;
    for (qsizetype i = 0; i < static_cast<qsizetype>(storage.size()); ++i)
        (i < argumentCount ? argv : envp).push_back(storage[i].data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const QByteArray workingFolder = folder.toUtf8();

    TerminalRun run;
    int master = -1;
    const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child < 0)
        return run;
    if (child == 0) {
        if (chdir(workingFolder.constData()) == 0)
            execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    size_t next = 0;
    qsizetype seenUpTo = 0; // each prompt is looked for behind the one answered before it
    for (;;) {
        pollfd ready{master, POLLIN, 0};
        if (poll(&ready, 1, 60000) <= 0)
            break;
        char buffer[4096];
        const ssize_t got = read(master, buffer, sizeof buffer);
        if (got <= 0)
            break; // the child has closed the terminal
        run.screen.append(buffer, got);
        if (next < lines.size()) {
            const qsizetype at = run.screen.indexOf(lines[next].prompt, seenUpTo);
            if (at >= 0) {
                const QByteArray& typed = lines[next].typed;
                EXPECT_TRUE(write(master, typed.constData(), typed.size()) == typed.size() &&
                            (!lines[next].lineEnd || write(master, "\n", 1) == 1));
                seenUpTo = at + lines[next].prompt.size();
                ++next;
            }
        }
    }
    close(master);
    int status = 0;
    if (waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    return run;
}

// Types the key once the key prompt shows.
TerminalRun RunOnTerminal(const QStringList& arguments, const QStringList& environment, const QString& folder,
                          const QByteArray& typed)
{
    return RunOnTerminal(arguments, environment, folder, {{Text(CliTexts::KeyPrompt).toUtf8(), typed}});
}

TEST_F(CliTest, AMessageShownOnATerminalHasItsControlSequencesEscaped)
{
    Write("message.txt", "title \x1B]0;owned\x07 clipboard \x1B]52;c;ZXZpbA==\x07 csi \xC2\x9B"
                         "2J\nnext line\n");
    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);

    const TerminalRun shown =
        RunOnTerminal({"decrypt", "--in", "letter.zip"}, Environment(QByteArray(TypedKey)), dir.path(), QByteArray());
    EXPECT_EQ(shown.exitCode, 0) << shown.screen.toStdString();
    EXPECT_FALSE(shown.screen.contains('\x1B')) << shown.screen.toStdString();
    EXPECT_FALSE(shown.screen.contains("\xC2\x9B"));
    EXPECT_TRUE(shown.screen.contains("title \\x1B]0;owned\\x07 clipboard")) << shown.screen.toStdString();
    EXPECT_TRUE(shown.screen.contains("next line")) << "line breaks stay";

    // A pipe or a file gets the bytes as they are.
    const Result piped = Decrypt("letter.zip");
    EXPECT_TRUE(piped.out.startsWith("title \x1B]0;owned\x07"));
}

// The message typed at a terminal ends at the first end of input, as cat's does: one Ctrl+D at the
// start of a line.
TEST_F(CliTest, ATypedMessageEndsAtTheFirstCtrlD)
{
    const TerminalRun typed = RunOnTerminal(
        {"encrypt", "--kdf", "interactive", "--key-file", "key.txt", "--out", "letter.zip"}, Environment(), dir.path(),
        {{Text(CliTexts::TypeTheMessage).toUtf8(), "first line\nsecond line\n\x04", false}});
    ASSERT_EQ(typed.exitCode, 0) << typed.screen.toStdString();
    EXPECT_EQ(Decrypt("letter.zip").out, "first line\nsecond line\n");
}

// A pseudo-terminal whose far end the test keeps open, so that its settings can still be read after
// the program on it has ended.
class HeldTerminal {
  public:
    HeldTerminal() { EXPECT_EQ(openpty(&master_, &slave_, nullptr, nullptr, nullptr), 0); }
    ~HeldTerminal()
    {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        close(master_);
        close(slave_);
    }
    HeldTerminal(const HeldTerminal&) = delete;
    HeldTerminal& operator=(const HeldTerminal&) = delete;

    // Starts quillet-cli with the terminal as its controlling terminal and standard streams.
    void Start(const QStringList& arguments, const QStringList& environment, const QString& folder)
    {
        std::vector<QByteArray> storage{Binary.toUtf8()};
        for (const QString& argument : arguments)
            storage.push_back(argument.toUtf8());
        const size_t argumentCount = storage.size();
        for (const QString& variable : environment)
            storage.push_back(variable.toUtf8());
        std::vector<char*> argv, envp;
        for (size_t i = 0; i < storage.size(); ++i)
            (i < argumentCount ? argv : envp).push_back(storage[i].data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        const QByteArray workingFolder = folder.toUtf8();
        child_ = fork();
        if (child_ == 0) {
            setsid();
            ioctl(slave_, TIOCSCTTY, 0);
            dup2(slave_, STDIN_FILENO);
            dup2(slave_, STDOUT_FILENO);
            dup2(slave_, STDERR_FILENO);
            close(master_);
            if (chdir(workingFolder.constData()) == 0)
                execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
    }

    // Reads what the terminal shows until text appears; false after timeoutMs.
    bool WaitFor(const QByteArray& text, int timeoutMs = 30000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!screen.contains(text) && timer.elapsed() < timeoutMs) {
            pollfd ready{master_, POLLIN, 0};
            if (poll(&ready, 1, 100) == 1) {
                char buffer[4096];
                const ssize_t got = read(master_, buffer, sizeof buffer);
                if (got > 0)
                    screen.append(buffer, got);
            }
        }
        return screen.contains(text);
    }

    // Waits for the program to end; its wait status, or -1 after timeoutMs.
    int WaitForEnd(int timeoutMs = 30000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            int status = 0;
            if (waitpid(child_, &status, WNOHANG) == child_) {
                child_ = -1;
                return status;
            }
            WaitFor("\x01never shown", 50); // keeps the terminal's output flowing
        }
        return -1;
    }

    bool Echoes() const
    {
        termios settings{};
        return tcgetattr(slave_, &settings) == 0 && (settings.c_lflag & ECHO) != 0;
    }

    void Type(const QByteArray& bytes) const
    {
        EXPECT_EQ(write(master_, bytes.constData(), bytes.size()), bytes.size());
    }
    pid_t child() const { return child_; }

    QByteArray screen;

  private:
    int master_ = -1;
    int slave_ = -1;
    pid_t child_ = -1;
};

// Ctrl+C, SIGTERM or SIGHUP at the key prompt end the program, and the terminal echoes again.
TEST_F(CliTest, ASignalAtTheKeyPromptGivesTheTerminalItsEchoBack)
{
    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);
    for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signalNumber);
        HeldTerminal terminal;
        ASSERT_TRUE(terminal.Echoes());
        terminal.Start({"decrypt", "--in", "letter.zip"}, Environment(), dir.path());
        ASSERT_TRUE(terminal.WaitFor(Text(CliTexts::KeyPrompt).toUtf8())) << terminal.screen.toStdString();
        EXPECT_FALSE(terminal.Echoes()) << "no echo while the key is typed";
        if (signalNumber == SIGINT)
            terminal.Type("\x03"); // Ctrl+C, as the person at the terminal types it
        else
            ASSERT_EQ(kill(terminal.child(), signalNumber), 0);
        const int status = terminal.WaitForEnd();
        ASSERT_TRUE(WIFSIGNALED(status)) << "ended by the signal: " << status;
        EXPECT_EQ(WTERMSIG(status), signalNumber);
        EXPECT_TRUE(terminal.Echoes()) << "the terminal was left without echo";
    }
}

// A key file others may read is used, with a warning on standard error that names it.
TEST_F(CliTest, AKeyFileOthersMayReadIsWarnedAbout)
{
    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);
    struct Case {
        mode_t mode;
        bool warned;
    };
    for (const Case c : {Case{0600, false}, Case{0400, false}, Case{0640, true}, Case{0604, true}, Case{0644, true}}) {
        SCOPED_TRACE(c.mode);
        ASSERT_EQ(chmod(QFile::encodeName(Path("key.txt")).constData(), c.mode), 0);
        const Result result = Decrypt("letter.zip");
        EXPECT_EQ(result.exitCode, 0) << "a warning, not a refusal";
        EXPECT_EQ(result.out, Message);
        EXPECT_EQ(result.errText().contains(Text(CliTexts::KeyFileReadableByOthers)), c.warned)
            << result.errText().toStdString();
        if (c.warned) {
            EXPECT_TRUE(result.errText().contains("key.txt"));
        }
    }
    ASSERT_EQ(chmod(QFile::encodeName(Path("key.txt")).constData(), 0600), 0);
}

// A name that only looks like an ordinary one is not written as it stands; the name used is said
// in quotes, so a space at its end shows.
TEST_F(CliTest, AnAttachedNameThatPassesForAnotherIsSavedUnderAVisibleName)
{
    struct Case {
        QString sent;
        QString saved;
    };
    const Case cases[] = {{"report.pdf ", "report.pdf_"},
                          {QString::fromUtf8("report\xE2\x80\x8B.pdf"), "report_.pdf"},
                          {"report.pdf.", "report.pdf_"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.saved.toStdString());
        ASSERT_TRUE(QDir(Path("out")).removeRecursively() && QDir().mkpath(Path("out")));
        Write(c.sent, "the attached bytes");
        ASSERT_EQ(Encrypt({"--out", "letter.zip", "--force", "--attach", c.sent}).exitCode, 0);
        const Result result = Decrypt("letter.zip", {"--out-dir", "out"});
        EXPECT_EQ(result.exitCode, 0) << result.errText().toStdString();
        EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files | QDir::Hidden), QStringList{c.saved});
        EXPECT_TRUE(result.errText().contains('"' + Path("out/" + c.saved) + '"')) << result.errText().toStdString();
        QFile::remove(Path(c.sent));
    }
}

TEST_F(CliTest, KeyFromFileEnvironmentAndTerminalDecryptTheSameFile)
{
    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);
    Write("spaced-key.txt", TypedKey + "\r\nsecond line is not part of the key\n");

    const Result byFile = Decrypt("letter.zip", {}, "spaced-key.txt");
    EXPECT_EQ(byFile.exitCode, 0) << byFile.errText().toStdString();
    EXPECT_EQ(byFile.out, Message);

    const Result byEnvironment = Run({"decrypt", "--in", "letter.zip"}, {}, TypedKey);
    EXPECT_EQ(byEnvironment.exitCode, 0) << byEnvironment.errText().toStdString();
    EXPECT_EQ(byEnvironment.out, Message);

    const TerminalRun typed = RunOnTerminal({"decrypt", "--in", "letter.zip", "--message-out", "typed.txt"},
                                            Environment(), dir.path(), TypedKey);
    EXPECT_EQ(typed.exitCode, 0) << typed.screen.toStdString();
    EXPECT_EQ(Read("typed.txt"), Message);
    EXPECT_FALSE(typed.screen.contains("violets")) << "the typed key is not echoed";
    EXPECT_TRUE(typed.screen.contains(
        QString(Text(CliTexts::KeyChecksumIs) + ' ' + QString::number(Keys::KeyChecksum(Key))).toUtf8()))
        << "the typed key's checksum is shown for comparison";
}

TEST_F(CliTest, ChecksumPrintsFourDigitsOnlyAndMatchesTheWindows)
{
    const int expected = Keys::KeyChecksum(Keys::PrepareAcceptedKey(Key));
    const Result fromFile = Run({"checksum", "--key-file", "key.txt"});
    EXPECT_EQ(fromFile.exitCode, 0);
    EXPECT_EQ(fromFile.out, QByteArray::number(expected) + "\n");
    EXPECT_TRUE(fromFile.err.isEmpty());

    const Result fromEnvironment = Run({"checksum"}, {}, TypedKey);
    EXPECT_EQ(fromEnvironment.out, QByteArray::number(expected) + "\n") << "spaces and case do not count";

    const TerminalRun typed = RunOnTerminal({"checksum"}, Environment(), dir.path(), TypedKey);
    EXPECT_EQ(typed.exitCode, 0);
    EXPECT_TRUE(typed.screen.endsWith(QByteArray::number(expected) + "\r\n")) << typed.screen.toStdString();
}

TEST_F(CliTest, ChecksumWithStrengthRatesTheKeyAsItIsUsed)
{
    struct Row {
        QByteArray key;
        Keys::StrengthRating rating;
    } const rows[] = {{"password password", Keys::StrengthRating::VeryWeak},
                      {"  violets ARE blue,   1984 miles ", Keys::StrengthRating::VeryStrong}};
    for (const Row& row : rows) {
        const Result result = Run({"checksum", "--strength", "--lang", "en"}, {}, row.key);
        EXPECT_EQ(result.exitCode, 0) << result.errText().toStdString();
        const QList<QByteArray> lines = result.out.split('\n');
        ASSERT_GE(lines.size(), 3) << result.out.toStdString();
        EXPECT_EQ(lines[0], QByteArray::number(Keys::KeyChecksum(QString::fromUtf8(row.key))));
        EXPECT_EQ(QString::fromUtf8(lines[1]), Keys::StrengthRatingText(row.rating, Language::English))
            << row.key.data();
        const Keys::KeyStrength strength = Keys::EstimateKeyStrength(QString::fromUtf8(row.key));
        EXPECT_TRUE(result.out.contains(Keys::GuessTimeText(strength, Language::English).toUtf8()));
        // Only a weak key gets the reason that makes it guessable.
        EXPECT_EQ(
            result.out.contains(Keys::WeaknessReasonText(Keys::WeaknessReason::Repeats, Language::English).toUtf8()),
            Keys::IsWeak(strength));
    }
}

TEST_F(CliTest, KeygenPrintsANewValidKeyWhoseChecksumGoesToStandardError)
{
    const Result first = Run({"keygen", "--lang", "en"});
    const Result second = Run({"keygen", "--lang", "en"});
    ASSERT_EQ(first.exitCode, 0) << first.errText().toStdString();
    ASSERT_TRUE(first.out.endsWith('\n'));
    const QString key = QString::fromUtf8(first.out.chopped(1));
    EXPECT_FALSE(key.contains('\n'));
    EXPECT_GE(Keys::SignificantLength(key), Keys::MinKeyLength);
    EXPECT_NE(first.out, second.out);
    EXPECT_TRUE(
        first.errText().contains(Text(CliTexts::KeyChecksumIs) + ' ' + QString::number(Keys::KeyChecksum(key))));
    EXPECT_TRUE(first.errText().contains(Text(KeyStrengthTexts::SuggestedKeyReminder)));

    // The printed line is ready to be a key file.
    Write("key.txt", first.out);
    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);
    const Result opened = Decrypt("letter.zip");
    EXPECT_EQ(opened.exitCode, 0) << opened.errText().toStdString();
    EXPECT_EQ(opened.out, Message);
}

// No place for a working folder: both commands say so, with the folder and the cause, as the window does.
TEST_F(CliTest, AWorkingFolderThatCannotBeMadeIsToldWithTheFolderAndTheCause)
{
    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);
    Write("regular", "a file, not a folder");
    environmentChanges = {{"XDG_RUNTIME_DIR", Path("regular")}, {"TMPDIR", Path("regular")}};
    const QString told =
        Text(EncryptTexts::NoWorkingFolder) + ' ' + Path("regular") + QStringLiteral("/quillet-%1:").arg(geteuid());

    for (const Result& result : {Encrypt({"--out", "again.zip"}), Decrypt("letter.zip")}) {
        EXPECT_EQ(result.exitCode, 1) << result.errText().toStdString();
        EXPECT_TRUE(result.errText().contains(told)) << result.errText().toStdString();
        EXPECT_TRUE(result.errText().contains("A part of the path is not a folder.")) << result.errText().toStdString();
        EXPECT_FALSE(result.errText().contains(Text(DecryptTexts::CiphertextUnreadable)))
            << "the ciphertext file is fine";
        EXPECT_TRUE(result.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(Path("again.zip")));
}

// ---- The window and the command line read each other's files ------------------------------------

TEST_F(CliTest, WindowMadeFileDecryptsOnTheCommandLine)
{
    Write("photo.jpg", EveryByteValue());
    EncryptRequest request;
    // As the text box holds it: the byte-order mark is a character of the message.
    request.message = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom).decode(Message);
    request.fileToAppend = Path("photo.jpg");
    request.outputPath = Path("window.zip");
    request.quickKey = Keys::PrepareAcceptedKey(QString::fromUtf8(TypedKey));
    request.kdfLevel = KdfLevel::Interactive;
    request.workingFolderBase = Path("run");
    ScriptedDialogs window;
    ASSERT_TRUE(EncryptMessage(request, window).success);

    const Result decrypted = Decrypt("window.zip", {"--out-dir", "out"});
    ASSERT_EQ(decrypted.exitCode, 0) << decrypted.errText().toStdString();
    EXPECT_EQ(decrypted.out, Message);
    EXPECT_EQ(Read("out/photo.jpg"), EveryByteValue());
}

TEST_F(CliTest, CommandLineMadeFileDecryptsInTheWindow)
{
    Write("notes.txt", "attached notes\n");
    ASSERT_EQ(Encrypt({"--out", "cli.zip", "--attach", "notes.txt"}).exitCode, 0);

    DecryptRequest request;
    request.ciphertextPath = Path("cli.zip");
    request.quickKey = Keys::PrepareAcceptedKey(QString::fromUtf8(TypedKey));
    request.workingFolderBase = Path("run");
    ScriptedDialogs window;
    window.queuePath(Path("out"));
    const DecryptOutcome outcome = DecryptMessage(request, window);
    ASSERT_EQ(outcome.status, DecryptStatus::Success);
    EXPECT_EQ(outcome.message.value_or(QString()).toUtf8(), Message);
    EXPECT_EQ(Read("out/notes.txt"), "attached notes\n");
}

// ---- Refusals and failures: exit status, message, nothing written --------------------------------

struct StatusCase {
    const char* name;
    QStringList arguments;
    int exitCode;
    int programText; // shown on standard error; 0 for a usage error, which points to --help
};

void PrintTo(const StatusCase& c, std::ostream* os)
{
    *os << c.name;
}

class CliStatusTest : public CliTest, public ::testing::WithParamInterface<StatusCase> {};

QString Vector(const char* name)
{
    return QStringLiteral(QUILLET_VECTORS_DIR "/") + name;
}

TEST_P(CliStatusTest, ExitStatusAndMessage)
{
    const StatusCase& c = GetParam();
    Write("vector-key.txt", VectorKey.toUtf8());
    Write("short-key.txt", "fifteen chars!!");
    // Latin-1: read as UTF-8 with replacements, "ü" and "ö" would both become U+FFFD, one key.
    Write("latin1-key.txt", QByteArray("Schl\xfcssel f\xfcr Anna und Bob 42"));
    Write("existing.zip", "keep me");
    QByteArray headerOnly(37, 'P');
    headerOnly[11] = 37;
    Write("empty-body.zip", headerOnly);
    ASSERT_EQ(mkfifo(QFile::encodeName(Path("pipe")).constData(), 0600), 0);
    const Result result = Run(c.arguments);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.errText().toStdString();
    if (c.programText != 0)
        EXPECT_TRUE(result.errText().contains(Text(c.programText))) << result.errText().toStdString();
    else
        EXPECT_TRUE(result.errText().contains("--help")) << result.errText().toStdString();
    EXPECT_EQ(Read("existing.zip"), "keep me");
    EXPECT_EQ(QDir(Path("out")).entryList(QDir::Files), QStringList()) << "no attached file is written";
    if (c.exitCode != 5) {
        EXPECT_TRUE(result.out.isEmpty()) << "no message is handed over";
    }
}

const StatusCase StatusCases[] = {
    {"NoCommand", {}, 2, 0},
    {"UnknownCommand", {"burn"}, 2, 0},
    {"OptionOfAnotherCommand", {"inspect", "--in", "x.zip", "--force"}, 2, 0},
    {"MissingOut", {"encrypt", "--key-file", "key.txt"}, 2, 0},
    {"UnknownKdfLevel", {"encrypt", "--out", "a.zip", "--kdf", "fast"}, 2, 0},
    {"MissingOutDir", {"decrypt", "--in", "existing.zip", "--out-dir", "nowhere"}, 2, 0},
    {"NoKeyAndNoTerminal", {"decrypt", "--in", "existing.zip"}, 2, 439},
    {"KeyTooShort", {"checksum", "--key-file", "short-key.txt"}, 2, 436},
    {"KeyNotUtf8", {"checksum", "--key-file", "latin1-key.txt"}, 2, 462},
    {"KeyFileMissing", {"checksum", "--key-file", "absent.txt"}, 1, 47},
    {"ExistingOutWithoutForce", {"encrypt", "--out", "existing.zip", "--key-file", "key.txt"}, 1, 435},
    {"EmptyMessage", {"encrypt", "--out", "new.zip", "--key-file", "key.txt", "--kdf", "interactive"}, 1, 120},
    {"AttachedFileMissing", {"encrypt", "--out", "new.zip", "--attach", "absent.bin", "--key-file", "key.txt"}, 1, 47},
    {"CiphertextMissing", {"decrypt", "--in", "absent.zip", "--key-file", "key.txt"}, 1, 87},
    {"WrongKey",
     {"decrypt", "--in", Vector("wrong_key.zip"), "--key-file", "vector-key.txt", "--out-dir", "out"},
     3,
     150},
    {"DamagedBody",
     {"decrypt", "--in", Vector("body_byte_changed.zip"), "--key-file", "vector-key.txt", "--out-dir", "out"},
     3,
     151},
    {"NotACiphertextFile", {"decrypt", "--in", "existing.zip", "--key-file", "key.txt", "--out-dir", "out"}, 3, 407},
    {"CheckValueMismatchRefused",
     {"decrypt", "--in", Vector("check_value_mismatch.zip"), "--key-file", "vector-key.txt", "--out-dir", "out"},
     4,
     438},
    {"UnsafeAttachedNameBecomesHidden",
     {"decrypt", "--in", Vector("unsafe_name_slash.zip"), "--key-file", "vector-key.txt", "--out-dir", "out"},
     5,
     423},
    {"ExistingMessageOutWithoutForce",
     {"decrypt", "--in", Vector("good_no_file.zip"), "--key-file", "vector-key.txt", "--message-out", "existing.zip"},
     1,
     435},
    {"MessageOutIsTheCiphertextEvenWithForce",
     {"decrypt", "--in", "existing.zip", "--key-file", "key.txt", "--message-out", "existing.zip", "--force"},
     1,
     86},
    {"NothingToDecrypt", {"decrypt", "--in", "empty-body.zip", "--key-file", "key.txt", "--out-dir", "out"}, 3, 421},
    {"AttachedPipeRefusedWithoutWaiting",
     {"encrypt", "--out", "new.zip", "--attach", "pipe", "--key-file", "key.txt"},
     1,
     47},
    {"AttachedDeviceRefused", {"encrypt", "--out", "new.zip", "--attach", "/dev/zero", "--key-file", "key.txt"}, 1, 47},
    // Short options, the input as a bare argument, and "--".
    {"ShortOptionOfAnotherCommand", {"inspect", "-k", "key.txt", "existing.zip"}, 2, 0},
    {"TwoInputsGiven", {"decrypt", "-k", "key.txt", "existing.zip", "other.zip"}, 2, 0},
    {"BareInputBesideIn", {"decrypt", "-i", "existing.zip", "other.zip"}, 2, 0},
    {"ArmorIsForEncrypt", {"decrypt", "--armor", "existing.zip"}, 2, 0},
    {"OptionsEndedSoDashNameIsAFile", {"decrypt", "-k", "key.txt", "--", "--force"}, 1, 87},
    {"NothingOnStandardInput", {"decrypt", "-k", "key.txt", "--out-dir", "out"}, 3, 407},
    // The armored text form.
    {"ArmorWithForeignCharacter",
     {"decrypt", Vector("armored_foreign_character.txt"), "-k", "vector-key.txt", "--out-dir", "out"},
     3,
     450},
    {"ArmorCutShort", {"decrypt", Vector("armored_cut_short.txt"), "-k", "vector-key.txt", "--out-dir", "out"}, 3, 451},
    {"ArmorTwoBlocks",
     {"decrypt", Vector("armored_two_blocks.txt"), "-k", "vector-key.txt", "--out-dir", "out"},
     3,
     452},
};

INSTANTIATE_TEST_SUITE_P(Cases, CliStatusTest, ::testing::ValuesIn(StatusCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliTest, ExistingOutIsReplacedWithForce)
{
    Write("letter.zip", "an older file");
    const Result result = Encrypt({"--out", "letter.zip", "--force"});
    ASSERT_EQ(result.exitCode, 0) << result.errText().toStdString();
    EXPECT_EQ(Decrypt("letter.zip").out, Message);
}

TEST_F(CliTest, UnsafeAttachedNameStillDeliversTheMessageAndWritesNothingOutside)
{
    Write("vector-key.txt", VectorKey.toUtf8());
    const Result result = Decrypt(Vector("unsafe_name_slash.zip"), {"--out-dir", "out"}, "vector-key.txt");
    EXPECT_EQ(result.exitCode, 5);
    EXPECT_EQ(QString::fromUtf8(result.out), QStringLiteral("Test vector message: Grüße, 東京."));
    EXPECT_TRUE(result.errText().contains(Text(CliTexts::AttachedNotSaved))) << "the safe name made from it is hidden";
    EXPECT_FALSE(QFile::exists(Path("escape.txt")));

    // The derived name begins with a dot: with --force it is written, inside the folder.
    const Result forced = Decrypt(Vector("unsafe_name_slash.zip"), {"--out-dir", "out", "--force"}, "vector-key.txt");
    EXPECT_EQ(forced.exitCode, 0) << forced.errText().toStdString();
    EXPECT_TRUE(QFile::exists(Path("out/.._escape.txt")));
    EXPECT_TRUE(forced.errText().contains(Path("out/.._escape.txt"))) << "the name used is said";
    EXPECT_FALSE(QFile::exists(Path("escape.txt")));
}

TEST_F(CliTest, CheckValueMismatchAcceptedGoesOn)
{
    Write("vector-key.txt", VectorKey.toUtf8());
    const Result result =
        Decrypt(Vector("check_value_mismatch.zip"), {"--out-dir", "out", "--accept-bad-check"}, "vector-key.txt");
    EXPECT_EQ(result.exitCode, 0) << result.errText().toStdString();
    EXPECT_TRUE(result.errText().contains(Text(DecryptTexts::CheckValueMismatch)));
    EXPECT_FALSE(result.out.isEmpty()) << "the unverified message is handed over";
}

TEST_F(CliTest, MessageThatIsNotUtf8IsRefusedNotAltered)
{
    Write("message.txt", "caf\xE9 au lait");
    const Result result = Encrypt({"--out", "letter.zip"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.errText().contains(Text(CliTexts::MessageNotUtf8)));
    EXPECT_FALSE(QFile::exists(Path("letter.zip")));
}

TEST_F(CliTest, MessagesFollowLangElseTheStoredLanguage)
{
    Write("letter.zip", "exists");
    const QStringList arguments = {"encrypt", "--out", "letter.zip", "--key-file", "key.txt"};
    EXPECT_TRUE(Run(arguments).errText().contains(Text(CliTexts::NotReplaced, Language::English)));
    EXPECT_TRUE(
        Run(arguments + QStringList{"--lang", "de"}).errText().contains(Text(CliTexts::NotReplaced, Language::German)));

    ASSERT_TRUE(QDir(Path("config")).mkpath("Tavolan"));
    Write("config/Tavolan/ZEB.conf", "[General]\nLanguage=DE\n");
    EXPECT_TRUE(Run(arguments).errText().contains(Text(CliTexts::NotReplaced, Language::German)));
    EXPECT_TRUE(Run(arguments + QStringList{"--lang", "en"})
                    .errText()
                    .contains(Text(CliTexts::NotReplaced, Language::English)));
}

// ---- inspect -------------------------------------------------------------------------------------

uint32_t LittleEndian(const QByteArray& bytes, int offset, int length)
{
    uint32_t value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = value << 8 | static_cast<uint8_t>(bytes.at(offset + i));
    return value;
}

TEST_F(CliTest, InspectPrintsTheHeaderAndBodyFieldsWithoutAKey)
{
    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);
    const QByteArray file = Read("letter.zip");
    const int h = static_cast<uint8_t>(file.at(11));
    const QByteArray expected =
        "header length: " + QByteArray::number(h) + "\nflags: " + QByteArray::number(LittleEndian(file, 6, 2)) +
        "\nmethod: " + QByteArray::number(LittleEndian(file, 8, 2)) +
        "\nstated compressed size: " + QByteArray::number(LittleEndian(file, 18, 4)) +
        "\nstated uncompressed size: " + QByteArray::number(LittleEndian(file, 22, 4)) +
        "\nname: " + file.mid(30, h - 30) + "\nbody length: " + QByteArray::number(file.size() - h) +
        "\nformat version: 1"
        "\nkey-derivation passes: 2"
        "\nkey-derivation memory: 65536 KiB\n";
    const Result result = Run({"inspect", "--in", "letter.zip"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, expected);
    EXPECT_TRUE(result.err.isEmpty());
}

TEST_F(CliTest, InspectRefusesAFileThatIsNotCiphertext)
{
    Write("plain.txt", QByteArray(500, 'x'));
    Write("tiny.txt", "PK");
    for (const char* name : {"plain.txt", "tiny.txt"}) {
        const Result result = Run({"inspect", "--in", name});
        EXPECT_EQ(result.exitCode, 1) << name;
        EXPECT_TRUE(result.out.isEmpty()) << name;
        EXPECT_FALSE(result.err.isEmpty()) << name;
    }
    EXPECT_TRUE(Run({"inspect", "--in", "tiny.txt"}).errText().contains(Text(NotCiphertextFileText)));
    EXPECT_TRUE(Run({"inspect", "--in", "plain.txt"}).errText().contains(Text(DecryptTexts::NotOurFile)));
}

// ---- The decrypt test vectors, one case per manifest line ----------------------------------------

class CliVectorTest : public CliTest, public ::testing::WithParamInterface<test_vectors::Vector> {
  protected:
    void SetUp() override
    {
        CliTest::SetUp();
        ASSERT_TRUE(GetParam().malformed.isEmpty())
            << "malformed manifest line: " << GetParam().malformed.toStdString();
        Write("vector-key.txt", GetParam().key.toUtf8());
    }
};

struct CliExpected {
    int exitCode;
    int programText; // shown on standard error; 0 when the run succeeds
};

// What decrypt and inspect do with each outcome the manifest names.
const std::map<QString, std::pair<CliExpected, CliExpected>> CliOutcomes = {
    {"success", {{0, 0}, {0, 0}}},
    {"wrong-key", {{3, DecryptTexts::WrongKey}, {0, 0}}},
    {"damaged", {{3, DecryptTexts::DamagedOrCut}, {0, 0}}},
    {"not-a-body", {{3, DecryptTexts::NotOurFile}, {1, DecryptTexts::NotOurFile}}},
    {"not-ciphertext", {{3, NotCiphertextFileText}, {1, NotCiphertextFileText}}},
    {"check-value-mismatch", {{4, CliTexts::CheckValueHint}, {0, 0}}},
    {"damaged-package", {{3, DamagedPackageText}, {0, 0}}},
    {"not-compressed", {{3, DecryptTexts::DecompressionFailed}, {0, 0}}},
    {"unsafe-name", {{0, 0}, {0, 0}}}, // the command line takes the safe name offered: see below
    {"armor-damaged", {{3, DecryptTexts::ArmorDamaged}, {1, DecryptTexts::ArmorDamaged}}},
    {"armor-unended", {{3, DecryptTexts::ArmorUnended}, {1, DecryptTexts::ArmorUnended}}},
    {"armor-two-blocks", {{3, DecryptTexts::ArmorTwoBlocks}, {1, DecryptTexts::ArmorTwoBlocks}}},
};

TEST_P(CliVectorTest, DecryptGivesTheOutcomeTheManifestNames)
{
    const test_vectors::Vector& v = GetParam();
    ASSERT_EQ(CliOutcomes.count(v.outcome), 1u) << "unknown outcome " << v.outcome.toStdString();
    const CliExpected expected = CliOutcomes.at(v.outcome).first;

    const Result result = Decrypt(v.path(), {"--out-dir", "out"}, "vector-key.txt");

    const bool hiddenSafeName = v.outcome == "unsafe-name" && IsHiddenFileName(DerivedAttachedFileName(v.attachedName));
    EXPECT_EQ(result.exitCode, hiddenSafeName ? 5 : expected.exitCode) << result.errText().toStdString();
    const int programText = hiddenSafeName ? CliTexts::AttachedNotSaved : expected.programText;
    if (programText != 0) {
        EXPECT_TRUE(result.errText().contains(Text(programText))) << result.errText().toStdString();
    }
    EXPECT_EQ(QString::fromUtf8(result.out), v.message == "-" ? QString() : v.message);
    const QStringList written = QDir(Path("out")).entryList(QDir::Files | QDir::Hidden);
    if (v.outcome == "unsafe-name") {
        // Saved under the safe name made from the sender's, unless that name is hidden (needs --force).
        const QString derived = DerivedAttachedFileName(v.attachedName);
        EXPECT_EQ(written, IsHiddenFileName(derived) ? QStringList() : QStringList{derived});
        return;
    }
    if (v.outcome != "success" || !v.carriesFile()) {
        EXPECT_EQ(written, QStringList());
        return;
    }
    ASSERT_EQ(written, QStringList{QString::fromUtf8(v.attachedName)});
    EXPECT_EQ(QCryptographicHash::hash(Read("out/" + written[0]), QCryptographicHash::Md5).toHex(), v.attachedMd5);
}

TEST_P(CliVectorTest, InspectShowsTheFieldsOrSaysWhyNot)
{
    const test_vectors::Vector& v = GetParam();
    ASSERT_EQ(CliOutcomes.count(v.outcome), 1u) << "unknown outcome " << v.outcome.toStdString();
    const CliExpected expected = CliOutcomes.at(v.outcome).second;

    const Result result = Run({"inspect", "--in", v.path()});

    EXPECT_EQ(result.exitCode, expected.exitCode) << result.errText().toStdString();
    if (expected.programText != 0) {
        EXPECT_TRUE(result.errText().contains(Text(expected.programText))) << result.errText().toStdString();
        EXPECT_TRUE(result.out.isEmpty());
        return;
    }
    EXPECT_TRUE(result.out.contains("format version: ")) << result.out.toStdString();
    EXPECT_TRUE(result.out.contains("key-derivation passes: ")) << result.out.toStdString();
    if (v.message != "-") {
        EXPECT_FALSE(result.out.contains(v.message.toUtf8())) << "inspect never shows the message";
    }
}

INSTANTIATE_TEST_SUITE_P(Manifest, CliVectorTest, ::testing::ValuesIn(test_vectors::ReadManifest()),
                         [](const auto& info) { return test_vectors::CaseName(info.param); });

// ---- Unix habits: "-", standard input and output, short options, the armored text form -----------

TEST_F(CliTest, ArmoredRoundTripThroughAFileWithShortOptionsAndABareInput)
{
    const Result encrypted =
        Run({"encrypt", "--armor", "--kdf", "interactive", "-k", "key.txt", "-o", "letter.txt", "message.txt"});
    ASSERT_EQ(encrypted.exitCode, 0) << encrypted.errText().toStdString();
    EXPECT_TRUE(encrypted.errText().contains(Text(CliTexts::CiphertextWrittenTo) + " letter.txt"));
    const QByteArray armored = Read("letter.txt");
    EXPECT_TRUE(armored.startsWith("-----BEGIN QUILLET MESSAGE-----\n"));
    EXPECT_TRUE(armored.endsWith("\n-----END QUILLET MESSAGE-----\n"));

    const Result decrypted = Run({"decrypt", "-k", "key.txt", "letter.txt"});
    ASSERT_EQ(decrypted.exitCode, 0) << decrypted.errText().toStdString();
    EXPECT_EQ(decrypted.out, Message);

    const Result toFile = Run({"decrypt", "-k", "key.txt", "-o", "received.txt", "--", "letter.txt"});
    ASSERT_EQ(toFile.exitCode, 0) << toFile.errText().toStdString();
    EXPECT_EQ(Read("received.txt"), Message);
}

// An --in that cannot be read is named, with the true cause: not "no such file" for a FIFO, and the
// file rather than its folder when it may not be read.
TEST_F(CliTest, AnInputThatCannotBeReadIsNamedWithItsTrueCause)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(Path("pipe")).constData(), 0600), 0);
    const Result fifo = Decrypt("pipe");
    EXPECT_EQ(fifo.exitCode, 1);
    EXPECT_TRUE(fifo.errText().contains("pipe: Not a regular file.")) << fifo.errText().toStdString();

    ASSERT_EQ(Encrypt({"--out", "letter.zip"}).exitCode, 0);
    ASSERT_EQ(chmod(QFile::encodeName(Path("letter.zip")).constData(), 0), 0);
    QProcess process;
    process.setWorkingDirectory(dir.path());
    QStringList environment = Environment(TypedKey);
    if (geteuid() == 0) {
        // Root reads every file: the case needs another user, who may enter the folder only.
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0711), 0);
        environment.replaceInStrings(QRegularExpression("^XDG_RUNTIME_DIR=.*"), "XDG_RUNTIME_DIR=");
        process.setChildProcessModifier([] {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(99);
        });
    }
    process.setEnvironment(environment);
    process.start(Binary, {"decrypt", "--in", Path("letter.zip")});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString said = QString::fromUtf8(process.readAllStandardError());
    EXPECT_EQ(process.exitCode(), 1) << said.toStdString();
    EXPECT_TRUE(said.contains(Path("letter.zip") + ": " + FileProc::IoErrorText(EACCES))) << said.toStdString();
}

TEST_F(CliTest, DashAndPipesCarryTheCiphertextInBothForms)
{
    const QStringList encrypt = {"encrypt", "--kdf", "interactive", "-k", "key.txt", "-o", "-"};
    const Result binary = Run(encrypt, Message);
    ASSERT_EQ(binary.exitCode, 0) << binary.errText().toStdString();
    EXPECT_TRUE(binary.out.startsWith("PK\x03\x04")) << "binary ciphertext goes into a pipe";
    EXPECT_FALSE(QFile::exists(Path("-"))) << "\"-\" is standard output, not a file";

    const Result armored = Run(encrypt + QStringList{"--armor", "-i", "-"}, Message);
    ASSERT_EQ(armored.exitCode, 0) << armored.errText().toStdString();
    EXPECT_TRUE(armored.out.startsWith("-----BEGIN QUILLET MESSAGE-----\n"));

    for (const QByteArray& ciphertext : {binary.out, armored.out}) {
        const Result piped = Run({"decrypt", "-k", "key.txt"}, ciphertext);
        EXPECT_EQ(piped.exitCode, 0) << piped.errText().toStdString();
        EXPECT_EQ(piped.out, Message);
        const Result dash = Run({"decrypt", "-k", "key.txt", "--in", "-", "--message-out", "-"}, ciphertext);
        EXPECT_EQ(dash.exitCode, 0) << dash.errText().toStdString();
        EXPECT_EQ(dash.out, Message);
    }
    EXPECT_FALSE(QFile::exists(Path("-")));
    EXPECT_EQ(Run({"inspect", "-"}, armored.out).exitCode, 0) << "inspect reads the text form too";
}

TEST_F(CliTest, ArmoredBlockIsFoundInsideAQuotedReplyWithSignature)
{
    const Result armored = Run({"encrypt", "--armor", "--kdf", "interactive", "-k", "key.txt", "-o", "-"}, Message);
    ASSERT_EQ(armored.exitCode, 0) << armored.errText().toStdString();
    QByteArray mail = "Subject: Re: our meeting\r\n\r\nThanks, see below.\r\n\r\nOn Monday, Ben wrote:\r\n";
    for (const QByteArray& line : armored.out.split('\n'))
        mail += "> " + line + "\r\n";
    mail += "> \r\n> Ben\r\n-- \r\nAnna\r\n";
    Write("reply.eml", mail);

    const Result decrypted = Run({"decrypt", "-k", "key.txt", "reply.eml"});
    EXPECT_EQ(decrypted.exitCode, 0) << decrypted.errText().toStdString();
    EXPECT_EQ(decrypted.out, Message);
}

TEST_F(CliTest, BinaryCiphertextIsNotWrittenToATerminal)
{
    const QStringList encrypt = {"encrypt", "--kdf", "interactive", "-k", "key.txt", "-i", "message.txt", "-o", "-"};
    const TerminalRun binary = RunOnTerminal(encrypt, Environment(), dir.path(), std::vector<TypedLine>{});
    EXPECT_EQ(binary.exitCode, 2);
    EXPECT_TRUE(binary.screen.contains(Text(CliTexts::BinaryToTerminal).toUtf8())) << binary.screen.toStdString();
    EXPECT_FALSE(binary.screen.contains("PK\x03\x04"));

    const TerminalRun armored =
        RunOnTerminal(encrypt + QStringList{"--armor"}, Environment(), dir.path(), std::vector<TypedLine>{});
    EXPECT_EQ(armored.exitCode, 0) << armored.screen.toStdString();
    EXPECT_TRUE(armored.screen.contains("-----BEGIN QUILLET MESSAGE-----"));
}

TEST_F(CliTest, DecryptWithoutInputOnATerminalSaysWhatItNeeds)
{
    const TerminalRun run =
        RunOnTerminal({"decrypt", "-k", "key.txt"}, Environment(), dir.path(), std::vector<TypedLine>{});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.screen.contains("standard input")) << run.screen.toStdString();
}

TEST_F(CliTest, KeyTypedForEncryptingIsAskedTwiceAndMustMatch)
{
    const QStringList encrypt = {"encrypt", "--kdf", "interactive", "-i", "message.txt", "-o", "letter.zip"};
    const QByteArray again = Text(CliTexts::KeyPromptAgain).toUtf8();

    const TerminalRun differ = RunOnTerminal(encrypt, Environment(), dir.path(),
                                             {{Text(CliTexts::KeyPrompt).toUtf8(), TypedKey}, {again, TypedKey + "x"}});
    EXPECT_EQ(differ.exitCode, 2) << differ.screen.toStdString();
    EXPECT_TRUE(differ.screen.contains(Text(CliTexts::KeysDiffer).toUtf8()));
    EXPECT_FALSE(QFile::exists(Path("letter.zip"))) << "nothing is encrypted under a mistyped key";

    // Spaces and letter case do not count, so these two are the same key.
    const TerminalRun same = RunOnTerminal(encrypt, Environment(), dir.path(),
                                           {{Text(CliTexts::KeyPrompt).toUtf8(), TypedKey}, {again, Key.toUtf8()}});
    EXPECT_EQ(same.exitCode, 0) << same.screen.toStdString();
    EXPECT_TRUE(same.screen.contains(
        QString(Text(CliTexts::KeyChecksumIs) + ' ' + QString::number(Keys::KeyChecksum(Key))).toUtf8()));
    EXPECT_EQ(Decrypt("letter.zip").out, Message);
}

// A weak key typed for encrypting is the user's choice, but they are told what makes it guessable;
// a strong one and any key typed for decrypting (the sender chose it) pass without a word.
TEST_F(CliTest, WeakKeyTypedForEncryptingIsWarnedAbout)
{
    const QStringList encrypt = {"encrypt", "--kdf", "interactive", "-i", "message.txt", "-o", "weak.zip"};
    const QByteArray again = Text(CliTexts::KeyPromptAgain).toUtf8();
    const QByteArray weak = "password password";
    const QByteArray warning = Text(KeyStrengthTexts::WeakKeyWarning).toUtf8();

    const TerminalRun weakRun =
        RunOnTerminal(encrypt, Environment(), dir.path(), {{Text(CliTexts::KeyPrompt).toUtf8(), weak}, {again, weak}});
    EXPECT_EQ(weakRun.exitCode, 0) << weakRun.screen.toStdString();
    EXPECT_TRUE(weakRun.screen.contains(warning)) << weakRun.screen.toStdString();
    EXPECT_TRUE(
        weakRun.screen.contains(Keys::WeaknessReasonText(Keys::WeaknessReason::Repeats, Language::English).toUtf8()));

    const TerminalRun strongRun = RunOnTerminal(encrypt + QStringList{"-f"}, Environment(), dir.path(),
                                                {{Text(CliTexts::KeyPrompt).toUtf8(), TypedKey}, {again, TypedKey}});
    EXPECT_EQ(strongRun.exitCode, 0) << strongRun.screen.toStdString();
    EXPECT_FALSE(strongRun.screen.contains(warning));

    Write("weak.txt", weak + "\n");
    ASSERT_EQ(
        Run({"encrypt", "--kdf", "interactive", "-k", "weak.txt", "-i", "message.txt", "-o", "letter.zip"}).exitCode,
        0);
    const TerminalRun decryptRun =
        RunOnTerminal({"decrypt", "letter.zip", "-o", "typed.txt"}, Environment(), dir.path(), weak);
    EXPECT_EQ(decryptRun.exitCode, 0) << decryptRun.screen.toStdString();
    EXPECT_FALSE(decryptRun.screen.contains(warning));
}

TEST_F(CliTest, NoQuestionIsPrintedWithAnInventedAnswer)
{
    Write("notes.txt", "attached notes\n");
    const Result plain = Encrypt({"--out", "plain.zip"});
    const Result withFile = Encrypt({"--out", "letter.zip", "--attach", "notes.txt"});
    const Result decrypted = Decrypt("letter.zip", {"--out-dir", "out"});
    ASSERT_EQ(decrypted.exitCode, 0) << decrypted.errText().toStdString();
    for (const Result* result : {&plain, &withFile, &decrypted}) {
        const QString err = result->errText();
        EXPECT_EQ(result->exitCode, 0) << err.toStdString();
        for (const int question : {139, 66, 394, 73, 56, 91})
            EXPECT_FALSE(err.contains(Text(question))) << question << ": " << err.toStdString();
        for (const QString& line : err.split('\n', Qt::SkipEmptyParts))
            EXPECT_TRUE(line.startsWith("quillet-cli: ")) << line.toStdString();
    }
    EXPECT_TRUE(decrypted.errText().contains(Text(DecryptTexts::SavedAs) + ": \"" + Path("out/notes.txt") + '"'));
}

} // namespace
