// The main window as the user meets it: start state, the two modes, the language, the status line.
#include "gui/WindowFixture.h"
#include "gui/frmMain.h"
#include "gui/frmMain_startup.h"
#include "keys/KeyRoutines.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

class MainWindowTest : public WindowFixture<> {
  protected:
    QString text(const char* name) { return Mnemonics::Plain(control<QAbstractButton>(name)->text()); }

    void chooseMode(const char* option)
    {
        QTest::mouseClick(control<QRadioButton>(option), Qt::LeftButton);
        ASSERT_TRUE(control<QRadioButton>(option)->isChecked());
    }

    // Every caption and tooltip on the window, by control name.
    std::map<QString, QString> captions()
    {
        std::map<QString, QString> all;
        for (auto* widget : window->findChildren<QAbstractButton*>())
            all[widget->objectName()] = widget->text() + QLatin1Char('|') + widget->toolTip();
        for (auto* widget : window->findChildren<QLabel*>())
            all[widget->objectName()] = widget->text();
        all[QStringLiteral("cboLanguage")] = control<QComboBox>("cboLanguage")->currentText();
        return all;
    }
};

TEST_F(MainWindowTest, StartsInEncryptModeWithNothingFilledIn)
{
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("Quillet ")));
    EXPECT_TRUE(control<QRadioButton>("optEncrypt")->isChecked());
    EXPECT_TRUE(control<QPlainTextEdit>("txbText")->toPlainText().isEmpty());
    EXPECT_FALSE(control<QPlainTextEdit>("txbText")->isReadOnly());
    EXPECT_TRUE(field("txbQuickKey")->text().isEmpty());
    EXPECT_TRUE(window->QuickKeyText().isEmpty());
    EXPECT_TRUE(field("txbFile0")->text().isEmpty());
    EXPECT_TRUE(field("txbFile1")->text().isEmpty());
    EXPECT_TRUE(control<QFrame>("Frame1")->isVisible());
    EXPECT_TRUE(button("cmdEncryptMessage")->isEnabled());
    EXPECT_FALSE(button("cmdDecryptMessage")->isEnabled());
    EXPECT_FALSE(button("cmdViewCiphertext")->isEnabled());
    // From the first moment, not only after the first clock tick: nothing to clear, save or enlarge.
    for (const char* name : {"cmdClearTextbox", "cmdLoadSaveTextbox1", "cmdEnlargeTextbox"})
        EXPECT_FALSE(button(name)->isEnabled()) << name;
    EXPECT_FALSE(button("cmdClearFile0")->isVisible());
    EXPECT_FALSE(button("cmdClearFile1")->isVisible());
    EXPECT_EQ(window->RandomnessMeasure(0), -1.0);
    EXPECT_EQ(window->RandomnessMeasure(1), -1.0);
    EXPECT_EQ(text("optEncrypt"), Text(MainWindowTexts::EncryptOption, Language::English));
    EXPECT_EQ(text("cmdSpecifyFile0"), Text(MainWindowTexts::FileToAppend, Language::English));
    EXPECT_EQ(text("cmdSpecifyFile1"), Text(MainWindowTexts::OutputFile, Language::English));
    EXPECT_TRUE(control<QTimer>("Clock")->isActive());
    EXPECT_EQ(control<QTimer>("Clock")->interval(), 1000);
    EXPECT_TRUE(dialogs.records().empty());
}

TEST_F(MainWindowTest, StartsInTheStoredLanguage)
{
    Language::StoreLanguage(Language::German);
    frmMain german(dialogs, workFolder.path());
    german.Form_Load();
    EXPECT_EQ(german.ShownLanguage(), Language::German);
    EXPECT_EQ(Mnemonics::Plain(german.findChild<QPushButton*>("cmdQuit")->text()),
              Text(MainWindowTexts::Quit, Language::German));
    EXPECT_EQ(german.findChild<QComboBox*>("cboLanguage")->currentText(),
              Text(MainWindowTexts::German, Language::German));
}

