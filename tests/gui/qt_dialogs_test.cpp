// The window's real dialogs: what a person sees in the box, and the answer the program gets back
// for the button pressed, the frame's close, or a chosen path.
#include "gui/QtDialogs.h"
#include "gui/WindowFixture.h"
#include "texts/Language.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `act` on the first modal dialog of type T once it is shown.
template <typename T> void WhenShown(std::function<void(T*)> act)
{
    QTimer::singleShot(0, [act]() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<T*>(widget); dialog && dialog->isVisible()) {
                act(dialog);
                return;
            }
        ADD_FAILURE() << "no dialog was shown";
    });
}

QAbstractButton* ButtonOf(QMessageBox* box, QMessageBox::StandardButton which)
{
    return box->button(which);
}

TEST(QtDialogsTest, MessageBoxShowsTheRequestAndReturnsTheButtonPressed)
{
    struct Case {
        const char* name;
        DialogButtons buttons;
        int defaultButton;
        QMessageBox::StandardButton press; // NoButton: the box is closed without a button
        QMessageBox::StandardButton expectedDefault;
        DialogAnswer expected;
    };
    const Case cases[] = {
        {"OK box", DialogButtons::Ok, 0, QMessageBox::Ok, QMessageBox::Ok, DialogAnswer::Ok},
        {"Yes pressed", DialogButtons::YesNo, 0, QMessageBox::Yes, QMessageBox::Yes, DialogAnswer::Yes},
        {"No is the default, closed", DialogButtons::YesNo, 1, QMessageBox::NoButton, QMessageBox::No,
         DialogAnswer::No},
        {"closed means cancel", DialogButtons::YesNoCancel, 0, QMessageBox::NoButton, QMessageBox::Yes,
         DialogAnswer::Cancel},
        {"OK/Cancel, cancel pressed", DialogButtons::OkCancel, 0, QMessageBox::Cancel, QMessageBox::Ok,
         DialogAnswer::Cancel},
    };
    QtDialogs dialogs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString shownText, shownTitle;
        QMessageBox::StandardButton shownDefault = QMessageBox::NoButton;
        QuestionId shownQuestion = QuestionId::None;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            shownQuestion = box->property(QtDialogs::QuestionProperty).value<QuestionId>();
            shownText = box->text();
            shownTitle = box->windowTitle();
            shownDefault = box->standardButton(box->defaultButton());
            EXPECT_TRUE(box->textInteractionFlags() & Qt::TextSelectableByMouse) << "its text can be copied";
            ExpectOwnAccessKeys(box);
            if (c.press == QMessageBox::NoButton)
                box->reject(); // as the window system would close it, with no button clicked
            else
                ButtonOf(box, c.press)->click();
        });
        const DialogAnswer answer = dialogs.message({"Replace the file?\r\nIt exists.", "Encrypt", DialogIcon::Question,
                                                     c.buttons, c.defaultButton, QuestionId::ReplaceOutputFile});
        EXPECT_EQ(answer, c.expected);
        // Shown with Qt's line break: a "\r" would be read out inside the text.
        EXPECT_EQ(shownText, "Replace the file?\nIt exists.");
        EXPECT_EQ(shownTitle, "Encrypt");
        EXPECT_EQ(shownDefault, c.expectedDefault);
        EXPECT_EQ(shownQuestion, QuestionId::ReplaceOutputFile);
    }
}

TEST(QtDialogsTest, FolderChooserReturnsTheChosenFolderOrNothingWhenCancelled)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("received"));
    const QString folder = QDir(dir.path()).filePath("received");
    QtDialogs dialogs;
    const FileDialogRequest request{FileDialogRequest::Kind::Folder, "Choose the folder", {}, true, true};

    QString title;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        dialog->setOption(QFileDialog::DontUseNativeDialog, true);
        dialog->setDirectory(dir.path());
        dialog->selectFile(folder);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog keeps its own accept() protected
    });
    EXPECT_EQ(QDir(dialogs.choosePath(request)).canonicalPath(), QDir(folder).canonicalPath());
    EXPECT_EQ(title, "Choose the folder");

    WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(dialogs.choosePath(request), QString());
}

TEST(QtDialogsTest, OpenDialogOffersTheNameFilters)
{
    QtDialogs dialogs;
    QStringList filters;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        dialog->reject();
    });
    const FileDialogRequest request{
        FileDialogRequest::Kind::Open, "Choose the ciphertext file", {"Ciphertext files (*.zip)", "All files (*)"}};
    EXPECT_EQ(dialogs.choosePath(request), QString());
    EXPECT_EQ(filters, QStringList({"Ciphertext files (*.zip)", "All files (*)"}));
}

// The boxes and file dialogs speak the chosen language: the buttons carry the program's own texts, and
// Qt's own texts in the file dialog come from Qt's German catalogue.
QStringList ButtonTexts(const QWidget* dialog)
{
    QStringList texts;
    for (const QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->isVisible())
            texts << button->text().remove(QLatin1Char('&'));
    texts.sort();
    return texts;
}

class DialogLanguageTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_GT(Language::LoadProgramTexts(QStringLiteral(QUILLET_DATA_DIR)), 0); }
    void TearDown() override { dialogs.setLanguage(Language::English); }

    QStringList buttonsOf(DialogButtons buttons)
    {
        QStringList texts;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            texts = ButtonTexts(box);
            box->reject();
        });
        dialogs.message({"Replace the file?", "Encrypt", DialogIcon::Question, buttons, 0});
        return texts;
    }

    QStringList buttonsOfTheOpenDialog()
    {
        QStringList texts;
        WhenShown<QFileDialog>([&](QFileDialog* dialog) {
            texts = ButtonTexts(dialog);
            dialog->reject();
        });
        dialogs.choosePath({FileDialogRequest::Kind::Open, "Choose", {"All files (*)"}});
        return texts;
    }

    QtDialogs dialogs;
};

