// quillet-screenshots DIR [NAME...]: saves a PNG of each window state listed in `shots` and
// `folderShots` below into DIR (all of them when no NAME is given), so that people can look at the
// windows without clicking through them. To add a picture of the main window, add one row to `shots`:
// a file name and a function that brings the main window (and whatever it opens) into the state to
// show and returns the widget to grab. Other windows, and pictures taken from the screen, are rows of
// `folderShots`, each with a function that saves its own files.
#include "engines/CipherEngine.h"
#include "gui/AppIdentity.h"
#include "gui/QtDialogs.h"
#include "gui/frmKeyboardWithDisplay.h"
#include "gui/frmLargeTextbox.h"
#include "gui/frmMain.h"
#include "gui/frmMain_startup.h"
#include "gui/frmRandomnessGraphic.h"
#include "gui/frmView.h"
#include "pipeline/EncryptPipeline.h"
#include "support/KeyEntry.h"
#include "support/ScriptedDialogs.h"
#include "texts/ByteSize.h"
#include "texts/Language.h"
#include "texts/NumberLocale.h"
#include "texts/WindowTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <sodium.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

struct Shot {
    const char* name;
    std::function<QWidget*(frmMain&)> prepare;
};

// The scripted dialogs every window of this program answers through.
ScriptedDialogs& Scripted()
{
    static ScriptedDialogs dialogs;
    return dialogs;
}

// A control of the main window by its object name, as the tests find them.
template <typename Widget = QPushButton> Widget* control(frmMain& window, const QString& name)
{
    return window.findChild<Widget*>(name);
}

QLineEdit* txbFile(frmMain& window, int index)
{
    return control<QLineEdit>(window, QStringLiteral("txbFile%1").arg(index));
}

void setText(frmMain& window, const QString& text)
{
    control<QPlainTextEdit>(window, QStringLiteral("txbText"))->setPlainText(text);
}

QWidget* showMain(frmMain& window, int language, bool encrypt)
{
    control<QComboBox>(window, QStringLiteral("cboLanguage"))->setCurrentIndex(language);
    window.cboLanguage_Click();
    control<QRadioButton>(window, encrypt ? QStringLiteral("optEncrypt") : QStringLiteral("optDecrypt"))
        ->setChecked(true);
    window.Clock_Timer();
    return &window;
}

QWidget* showFilledMain(frmMain& window)
{
    showMain(window, Language::English, true);
    setText(window, QStringLiteral("Dear Anna,\n\nthe contract is attached. The figures on page 3 are "
                                   "final; please sign by Friday.\n\nBest regards,\nTom"));
    txbFile(window, 0)->setText(QStringLiteral("/home/tom/Documents/contract-2024.pdf"));
    txbFile(window, 1)->setText(QStringLiteral("/home/tom/Mail/for-anna.zip"));
    window.Clock_Timer();
    return &window;
}

// Encrypts a letter (with a text file appended when withFile) through the encrypt command; the
// closing message lands in the scripted dialogs.
void encryptLetter(frmMain& window, int language, bool withFile)
{
    static QTemporaryDir folder;
    showFilledMain(window);
    showMain(window, language, true);
    window.SetKdfLevel(KdfLevel::Interactive);
    key_entry::EnterKey(window, QStringLiteral("Correct Horse Battery Staple 42"));
    QString attachment;
    if (withFile) {
        attachment = folder.filePath(QStringLiteral("minutes.txt"));
        QFile file(attachment);
        file.open(QIODevice::WriteOnly);
        // Words of random letters: a plain text with little to compress, so the ciphertext is large.
        quint32 state = 2024;
        QByteArray text;
        for (int i = 0; i < 300000; ++i) {
            state = state * 1664525u + 1013904223u;
            text += "etaoinshrdlu etaoin shrdlu cmfwyp\n"[(state >> 16) % 34];
        }
        file.write(text);
    }
    txbFile(window, 0)->setText(attachment);
    txbFile(window, 1)->setText(folder.filePath(QStringLiteral("for-anna.zip")));
    window.cmdEncryptMessage_Click();
}

// The last box the scripted dialogs recorded, shown as the window would show it.
QWidget* lastBox(frmMain& window, QMessageBox::Icon icon)
{
    const MessageRequest last = Scripted().messages().back();
    auto* box = new QMessageBox(icon, last.title, last.text, QMessageBox::Ok, &window);
    box->show();
    return box;
}

QWidget* closingMessage(frmMain& window, int language, bool withFile)
{
    encryptLetter(window, language, withFile);
    return lastBox(window, QMessageBox::NoIcon);
}

