// The main window while a command's pipeline works: the event loop keeps turning, the busy indicator
// shows, input other than Stop, Quit and Escape is held back, and Quit or closing the window stop
// the run, leave nothing behind and then quit.
#include "engines/CipherEngine.h"
#include "gui/MainWindowState.h"
#include "gui/WindowFixture.h"
#include "gui/frmMain.h"
#include "pipeline/EncryptPipeline.h"
#include "support/HeldFolder.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "texts/Language.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

namespace {

// Calls `action` on every turn of the event loop while the window's command works.
class DuringWork {
  public:
    DuringWork(frmMain& window, std::function<void()> action) : window_(window), action_(std::move(action))
    {
        const auto* indicator = window_.findChild<QProgressBar*>(QStringLiteral("prgWork"));
        QObject::connect(&timer_, &QTimer::timeout, [this, indicator] {
            if (!window_.Working() || !window_.BusyLineShown())
                return;
            ++turns;
            indicatorShown = indicatorShown || (indicator != nullptr && indicator->isVisible());
            if (action_)
                action_();
        });
        timer_.start(0);
    }
    int turns = 0;
    bool indicatorShown = false;

  private:
    frmMain& window_;
    std::function<void()> action_;
    QTimer timer_;
};

class WorkInProgressTest : public KeyedWindowFixture<ScriptedDialogs> {
  protected:
    void PrepareEncryption()
    {
        txbText()->setPlainText(QStringLiteral("Meet me at the north gate."));
        txbFile(1)->setText(Path("out.zip"));
    }

    void PrepareDecryption()
    {
        const QString letter = MakeCiphertext(QStringLiteral("Stop before you read me."));
        option(QStringLiteral("optDecrypt"))->click();
        txbFile(0)->setText(letter);
    }