TEST_F(MainWindowTest, EachModeKeepsItsFileNames)
{
    field("txbFile0")->setText(QStringLiteral("/home/ann/contract.pdf"));
    field("txbFile1")->setText(QStringLiteral("/home/ann/for-bob.zip"));

    chooseMode("optDecrypt");
    EXPECT_TRUE(field("txbFile0")->text().isEmpty());
    EXPECT_FALSE(control<QFrame>("Frame1")->isVisible());
    EXPECT_FALSE(button("cmdViewCiphertext")->isEnabled());
    EXPECT_FALSE(button("cmdEncryptMessage")->isEnabled());
    EXPECT_TRUE(button("cmdDecryptMessage")->isEnabled());
    EXPECT_FALSE(button("cmdLoadSaveTextbox0")->isEnabled());
    EXPECT_TRUE(control<QPlainTextEdit>("txbText")->isReadOnly());
    EXPECT_EQ(text("cmdSpecifyFile0"), Text(MainWindowTexts::CiphertextFile, Language::English));
    field("txbFile0")->setText(QStringLiteral("/home/ann/from-bob.zip"));

    chooseMode("optEncrypt");
    EXPECT_EQ(field("txbFile0")->text(), QStringLiteral("/home/ann/contract.pdf"));
    EXPECT_EQ(field("txbFile1")->text(), QStringLiteral("/home/ann/for-bob.zip"));
    EXPECT_TRUE(control<QFrame>("Frame1")->isVisible());
    EXPECT_FALSE(control<QPlainTextEdit>("txbText")->isReadOnly());
    EXPECT_EQ(text("cmdSpecifyFile0"), Text(MainWindowTexts::FileToAppend, Language::English));

    chooseMode("optDecrypt");
    EXPECT_EQ(field("txbFile0")->text(), QStringLiteral("/home/ann/from-bob.zip"));
}

// The report behind "View randomness" belongs to the files it was made with: once another file is
// chosen, in either mode, the button does not come back for it.
TEST_F(MainWindowTest, ChoosingAFileRetiresTheViewOfTheEarlierCiphertext)
{
    struct Case {
        const char* name;
        const char* mode; // where the file is chosen
        int row;
    };
    for (const Case& c :
         {Case{"another output file", "optEncrypt", 1}, Case{"a ciphertext to decrypt", "optDecrypt", 0}}) {
        SCOPED_TRACE(c.name);
        chooseMode("optEncrypt");
        button("cmdViewCiphertext")->setEnabled(true); // as after an encryption
        chooseMode(c.mode);
        dialogs.queuePath(QStringLiteral("/home/ann/another.zip"));
        window->cmdSpecifyFile_Click(c.row);
        ASSERT_EQ(field(c.row == 0 ? "txbFile0" : "txbFile1")->text(), QStringLiteral("/home/ann/another.zip"));
        chooseMode("optEncrypt");
        EXPECT_FALSE(button("cmdViewCiphertext")->isEnabled());
    }
}

TEST_F(MainWindowTest, ChoosingAnotherLanguageRewritesEveryCaptionAndStoresIt)
{
    QTest::keyClick(control<QComboBox>("cboLanguage"), Qt::Key_Down);

    EXPECT_EQ(window->ShownLanguage(), Language::German);
    const struct {
        const char* name;
        int number;
    } buttons[] = {{"optEncrypt", MainWindowTexts::EncryptOption},
                   {"optDecrypt", MainWindowTexts::DecryptOption},
                   {"cmdClearTextbox", MainWindowTexts::Clear},
                   {"cmdLoadSaveTextbox0", MainWindowTexts::LoadFromFile},
                   {"cmdEnlargeTextbox", MainWindowTexts::Enlarge},
                   {"cmdSpecifyFile0", MainWindowTexts::FileToAppend},
                   {"cmdQuickKey", MainWindowTexts::KeyCommand},
                   {"cmdEncryptMessage", MainWindowTexts::EncryptCommand},
                   {"cmdQuit", MainWindowTexts::Quit}};
    for (const auto& expected : buttons)
        EXPECT_EQ(text(expected.name), Text(expected.number, Language::German)) << expected.name;
    EXPECT_EQ(Mnemonics::Plain(label("lblLanguage")->text()), Text(MainWindowTexts::LanguageLabel, Language::German));
    EXPECT_EQ(label("lblClipboard")->text(), Text(MainWindowTexts::ClipboardEmpty, Language::German));
    EXPECT_EQ(Language::ChooseLanguage(), Language::German);

    QTest::keyClick(control<QComboBox>("cboLanguage"), Qt::Key_Up);
    EXPECT_EQ(text("cmdQuit"), Text(MainWindowTexts::Quit, Language::English));
    EXPECT_EQ(Language::ChooseLanguage(), Language::English);
}

TEST_F(MainWindowTest, ChoosingTheLanguageInForceChangesNothing)
{
    const auto before = captions();
    // Stored behind the window's back: a choice that changes nothing must not be stored again.
    Language::StoreLanguage(Language::German);
    auto* list = control<QComboBox>("cboLanguage");
    emit list->activated(list->currentIndex());

    EXPECT_EQ(captions(), before);
    EXPECT_EQ(window->ShownLanguage(), Language::English);
    EXPECT_EQ(Language::ChooseLanguage(), Language::German);
}