// Decrypts the letter encryptLetter made (with its file) with `key`; the attached file goes to a
// folder "received" beside the letter.
QWidget* decryptLetter(frmMain& window, const QString& key, int language = Language::English)
{
    encryptLetter(window, language, true);
    const QString letter = txbFile(window, 1)->text();
    showMain(window, language, false);
    txbFile(window, 0)->setText(letter);
    key_entry::EnterKey(window, key);
    const QString received = QFileInfo(letter).absolutePath() + QStringLiteral("/received");
    QDir().mkpath(received);
    Scripted().queuePath(received);
    window.cmdDecryptMessage_Click();
    window.Clock_Timer();
    return &window;
}

// After encrypting, Copy as text pressed: its box over the window.
QWidget* copiedAsText(frmMain& window, int language)
{
    encryptLetter(window, language, false);
    window.cmdCopyAsText_Click();
    return lastBox(window, QMessageBox::Information);
}

// The block Copy as text made, pasted into the text box in decrypt mode: decrypted at once.
QWidget* pastedBlockDecrypted(frmMain& window)
{
    encryptLetter(window, Language::English, false);
    window.cmdCopyAsText_Click();
    showMain(window, Language::English, false);
    txbFile(window, 0)->clear();
    auto* text = control<QPlainTextEdit>(window, QStringLiteral("txbText"));
    text->setFocus();
    QTest::keySequence(text, QKeySequence::Paste);
    window.Clock_Timer();
    return &window;
}

// A letter whose working folder cannot be made (its base lies below a regular file): the box that
// says so, naming the folder and the cause.
QWidget* noWorkingFolder(frmMain& window, int language)
{
    static QTemporaryDir folder;
    QFile regular(folder.filePath(QStringLiteral("regular")));
    regular.open(QIODevice::WriteOnly);
    regular.write("a file, not a folder");
    regular.close();
    frmMain blocked(Scripted(), regular.fileName() + QStringLiteral("/work"));
    blocked.Form_Load();
    showMain(blocked, language, true);
    setText(blocked, QStringLiteral("Meet me at noon."));
    txbFile(blocked, 1)->setText(folder.filePath(QStringLiteral("for-anna.zip")));
    key_entry::EnterKey(blocked, QStringLiteral("Correct Horse Battery Staple 42"));
    Scripted().queueAnswer(DialogAnswer::No); // no file to attach
    blocked.cmdEncryptMessage_Click();
    blocked.hide();
    return lastBox(window, QMessageBox::Warning);
}

QWidget* randomnessAfterEncryption(frmMain& window)
{
    encryptLetter(window, Language::English, true);
    auto* report = window.findChild<frmRandomnessGraphic*>();
    if (report == nullptr)
        return &window; // the encryption failed: its box is the last scripted message
    report->show();
    return report;
}

// The file fields filled through their own choosers (the tool's dialogs are scripted): in encrypt
// mode the file to append and the output file, in decrypt mode the received ciphertext file and,
// as the decrypt command shows it for an attached file, the folder row.
QWidget* showFileFields(frmMain& window, bool encrypt)
{
    showMain(window, Language::English, encrypt);
    ScriptedDialogs& dialogs = Scripted();
    QTemporaryDir home;
    const QString documents = home.filePath(QStringLiteral("Documents"));
    QDir().mkpath(documents);
    if (encrypt) {
        QFile attachment(documents + QStringLiteral("/contract-2024.pdf"));
        if (attachment.open(QIODevice::WriteOnly))
            attachment.write(QByteArray(48213, 'x'));
        attachment.close();
        dialogs.queuePath(attachment.fileName());
        window.cmdSpecifyFile_Click(0);
        dialogs.queuePath(documents + QStringLiteral("/for-anna.zip"));
        window.cmdSpecifyFile_Click(1);
    } else {
        dialogs.queuePath(documents + QStringLiteral("/from-tom.zip"));
        window.cmdSpecifyFile_Click(0);
        control<QFrame>(window, QStringLiteral("Frame1"))->setVisible(true);
        control(window, QStringLiteral("cmdSpecifyFile1"))->setEnabled(true);
        dialogs.queuePath(documents);
        window.cmdSpecifyFile_Click(1);
    }
    window.Clock_Timer();
    return &window;
}

// The key group in its three states: key shown, key hidden, no key.
QWidget* showKey(frmMain& window, bool hidden)
{
    showMain(window, Language::English, true);
    key_entry::EnterKey(window, QStringLiteral("Violets are blue 1984"));
    if (hidden)
        window.cmdHideShowQuickKey_Click();
    window.Clock_Timer();
    return &window;
}