    // Every file under the base of the working folders, hidden ones included.
    QStringList LeftInWorkFolder() const
    {
        QStringList found;
        QDirIterator it(workFolder.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        return found;
    }

    // A ciphertext whose key derivation takes the sensitive level's seconds; no file attached, so a
    // run that is not stopped ends without a folder question.
    QString SensitiveCiphertext()
    {
        ScriptedDialogs quiet; // No to the offer to attach a file
        EncryptRequest request;
        request.message = QStringLiteral("Read me slowly.");
        request.outputPath = Path("sensitive.zip");
        request.quickKey = Key;
        request.kdfLevel = KdfLevel::Sensitive;
        request.workingFolderBase = workFolder.path();
        EXPECT_TRUE(EncryptMessage(request, quiet).success);
        return request.outputPath;
    }

    QProgressBar* indicator() const { return control<QProgressBar>(QStringLiteral("prgWork")); }
};

// At the default derivation level, the one users wait for.
TEST_F(WorkInProgressTest, TheEventLoopTurnsAndTheIndicatorShowsWhileTheCommandWorks)
{
    PrepareEncryption();
    DuringWork watch(*window, {});

    window->SetKdfLevel(KdfLevel::Moderate);
    button(QStringLiteral("cmdEncryptMessage"))->click();

    EXPECT_GT(watch.turns, 0) << "the window was frozen for the whole run";
    EXPECT_TRUE(watch.indicatorShown);
    EXPECT_FALSE(indicator()->isVisible());
    EXPECT_FALSE(window->Working());
    EXPECT_TRUE(test_files::read_file(Path("out.zip")).startsWith("PK"));
    EXPECT_TRUE(LeftInWorkFolder().isEmpty());
}

TEST_F(WorkInProgressTest, InputOtherThanQuitIsHeldBackWhileTheCommandWorks)
{
    PrepareEncryption();
    bool tried = false;
    DuringWork watch(*window, [&] {
        if (tried)
            return;
        tried = true;
        QTest::keyClicks(txbText(), QStringLiteral("typed meanwhile"));
        QTest::mouseClick(option(QStringLiteral("optDecrypt")), Qt::LeftButton);
    });

    button(QStringLiteral("cmdEncryptMessage"))->click();

    ASSERT_TRUE(tried);
    EXPECT_EQ(txbText()->toPlainText(), QStringLiteral("Meet me at the north gate."));
    EXPECT_TRUE(option(QStringLiteral("optEncrypt"))->isChecked());
    EXPECT_TRUE(window->isVisible());
}

// Quit and the window's close button, in both commands: the run stops, no temporary file or
// working folder stays, no output and no attached file is written, no closing box is shown, and the
// window quits as usual (the key wiped).
TEST_F(WorkInProgressTest, StoppingDuringTheRunLeavesNothingBehindAndQuits)
{
    struct Way {
        const char* name;
        std::function<void(WorkInProgressTest&)> stop;
    };
    const Way ways[] = {
        {"Quit", [](WorkInProgressTest& t) { QTest::mouseClick(t.button(QStringLiteral("cmdQuit")), Qt::LeftButton); }},
        {"close", [](WorkInProgressTest& t) { t.window->close(); }},
    };
    for (const bool encrypt : {true, false}) {
        for (const Way& way : ways) {
            SCOPED_TRACE(std::string(encrypt ? "encrypt, " : "decrypt, ") + way.name);
            TearDown();
            SetUp();
            if (encrypt)
                PrepareEncryption();
            else
                PrepareDecryption();
            dialogs.clear();
            bool stopped = false;
            DuringWork watch(*window, [&] {
                if (!stopped)
                    way.stop(*this);
                stopped = true;
            });

            button(encrypt ? QStringLiteral("cmdEncryptMessage") : QStringLiteral("cmdDecryptMessage"))->click();

            ASSERT_TRUE(stopped);
            EXPECT_FALSE(QFile::exists(Path("out.zip")));
            EXPECT_TRUE(txbText()->toPlainText().isEmpty() || encrypt);
            EXPECT_TRUE(LeftInWorkFolder().isEmpty()) << LeftInWorkFolder().join(' ').toStdString();
            for (const MessageRequest& box : dialogs.messages())
                EXPECT_EQ(box.buttons, DialogButtons::YesNo) << "only the offer to attach: " << box.text.toStdString();
            EXPECT_FALSE(window->isVisible());
            EXPECT_TRUE(window->QuickKeyText().isEmpty());
        }
    }
}

// A run whose working folder something held past its end could not remove it; quitting removes it,
// whichever command made it.
TEST_F(WorkInProgressTest, QuitRemovesTheWorkingFolderItsRunCouldNotRemove)
{
    for (const bool encrypt : {true, false}) {
        SCOPED_TRACE(encrypt ? "encrypt" : "decrypt");
        TearDown();
        SetUp();
        ASSERT_TRUE(LeftInWorkFolder().isEmpty()) << "an earlier case left its folder";
        if (encrypt)
            PrepareEncryption();
        else
            PrepareDecryption();
        std::unique_ptr<HeldFolder> held;
        DuringWork watch(*window, [&] {
            const QStringList made = QDir(workFolder.path()).entryList({QStringLiteral("temp_zeb*")}, QDir::Dirs);
            if (held == nullptr && !made.isEmpty())
                held = std::make_unique<HeldFolder>(workFolder.filePath(made.first()), workFolder.path());
        });

        button(encrypt ? QStringLiteral("cmdEncryptMessage") : QStringLiteral("cmdDecryptMessage"))->click();

        ASSERT_NE(held, nullptr) << "no working folder was seen during the run";
        if (!held->ready())
            GTEST_SKIP() << held->reason();
        ASSERT_FALSE(LeftInWorkFolder().isEmpty()) << "the held folder stays after the run";
        held->Release();
        QTest::mouseClick(button(QStringLiteral("cmdQuit")), Qt::LeftButton);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(LeftInWorkFolder().isEmpty()) << LeftInWorkFolder().join(' ').toStdString();
    }
}

// Stop or Escape during a run at the sensitive derivation level (the run is then inside the seconds of
// the key derivation, which cannot be cut short): "Stopping" shows until the run has stopped, and then
// the window is as before the run: message, files and key kept, no box, no output, an earlier output
// file whole, no temporary file left.
struct StopCase {
    const char* name;
    bool encrypt;
    bool escape; // else the Stop button
};

void PrintTo(const StopCase& c, std::ostream* out)
{
    *out << c.name;
}

class StopTest : public WorkInProgressTest, public ::testing::WithParamInterface<StopCase> {
  protected:
    void Stop(bool escape)
    {
        if (!escape) {
            QTest::mouseClick(button(QStringLiteral("cmdStop")), Qt::LeftButton);
            return;
        }
        // Wherever the focus is in the window.
        QWidget* focused = window->focusWidget();
        QTest::keyClick(focused != nullptr ? focused : window.get(), Qt::Key_Escape);
    }
};

TEST_P(StopTest, TheRunEndsAndTheWindowIsAsItWas)
{
    const StopCase& c = GetParam();
    const QString message = c.encrypt ? QStringLiteral("Meet me at the north gate.")
                                      : QStringLiteral("The message of the last decryption.");
    QString letter;
    txbText()->setPlainText(message);
    if (c.encrypt) {
        ASSERT_TRUE(test_files::write_file(Path("map.txt"), "north gate"));
        ASSERT_TRUE(test_files::write_file(Path("out.zip"), "the earlier ciphertext"));
        txbFile(0)->setText(Path("map.txt"));
        txbFile(1)->setText(Path("out.zip"));
        dialogs.queueAnswer(DialogAnswer::Yes); // replace out.zip
    } else {
        // A decryption derives its key with the parameters of the file it reads.
        letter = SensitiveCiphertext();
        option(QStringLiteral("optDecrypt"))->click();
        txbFile(0)->setText(letter);
    }
    const QString keyShown = txbQuickKey()->text();
    bool pressed = false;
    QString stoppingLine;
    bool stopGreyWhileStopping = false;
    DuringWork watch(*window, [&] {
        if (!pressed) {
            // Encrypting, the key is derived after the compression: stopped once the engine is at work.
            if (c.encrypt && !LeftInWorkFolder().join(' ').contains(QStringLiteral(".enc")))
                return;
            pressed = true;
            Stop(c.escape);
        } else if (stoppingLine.isEmpty()) {
            stoppingLine = txbQuickKey()->text();
            stopGreyWhileStopping = !button(QStringLiteral("cmdStop"))->isEnabled();
        }
    });

    window->SetKdfLevel(KdfLevel::Sensitive);
    QTest::mouseClick(button(c.encrypt ? QStringLiteral("cmdEncryptMessage") : QStringLiteral("cmdDecryptMessage")),
                      Qt::LeftButton);

    ASSERT_TRUE(pressed);
    EXPECT_TRUE(stoppingLine.contains(Text(RunTexts::Stopping, Language::English))) << stoppingLine.toStdString();
    EXPECT_TRUE(stopGreyWhileStopping);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->Working());
    EXPECT_EQ(txbText()->toPlainText(), message);
    EXPECT_EQ(txbFile(0)->text(), c.encrypt ? Path("map.txt") : letter);
    EXPECT_EQ(window->QuickKeyText(), Key);
    EXPECT_EQ(txbQuickKey()->text(), keyShown);
    EXPECT_FALSE(indicator()->isVisible());
    EXPECT_FALSE(button(QStringLiteral("cmdStop"))->isVisible());
    EXPECT_TRUE(
        button(c.encrypt ? QStringLiteral("cmdEncryptMessage") : QStringLiteral("cmdDecryptMessage"))->isEnabled());
    if (c.encrypt) {
        EXPECT_EQ(test_files::read_file(Path("out.zip")), "the earlier ciphertext");
    }
    EXPECT_TRUE(LeftInWorkFolder().isEmpty()) << LeftInWorkFolder().join(' ').toStdString();
    for (const MessageRequest& box : dialogs.messages())
        EXPECT_EQ(box.question, QuestionId::ReplaceOutputFile) << "no box after a stop: " << box.text.toStdString();
}

const StopCase StopCases[] = {
    {"EncryptStop", true, false},
    {"EncryptEscape", true, true},
    {"DecryptStop", false, false},
    {"DecryptEscape", false, true},
};

INSTANTIATE_TEST_SUITE_P(Sensitive, StopTest, ::testing::ValuesIn(StopCases),
                         [](const ::testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

} // namespace
