// The main window's text-box tools, help, web links and quitting, as the user meets them: what the
// text box shows, what is on disk, which box said what, whether the window is still there.
#include "gui/WindowFixture.h"
#include "gui/frmLargeTextbox.h"
#include "gui/frmMain.h"
#include "gui/frmView.h"
#include "pipeline/Dialogs.h"
#include "support/FullFileSystem.h"
#include "support/ProgramTexts.h"
#include "support/TestFiles.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <ostream>

namespace {

class TextToolsTest : public WindowFixture<> {
  protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        dialogs.clear();
    }

    QString fixture(const QString& name, const QByteArray& bytes)
    {
        const QString path = files.filePath(name);
        EXPECT_TRUE(test_files::write_file(path, bytes)) << path.toStdString();
        return path;
    }

    // Chooses path in the open dialog of the load command.
    void load(const QString& path)
    {
        dialogs.queuePath(path);
        window->cmdLoadSaveTextbox_Click(0);
    }

    void save(const QString& path)
    {
        dialogs.queuePath(path);
        window->cmdLoadSaveTextbox_Click(1);
    }

    QTemporaryDir files;
};

// ---------------------------------------------------------------- loading

struct AcceptedFile {
    const char* name;
    QByteArray bytes;
    QString shown;
};

void PrintTo(const AcceptedFile& file, std::ostream* out)
{
    *out << file.name;
}

class LoadAccepts : public TextToolsTest, public ::testing::WithParamInterface<AcceptedFile> {};

TEST_P(LoadAccepts, ShowsTheFileAsText)
{
    button("cmdViewCiphertext")->setEnabled(true);
    load(fixture(QString::fromLatin1(GetParam().name), GetParam().bytes));

    EXPECT_TRUE(dialogs.messages().empty()) << dialogs.messages().front().text.toStdString();
    EXPECT_EQ(txbText()->toPlainText(), GetParam().shown);
    EXPECT_FALSE(button("cmdViewCiphertext")->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Files, LoadAccepts,
    ::testing::Values(AcceptedFile{"utf8.txt",
                                   QByteArray("Gr\xC3\xBC\xC3\x9F"
                                              "e aus K\xC3\xB6ln \xE2\x80\x94 caf\xC3\xA9"),
                                   QStringLiteral(u"Grüße aus Köln — café")},
                      AcceptedFile{"utf8-mark.txt", QByteArray("\xEF\xBB\xBFZ\xC3\xBCrich"), QStringLiteral(u"Zürich")},
                      AcceptedFile{"crlf.txt", "Dear Ann,\r\n\r\nsee you.\r\n",
                                   QStringLiteral("Dear Ann,\n\nsee you.\n")},
                      AcceptedFile{"lf.txt", "Dear Ann,\n\nsee you.", QStringLiteral("Dear Ann,\n\nsee you.")},
                      AcceptedFile{"limit.txt", QByteArray(61440, 'x'), QString(61440, u'x')}),
    [](const auto& info) {
        QString name = QString::fromLatin1(info.param.name);
        return name.replace(u'.', u'_').replace(u'-', u'_').toStdString();
    });

struct RefusedFile {
    const char* name;
    QByteArray bytes;
    int messageNumber;
};

void PrintTo(const RefusedFile& file, std::ostream* out)
{
    *out << file.name;
}

class LoadRefuses : public TextToolsTest, public ::testing::WithParamInterface<RefusedFile> {};

TEST_P(LoadRefuses, NamesTheReasonAndKeepsTheMessage)
{
    txbText()->setPlainText(QStringLiteral("typed before"));
    const QString path = fixture(QString::fromLatin1(GetParam().name), GetParam().bytes);
    load(path);

    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest box = dialogs.messages().front();
    EXPECT_EQ(box.text, QDir::toNativeSeparators(path) + CrLf + Text(GetParam().messageNumber));
    EXPECT_EQ(box.title, Mnemonics::Plain(button("cmdLoadSaveTextbox0")->text()));
    EXPECT_EQ(box.icon, DialogIcon::Exclamation);
    EXPECT_EQ(txbText()->toPlainText(), QStringLiteral("typed before"));
}

INSTANTIATE_TEST_SUITE_P(Files, LoadRefuses,
                         ::testing::Values(RefusedFile{"letter.txt", "{\\rtf1\\ansi Dear Ann}", 398},
                                           RefusedFile{"wide.txt",
                                                       QByteArray("\xFF\xFE"
                                                                  "D\0e\0a\0r\0",
                                                                  10),
                                                       392},
                                           RefusedFile{"one.txt", "a", 393}, RefusedFile{"four.txt", "abcd", 393},
                                           RefusedFile{"binary.txt", QByteArray(400, '\x01'), 395}),
                         [](const auto& info) {
                             const std::string name = info.param.name;
                             return name.substr(0, name.find('.'));
                         });

TEST_F(TextToolsTest, LoadRefusesAnEmptyFileAsUnusable)
{
    const QString path = fixture(QStringLiteral("empty.txt"), {});
    load(path);

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages().front().text,
              QDir::toNativeSeparators(path) + CrLf + Text(MainWindowTexts::FileEmpty));
    EXPECT_EQ(dialogs.messages().front().title, Text(MainWindowTexts::NothingTaken));
    EXPECT_TRUE(txbText()->toPlainText().isEmpty());
}

