// The main window shows the true stage of a command at every moment: busy while the pipeline asks a
// question (however long the user takes), the outcome before the box that reports it, and what became
// of an attached file in whichever language the window speaks.
#include "format/PlainPackage.h"
#include "gui/WindowFixture.h"
#include "gui/frmMain.h"
#include "pipeline/DecryptPipeline.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/WatchingDialogs.h"
#include "texts/Language.h"
#include "vectors/CiphertextMaker.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

// What the window showed while a box was open.
struct Seen {
    QStringList usable; // controls a user could press or type into
    bool busy = false;  // the busy line or the moving bar
    QString rowCaption; // lblAppendedFile, "" while hidden
    QString rowPath;    // txbFile1
};

class RunStagesTest : public KeyedWindowFixture<WatchingDialogs> {
  protected:
    Seen Look() const
    {
        Seen seen;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const bool control = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
                                 qobject_cast<QPlainTextEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                                 (widget->focusPolicy() & Qt::TabFocus);
            if (control && widget->window() == window.get() && widget->isVisible() && widget->isEnabled() &&
                !widget->objectName().isEmpty())
                seen.usable << widget->objectName();
        }
        seen.usable.sort();
        const auto* bar = control<QProgressBar>(QStringLiteral("prgWork"));
        seen.busy =
            window->BusyLineShown() || bar->isVisible() || txbQuickKey()->text().contains(QStringLiteral("..."));
        const QLabel* row = label(QStringLiteral("lblAppendedFile"));
        seen.rowCaption = row->isVisible() ? row->text() : QString();
        seen.rowPath = txbFile(1)->text();
        return seen;
    }

    // Longer than one tick of the window's one-second clock.
    static void OutlastAClockTick() { QTest::qWait(1300); }

    void ChooseLanguage(int language)
    {
        control<QComboBox>(QStringLiteral("cboLanguage"))->setCurrentIndex(language);
        window->cboLanguage_Click();
    }

    // A ciphertext with `attached` (a file named report.txt) as the sender makes it; its path.
    QString LetterWithFile()
    {
        const QString attached = dir.path() + QStringLiteral("/sent/report.txt");
        EXPECT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/sent")));
        EXPECT_TRUE(test_files::write_file(attached, "quarterly figures"));
        const QString letter = MakeCiphertext(QStringLiteral("The figures are attached."), attached);
        EXPECT_TRUE(QFile::remove(attached));
        return letter;
    }

    // A letter whose attached name would leave the chosen folder: saved only under a safe name.
    QString LetterWithUnsafeName()
    {
        EXPECT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/scratch")));
        const QByteArray package = BuildPlainPackage("The figures are attached.", "../report.txt", "quarterly figures");
        const QString letter = dir.path() + QStringLiteral("/unsafe.zip");
        EXPECT_TRUE(test_files::write_file(
            letter, CiphertextMaker::FromPackage(package, Key, dir.path() + QStringLiteral("/scratch"))));
        return letter;
    }

    void Decrypt(const QString& letter)
    {
        option(QStringLiteral("optDecrypt"))->click();
        txbFile(0)->setText(letter);
        QTest::mouseClick(button(QStringLiteral("cmdDecryptMessage")), Qt::LeftButton);
    }
};

const QStringList OnlyStopAndQuit = {QStringLiteral("cmdQuit"), QStringLiteral("cmdStop")};

TEST_F(RunStagesTest, WhileTheEncryptionAsksOnlyStopAndQuitCanBePressedAndTheBusyLineShows)
{
    txbText()->setPlainText(QStringLiteral("Nothing attached."));
    txbFile(1)->setText(Path("out.zip"));
    Seen duringQuestion;
    dialogs.onMessage = [&](const MessageRequest& box) {
        if (box.question != QuestionId::OfferToAppendFile)
            return;
        OutlastAClockTick();
        duringQuestion = Look();
    };
    dialogs.queueAnswer(DialogAnswer::No);

    QTest::mouseClick(button(QStringLiteral("cmdEncryptMessage")), Qt::LeftButton);

    ASSERT_EQ(dialogs.questions(), std::vector<QuestionId>{QuestionId::OfferToAppendFile});
    EXPECT_EQ(duringQuestion.usable, OnlyStopAndQuit);
    EXPECT_TRUE(duringQuestion.busy);
    EXPECT_TRUE(QFile::exists(Path("out.zip")));
}

