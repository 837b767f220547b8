// Window behaviours where a fault would hide from the pipeline tests: the decrypt mode's states after
// a decryption, the message shown before the folder question, the hidden key, quitting with Cancel,
// captions after a language change, and the encrypt command's closing box.
#include "engines/CipherEngine.h"
#include "gui/WindowFixture.h"
#include "gui/frmMain.h"
#include "pipeline/EncryptPipeline.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <map>

namespace {

// Scripted answers, and what the message box held when the first box or chooser came up.
class ObservingDialogs : public ScriptedDialogs {
  public:
    DialogAnswer message(const MessageRequest& request) override
    {
        Observe();
        return ScriptedDialogs::message(request);
    }
    QString choosePath(const FileDialogRequest& request) override
    {
        Observe();
        return ScriptedDialogs::choosePath(request);
    }
    frmMain* window = nullptr;
    std::optional<QString> messageAtFirstQuestion;

  private:
    void Observe()
    {
        if (window != nullptr && !messageAtFirstQuestion)
            messageAtFirstQuestion = window->findChild<QPlainTextEdit*>(QStringLiteral("txbText"))->toPlainText();
    }
};

class WindowBehaviourTest : public ShownWindowFixture<ObservingDialogs> {
  protected:
    void ChooseLanguage(int language)
    {
        control<QComboBox>(QStringLiteral("cboLanguage"))->setCurrentIndex(language);
        window->cboLanguage_Click();
    }

    void HideKey()
    {
        button(QStringLiteral("cmdHideShowQuickKey"))->click();
        ASSERT_EQ(Mnemonics::Plain(button(QStringLiteral("cmdHideShowQuickKey"))->text()),
                  Text(MainWindowTexts::ShowKey));
    }
};

TEST_F(WindowBehaviourTest, DecryptModeKeepsItsStatesAfterEveryDecryption)
{
    EnterKey(Key);
    const QString letter = MakeCiphertext(QStringLiteral("Read only."));
    option(QStringLiteral("optDecrypt"))->click();
    for (const QString& ciphertext : {QString(), letter}) {
        SCOPED_TRACE(ciphertext.isEmpty() ? "refused: no file" : "decrypted");
        txbFile(0)->setText(ciphertext);
        button(QStringLiteral("cmdDecryptMessage"))->click();
        EXPECT_FALSE(button(QStringLiteral("cmdLoadSaveTextbox0"))->isEnabled())
            << "nothing loads into the read-only box";
        EXPECT_TRUE(txbText()->isReadOnly());
        EXPECT_FALSE(button(QStringLiteral("cmdEncryptMessage"))->isEnabled());
        EXPECT_FALSE(cmdSpecifyFile(1)->isEnabled());
        EXPECT_TRUE(button(QStringLiteral("cmdDecryptMessage"))->isEnabled());
    }
    EXPECT_EQ(txbText()->toPlainText(), QStringLiteral("Read only."));
}

TEST_F(WindowBehaviourTest, TheMessageIsInTheBoxBeforeTheFolderIsAskedFor)
{
    EnterKey(Key);
    const QString attached = Path("report.txt");
    ASSERT_TRUE(test_files::write_file(attached, "the report"));
    MakeCiphertext(QStringLiteral("Here is the report."), attached);
    option(QStringLiteral("optDecrypt"))->click();
    txbFile(0)->setText(Path("letter.zip"));
    dialogs.window = window.get();
    dialogs.queuePath(dir.path());

    button(QStringLiteral("cmdDecryptMessage"))->click();

    ASSERT_TRUE(dialogs.messageAtFirstQuestion.has_value());
    EXPECT_EQ(*dialogs.messageAtFirstQuestion, QStringLiteral("Here is the report."));
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_TRUE(dialogs.messages()[0].text.contains(QStringLiteral("report.txt (10 bytes)")))
        << dialogs.messages()[0].text.toStdString();
}

// No key: the no-key box and nothing else. A hidden key: the question, No by default; Yes shows the
// key and stops, No goes on.
TEST_F(WindowBehaviourTest, EncryptWithNoKeyOrAHiddenKey)
{
    txbText()->setPlainText(QStringLiteral("a message"));
    txbFile(1)->setText(Path("out.zip"));
    button(QStringLiteral("cmdEncryptMessage"))->click();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].title, Text(MainWindowTexts::NoKeySpecified));
    EXPECT_FALSE(QFileInfo::exists(Path("out.zip")));

    EnterKey(Key);
    HideKey();
    dialogs.clear();
    dialogs.queueAnswer(DialogAnswer::Yes);
    button(QStringLiteral("cmdEncryptMessage"))->click();
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].title, Text(MainWindowTexts::ShowHiddenKeyTitle));
    EXPECT_EQ(dialogs.messages()[0].defaultButton, 1);
    EXPECT_EQ(txbQuickKey()->text(), Key) << "Yes shows the key";
    EXPECT_FALSE(QFileInfo::exists(Path("out.zip")));

    HideKey();
    dialogs.clear();
    button(QStringLiteral("cmdEncryptMessage"))->click(); // the question's default, then the offer to attach's default
    EXPECT_TRUE(test_files::read_file(Path("out.zip")).startsWith("PK"));
    EXPECT_EQ(Mnemonics::Plain(button(QStringLiteral("cmdHideShowQuickKey"))->text()), Text(MainWindowTexts::ShowKey))
        << "the key stays hidden";
    EXPECT_EQ(window->QuickKeyText(), Key);
}