// The window as it looks while the encrypt command works (at the default key-derivation level, so
// the run lasts long enough to be caught): grabbed from inside the run, shown in a label.
QWidget* showWorking(frmMain& window, int language)
{
    showFilledMain(window);
    showMain(window, language, true);
    txbFile(window, 0)->clear();
    QTemporaryDir folder;
    txbFile(window, 1)->setText(folder.filePath(QStringLiteral("for-anna.zip")));
    key_entry::EnterKey(window, QStringLiteral("Correct Horse Battery Staple 42"));
    window.SetKdfLevel(KdfLevel::Moderate);
    auto* indicator = control<QProgressBar>(window, QStringLiteral("prgWork"));
    QPixmap during;
    QTimer catcher;
    QObject::connect(&catcher, &QTimer::timeout, [&] {
        if (window.Working() && indicator->isVisible() && during.isNull()) {
            QApplication::processEvents();
            during = window.grab();
        }
    });
    catcher.start(200);
    window.cmdEncryptMessage_Click();
    auto* shown = new QLabel(&window, Qt::Window);
    shown->setPixmap(during);
    shown->resize(during.size());
    return shown;
}

// The keyboard focus on one of the main controls, named as the tests find it.
QWidget* showFocus(frmMain& window, int language, const char* controlName)
{
    showFilledMain(window);
    showMain(window, language, true);
    key_entry::EnterKey(window, QStringLiteral("Correct Horse Battery Staple 42"));
    window.activateWindow();
    QApplication::processEvents();
    control<QWidget>(window, QLatin1String(controlName))->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    return &window;
}

const Shot shots[] = {
    {"main_working_en", [](frmMain& w) { return showWorking(w, Language::English); }},
    {"main_working_de", [](frmMain& w) { return showWorking(w, Language::German); }},
    {"focus_message_en", [](frmMain& w) { return showFocus(w, Language::English, "txbText"); }},
    {"focus_file_en", [](frmMain& w) { return showFocus(w, Language::English, "cmdSpecifyFile0"); }},
    {"focus_output_en", [](frmMain& w) { return showFocus(w, Language::English, "cmdSpecifyFile1"); }},
    {"focus_key_en", [](frmMain& w) { return showFocus(w, Language::English, "cmdQuickKey"); }},
    {"focus_encrypt_en", [](frmMain& w) { return showFocus(w, Language::English, "cmdEncryptMessage"); }},
    {"focus_mode_de", [](frmMain& w) { return showFocus(w, Language::German, "optEncrypt"); }},
    {"focus_message_de", [](frmMain& w) { return showFocus(w, Language::German, "txbText"); }},
    {"focus_key_de", [](frmMain& w) { return showFocus(w, Language::German, "cmdQuickKey"); }},
    {"focus_language_de", [](frmMain& w) { return showFocus(w, Language::German, "cboLanguage"); }},
    {"focus_link_de", [](frmMain& w) { return showFocus(w, Language::German, "lblTavolan"); }},
    {"focus_quit_de", [](frmMain& w) { return showFocus(w, Language::German, "cmdQuit"); }},
    {"main_encrypt_en", [](frmMain& w) { return showMain(w, Language::English, true); }},
    {"main_decrypt_en", [](frmMain& w) { return showMain(w, Language::English, false); }},
    {"main_encrypt_de", [](frmMain& w) { return showMain(w, Language::German, true); }},
    {"main_decrypt_de", [](frmMain& w) { return showMain(w, Language::German, false); }},
    {"main_filled_en", showFilledMain},
    {"encrypt_done_with_file_en", [](frmMain& w) { return closingMessage(w, Language::English, true); }},
    {"encrypt_done_without_file_de", [](frmMain& w) { return closingMessage(w, Language::German, false); }},
    {"randomness_after_encrypt_en", randomnessAfterEncryption},
    {"copy_as_text_en", [](frmMain& w) { return copiedAsText(w, Language::English); }},
    {"copy_as_text_de", [](frmMain& w) { return copiedAsText(w, Language::German); }},
    {"decrypt_pasted_block_en", pastedBlockDecrypted},
    {"decrypt_pasted_block_box_en",
     [](frmMain& w) {
         pastedBlockDecrypted(w);
         QWidget* box = lastBox(w, QMessageBox::NoIcon);
         QTest::qWait(200); // the box lays itself out only once shown
         return box;
     }},
    {"decrypt_done_box_en",
     [](frmMain& w) {
         decryptLetter(w, QStringLiteral("Correct Horse Battery Staple 42"));
         return lastBox(w, QMessageBox::NoIcon);
     }},
    {"decrypt_done_box_de",
     [](frmMain& w) {
         decryptLetter(w, QStringLiteral("Correct Horse Battery Staple 42"), Language::German);
         return lastBox(w, QMessageBox::NoIcon);
     }},
    {"no_working_folder_en", [](frmMain& w) { return noWorkingFolder(w, Language::English); }},
    {"no_working_folder_de", [](frmMain& w) { return noWorkingFolder(w, Language::German); }},
    {"decrypt_done_with_file_en",
     [](frmMain& w) { return decryptLetter(w, QStringLiteral("Correct Horse Battery Staple 42")); }},
    {"decrypt_wrong_key_en",
     [](frmMain& w) {
         decryptLetter(w, QStringLiteral("Not The Key Anna Was Given 7"));
         return lastBox(w, QMessageBox::Warning);
     }},
    {"file_fields_encrypt_en", [](frmMain& w) { return showFileFields(w, true); }},
    {"file_fields_decrypt_en", [](frmMain& w) { return showFileFields(w, false); }},
    {"main_key_shown_en", [](frmMain& w) { return showKey(w, false); }},
    {"main_key_hidden_en", [](frmMain& w) { return showKey(w, true); }},
    {"main_key_none_en", [](frmMain& w) { return showMain(w, Language::English, true); }},
};

