// The file fields of the main window: what lands in each row, what each refusal says, and that
// dropping a file behaves like choosing it.
#include "files/FileLimits.h"
#include "gui/WindowFixture.h"
#include "gui/frmMain.h"
#include "pipeline/ChooseFileToAppend.h"
#include "support/ProgramTexts.h"
#include "texts/Language.h"
#include "texts/WindowTexts.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class FileFields : public WindowFixture<> {
  protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        dialogs.clear();
    }

    QString FileOfSize(const QString& name, qint64 size)
    {
        const QString path = files.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_TRUE(file.resize(size));
        return path;
    }

    QString Folder(const QString& name)
    {
        EXPECT_TRUE(QDir(files.path()).mkpath(name));
        return files.filePath(name);
    }

    void Decrypt() { option("optDecrypt")->setChecked(true); }
    void Encrypt() { option("optEncrypt")->setChecked(true); }
    QString Field(int index) { return txbFile(index)->text(); }
    bool ClearShown(int index) { return cmdClearFile(index)->isVisible(); }

    std::vector<ScriptedDialogs::Record> Choosers() const
    {
        std::vector<ScriptedDialogs::Record> result;
        for (const auto& record : dialogs.records())
            if (record.isChooser)
                result.push_back(record);
        return result;
    }

    // Drags `path` from a file manager onto txbFile(index) and drops it there; whether the field
    // accepted the drag.
    bool DropOnField(int index, const QString& path)
    {
        EXPECT_TRUE(txbFile(index)->acceptDrops());
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint centre = txbFile(index)->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(txbFile(index), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(txbFile(index), &drop);
        return drop.isAccepted();
    }

    QTemporaryDir files;
};