TEST_F(TextToolsTest, LoadRefusesAFileOneByteOverTheLimitWithItsSize)
{
    const QString path = fixture(QStringLiteral("big.txt"), QByteArray(61441, 'x'));
    load(path);

    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest box = dialogs.messages().front();
    EXPECT_TRUE(box.text.startsWith(QDir::toNativeSeparators(path) + u' ' + Text(MainWindowTexts::TooLarge) +
                                    QStringLiteral(": 61,441")))
        << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("61,440"))) << box.text.toStdString();
    EXPECT_TRUE(txbText()->toPlainText().isEmpty());
}

TEST_F(TextToolsTest, CancelledLoadChangesNothing)
{
    txbText()->setPlainText(QStringLiteral("kept"));
    window->cmdLoadSaveTextbox_Click(0);

    ASSERT_EQ(dialogs.records().size(), 1u);
    EXPECT_EQ(dialogs.records().front().chooser.title, Text(MainWindowTexts::LoadTitle));
    EXPECT_TRUE(dialogs.records().front().chooser.mustExist);
    EXPECT_EQ(txbText()->toPlainText(), QStringLiteral("kept"));
}

// ---------------------------------------------------------------- saving, clearing, enlarging

TEST_F(TextToolsTest, EmptyTextBoxIsNeitherSavedNorEnlarged)
{
    for (void (*command)(frmMain&) :
         {+[](frmMain& w) { w.cmdLoadSaveTextbox_Click(1); }, +[](frmMain& w) { w.cmdEnlargeTextbox_Click(); }}) {
        dialogs.clear();
        command(*window);
        ASSERT_EQ(dialogs.records().size(), 1u); // no file dialog, no window
        EXPECT_EQ(dialogs.records().front().message.text, Text(MainWindowTexts::TextboxEmpty));
        EXPECT_TRUE(dialogs.records().front().message.title.isEmpty());
    }
}

TEST_F(TextToolsTest, SavedFileLoadsBackAsTheSameText)
{
    const QString message = QStringLiteral(u"Grüße,\n\nthe key is the usual one.\n");
    txbText()->setPlainText(message);
    const QString path = files.filePath(QStringLiteral("saved.txt"));
    save(path);

    EXPECT_TRUE(dialogs.messages().empty());
    ASSERT_FALSE(dialogs.records().empty());
    EXPECT_EQ(dialogs.records().front().chooser.title, Text(MainWindowTexts::SaveTitle));
    EXPECT_TRUE(dialogs.records().front().chooser.confirmOverwrite);
    EXPECT_EQ(test_files::read_file(path), message.toUtf8());
    struct stat status {};
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u) << "the text box often holds a decrypted message";

    window->cmdClearTextbox_Click();
    EXPECT_TRUE(txbText()->toPlainText().isEmpty());
    load(path);
    EXPECT_EQ(txbText()->toPlainText(), message);
}