bool Save(QWidget& window, const QString& folder, const QString& name)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::printf("window not exposed: %s\n", qPrintable(name));
    QTest::qWait(200);
    const QString path = QDir(folder).filePath(name);
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

bool ShootLargeTextbox(const QString& folder)
{
    frmLargeTextbox window;
    window.resize(760, 460);
    window.Form_Activate(QStringLiteral("Dear Ann,\n\nthe contract is attached. The key is the one we agreed on in "
                                        "March;\nits checksum is 4711.\n\nBest regards,\nBob"),
                         false, Language::English);
    auto* box = window.findChild<QPlainTextEdit*>(QStringLiteral("txbText"));
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(11);
    cursor.setPosition(42, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    return Save(window, folder, QStringLiteral("large_textbox_selection.png"));
}

bool ShootViewer(const QString& folder, int language, const QString& helpFile, const QString& name)
{
    frmView window;
    window.setWindowTitle(Language::GetProgramText(94, language) + u' ' + Language::GetProgramText(29, language));
    window.setLanguage(language);
    window.setPath(QDir(QCoreApplication::applicationDirPath()).filePath(helpFile));
    return Save(window, folder, name);
}

bool ShootRandomness(const QString& folder)
{
    QFile help(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("zeb_help.txt")));
    help.open(QIODevice::ReadOnly);
    const QByteArray plaintext = help.readAll();
    QByteArray ciphertext(plaintext.size() * 4, '\0');
    randombytes_buf(ciphertext.data(), size_t(ciphertext.size()));

    frmRandomnessGraphic window;
    window.applyTexts(Language::English);
    window.Form_load();
    const QString size = Language::GetProgramText(403, Language::English) + QStringLiteral(": ");
    window.PlotRandomness(0, plaintext);
    window.showStatistics(0, Language::GetProgramText(53, Language::English),
                          size + FormatByteSize(plaintext.size(), 2, NumberLocale(Language::English)), QString());
    window.PlotRandomness(1, ciphertext);
    window.showStatistics(1, Language::GetProgramText(54, Language::English),
                          size + FormatByteSize(ciphertext.size(), 2, NumberLocale(Language::English)), QString());
    return Save(window, folder, QStringLiteral("randomness_report.png"));
}

bool SaveScreen(const QString& folder, const QString& name)
{
    QTest::qWait(300);
    const QString path = QDir(folder).filePath(name);
    const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

// Runs `open`, which shows a modal box or dialog and waits for it; once that is up (after
// `settleMilliseconds`, time for the window manager to frame it and for a file dialog to list its
// folder), the screen is saved as `name` and the box is closed with Escape.
bool SaveScreenWhileModal(const QString& folder, const QString& name, int settleMilliseconds,
                          const std::function<void()>& open)
{
    bool saved = false;
    QTimer::singleShot(settleMilliseconds, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            std::printf("FAILED %s: nothing was shown\n", qPrintable(name));
            return;
        }
        saved = SaveScreen(folder, name);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    open();
    return saved;
}

// The main window after a letter with non-English letters and line breaks was loaded through the
// load command.
bool ShootMainWithLoadedText(const QString& folder)
{
    QTemporaryDir files;
    const QString path = files.filePath(QStringLiteral("letter.txt"));
    QFile letter(path);
    letter.open(QIODevice::WriteOnly);
    letter.write("Dear Ann,\r\n\r\nthe figures for M\xC3\xBCnchen and Z\xC3\xBCrich are attached; the"
                 " caf\xC3\xA9 meeting stays on Friday.\r\n\r\nBest regards,\r\nBob\r\n");
    letter.close();

    ScriptedDialogs dialogs;
    frmMain window(dialogs);
    window.Form_Load();
    dialogs.queuePath(path);
    window.cmdLoadSaveTextbox_Click(0);
    window.Clock_Timer();
    return Save(window, folder, QStringLiteral("main_loaded_text.png"));
}

// The main window as the program starts it, with the real Qt dialogs, near the screen's top left.
void ShowWithRealDialogs(frmMain& window, QtDialogs& dialogs)
{
    dialogs.setParent(&window);
    window.Form_Load();
    window.move(40, 30);
    if (!QTest::qWaitForWindowExposed(&window))
        std::printf("window not exposed: %s\n", qPrintable(window.windowTitle()));
}

// The help question as the real message box shows it, then (Show the help text) the local help
// beside the main window, both taken from the screen.
bool ShootHelp(const QString& folder)
{
    QtDialogs dialogs;
    frmMain window(dialogs);
    ShowWithRealDialogs(window, dialogs);
    bool questionSaved = false;
    QTimer::singleShot(500, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        questionSaved = SaveScreen(folder, QStringLiteral("help_question.png"));
        box->button(QMessageBox::No)->click();
    });
    window.cmdHelp_Click();
    const bool viewerSaved = SaveScreen(folder, QStringLiteral("help_viewer_beside_main.png"));
    return questionSaved && viewerSaved;
}

