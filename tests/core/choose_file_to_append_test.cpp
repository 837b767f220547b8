// The chooser of the file to append: what is taken, and the box that explains a refusal.
#include "files/FileLimits.h"
#include "pipeline/ChooseFileToAppend.h"
#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "texts/Language.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ChooseFileToAppendTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QUILLET_DATA_DIR), 0); }

    QString FileOfSize(const QString& name, qint64 size)
    {
        const QString path = dir.path() + '/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(file.resize(size));
        return path;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
};

TEST_F(ChooseFileToAppendTest, TakesAFileUpToTheLimitAndExplainsEachRefusal)
{
    struct Case {
        const char* name;
        qint64 size; // -1: no such file
        bool taken;
        QString text; // start of the refusal
        QString title;
    };
    const Case cases[] = {
        {"largest.bin", FileLimits::MaxAppendedFileSize, true, {}, {}},
        {"one-byte-more.bin", FileLimits::MaxAppendedFileSize + 1, false, Text(AppendTexts::TooLargeToAttach),
         Text(AppendTexts::TooLargeTitle)},
        {"empty.bin", 0, false, Text(AppendTexts::Empty) + "\r\n" + Text(AppendTexts::NothingTaken),
         Text(AppendTexts::ChooserTitle)},
        {"missing.bin", -1, false, Text(AppendTexts::Unreadable), Text(AppendTexts::ChooserTitle)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        const QString path = c.size < 0 ? dir.path() + '/' + c.name : FileOfSize(c.name, c.size);
        dialogs.queuePath(path);

        const QString chosen = ChooseFileToAppend(dialogs, Language::English);

        EXPECT_EQ(chosen, c.taken ? path : QString());
        const std::vector<MessageRequest> boxes = dialogs.messages();
        ASSERT_EQ(boxes.size(), c.taken ? 0u : 1u);
        if (c.taken)
            continue;
        EXPECT_TRUE(boxes[0].text.startsWith(c.text)) << boxes[0].text.toStdString();
        EXPECT_EQ(boxes[0].title, c.title);
        EXPECT_EQ(boxes[0].icon, DialogIcon::Exclamation);
    }
}

TEST_F(ChooseFileToAppendTest, TooLargeBoxNamesTheFileItsSizeAndTheLimitInTheUsersLanguage)
{
    const QString big = FileOfSize("big.bin", FileLimits::MaxAppendedFileSize + 1);
    dialogs.queuePath(big);
    ChooseFileToAppend(dialogs, Language::German);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const QString text = dialogs.messages()[0].text;
    EXPECT_TRUE(text.startsWith(Text(AppendTexts::TooLargeToAttach, Language::German) + "\r\n" + big + "\r\n" +
                                Text(AppendTexts::ItsSize, Language::German) + ' ' +
                                FileLimits::FormatSizeLimit(FileLimits::MaxAppendedFileSize + 1, true) + "\r\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains(Text(AppendTexts::LargestAllowed, Language::German) + "\r\n" +
                              Text(AppendTexts::LargestAllowedIs, Language::German) + ' ' +
                              FileLimits::FormatSizeLimit(FileLimits::MaxAppendedFileSize, true) + '.'))
        << text.toStdString();
    EXPECT_FALSE(Text(AppendTexts::LargestAllowed, Language::German).isEmpty());
}

TEST_F(ChooseFileToAppendTest, TooLargeBoxNamesTheLimitOfTheTextBoxOrOfTheFileToAppend)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString CrLf = QStringLiteral("\r\n");
    struct Case {
        int intI;
        QString text; // "" when no box is shown
        QString title;
    };
    const Case cases[] = {
        {TooLargeLimit::Textbox,
         "x.txt is too large." + CrLf + CrLf + Text(AppendTexts::TextboxLargestAllowed) + " 61,440 bytes (60 KB)",
         Text(AppendTexts::TextboxTooLargeTitle)},
        {TooLargeLimit::FileToAppend,
         "x.txt is too large." + CrLf + CrLf + Text(AppendTexts::LargestAllowed) + CrLf +
             Text(AppendTexts::LargestAllowedIs) + " 2,027,520 bytes (1,980 KB).",
         Text(AppendTexts::TooLargeTitle)},
        {2, {}, {}},
        {-1, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.intI);
        dialogs.clear();
        TooLargeErrMsg(dialogs, "x.txt is too large.", c.intI, Language::English);
        const std::vector<MessageRequest> boxes = dialogs.messages();
        ASSERT_EQ(boxes.size(), c.text.isEmpty() ? 0u : 1u);
        if (c.text.isEmpty())
            continue;
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].title, c.title);
        EXPECT_EQ(boxes[0].icon, DialogIcon::Exclamation);
        EXPECT_EQ(boxes[0].buttons, DialogButtons::Ok);
    }
    QLocale::setDefault(QLocale::system());
}

TEST_F(ChooseFileToAppendTest, CancelledDialogChoosesNothingAndOffersAllFiles)
{
    EXPECT_TRUE(ChooseFileToAppend(dialogs, Language::English).isEmpty());
    ASSERT_EQ(dialogs.records().size(), 1u);
    const FileDialogRequest& chooser = dialogs.records()[0].chooser;
    EXPECT_EQ(chooser.kind, FileDialogRequest::Kind::Open);
    EXPECT_EQ(chooser.nameFilters, QStringList{Text(AppendTexts::FileFilter) + " (*)"});
}

} // namespace