// The counts are written as the window's language writes numbers, not as the system's locale does:
// a German window on an English (or "C") system groups with ".", an English one on a German system
// with ",".
TEST_F(MainWindowTest, SizeLabelsCountAsTheWindowsLanguageWritesNumbers)
{
    const struct {
        QLocale system;
        int language;
        int length;
        QString count; // "" when text 11 (one character) is expected
    } cases[] = {{QLocale(QLocale::English, QLocale::UnitedStates), Language::English, 1234, QStringLiteral("1,234")},
                 {QLocale(QLocale::English, QLocale::UnitedStates), Language::German, 1234, QStringLiteral("1.234")},
                 {QLocale::c(), Language::German, 2051, QStringLiteral("2.051")},
                 {QLocale(QLocale::German, QLocale::Germany), Language::English, 1234, QStringLiteral("1,234")},
                 {QLocale(QLocale::English, QLocale::UnitedStates), Language::English, 0, QStringLiteral("0")},
                 {QLocale(QLocale::English, QLocale::UnitedStates), Language::English, 1, QString()}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.system.name().toStdString() + " system, language " + std::to_string(c.language));
        QLocale::setDefault(c.system);
        control<QComboBox>("cboLanguage")->setCurrentIndex(c.language);
        window->cboLanguage_Click();
        control<QPlainTextEdit>("txbText")->setPlainText(QString(c.length, QLatin1Char('x')));
        QGuiApplication::clipboard()->setText(QString(c.length, QLatin1Char('y')));
        // The size lines are the clock's to refresh: its next tick, as the user waits for it.
        QSignalSpy tick(control<QTimer>(QStringLiteral("Clock")), &QTimer::timeout);
        ASSERT_TRUE(tick.wait(3000)) << "the clock does not tick";

        if (c.count.isEmpty()) {
            EXPECT_EQ(label("lblTextbox")->text(), Text(MainWindowTexts::TextboxHoldsOne, c.language));
            EXPECT_EQ(label("lblClipboard")->text(), Text(MainWindowTexts::ClipboardHoldsOne, c.language));
        } else {
            QString textbox = Text(MainWindowTexts::TextboxHoldsCount, c.language);
            EXPECT_EQ(label("lblTextbox")->text(), textbox.replace(QLatin1Char('2'), c.count)) << c.length;
            if (c.length > 0) {
                QString clipboard = Text(MainWindowTexts::ClipboardHoldsCount, c.language);
                EXPECT_EQ(label("lblClipboard")->text(), clipboard.replace(QLatin1Char('2'), c.count)) << c.length;
            }
        }
    }
    EXPECT_EQ(label("lblClipboard")->alignment() & Qt::AlignRight, Qt::AlignRight);
}

TEST_F(MainWindowTest, TextToolsAreOfferedOnlyForText)
{
    const char* tools[] = {"cmdClearTextbox", "cmdLoadSaveTextbox1", "cmdEnlargeTextbox"};
    for (const char* name : tools)
        EXPECT_FALSE(button(name)->isEnabled()) << name;

    QTest::keyClicks(control<QPlainTextEdit>("txbText"), QStringLiteral("Meet me at noon."));
    for (const char* name : tools)
        EXPECT_TRUE(button(name)->isEnabled()) << name;
    EXPECT_TRUE(button("cmdLoadSaveTextbox0")->isEnabled());

    control<QPlainTextEdit>("txbText")->clear();
    for (const char* name : tools)
        EXPECT_FALSE(button(name)->isEnabled()) << name;
}

TEST_F(MainWindowTest, ClearButtonsShowOnlyForFilledFileFields)
{
    field("txbFile1")->setText(QStringLiteral("/home/ann/for-bob.zip"));
    EXPECT_FALSE(button("cmdClearFile0")->isVisible());
    EXPECT_TRUE(button("cmdClearFile1")->isVisible());
    EXPECT_FALSE(field("txbFile0")->toolTip().isEmpty());
    EXPECT_TRUE(field("txbFile1")->toolTip().isEmpty());
}

TEST_F(MainWindowTest, CommandTooltipsCarryTheKeyChecksum)
{
    EXPECT_TRUE(button("cmdEncryptMessage")->toolTip().isEmpty());

    EnterKey(QStringLiteral("correct horse battery staple"));
    const QString checksum = QString::number(Keys::KeyChecksum(QStringLiteral("correct horse battery staple")));
    EXPECT_TRUE(button("cmdEncryptMessage")->toolTip().endsWith(QLatin1Char(' ') + checksum));
    EXPECT_EQ(button("cmdDecryptMessage")->toolTip(), button("cmdEncryptMessage")->toolTip());
}

TEST(StartUpTest, MissingProgramTextsEndTheProgramWithTheFilesPath)
{
    QTemporaryDir emptyFolder;
    ScriptedDialogs dialogs;

    EXPECT_FALSE(LoadProgramTextsOrReport(dialogs, emptyFolder.path()));

    ASSERT_EQ(dialogs.records().size(), 1u);
    const MessageRequest& box = dialogs.records().front().message;
    EXPECT_EQ(box.icon, DialogIcon::Critical);
    EXPECT_TRUE(box.text.contains(emptyFolder.filePath(QStringLiteral("zeb.dat")))) << box.text.toStdString();
}

} // namespace
