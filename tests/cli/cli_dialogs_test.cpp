// The command line's Dialogs: a question is answered by its identity, never by its wording, and a
// question nobody prepared an answer for gets the cautious one, whatever its default button.
#include "cli/CliDialogs.h"
#include "pipeline/EncryptPipeline.h"
#include "support/ProgramTexts.h"
#include "texts/Language.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

const QuestionId EveryQuestion[] = {
    QuestionId::None,
    QuestionId::ReplaceOutputFile,
    QuestionId::OfferToAppendFile,
    QuestionId::AcceptUnverified,
    QuestionId::GoOnWithoutFolder,
    QuestionId::ClearKey,
    QuestionId::ShowHiddenKey,
    QuestionId::ClearClipboardOnQuit,
    QuestionId::OpenHelpPage,
};

class CliDialogsTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0); }

    void SetUp() override { out_ = open_memstream(&buffer_, &size_); }
    void TearDown() override
    {
        std::fclose(out_);
        std::free(buffer_);
    }

    // What the dialogs printed so far.
    QString Printed()
    {
        std::fflush(out_);
        return QString::fromUtf8(buffer_, static_cast<qsizetype>(size_));
    }

    static DialogAnswer Ask(CliDialogs& dialogs, QuestionId question, DialogButtons buttons, int defaultButton = 0,
                            const QString& text = QStringLiteral("Go on?"))
    {
        return dialogs.ask(question, text, QStringLiteral("Quillet"), buttons, DialogIcon::Question, defaultButton);
    }

    std::FILE* out_ = nullptr;
    char* buffer_ = nullptr;
    size_t size_ = 0;
};

TEST_F(CliDialogsTest, UnpreparedQuestionGetsNoOrCancelEvenWhenYesIsTheDefault)
{
    struct Case {
        DialogButtons buttons;
        int defaultButton;
        DialogAnswer expected;
    };
    const Case cases[] = {
        {DialogButtons::YesNo, 0, DialogAnswer::No},
        {DialogButtons::YesNo, 1, DialogAnswer::No},
        {DialogButtons::YesNoCancel, 0, DialogAnswer::No},
        {DialogButtons::OkCancel, 0, DialogAnswer::Cancel},
    };
    CliDialogs dialogs(Language::English, out_);
    // Answers prepared for nothing else must not leak into the others.
    dialogs.answerQuestion(QuestionId::None, DialogAnswer::Yes);
    for (const QuestionId question : EveryQuestion)
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "question " << static_cast<int>(question) << ", buttons "
                                            << static_cast<int>(c.buttons) << ", default " << c.defaultButton);
            EXPECT_EQ(Ask(dialogs, question, c.buttons, c.defaultButton), c.expected);
        }
}

TEST_F(CliDialogsTest, PreparedAnswerGoesToItsQuestionOnlyWhateverTheWording)
{
    CliDialogs dialogs(Language::English, out_);
    dialogs.answerQuestion(QuestionId::ReplaceOutputFile, DialogAnswer::Yes);
    const QString replaceText = Text(EncryptTexts::ReplaceQuestion, Language::English);

    // Another question worded like the prepared one: still unprepared.
    EXPECT_EQ(Ask(dialogs, QuestionId::OfferToAppendFile, DialogButtons::YesNo, 0, replaceText), DialogAnswer::No);
    // The prepared question in other words (another language, a changed program text): answered.
    EXPECT_EQ(Ask(dialogs, QuestionId::ReplaceOutputFile, DialogButtons::YesNo, 1, QStringLiteral("Ersetzen?")),
              DialogAnswer::Yes);
}

TEST_F(CliDialogsTest, LaterAnswerToTheSameQuestionReplacesTheEarlierOne)
{
    CliDialogs dialogs(Language::English, out_);
    dialogs.answerQuestion(QuestionId::AcceptUnverified, DialogAnswer::Yes);
    dialogs.answerQuestion(QuestionId::AcceptUnverified, DialogAnswer::No);
    EXPECT_EQ(Ask(dialogs, QuestionId::AcceptUnverified, DialogButtons::YesNo), DialogAnswer::No);
}

// Nobody reads a question on the command line: only what the prepared answer says is printed.
TEST_F(CliDialogsTest, OnlyWhatThePreparedAnswerSaysIsPrinted)
{
    CliDialogs dialogs(Language::English, out_);
    dialogs.answerQuestion(QuestionId::AcceptUnverified, DialogAnswer::Yes, QStringLiteral("Going on unverified."));
    Ask(dialogs, QuestionId::AcceptUnverified, DialogButtons::YesNo, 1, QStringLiteral("Take it anyway?"));
    Ask(dialogs, QuestionId::ClearKey, DialogButtons::YesNo, 0, QStringLiteral("Forget the key?"));
    const QString printed = Printed();
    EXPECT_TRUE(printed.contains("Going on unverified.\n")) << printed.toStdString();
    EXPECT_FALSE(printed.contains("Take it anyway?")) << printed.toStdString();
    EXPECT_FALSE(printed.contains("Forget the key?")) << printed.toStdString();
}

} // namespace