TEST_F(RunStagesTest, WhileTheDecryptionAsksForAFolderOnlyStopAndQuitCanBePressed)
{
    const QString letter = LetterWithFile();
    Seen duringChooser;
    dialogs.onChooser = [&](const FileDialogRequest&) {
        OutlastAClockTick();
        duringChooser = Look();
    };
    dialogs.queuePath(dir.path());

    Decrypt(letter);

    EXPECT_EQ(duringChooser.usable, OnlyStopAndQuit);
    EXPECT_TRUE(duringChooser.busy);
    EXPECT_EQ(duringChooser.rowCaption, Text(DecryptTexts::FolderCaption) + ':');
    EXPECT_TRUE(QFile::exists(Path("report.txt")));
}

// The closing box, and an error box, stand over a window that already shows what happened.
TEST_F(RunStagesTest, TheBoxThatEndsARunComesAfterTheWindowShowsItsOutcome)
{
    const QString letter = LetterWithFile();
    Seen atLastBox;
    dialogs.onMessage = [&](const MessageRequest&) { atLastBox = Look(); };

    dialogs.queuePath(dir.path());
    Decrypt(letter);
    EXPECT_FALSE(atLastBox.busy);
    EXPECT_EQ(atLastBox.rowCaption, Text(DecryptTexts::SavedAs) + ':');
    EXPECT_EQ(atLastBox.rowPath, QDir::toNativeSeparators(Path("report.txt")));
    EXPECT_NE(dialogs.messages().back().icon, DialogIcon::Exclamation);

    // A wrong key: the error box over an idle window.
    dialogs.clear();
    atLastBox = {};
    ScriptedDialogs quiet;
    EncryptRequest other;
    other.message = QStringLiteral("Made with another key.");
    other.outputPath = Path("other.zip");
    other.quickKey = QStringLiteral("a quite different key 1234");
    other.kdfLevel = KdfLevel::Interactive;
    other.fileToAppend = letter;
    ASSERT_TRUE(EncryptMessage(other, quiet).success);
    Decrypt(Path("other.zip"));
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_EQ(dialogs.messages().back().icon, DialogIcon::Exclamation);
    EXPECT_FALSE(atLastBox.busy);
    EXPECT_TRUE(atLastBox.usable.contains(QStringLiteral("cmdDecryptMessage")));

    // The encryption's closing box: the view of the new ciphertext is offered already.
    dialogs.clear();
    option(QStringLiteral("optEncrypt"))->click();
    txbText()->setPlainText(QStringLiteral("With a file."));
    txbFile(0)->setText(Path("letter.zip"));
    txbFile(1)->setText(Path("reply.zip"));
    QTest::mouseClick(button(QStringLiteral("cmdEncryptMessage")), Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(Path("reply.zip")));
    EXPECT_FALSE(atLastBox.busy);
    EXPECT_TRUE(atLastBox.usable.contains(QStringLiteral("cmdViewCiphertext")));
    EXPECT_TRUE(atLastBox.usable.contains(QStringLiteral("cmdCopyAsText")));
}

// Saved, not saved, could not be saved: the row keeps saying so after the language changes.
TEST_F(RunStagesTest, ALanguageSwitchKeepsWhatBecameOfTheAttachedFile)
{
    const QString letter = LetterWithFile();
    struct Fate {
        const char* name;
        QString folder; // chosen for the file; "" cancels the chooser and goes on without the file
        int caption;
        bool namesPath;
    };
    const Fate fates[] = {
        {"saved", dir.path(), DecryptTexts::SavedAs, true},
        {"not saved", QString(), DecryptTexts::NotSaved, false},
        // The user declines the safe name offered for a name that would leave the folder.
        {"could not be saved", QString(), DecryptTexts::CouldNotSave, false},
    };
    const QString unsafeLetter = LetterWithUnsafeName();
    for (const Fate& fate : fates) {
        SCOPED_TRACE(fate.name);
        ChooseLanguage(Language::English);
        dialogs.clear();
        QFile::remove(Path("report.txt"));
        const bool refused = fate.caption == DecryptTexts::CouldNotSave;
        dialogs.queuePath(fate.folder);
        dialogs.queueAnswer(refused ? DialogAnswer::No : DialogAnswer::Yes);
        Decrypt(refused ? unsafeLetter : letter);
        const QString savedPath = txbFile(1)->text();
        for (const int language : {Language::German, Language::English}) {
            ChooseLanguage(language);
            const QLabel* row = label(QStringLiteral("lblAppendedFile"));
            EXPECT_TRUE(row->isVisible());
            EXPECT_EQ(row->text(), Text(fate.caption, language) + (fate.namesPath ? QStringLiteral(":") : QString()));
            EXPECT_EQ(txbFile(1)->text(), savedPath);
        }
        EXPECT_EQ(savedPath.isEmpty(), !fate.namesPath);
    }
}

} // namespace
