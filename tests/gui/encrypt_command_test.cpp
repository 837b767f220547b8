// The encrypt command in the real main window: the busy line the user sees while it works, what the
// window shows afterwards, and the randomness report it opens.
#include "gui/WindowFixture.h"
#include "gui/frmMain.h"
#include "gui/frmRandomnessGraphic.h"
#include "pipeline/EncryptPipeline.h"
#include "pipeline/NoKeyMessage.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// How the key field looked each time it was painted.
struct KeyFieldPaint {
    QString text;
    QColor colour;
    bool bold;
    Qt::Alignment alignment;
    bool workStarted; // the run's working folder existed already
};

class PaintRecorder : public QObject {
  public:
    PaintRecorder(QLineEdit* field, QString workingBase) : field_(field), workingBase_(std::move(workingBase))
    {
        field->installEventFilter(this);
    }
    std::vector<KeyFieldPaint> paints;

  protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            paints.push_back({field_->text(), field_->palette().color(QPalette::Text), field_->font().bold(),
                              field_->alignment(), !QDir(workingBase_).isEmpty()});
        return false;
    }

  private:
    QLineEdit* field_;
    QString workingBase_;
};

class EncryptCommandTest : public KeyedWindowFixture<ScriptedDialogs> {
  protected:
};

TEST_F(EncryptCommandTest, WindowShowsBusyWhileWorkingAndTheOutcomeAfterwards)
{
    QByteArray report;
    for (int i = 0; i < 20000; ++i)
        report += QByteArray::number(i % 97) + ',';
    ASSERT_TRUE(test_files::write_file(Path("report.csv"), report));
    ASSERT_TRUE(test_files::write_file(Path("regular"), "a file, not a folder"));
    struct Case {
        const char* name;
        QString message;
        QString file;
        QString output;
        bool written;
        bool viewEnabled;
    };
    const Case cases[] = {
        {"text with a file", "  Figures attached.  ", Path("report.csv"), Path("with-file.zip"), true, true},
        {"short text without a file", "  Hi  ", "", Path("short.zip"), true, false},
        {"output cannot be written", "  Hi  ", "", Path("regular/out.zip"), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        txbText()->setPlainText(c.message);
        txbFile(0)->setText(c.file);
        txbFile(1)->setText(c.output);
        PaintRecorder recorder(txbQuickKey(), workFolder.path());

        QTest::mouseClick(button("cmdEncryptMessage"), Qt::LeftButton);

        EXPECT_EQ(QFile::exists(c.output), c.written);
        EXPECT_EQ(txbText()->toPlainText(), c.message.trimmed());
        EXPECT_EQ(button("cmdViewCiphertext")->isEnabled(), c.viewEnabled);
        EXPECT_EQ(window->RandomnessMeasure(0) > 0 && window->RandomnessMeasure(1) > 0, c.viewEnabled);
        const auto busy = std::find_if(recorder.paints.begin(), recorder.paints.end(), [](const KeyFieldPaint& p) {
            return p.text.contains(Text(EncryptTexts::Busy));
        });
        ASSERT_NE(busy, recorder.paints.end()) << "the busy line was never painted";
        EXPECT_FALSE(busy->workStarted) << "the busy line must be seen before the work starts";
        EXPECT_EQ(busy->text, "     " + Text(EncryptTexts::Busy) + " ...     ");
        // Red, darkened where the palette's ground needs it to stay readable.
        EXPECT_EQ(busy->colour.hue(), 0);
        EXPECT_EQ(busy->colour.saturation(), 255);
        EXPECT_TRUE(busy->bold);
        EXPECT_EQ(busy->alignment & Qt::AlignHCenter, Qt::AlignHCenter);
        // The key field is given back as it was; the window is usable again.
        EXPECT_EQ(txbQuickKey()->text(), Key);
        EXPECT_EQ(txbQuickKey()->palette().color(QPalette::Text), QColor(Qt::black));
        EXPECT_FALSE(txbQuickKey()->font().bold());
        EXPECT_EQ(txbQuickKey()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        EXPECT_TRUE(button("cmdEncryptMessage")->isEnabled());
        EXPECT_TRUE(button("cmdQuickKey")->isEnabled());
        EXPECT_FALSE(button("cmdDecryptMessage")->isEnabled());
        EXPECT_FALSE(window->BusyLineShown());
    }
}

// The view and Copy as text belong to encrypt mode: gone in decrypt mode, back in encrypt mode.
TEST_F(EncryptCommandTest, TheLatestCiphertextIsOfferedAgainBackInEncryptMode)
{
    QByteArray report;
    for (int i = 0; i < 20000; ++i)
        report += QByteArray::number(i % 97) + ',';
    ASSERT_TRUE(test_files::write_file(Path("report.csv"), report));
    txbText()->setPlainText("Figures attached.");
    txbFile(0)->setText(Path("report.csv"));
    txbFile(1)->setText(Path("with-file.zip"));
    QTest::mouseClick(button("cmdEncryptMessage"), Qt::LeftButton);
    ASSERT_TRUE(button("cmdViewCiphertext")->isEnabled());
    ASSERT_TRUE(button("cmdCopyAsText")->isEnabled());

    QTest::mouseClick(option("optDecrypt"), Qt::LeftButton);
    EXPECT_FALSE(button("cmdViewCiphertext")->isEnabled());
    EXPECT_FALSE(button("cmdCopyAsText")->isEnabled());

    QTest::mouseClick(option("optEncrypt"), Qt::LeftButton);
    EXPECT_TRUE(button("cmdViewCiphertext")->isEnabled());
    EXPECT_TRUE(button("cmdCopyAsText")->isEnabled());
}

TEST_F(EncryptCommandTest, NoToReplacingAnExistingFileChangesNothing)
{
    ASSERT_TRUE(test_files::write_file(Path("out.zip"), "the previous ciphertext"));
    txbText()->setPlainText("  a message  ");
    txbFile(1)->setText(Path("out.zip"));
    dialogs.queueAnswer(DialogAnswer::No);

    QTest::mouseClick(button("cmdEncryptMessage"), Qt::LeftButton);

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(EncryptTexts::ReplaceQuestion) + "\r\n" + Path("out.zip"));
    QFile file(Path("out.zip"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "the previous ciphertext");
    EXPECT_EQ(txbText()->toPlainText(), "  a message  ") << "nothing ran, nothing was trimmed";
}

// Each refusal leaves the focus on the control that mends it, so the next key press is the fix.
TEST_F(EncryptCommandTest, EachRefusalPutsTheFocusOnTheControlThatMendsIt)
{
    ASSERT_TRUE(test_files::write_file(Path("taken.zip"), "the user's earlier ciphertext"));
    struct Case {
        const char* name;
        QString message;
        QString file;
        QString output;
        QString boxStart;    // "" for the replace question, which is answered No
        QString focusedName; // the control with the focus afterwards
    };
    const Case cases[] = {
        {"no message", "", "", Path("out.zip"), Text(EncryptTexts::MessageEmpty), "txbText"},
        {"no output file", "Hello", "", "", Text(EncryptTexts::NoOutputPath), "cmdSpecifyFile1"},
        {"file to append gone", "Hello", Path("gone.txt"), Path("out.zip"), Text(EncryptTexts::FileUnreadable),
         "cmdSpecifyFile0"},
        {"output kept, not replaced", "Hello", "", Path("taken.zip"), "", "cmdSpecifyFile1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        txbText()->setPlainText(c.message);
        txbFile(0)->setText(c.file);
        txbFile(1)->setText(c.output);
        dialogs.clear();
        dialogs.queueAnswer(DialogAnswer::No); // no file to append, or do not replace
        button("cmdEncryptMessage")->setFocus();

        QTest::mouseClick(button("cmdEncryptMessage"), Qt::LeftButton);

        ASSERT_FALSE(dialogs.messages().empty());
        if (!c.boxStart.isEmpty()) {
            EXPECT_TRUE(dialogs.messages().back().text.startsWith(c.boxStart))
                << dialogs.messages().back().text.toStdString();
        }
        ASSERT_NE(window->focusWidget(), nullptr);
        EXPECT_EQ(window->focusWidget()->objectName(), c.focusedName);
    }
    EXPECT_FALSE(QFile::exists(Path("out.zip")));
}

TEST_F(EncryptCommandTest, NoKeyPutsTheFocusOnTheKeyCommand)
{
    dialogs.queueAnswer(DialogAnswer::Yes);
    QTest::mouseClick(button("cmdClearQuickKey"), Qt::LeftButton);
    txbText()->setPlainText("Hello");
    txbFile(1)->setText(Path("out.zip"));
    dialogs.clear();
    button("cmdEncryptMessage")->setFocus();

    window->cmdEncryptMessage_Click();

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, Text(NoKeyTexts::AskForNewKey));
    EXPECT_EQ(window->focusWidget(), button("cmdQuickKey"));
}

TEST_F(EncryptCommandTest, ViewButtonOpensTheReportWithBothPlotsModally)
{
    // Letters and spaces in no order: few byte pairs in the plain text, too little pattern to compress well.
    QByteArray text;
    quint32 state = 12345;
    for (int i = 0; i < 300000; ++i) {
        state = state * 1664525u + 1013904223u;
        text += "abcdefghijklmnopqrstuvwxyz "[(state >> 16) % 27];
    }
    ASSERT_TRUE(test_files::write_file(Path("fox.txt"), text));
    txbText()->setPlainText("A message long enough to say something about its letters and spaces.");
    txbFile(0)->setText(Path("fox.txt"));
    txbFile(1)->setText(Path("fox.zip"));
    QTest::mouseClick(button("cmdEncryptMessage"), Qt::LeftButton);
    ASSERT_TRUE(button("cmdViewCiphertext")->isEnabled());

    bool shownModally = false;
    QString closeCaption, title;
    QTimer::singleShot(0, [&] {
        QWidget* report = QApplication::activeModalWidget();
        shownModally = report && report == window->findChild<frmRandomnessGraphic*>();
        if (!report)
            return;
        closeCaption = report->findChild<QPushButton*>("cmdClose")->text();
        title = report->windowTitle();
        report->close();
    });
    QTest::mouseClick(button("cmdViewCiphertext"), Qt::LeftButton);

    EXPECT_TRUE(shownModally);
    EXPECT_EQ(Mnemonics::Plain(closeCaption), Text(ViewerTexts::Close));
    EXPECT_EQ(title, Text(RandomnessTexts::Ciphertext) + " : " + Path("fox.zip"));
    // Plain text lights few points; ciphertext spreads over most of the square.
    auto litPoints = [&](int plot) {
        const QImage& image = window->findChild<frmRandomnessGraphic*>()->plot(plot);
        int lit = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                lit += QColor(image.pixel(x, y)) == Qt::white;
        return lit;
    };
    EXPECT_GT(litPoints(0), 0);
    EXPECT_GT(litPoints(1), 256 * 256 / 2);
    EXPECT_LT(litPoints(0), 256 * 256 / 20) << "plain text is a small, structured cloud";
}

} // namespace