TEST_F(TextToolsTest, FailedSaveSaysSoAndLeavesTheFileInThePathWhole)
{
    const QString blocker = fixture(QStringLiteral("notes.txt"), "earlier notes");
    const QString path = blocker + QStringLiteral("/message.txt");
    txbText()->setPlainText(QStringLiteral("new text"));
    save(path);

    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest box = dialogs.messages().front();
    EXPECT_EQ(box.title, Text(MainWindowTexts::ReadWriteError));
    EXPECT_EQ(box.icon, DialogIcon::Exclamation);
    EXPECT_TRUE(box.text.startsWith(QDir::toNativeSeparators(path) + CrLf)) << box.text.toStdString();
    EXPECT_GT(box.text.size(), path.size() + 2); // the cause follows the path
    EXPECT_EQ(test_files::read_file(blocker), QByteArray("earlier notes"));
}

class TextToolsFullDiskTest : public TextToolsTest, public ::testing::WithParamInterface<qsizetype> {};

// The text box saved to a file system that runs full: the user is told, the earlier file is whole.
TEST_P(TextToolsFullDiskTest, ASaveThatDoesNotFitSaysSoAndKeepsTheEarlierFile)
{
    const qsizetype size = GetParam();
    FullFileSystem disk;
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    ASSERT_TRUE(disk.write(QStringLiteral("notes.txt"), "earlier notes"));
    ASSERT_TRUE(disk.fill(size / 2));
    txbText()->setPlainText(QString(size, QLatin1Char('t')));
    save(disk.filePath(QStringLiteral("notes.txt")));

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages().front().text, disk.filePath(QStringLiteral("notes.txt")) + CrLf + "Disk full.");
    EXPECT_EQ(dialogs.messages().front().icon, DialogIcon::Exclamation);
    EXPECT_EQ(test_files::read_file(disk.filePath(QStringLiteral("notes.txt"))), QByteArray("earlier notes"));
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{QStringLiteral("notes.txt"), QStringLiteral("zz-filler")}));
    EXPECT_EQ(txbText()->toPlainText().size(), size) << "the text stays in the box";
}

INSTANTIATE_TEST_SUITE_P(Sizes, TextToolsFullDiskTest, ::testing::Values(100, 16 * 1024, 2'000'000));

TEST_F(TextToolsTest, AnyChangeOfTheMessageWithdrawsTheRandomnessView)
{
    txbText()->setPlainText(QStringLiteral("encrypted"));
    button("cmdViewCiphertext")->setEnabled(true);
    QTest::keyClicks(txbText(), QStringLiteral("!"));
    EXPECT_FALSE(button("cmdViewCiphertext")->isEnabled());

    button("cmdViewCiphertext")->setEnabled(true);
    QTest::mouseClick(button("cmdClearTextbox"), Qt::LeftButton);
    EXPECT_FALSE(button("cmdViewCiphertext")->isEnabled());
    EXPECT_TRUE(txbText()->toPlainText().isEmpty());
}

TEST_F(TextToolsTest, EnlargedTextBoxSavesItsEditsBack)
{
    txbText()->setPlainText(QStringLiteral("short"));
    QTimer::singleShot(0, [] {
        auto* large = qobject_cast<frmLargeTextbox*>(QApplication::activeModalWidget());
        ASSERT_NE(large, nullptr);
        auto* box = large->findChild<QPlainTextEdit*>(QStringLiteral("txbText"));
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, QStringLiteral(" and longer"));
        QTest::mouseClick(large->findChild<QPushButton*>(QStringLiteral("cmdSave")), Qt::LeftButton);
    });
    window->cmdEnlargeTextbox_Click();
    EXPECT_EQ(txbText()->toPlainText(), QStringLiteral("short and longer"));
}