void ChooseLanguage(frmMain& window, int language)
{
    control<QComboBox>(window, QStringLiteral("cboLanguage"))->setCurrentIndex(language);
    window.cboLanguage_Click();
}

// Quillet as a user meets it under a window manager (scripts/screenshots.sh starts openbox), taken
// from the screen: the main window with its icon in the title bar, then the real Qt file dialog and a
// real question, both in German.
bool ShootDesktop(const QString& folder)
{
    QtDialogs dialogs;
    frmMain window(dialogs);
    ShowWithRealDialogs(window, dialogs);
    ChooseLanguage(window, Language::English);
    QTest::qWait(1000);
    bool saved = SaveScreen(folder, QStringLiteral("desktop_window_icon_en.png"));

    // Qt's own texts in the file dialog come from Debian's German catalogue.
    ChooseLanguage(window, Language::German);
    FileDialogRequest open;
    open.title = Language::GetProgramText(MainWindowTexts::ChooseCiphertextTitle, Language::German);
    open.nameFilters = {QStringLiteral("Quillet (*.zip)")};
    saved = SaveScreenWhileModal(folder, QStringLiteral("desktop_file_dialog_de.png"), 1500,
                                 [&] { dialogs.choosePath(open); }) &&
            saved;
    // The quit procedure's clipboard question, its buttons in the program's own texts.
    saved = SaveScreenWhileModal(
                folder, QStringLiteral("desktop_question_de.png"), 1000,
                [&] {
                    dialogs.ask(QuestionId::ClearClipboardOnQuit,
                                Language::GetProgramText(MainWindowTexts::ClearClipboardQuestion, Language::German),
                                Language::GetProgramText(MainWindowTexts::ClearClipboardTitle, Language::German),
                                DialogButtons::YesNoCancel, DialogIcon::Question);
                }) &&
            saved;
    ChooseLanguage(window, Language::English);
    return saved;
}

// A dark palette as desktops set one, to see the window's own colours against it.
QPalette DarkPalette()
{
    QPalette dark;
    const QColor window(0x2D, 0x2D, 0x30), base(0x1E, 0x1E, 0x1E), text(0xE8, 0xE8, 0xE8);
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, window);
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Button, window);
    dark.setColor(QPalette::ButtonText, text);
    dark.setColor(QPalette::ToolTipBase, base);
    dark.setColor(QPalette::ToolTipText, text);
    dark.setColor(QPalette::Highlight, QColor(0x3A, 0x6E, 0xA5));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    return dark;
}

// The file the pictured encryptions attach, written into `files`; its path.
QString WriteMinutes(const QTemporaryDir& files)
{
    const QString attachment = files.filePath(QStringLiteral("minutes.txt"));
    QFile file(attachment);
    file.open(QIODevice::WriteOnly);
    file.write("Minutes of the meeting on Friday.\n");
    return attachment;
}

// Fills a shown window for the pictured encryption: key, message, the minutes in `files` as the
// attached file, and the ciphertext's name beside them.
void FillPicturedEncryption(frmMain& window, const QTemporaryDir& files)
{
    key_entry::EnterKey(window, QStringLiteral("Correct Horse Battery Staple 42"));
    control<QPlainTextEdit>(window, QStringLiteral("txbText"))->setPlainText(QStringLiteral("See you on Friday."));
    txbFile(window, 0)->setText(WriteMinutes(files));
    txbFile(window, 1)->setText(files.filePath(QStringLiteral("for-anna.zip")));
}