TEST_F(FileFields, FileToAppendIsTakenUpToTheLimitAndEachRefusalLeavesTheRowAsItWas)
{
    const QString earlier = FileOfSize("earlier.txt", 10);
    struct Case {
        const char* name;
        qint64 size;
        bool taken;
        QString text;
        QString title;
    };
    const QString largest = files.filePath("largest.bin");
    const QString oneMore = files.filePath("one-more.bin");
    const Case cases[] = {
        {"largest.bin", FileLimits::MaxAppendedFileSize, true, {}, {}},
        {"one-more.bin", FileLimits::MaxAppendedFileSize + 1, false,
         Text(AppendTexts::TooLargeToAttach) + CrLf + oneMore + CrLf + Text(AppendTexts::ItsSize) +
             " 2,027,521 bytes (1,980 KB)" + CrLf + CrLf + Text(AppendTexts::LargestAllowed) + CrLf +
             Text(AppendTexts::LargestAllowedIs) + " 2,027,520 bytes (1,980 KB).",
         Text(AppendTexts::TooLargeTitle)},
        {"empty.bin", 0, false, Text(MainWindowTexts::FileEmpty) + CrLf + Text(MainWindowTexts::NothingTaken),
         Text(MainWindowTexts::FileToAppend)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        txbFile(0)->setText(earlier);
        dialogs.queuePath(FileOfSize(c.name, c.size));

        QTest::mouseClick(cmdSpecifyFile(0), Qt::LeftButton);

        EXPECT_EQ(Field(0), c.taken ? files.filePath(c.name) : earlier);
        const std::vector<MessageRequest> boxes = dialogs.messages();
        ASSERT_EQ(boxes.size(), c.taken ? 0u : 1u);
        if (c.taken)
            continue;
        EXPECT_EQ(boxes[0].text, c.text);
        EXPECT_EQ(boxes[0].title, c.title);
        EXPECT_EQ(boxes[0].icon, DialogIcon::Exclamation);
    }
}

TEST_F(FileFields, ChosenCiphertextFileLandsInTheFieldWithItsClearButton)
{
    struct Case {
        bool encrypt;
        int index;
        FileDialogRequest::Kind kind;
        QString title;
    };
    const Case cases[] = {
        {true, 1, FileDialogRequest::Kind::Save, Text(MainWindowTexts::OutputFile)},
        {false, 0, FileDialogRequest::Kind::Open, Text(MainWindowTexts::ChooseCiphertextTitle)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        dialogs.clear();
        c.encrypt ? Encrypt() : Decrypt();
        const QString path = files.filePath(c.encrypt ? "for-anna.zip" : "from-tom.zip");
        dialogs.queuePath(path);

        QTest::mouseClick(cmdSpecifyFile(c.index), Qt::LeftButton);

        EXPECT_EQ(Field(c.index), path);
        EXPECT_TRUE(ClearShown(c.index));
        const auto choosers = Choosers();
        ASSERT_EQ(choosers.size(), 1u);
        EXPECT_EQ(choosers[0].chooser.kind, c.kind);
        EXPECT_EQ(choosers[0].chooser.title, c.title);
        EXPECT_EQ(choosers[0].chooser.nameFilters, QStringList({Text(MainWindowTexts::CiphertextFilter),
                                                                Text(MainWindowTexts::AllFilesFilter) + " (*)"}));
        // The encrypt command asks itself before it replaces a file.
        EXPECT_FALSE(choosers[0].chooser.confirmOverwrite);
    }
}

TEST_F(FileFields, FolderChooserFillsTheFolderRowOrLeavesItOnCancel)
{
    const QString earlier = Folder("earlier");
    const QString chosen = Folder("inbox");
    Decrypt();
    txbFile(1)->setText(earlier);

    window->cmdSpecifyFile_Click(1); // nothing queued: the user cancels
    EXPECT_EQ(Field(1), earlier);

    dialogs.queuePath(chosen);
    window->cmdSpecifyFile_Click(1);
    EXPECT_EQ(Field(1), chosen);

    const auto choosers = Choosers();
    ASSERT_EQ(choosers.size(), 2u);
    EXPECT_EQ(choosers[1].chooser.kind, FileDialogRequest::Kind::Folder);
    EXPECT_EQ(choosers[1].chooser.title, Text(MainWindowTexts::FolderPrompt));
}

TEST_F(FileFields, ClearingForgetsTheRowOfThisModeOnly)
{
    const QString attachment = FileOfSize("contract.pdf", 100);
    const QString received = files.filePath("from-tom.zip");
    dialogs.queuePath(attachment);
    QTest::mouseClick(cmdSpecifyFile(0), Qt::LeftButton);
    Decrypt();
    dialogs.queuePath(received);
    QTest::mouseClick(cmdSpecifyFile(0), Qt::LeftButton);
    Encrypt();
    ASSERT_EQ(Field(0), attachment);

    QTest::mouseClick(cmdClearFile(0), Qt::LeftButton);

    EXPECT_EQ(Field(0), QString());
    EXPECT_FALSE(ClearShown(0));
    Decrypt();
    EXPECT_EQ(Field(0), received);
    Encrypt();
    EXPECT_EQ(Field(0), QString());
}

TEST_F(FileFields, ClickOnAnEmptyFieldOpensTheChooserOnAFilledOneNothing)
{
    const QString output = files.filePath("for-anna.zip");
    dialogs.queuePath(output);

    QTest::mouseClick(txbFile(1), Qt::LeftButton);
    EXPECT_EQ(Choosers().size(), 1u);
    EXPECT_EQ(Field(1), output);

    QTest::mouseClick(txbFile(1), Qt::LeftButton);
    EXPECT_EQ(Choosers().size(), 1u);
    EXPECT_EQ(Field(1), output);
}

// A keyboard user who cancels a chooser goes on from the control that opened it (without a key, the
// window would otherwise send the focus on to the key command).
TEST_F(FileFields, CancelledChooserGivesTheFocusBackToWhatOpenedIt)
{
    struct Case {
        const char* name;
        bool decrypt;
        int row;
        bool byField; // opened by clicking the empty field rather than by its button
    };
    const Case cases[] = {
        {"file to attach", false, 0, false},
        {"output file", false, 1, false},
        {"ciphertext file", true, 0, false},
        {"ciphertext file, by its empty field", true, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.decrypt ? Decrypt() : Encrypt();
        dialogs.clear(); // nothing queued: the user cancels the chooser
        QWidget* opener = c.byField ? static_cast<QWidget*>(txbFile(c.row)) : cmdSpecifyFile(c.row);
        ASSERT_TRUE(Field(c.row).isEmpty());
        if (c.byField) {
            QTest::mouseClick(opener, Qt::LeftButton);
        } else {
            opener->setFocus();
            QTest::keyClick(opener, Qt::Key_Space);
        }

        ASSERT_EQ(Choosers().size(), 1u);
        EXPECT_EQ(window->focusWidget(), opener) << window->focusWidget()->objectName().toStdString();
    }
}

TEST_F(FileFields, DroppedFileIsCheckedLikeAChosenOne)
{
    const QString tooLarge = FileOfSize("video.mp4", FileLimits::MaxAppendedFileSize + 1);
    dialogs.queuePath(tooLarge);
    QTest::mouseClick(cmdSpecifyFile(0), Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1u);
    const MessageRequest fromDialog = dialogs.messages()[0];
    dialogs.clear();

    DropOnField(0, tooLarge);

    ASSERT_EQ(dialogs.messages().size(), 1u);
    EXPECT_EQ(dialogs.messages()[0].text, fromDialog.text);
    EXPECT_EQ(dialogs.messages()[0].title, fromDialog.title);
    EXPECT_EQ(Field(0), QString());

    const QString fits = FileOfSize("contract.pdf", 1000);
    EXPECT_TRUE(DropOnField(0, fits));
    EXPECT_EQ(Field(0), fits);
    EXPECT_TRUE(ClearShown(0));
}

TEST_F(FileFields, DropTakesAFolderOnlyOnTheFolderRow)
{
    const QString folder = Folder("inbox");
    const QString file = FileOfSize("from-tom.zip", 100);

    EXPECT_FALSE(DropOnField(0, folder)); // encrypt mode: the file to append
    EXPECT_EQ(Field(0), QString());

    Decrypt();
    frame("Frame1")->setVisible(true); // as the decrypt command shows it for an attached file
    EXPECT_FALSE(DropOnField(1, file));
    EXPECT_TRUE(DropOnField(1, folder));
    EXPECT_EQ(Field(1), folder);
    EXPECT_TRUE(dialogs.records().empty());
}

// Each chooser opens at its row's file, else in the folder last used; the output chooser suggests a
// name there and asks for ".zip" on a name typed without an extension.
TEST_F(FileFields, ChoosersOpenAtTheRowsFileOrTheLastFolderAndTheOutputAsksForZip)
{
    const QString letters = Folder("letters");
    const QString attachment = FileOfSize("letters/contract.pdf", 10);
    Encrypt();
    dialogs.queuePath(attachment);
    window->cmdSpecifyFile_Click(0);
    dialogs.queuePath(letters + "/for-anna.zip");
    window->cmdSpecifyFile_Click(1);
    window->cmdSpecifyFile_Click(1); // cancelled
    window->cmdSpecifyFile_Click(0); // cancelled
    Decrypt();
    window->cmdSpecifyFile_Click(0); // cancelled

    const auto choosers = Choosers();
    ASSERT_EQ(choosers.size(), 5u);
    EXPECT_EQ(choosers[0].chooser.startPath, QString()) << "nothing was used yet";
    EXPECT_EQ(choosers[1].chooser.startPath, letters + "/" + Text(MainWindowTexts::SuggestedOutputName) + ".zip");
    EXPECT_EQ(choosers[1].chooser.defaultSuffix, "zip");
    EXPECT_EQ(choosers[2].chooser.startPath, letters + "/for-anna.zip");
    EXPECT_EQ(choosers[3].chooser.startPath, attachment);
    EXPECT_EQ(choosers[4].chooser.startPath, letters) << "the ciphertext row is empty: the last folder";
    EXPECT_EQ(choosers[0].chooser.defaultSuffix, QString()) << "an attachment keeps the name it has";
}

} // namespace