// ---------------------------------------------------------------- help and web links

TEST_F(TextToolsTest, F1OnTheHelpButtonOrTheWindowAsksAndOkOpensTheHelpPage)
{
    for (QWidget* target : {static_cast<QWidget*>(button("cmdHelp")), static_cast<QWidget*>(window.get())}) {
        dialogs.clear();
        dialogs.queueAnswer(DialogAnswer::Ok);
        QTest::keyRelease(target, Qt::Key_F1);

        ASSERT_EQ(dialogs.records().size(), 2u) << target->objectName().toStdString();
        const MessageRequest question = dialogs.records()[0].message;
        EXPECT_EQ(question.title, Text(MainWindowTexts::Help));
        EXPECT_EQ(question.buttons, DialogButtons::OkCancel);
        EXPECT_EQ(question.question, QuestionId::OpenHelpPage);
        EXPECT_TRUE(question.text.startsWith(Text(MainWindowTexts::HelpPageOpens) + CrLf +
                                             Text(MainWindowTexts::HelpPressOk) + CrLf));
        EXPECT_TRUE(question.text.endsWith(CrLf + Text(MainWindowTexts::HelpPressCancel)));

        const QString page = dialogs.records()[1].target;
        EXPECT_TRUE(dialogs.records()[1].isOpenTarget);
        EXPECT_TRUE(question.text.contains(page));
        const QUrl url(page);
        EXPECT_TRUE(url.isLocalFile()) << page.toStdString();
        EXPECT_TRUE(page.endsWith(QStringLiteral("/quillet_help.html")));
        EXPECT_TRUE(QFile::exists(url.toLocalFile())) << page.toStdString();
    }
}

struct HelpLanguage {
    int language;
    const char* file;
};

class LocalHelp : public TextToolsTest, public ::testing::WithParamInterface<HelpLanguage> {};

TEST_P(LocalHelp, CancelShowsTheHelpTextOfTheLanguageInTheViewer)
{
    control<QComboBox>("cboLanguage")->setCurrentIndex(GetParam().language);
    window->cboLanguage_Click();
    dialogs.clear();
    dialogs.queueAnswer(DialogAnswer::Cancel);
    window->cmdHelp_Click();

    const auto* viewer = window->findChild<frmView*>();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), Text(MainWindowTexts::ProgramName, GetParam().language) + u' ' +
                                         Text(MainWindowTexts::HelpTextVersion, GetParam().language));
    const QByteArray help =
        test_files::read_file(QStringLiteral(QUILLET_DATA_DIR "/") + QLatin1String(GetParam().file));
    const QString firstLine = QString::fromUtf8(help.left(help.indexOf('\n'))).trimmed();
    ASSERT_FALSE(firstLine.isEmpty());
    const QString shown = viewer->findChild<QPlainTextEdit*>(QStringLiteral("txbText1"))->toPlainText();
    EXPECT_TRUE(shown.startsWith(firstLine)) << shown.left(80).toStdString();
    EXPECT_EQ(dialogs.records().size(), 1u); // the question only
}

INSTANTIATE_TEST_SUITE_P(Languages, LocalHelp,
                         ::testing::Values(HelpLanguage{Language::English, "zeb_help.txt"},
                                           HelpLanguage{Language::German, "zebg_help.txt"}),
                         [](const auto& info) {
                             return info.param.language == Language::German ? "German" : "English";
                         });

struct LaunchFailure {
    int code;
    QString tail; // what follows the error code
};

class WebTargetFails : public TextToolsTest, public ::testing::WithParamInterface<LaunchFailure> {};