// One encryption stopped and one finished, taken from the screen: the run in progress (at the
// sensitive derivation level, so it lasts), the same run stopping after Stop, and the closing box over
// the window that already shows the outcome.
bool ShootRun(const QString& folder, int language, const QString& suffix)
{
    QTemporaryDir files;
    QtDialogs dialogs;
    frmMain window(dialogs);
    ShowWithRealDialogs(window, dialogs);
    ChooseLanguage(window, language);
    FillPicturedEncryption(window, files);

    bool saved = true;
    int stage = 0; // 0 before the run, 1 working shot taken, 2 stopping shot taken
    QElapsedTimer sinceStart;
    QTimer catcher;
    QObject::connect(&catcher, &QTimer::timeout, [&] {
        if (!window.Working() || stage == 2)
            return;
        if (!sinceStart.isValid())
            sinceStart.start();
        if (stage == 0 && sinceStart.elapsed() > 800) {
            stage = 1;
            saved = SaveScreen(folder, QStringLiteral("run_working") + suffix) && saved;
            QTest::mouseClick(control(window, QStringLiteral("cmdStop")), Qt::LeftButton);
        } else if (stage == 1) {
            stage = 2;
            saved = SaveScreen(folder, QStringLiteral("run_stopping") + suffix) && saved;
        }
    });
    catcher.start(100);
    window.SetKdfLevel(KdfLevel::Sensitive);
    window.cmdEncryptMessage_Click();
    catcher.stop();
    window.SetKdfLevel(KdfLevel::Interactive);
    saved = stage == 2 && saved;
    saved = SaveScreenWhileModal(folder, QStringLiteral("run_closing_box") + suffix, 1500,
                                 [&] { window.cmdEncryptMessage_Click(); }) &&
            saved;
    return saved;
}

// Runs `shoot` once in each look a user may meet: light and dark palette, English and German; the
// suffix names the look in the pictures' file names.
bool ShootInEachLook(const std::function<bool(int language, const QString& suffix)>& shoot)
{
    const QPalette light = QApplication::palette();
    bool saved = true;
    for (const bool dark : {false, true}) {
        QApplication::setPalette(dark ? DarkPalette() : light);
        for (const int language : {Language::English, Language::German}) {
            const QString suffix = QStringLiteral("_%1_%2.png")
                                       .arg(QLatin1String(dark ? "dark" : "light"),
                                            QLatin1String(language == Language::German ? "de" : "en"));
            saved = shoot(language, suffix) && saved;
        }
    }
    QApplication::setPalette(light);
    return saved;
}

bool ShootRunStages(const QString& folder)
{
    return ShootInEachLook([&](int language, const QString& suffix) { return ShootRun(folder, language, suffix); });
}

// After an encryption: the window with Send by e-mail and Send as text, and the box shown when no mail
// program can be started (xdg-email missing), both taken from the screen, in light and dark, EN and DE.
bool ShootMail(const QString& folder)
{
    return ShootInEachLook([&](int language, const QString& suffix) {
        QTemporaryDir files;
        QtDialogs dialogs;
        frmMain window(dialogs);
        ShowWithRealDialogs(window, dialogs);
        ChooseLanguage(window, language);
        window.SetKdfLevel(KdfLevel::Interactive);
        FillPicturedEncryption(window, files);
        QTimer closer; // the closing box of the encryption
        QObject::connect(&closer, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                QTest::keyClick(modal, Qt::Key_Escape);
        });
        closer.start(500);
        window.cmdEncryptMessage_Click();
        closer.stop();
        bool saved = SaveScreen(folder, QStringLiteral("mail_commands") + suffix);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", files.path().toUtf8()); // no xdg-email
        saved = SaveScreenWhileModal(folder, QStringLiteral("mail_no_program") + suffix, 800,
                                     [&] { window.cmdSendByMail_Click(); }) &&
                saved;
        qputenv("PATH", path);
        return saved;
    });
}

// The key-entry window as the key command opens it, with `typed` in its box (nullptr: a suggested key).
bool ShootKeyWindow(const QString& folder, const char* typed, const QString& name, int language = Language::English)
{
    QWidget mainWindow;
    mainWindow.setGeometry(40, 30, 720, 560);
    mainWindow.show();
    frmKeyboardWithDisplay window(&mainWindow);
    window.applyProgramTexts(language);
    bool saved = false;
    QTimer::singleShot(0, &window, [&] {
        if (typed)
            key_entry::Type(window, QString::fromLatin1(typed));
        else
            window.findChild<QPushButton*>(QStringLiteral("cmdSuggestKey"))->click();
        window.layout()->activate(); // lay out the new line before grabbing
        // The window manager activates the window a moment later; only then has the key field the focus.
        for (QDeadlineTimer wait(2000); QApplication::activeWindow() != &window && !wait.hasExpired();)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::processEvents();
        const QString path = QDir(folder).filePath(name);
        saved = window.grab().save(path);
        std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
        window.reject();
    });
    window.clearKey();
    window.KeyboardWithDisplay(&mainWindow);
    return saved;
}

