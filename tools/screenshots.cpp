// quillet-screenshots DIR [NAME...]: saves a PNG of each window state listed in `shots` below into DIR
// (all of them when no NAME is given), so that people can look at the windows without clicking
// through them. To add a picture, add one row to `shots`: a file name and a function that brings the
// main window (and whatever it opens) into the state to show and returns the widget to grab.
#include "engines/CipherEngine.h"
#include "gui/frmMain.h"
#include "gui/frmMain_startup.h"
#include "gui/frmRandomnessGraphic.h"
#include "pipeline/Dialogs.h"
#include "support/KeyEntry.h"
#include "texts/Language.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

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
    engine_set_kdf_level(KdfLevel::Interactive);
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
QWidget* decryptLetter(frmMain& window, const QString& key)
{
    encryptLetter(window, Language::English, true);
    const QString letter = txbFile(window, 1)->text();
    showMain(window, Language::English, false);
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

const Shot shots[] = {
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

bool wanted(const char* name, const QStringList& names)
{
    return names.isEmpty() || names.contains(QLatin1String(name));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
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
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