TEST_P(WebTargetFails, SaysWhyInOneBox)
{
    dialogs.setOpenTargetResult(GetParam().code);
    // The maker's name opens the shipped page quillet_help.html.
    QTest::mouseClick(label("lblTavolan"), Qt::LeftButton);

    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest box = dialogs.messages().front();
    EXPECT_EQ(box.text,
              QStringLiteral("Error launching web browser, error code = %1.").arg(GetParam().code) + GetParam().tail);
    EXPECT_EQ(box.title, QStringLiteral("Cannot launch web browser"));
    EXPECT_EQ(box.icon, DialogIcon::Exclamation);
    EXPECT_EQ(box.buttons, DialogButtons::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, WebTargetFails,
    ::testing::Values(
        LaunchFailure{31,
                      QStringLiteral("\r\n\r\nFile extension 'html' is not associated with any application program.")},
        LaunchFailure{8, QStringLiteral("\r\n\r\nOut of memory.")},
        LaunchFailure{2, QStringLiteral("\r\n\r\nPlease try once more.")}, LaunchFailure{5, QString()}));

TEST_F(TextToolsTest, MakersNameOpensItsAddress)
{
    QTest::mouseClick(label("lblTavolan"), Qt::LeftButton);
    ASSERT_EQ(dialogs.records().size(), 1u);
    EXPECT_TRUE(dialogs.records().front().isOpenTarget);
    EXPECT_TRUE(dialogs.records().front().target.endsWith(Text(MainWindowTexts::MakersPage)));
}

// ---------------------------------------------------------------- quitting

struct QuitCase {
    const char* name;
    bool byFrame; // closing the window instead of cmdQuit
    DialogAnswer answer;
    bool keepsRunning;
    bool clipboardKept;
};

void PrintTo(const QuitCase& file, std::ostream* out)
{
    *out << file.name;
}

class QuitWithClipboardText : public TextToolsTest, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(QuitWithClipboardText, AsksAndDoesWhatTheAnswerSays)
{
    EnterKey(QStringLiteral("correct horse battery staple"));
    QGuiApplication::clipboard()->setText(QStringLiteral("secret"));
    dialogs.queueAnswer(GetParam().answer);
    if (GetParam().byFrame)
        window->close();
    else
        QTest::mouseClick(button("cmdQuit"), Qt::LeftButton);

    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest question = dialogs.messages().front();
    EXPECT_EQ(question.text, Text(MainWindowTexts::ClearClipboardQuestion));
    EXPECT_EQ(question.title, Text(MainWindowTexts::ClearClipboardTitle));
    EXPECT_EQ(question.buttons, DialogButtons::YesNoCancel);
    EXPECT_EQ(window->isVisible(), GetParam().keepsRunning);
    // Cancel keeps the window as it was, key included; quitting wipes it.
    EXPECT_EQ(window->QuickKeyText().isEmpty(), !GetParam().keepsRunning);
    EXPECT_EQ(txbQuickKey()->text().isEmpty(), !GetParam().keepsRunning);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), GetParam().clipboardKept ? QStringLiteral("secret") : QString());
}

INSTANTIATE_TEST_SUITE_P(Answers, QuitWithClipboardText,
                         ::testing::Values(QuitCase{"CancelAfterQuit", false, DialogAnswer::Cancel, true, true},
                                           QuitCase{"CancelAfterClosing", true, DialogAnswer::Cancel, true, true},
                                           QuitCase{"YesClears", false, DialogAnswer::Yes, false, false},
                                           QuitCase{"NoLeaves", true, DialogAnswer::No, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextToolsTest, QuittingWithAnEmptyClipboardAsksNothing)
{
    EnterKey(QStringLiteral("correct horse battery staple"));
    QTest::mouseClick(button("cmdQuit"), Qt::LeftButton);

    EXPECT_TRUE(dialogs.records().empty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->QuickKeyText().isEmpty());
}

TEST_F(TextToolsTest, QuittingClosesTheHelpViewer)
{
    dialogs.queueAnswer(DialogAnswer::Cancel);
    window->cmdHelp_Click();
    const auto* viewer = window->findChild<frmView*>();
    ASSERT_TRUE(viewer != nullptr && viewer->isVisible());
    window->cmdQuit_Click();
    EXPECT_FALSE(viewer->isVisible());
}

} // namespace