// The key-entry window after a key of 70 characters was pasted into it: the box that states the limit.
bool ShootKeyPasteTooLong(const QString& folder, int language, const QString& name)
{
    QWidget mainWindow;
    mainWindow.setGeometry(40, 30, 720, 560);
    mainWindow.show();
    ScriptedDialogs dialogs;
    frmKeyboardWithDisplay window(&mainWindow);
    window.applyProgramTexts(language);
    window.setDialogs(&dialogs);
    bool saved = false;
    QTimer::singleShot(0, &window, [&] {
        QGuiApplication::clipboard()->setText(QString(70, QLatin1Char('k')));
        auto* box = window.findChild<QLineEdit*>(QStringLiteral("txbKey"));
        box->setFocus();
        QTest::keySequence(box, QKeySequence::Paste);
        QCoreApplication::processEvents();
        QGuiApplication::clipboard()->clear();
        if (!dialogs.messages().empty()) {
            const MessageRequest told = dialogs.messages().back();
            QMessageBox shown(QMessageBox::Warning, told.title, told.text, QMessageBox::Ok, &window);
            shown.show();
            QTest::qWait(200);
            const QString path = QDir(folder).filePath(name);
            saved = shown.grab().save(path);
            std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
        }
        window.reject();
    });
    window.clearKey();
    window.KeyboardWithDisplay(&mainWindow);
    return saved;
}

// The window's real boxes, taken from the screen as they come and each closed with Escape; the folder
// chooser answers from a list instead (a file dialog is not what these pictures show).
class ScreenedBoxes : public QtDialogs {
  public:
    explicit ScreenedBoxes(QString folder) : folder_(std::move(folder)) {}

    QStringList folders; // the folder chooser's answers, in order
    QStringList names;   // the next boxes' picture names, in order ("" for no picture)
    bool saved = true;

    DialogAnswer message(const MessageRequest& request) override
    {
        const QString name = names.isEmpty() ? QString() : names.takeFirst();
        QTimer::singleShot(700, [this, name] {
            if (!name.isEmpty())
                saved = SaveScreen(folder_, name) && saved;
            if (QWidget* modal = QApplication::activeModalWidget())
                QTest::keyClick(modal, Qt::Key_Escape);
        });
        return QtDialogs::message(request);
    }

    QString choosePath(const FileDialogRequest& request) override
    {
        if (request.kind == FileDialogRequest::Kind::Folder && !folders.isEmpty())
            return folders.takeFirst();
        return QtDialogs::choosePath(request);
    }

  private:
    QString folder_;
};

// The messages that lead on, in one palette and language: the refusal of an encryption without an
// output file and the focus it leaves on the output row; a received file that is not there, named at
// start; a folder that cannot take the attached file, followed by the folder question again; the
// replace question with buttons that name their action; the help question.
bool ShootRemedies(const QString& folder, int language, const QString& suffix)
{
    QTemporaryDir files;
    const QString letter = files.filePath(QStringLiteral("for-anna.zip"));
    const QString attachment = files.filePath(QStringLiteral("minutes.txt"));
    QFile file(attachment);
    file.open(QIODevice::WriteOnly);
    file.write("Minutes of the meeting on Friday.\n");
    file.close();
    const QString received = files.filePath(QStringLiteral("received"));
    QDir().mkpath(received);
    QFile::copy(attachment, received + QStringLiteral("/minutes.txt"));
    const QString key = QStringLiteral("Correct Horse Battery Staple 42");
    ScriptedDialogs quiet;
    EncryptRequest sent;
    sent.message = QStringLiteral("See you on Friday.");
    sent.fileToAppend = attachment;
    sent.outputPath = letter;
    sent.quickKey = key;
    sent.kdfLevel = KdfLevel::Interactive;
    EncryptMessage(sent, quiet);

    ScreenedBoxes dialogs(folder);
    frmMain window(dialogs);
    ShowWithRealDialogs(window, dialogs);
    ChooseLanguage(window, language);
    key_entry::EnterKey(window, key);
    control<QPlainTextEdit>(window, QStringLiteral("txbText"))->setPlainText(QStringLiteral("See you on Friday."));
    dialogs.names = {QStringLiteral("remedy_no_output_box") + suffix};
    window.cmdEncryptMessage_Click();
    bool saved = SaveScreen(folder, QStringLiteral("remedy_no_output_focus") + suffix);

    dialogs.names = {QStringLiteral("remedy_missing_at_start") + suffix};
    window.OpenReceivedFile(files.filePath(QStringLiteral("missing.zip")));
    saved = SaveScreen(folder, QStringLiteral("remedy_missing_focus") + suffix) && saved;

    txbFile(window, 0)->setText(letter);
    dialogs.folders = {files.filePath(QStringLiteral("gone")), received};
    dialogs.names = {QString(), QStringLiteral("remedy_write_failed") + suffix,
                     QStringLiteral("remedy_replace_question") + suffix, QString()};
    window.cmdDecryptMessage_Click();

    dialogs.names = {QStringLiteral("remedy_help_question") + suffix};
    window.cmdHelp_Click();
    return saved && dialogs.saved;
}