TEST_F(WindowBehaviourTest, QuitThenCancelKeepsTheKeyAndQuitThenNoWipesIt)
{
    EnterKey(Key);
    QGuiApplication::clipboard()->setText(QStringLiteral("copied"));
    dialogs.queueAnswer(DialogAnswer::Cancel);
    button(QStringLiteral("cmdQuit"))->click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->QuickKeyText(), Key);
    EXPECT_EQ(txbQuickKey()->text(), Key);

    dialogs.queueAnswer(DialogAnswer::No);
    button(QStringLiteral("cmdQuit"))->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->QuickKeyText().isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("copied"));
}

TEST_F(WindowBehaviourTest, ALanguageChangeInDecryptModeWritesTheDecryptCaptions)
{
    option(QStringLiteral("optDecrypt"))->click();
    ChooseLanguage(Language::German);
    EXPECT_TRUE(option(QStringLiteral("optDecrypt"))->isChecked());
    EXPECT_EQ(Mnemonics::Plain(cmdSpecifyFile(0)->text()), Text(MainWindowTexts::CiphertextFile, Language::German));
    EXPECT_EQ(Mnemonics::Plain(cmdSpecifyFile(1)->text()),
              Text(MainWindowTexts::FolderForAttachedFile, Language::German));
    EXPECT_EQ(txbFile(0)->accessibleName(), Text(MainWindowTexts::CiphertextFile, Language::German));
}

TEST_F(WindowBehaviourTest, EveryCaptionOfTheWindowChangesWithTheLanguage)
{
    EnterKey(Key);
    const auto captions = [&] {
        std::map<QString, QString> all;
        // The main window's own controls; the key-entry window (a child window) takes the language
        // when it is opened next.
        for (QAbstractButton* shown : window->findChildren<QAbstractButton*>())
            if (shown->window() == window.get())
                all[shown->objectName()] = shown->text();
        // The maker's name reads the same in both languages.
        for (QLabel* shown : window->findChildren<QLabel*>())
            if (shown->window() == window.get() && shown->objectName() != QStringLiteral("lblTavolan"))
                all[shown->objectName()] = shown->text();
        return all;
    };
    const auto english = captions();
    ChooseLanguage(Language::German);
    const auto german = captions();
    for (const auto& [name, caption] : english) {
        if (!caption.isEmpty()) {
            EXPECT_NE(german.at(name), caption) << name.toStdString();
        }
    }
}

TEST_F(WindowBehaviourTest, TheClosingBoxGivesTheSizeInKBAndTheGermanLastLine)
{
    EnterKey(Key);
    ChooseLanguage(Language::German);
    txbText()->setPlainText(QStringLiteral("Hallo"));
    txbFile(1)->setText(Path("out.zip"));

    button(QStringLiteral("cmdEncryptMessage"))->click();

    ASSERT_FALSE(dialogs.messages().empty());
    const QString closing = dialogs.messages().back().text;
    // Written as German writes numbers, although the fixture's system locale is English.
    const double kilobytes = QFileInfo(Path("out.zip")).size() / 1024.0;
    const QString size = QLocale(QLocale::German, QLocale::Germany).toString(kilobytes, 'f', 2);
    EXPECT_TRUE(size.contains(',')) << size.toStdString();
    EXPECT_TRUE(closing.contains(' ' + size + " KB " + Text(EncryptTexts::SizeUnitNote, Language::German)))
        << closing.toStdString();
    EXPECT_TRUE(closing.endsWith("\r\n" + Text(EncryptTexts::GermanNote, Language::German))) << closing.toStdString();
}

} // namespace
