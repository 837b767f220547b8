// Draws the viewer windows with sample content and saves each as a PNG, so a person can look at them.
// Usage: quillet_viewer_screenshots <output folder>   (run under a display, e.g. xvfb-run -a)
#include "gui/QtDialogs.h"
#include "gui/frmLargeTextbox.h"
#include "gui/frmMain.h"
#include "gui/frmRandomnessGraphic.h"
#include "gui/frmView.h"
#include "support/ScriptedDialogs.h"
#include "texts/ByteSize.h"
#include "texts/Language.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sodium.h>

#include <cstdio>

namespace {

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
                          size + FormatByteSize(plaintext.size(), 2), QString());
    window.PlotRandomness(1, ciphertext);
    window.showStatistics(1, Language::GetProgramText(54, Language::English),
                          size + FormatByteSize(ciphertext.size(), 2), QString());
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

// The help question as the real message box shows it, then (Cancel) the local help over the main
// window, both taken from the screen.
bool ShootHelp(const QString& folder)
{
    QtDialogs dialogs;
    frmMain window(dialogs);
    dialogs.setParent(&window);
    window.Form_Load();
    QTest::qWaitForWindowExposed(&window);
    bool questionSaved = false;
    QTimer::singleShot(500, [&] {
        QWidget* question = QApplication::activeModalWidget();
        if (question == nullptr)
            return;
        questionSaved = SaveScreen(folder, QStringLiteral("help_question.png"));
        QTest::keyClick(question, Qt::Key_Escape);
    });
    window.cmdHelp_Click();
    const bool viewerSaved = SaveScreen(folder, QStringLiteral("help_viewer_over_main.png"));
    return questionSaved && viewerSaved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2 || sodium_init() < 0) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    if (Language::LoadProgramTexts(QCoreApplication::applicationDirPath()) <= 0) {
        std::fprintf(stderr, "cannot load the program texts beside the program\n");
        return 1;
    }
    bool ok = ShootLargeTextbox(folder);
    ok =
        ShootViewer(folder, Language::English, QStringLiteral("zeb_help.txt"), QStringLiteral("viewer_help.png")) && ok;
    ok = ShootViewer(folder, Language::German, QStringLiteral("zebg_help.txt"), QStringLiteral("viewer_help_de.png")) &&
         ok;
    ok = ShootRandomness(folder) && ok;
    ok = ShootMainWithLoadedText(folder) && ok;
    ok = ShootHelp(folder) && ok;
    return ok ? 0 : 1;
}