bool ShootRemedyStages(const QString& folder)
{
    return ShootInEachLook(
        [&](int language, const QString& suffix) { return ShootRemedies(folder, language, suffix); });
}

// Pictures of windows other than the main window, each saved by its own function into the folder.
struct FolderShot {
    const char* name;
    std::function<bool(const QString& folder)> take;
};

const FolderShot folderShots[] = {
    {"run_stages", ShootRunStages},
    {"mail", ShootMail},
    {"remedies", ShootRemedyStages},
    {"large_textbox_selection", ShootLargeTextbox},
    {"viewer_help",
     [](const QString& f) {
         return ShootViewer(f, Language::English, QStringLiteral("zeb_help.txt"), QStringLiteral("viewer_help.png"));
     }},
    {"viewer_help_de",
     [](const QString& f) {
         return ShootViewer(f, Language::German, QStringLiteral("zebg_help.txt"), QStringLiteral("viewer_help_de.png"));
     }},
    {"randomness_report", ShootRandomness},
    {"main_loaded_text", ShootMainWithLoadedText},
    {"help", ShootHelp},
    {"desktop", ShootDesktop},
    {"key_window_too_short",
     [](const QString& f) { return ShootKeyWindow(f, "my secret", QStringLiteral("key_window_too_short.png")); }},
    {"key_window_valid",
     [](const QString& f) {
         return ShootKeyWindow(f, "correct horse battery staple", QStringLiteral("key_window_valid.png"));
     }},
    {"key_paste_too_long",
     [](const QString& f) {
         return ShootKeyPasteTooLong(f, Language::English, QStringLiteral("key_paste_too_long_en.png")) &&
                ShootKeyPasteTooLong(f, Language::German, QStringLiteral("key_paste_too_long_de.png"));
     }},
    {"key_window_strength",
     [](const QString& f) {
         bool saved = true;
         for (const int language : {Language::English, Language::German}) {
             const QString suffix = language == Language::German ? QStringLiteral("_de.png") : QStringLiteral(".png");
             saved =
                 ShootKeyWindow(f, "passwordpassword", QStringLiteral("key_window_weak") + suffix, language) && saved;
             saved =
                 ShootKeyWindow(f, "sunny day in Berlin 2019", QStringLiteral("key_window_fair") + suffix, language) &&
                 saved;
             saved = ShootKeyWindow(f, nullptr, QStringLiteral("key_window_suggested") + suffix, language) && saved;
         }
         return saved;
     }},
};

bool wanted(const char* name, const QStringList& names)
{
    return names.isEmpty() || names.contains(QLatin1String(name));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    AppIdentity::Apply(); // the icon and desktop file name, as the window program has them
    if (sodium_init() < 0) {
        QTextStream(stderr) << "libsodium cannot start\n";
        return EXIT_FAILURE;
    }
    QStringList arguments = app.arguments().mid(1);
    QTextStream err(stderr);
    if (arguments.isEmpty()) {
        err << "usage: quillet-screenshots DIR [NAME...]\n";
        return EXIT_FAILURE;
    }
    const QDir folder(arguments.takeFirst());
    if (!folder.mkpath(QStringLiteral("."))) {
        err << "cannot create " << folder.path() << "\n";
        return EXIT_FAILURE;
    }

    ScriptedDialogs& dialogs = Scripted();
    if (!LoadProgramTextsOrReport(dialogs, QCoreApplication::applicationDirPath())) {
        err << dialogs.records().back().message.text << "\n";
        return EXIT_FAILURE;
    }
    int failures = 0;
    for (const Shot& shot : shots) {
        if (!wanted(shot.name, arguments))
            continue;
        frmMain window(dialogs);
        window.Form_Load();
        QWidget* target = shot.prepare(window);
        QApplication::processEvents();
        const QString path = folder.filePath(QString::fromLatin1(shot.name) + QStringLiteral(".png"));
        if (target->grab().save(path)) {
            QTextStream(stdout) << path << "\n";
        } else {
            err << "cannot write " << path << "\n";
            ++failures;
        }
    }
    for (const FolderShot& shot : folderShots)
        if (wanted(shot.name, arguments) && !shot.take(folder.path()))
            ++failures;
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