TEST_F(DialogLanguageTest, BoxButtonsCarryTheProgramsOwnTexts)
{
    dialogs.setLanguage(Language::German);
    EXPECT_EQ(buttonsOf(DialogButtons::YesNoCancel), QStringList({"Abbrechen", "Ja", "Nein"}));
    EXPECT_EQ(buttonsOf(DialogButtons::OkCancel), QStringList({"Abbrechen", "OK"}));
    dialogs.setLanguage(Language::English);
    EXPECT_EQ(buttonsOf(DialogButtons::YesNoCancel), QStringList({"Cancel", "No", "Yes"}));
    EXPECT_EQ(buttonsOf(DialogButtons::Ok), QStringList({"OK"}));
}

// Buttons that name their action show those words (with access keys of their own), keep the
// default asked for, and answer as the standard buttons in their place; Escape answers Cancel.
TEST(QtDialogsTest, ButtonsThatNameTheirActionShowTheirWordsAndAnswerByPlace)
{
    MessageRequest request{"A file of this name is there.", "Decrypt", DialogIcon::Question,
                           DialogButtons::YesNoCancel,      1,         QuestionId::ReplaceAttachedFile};
    request.captions = {"Replace", "Keep both", "Do not save"};
    struct Case {
        const char* name;
        QMessageBox::StandardButton press; // NoButton: Escape
        DialogAnswer expected;
    };
    const Case cases[] = {
        {"Replace", QMessageBox::Yes, DialogAnswer::Yes},
        {"Keep both", QMessageBox::No, DialogAnswer::No},
        {"Escape", QMessageBox::NoButton, DialogAnswer::Cancel},
    };
    QtDialogs dialogs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList shown;
        QString defaultShown;
        WhenShown<QMessageBox>([&](QMessageBox* box) {
            for (QMessageBox::StandardButton which : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                shown << box->button(which)->text().remove('&');
            defaultShown = box->defaultButton()->text().remove('&');
            ExpectOwnAccessKeys(box);
            if (c.press == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(c.press)->click();
        });
        EXPECT_EQ(dialogs.message(request), c.expected);
        EXPECT_EQ(shown, request.captions);
        EXPECT_EQ(defaultShown, "Keep both");
    }
}

TEST_F(DialogLanguageTest, FileDialogSpeaksGermanWhenGermanIsChosen)
{
    dialogs.setLanguage(Language::German);
    const QStringList german = buttonsOfTheOpenDialog();
    EXPECT_TRUE(german.contains("Abbrechen")) << german.join(", ").toStdString();
    EXPECT_TRUE(german.contains(QString::fromUtf8("Öffnen"))) << german.join(", ").toStdString();
    dialogs.setLanguage(Language::English);
    const QStringList english = buttonsOfTheOpenDialog();
    EXPECT_TRUE(english.contains("Cancel")) << english.join(", ").toStdString();
    EXPECT_TRUE(english.contains("Open")) << english.join(", ").toStdString();
}

// A chooser opens where the window asks: in a folder, or in a file's folder with that name selected;
// a name typed without an extension gets the suffix asked for.
TEST(QtDialogsTest, AChooserOpensAtTheStartPathAndAddsTheSuffixToABareName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("letters"));
    const QString letters = QDir(dir.path()).filePath("letters");
    struct Case {
        FileDialogRequest::Kind kind;
        QString startPath;
        QString typed; // the name the user types before pressing Save or Open; "" cancels
        QString chosen;
    };
    const Case cases[] = {
        {FileDialogRequest::Kind::Save, letters + "/message.zip", {}, {}},
        {FileDialogRequest::Kind::Open, letters, {}, {}},
        {FileDialogRequest::Kind::Folder, letters + "/report.txt", {}, {}}, // where an attached file went
        {FileDialogRequest::Kind::Save, letters + "/message.zip", "for-anna", letters + "/for-anna.zip"},
        {FileDialogRequest::Kind::Save, letters + "/message.zip", "notes.txt", letters + "/notes.txt"},
    };
    QtDialogs dialogs;
    for (const Case& c : cases) {
        SCOPED_TRACE((c.startPath + " " + c.typed).toStdString());
        QString folder, selected;
        WhenShown<QFileDialog>([&](QFileDialog* dialog) {
            folder = dialog->directory().canonicalPath();
            selected = dialog->selectedFiles().value(0);
            if (c.typed.isEmpty()) {
                dialog->reject();
                return;
            }
            dialog->selectFile(c.typed);
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides it; it still checks the name
        });
        FileDialogRequest request;
        request.kind = c.kind;
        request.startPath = c.startPath;
        request.mustExist = false;
        request.defaultSuffix = "zip";
        const QString chosen = dialogs.choosePath(request);
        EXPECT_EQ(QFileInfo(chosen).absoluteFilePath(),
                  c.chosen.isEmpty() ? QString() : QFileInfo(c.chosen).absoluteFilePath());
        EXPECT_EQ(folder, QDir(letters).canonicalPath());
        if (c.kind == FileDialogRequest::Kind::Save) {
            EXPECT_EQ(QFileInfo(selected).fileName(), "message.zip") << "the suggested name is there";
        }
    }
}

} // namespace
