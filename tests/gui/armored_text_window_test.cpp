// The text form in the window: Copy as text after encrypting, and a pasted text block decrypted in
// decrypt mode as if it were the file.
#include "format/ArmoredText.h"
#include "gui/WindowFixture.h"
#include "gui/frmMain.h"
#include "pipeline/DecryptPipeline.h"
#include "support/ProgramTexts.h"
#include "support/TestFiles.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

class ArmoredTextWindowTest : public KeyedWindowFixture<ScriptedDialogs> {
  protected:
    // Encrypts a short message (no file) into letter.zip through the window.
    void EncryptInTheWindow(const QString& message)
    {
        txbText()->setPlainText(message);
        txbFile(1)->setText(Path("letter.zip"));
        dialogs.queueAnswer(DialogAnswer::No); // no file to attach
        QTest::mouseClick(button("cmdEncryptMessage"), Qt::LeftButton);
        dialogs.clear();
    }
};

TEST_F(ArmoredTextWindowTest, CopyAsTextPutsTheFileJustWrittenOnTheClipboard)
{
    EXPECT_FALSE(button("cmdCopyAsText")->isEnabled()) << "nothing encrypted yet";
    EXPECT_EQ(Mnemonics::Plain(button("cmdCopyAsText")->text()), Text(MainWindowTexts::CopyAsText));

    EncryptInTheWindow("Meet me at noon.");
    ASSERT_TRUE(button("cmdCopyAsText")->isEnabled()) << "a short message without a file can be copied too";
    QTest::mouseClick(button("cmdCopyAsText"), Qt::LeftButton);

    const QByteArray clipboard = QGuiApplication::clipboard()->text().toLatin1();
    EXPECT_TRUE(clipboard.startsWith("-----BEGIN QUILLET MESSAGE-----\n"));
    const Armor::Decoded decoded = Armor::Decode(clipboard);
    ASSERT_EQ(decoded.found, Armor::Found::Ok);
    EXPECT_EQ(decoded.ciphertextFile, test_files::read_file(Path("letter.zip")));
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(MainWindowTexts::CopiedAsText));

    // Another message in the text box: the ciphertext no longer belongs to it.
    txbText()->setPlainText("Meet me at one.");
    EXPECT_FALSE(button("cmdCopyAsText")->isEnabled());
}

TEST_F(ArmoredTextWindowTest, CopyAsTextIsNotOfferedInDecryptMode)
{
    EncryptInTheWindow("Meet me at noon.");
    ASSERT_TRUE(button("cmdCopyAsText")->isEnabled());
    option("optDecrypt")->click();
    EXPECT_FALSE(button("cmdCopyAsText")->isEnabled());
    QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton); // enables the commands at its end
    EXPECT_FALSE(button("cmdCopyAsText")->isEnabled());
}

TEST_F(ArmoredTextWindowTest, PastedBlockIsDecryptedInDecryptMode)
{
    const QString other = Path("other.zip");
    ASSERT_TRUE(QFile::rename(MakeCiphertext("Not this one."), other));
    EncryptInTheWindow("Meet me at noon.");
    QTest::mouseClick(button("cmdCopyAsText"), Qt::LeftButton);
    // As the receiver gets it: quoted in a reply.
    const QString block = QGuiApplication::clipboard()->text();
    QGuiApplication::clipboard()->setText("On Monday, Ben wrote:\n> " + QString(block).replace("\n", "\n> "));
    option("optDecrypt")->click();
    // A file named earlier gives way to the block the user pastes now.
    txbFile(0)->setText(other);
    dialogs.clear();

    txbText()->setFocus();
    QTest::keySequence(txbText(), QKeySequence::Paste);

    EXPECT_EQ(txbText()->toPlainText(), "Meet me at noon.");
    EXPECT_TRUE(txbFile(0)->text().isEmpty());
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_TRUE(dialogs.messages().back().text.startsWith(Text(DecryptTexts::Decrypted) + CrLf +
                                                          Text(DecryptTexts::ReadFrom) + ' ' +
                                                          Text(DecryptTexts::TextBlockInTextBox)));
}

// A named ciphertext file is what Decrypt reads, whatever the text box holds: a message that quotes a
// block (here put there by the decryption before), or one that merely contains the block's first line.
TEST_F(ArmoredTextWindowTest, DecryptReadsTheNamedFileWhateverTheTextBoxHolds)
{
    const QByteArray quotedBlock = Armor::Encode(test_files::read_file(MakeCiphertext("Not this one.")));
    ASSERT_TRUE(QFile::remove(Path("letter.zip")));
    const QString quoting = Path("quoting.zip");
    ASSERT_TRUE(QFile::rename(MakeCiphertext("Ben wrote:\n\n" + QString::fromLatin1(quotedBlock)), quoting));
    const QString letter = MakeCiphertext("Meet me at noon.");
    option("optDecrypt")->click();

    struct Case {
        const char* name;
        std::function<void()> fillTextBox;
    };
    const Case cases[] = {
        {"the previous message quotes a block",
         [&] {
             txbFile(0)->setText(quoting);
             QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);
             ASSERT_TRUE(txbText()->toPlainText().contains(Armor::BeginLine));
         }},
        {"the text box holds only the begin line",
         [&] { txbText()->setPlainText(QStringLiteral("It starts with\n") + Armor::BeginLine + "\nand no more."); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.fillTextBox();
        txbFile(0)->setText(letter);
        dialogs.clear();

        QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);

        EXPECT_EQ(txbText()->toPlainText(), "Meet me at noon.");
        ASSERT_EQ(dialogs.messages().size(), 1u);
        EXPECT_TRUE(dialogs.messages()[0].text.startsWith(Text(DecryptTexts::Decrypted) + CrLf +
                                                          Text(DecryptTexts::ReadFrom) + " letter.zip" + CrLf))
            << dialogs.messages()[0].text.toStdString();
    }
}

// With no file named, the block in the text box is read, and the closing box says so.
TEST_F(ArmoredTextWindowTest, BlockInTheTextBoxIsReadWhenNoFileIsNamed)
{
    const QByteArray block = Armor::Encode(test_files::read_file(MakeCiphertext("Meet me at noon.")));
    option("optDecrypt")->click();
    txbFile(0)->clear();
    txbText()->setPlainText("Ben wrote:\n> " + QString::fromLatin1(block).replace("\n", "\n> "));

    QTest::mouseClick(button("cmdDecryptMessage"), Qt::LeftButton);

    EXPECT_EQ(txbText()->toPlainText(), "Meet me at noon.");
    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith(Text(DecryptTexts::Decrypted) + CrLf +
                                                      Text(DecryptTexts::ReadFrom) + ' ' +
                                                      Text(DecryptTexts::TextBlockInTextBox) + CrLf))
        << dialogs.messages()[0].text.toStdString();
}

TEST_F(ArmoredTextWindowTest, PastingOrdinaryTextInDecryptModeChangesNothing)
{
    option("optDecrypt")->click();
    txbText()->setPlainText("earlier message");
    QGuiApplication::clipboard()->setText("just some text");
    txbText()->setFocus();
    QTest::keySequence(txbText(), QKeySequence::Paste);
    EXPECT_EQ(txbText()->toPlainText(), "earlier message");
    EXPECT_TRUE(dialogs.messages().empty());
}

} // namespace
