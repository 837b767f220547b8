// quillet_desktop_screenshots DIR: pictures of the whole screen, as a user sees Quillet under a window
// manager (scripts/screenshots.sh starts openbox on a virtual display): the main window with its icon
// in the title bar, the German file dialog and a German question with German buttons. Unlike
// quillet-screenshots, these show the real Qt dialogs and the window manager's frame, so each picture
// is taken with ImageMagick's `import -window root` while the window is up.
#include "gui/AppIdentity.h"
#include "gui/QtDialogs.h"
#include "gui/frmMain.h"
#include "gui/frmMain_startup.h"
#include "texts/Language.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QTextStream>
#include <QTimer>

#include <cstdlib>
#include <functional>

namespace {

// Time for the window manager to map, frame and draw a window before the picture is taken.
constexpr int SettleMilliseconds = 1500;

int failures = 0;

// After the settle time: the picture of the whole screen, then `then` (which closes what is shown).
void ShootSoon(const QString& path, const std::function<void()>& then)
{
    QTimer::singleShot(SettleMilliseconds, [path, then]() {
        if (QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path}) == 0)
            QTextStream(stdout) << path << "\n";
        else
            ++failures;
        then();
    });
}

void CloseModal()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
}

void ChooseLanguage(frmMain& window, int language)
{
    window.findChild<QComboBox*>(QStringLiteral("cboLanguage"))->setCurrentIndex(language);
    window.cboLanguage_Click();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() != 1) {
        QTextStream(stderr) << "usage: quillet_desktop_screenshots DIR\n";
        return EXIT_FAILURE;
    }
    const QDir folder(arguments.front());
    AppIdentity::Apply();
    QtDialogs dialogs;
    if (!LoadProgramTextsOrReport(dialogs, QCoreApplication::applicationDirPath()))
        return EXIT_FAILURE;
    frmMain window(dialogs);
    dialogs.setParent(&window);
    window.Form_Load();
    window.move(40, 30);

    // The main window, framed by the window manager, its icon in the title bar.
    ChooseLanguage(window, Language::English);
    QEventLoop settle;
    ShootSoon(folder.filePath(QStringLiteral("desktop_window_icon_en.png")), [&settle]() { settle.quit(); });
    settle.exec();

    // The file dialog in German: Qt's own texts come from Debian's German catalogue.
    ChooseLanguage(window, Language::German);
    ShootSoon(folder.filePath(QStringLiteral("desktop_file_dialog_de.png")), CloseModal);
    FileDialogRequest open;
    open.title = Language::GetProgramText(89, Language::German);
    open.nameFilters = {QStringLiteral("Quillet (*.zip)")};
    dialogs.choosePath(open);

    // A German question: the quit procedure's clipboard question, its buttons in the program's texts.
    ShootSoon(folder.filePath(QStringLiteral("desktop_question_de.png")), CloseModal);
    dialogs.ask(Language::GetProgramText(177, Language::German), Language::GetProgramText(178, Language::German),
                DialogButtons::YesNoCancel, DialogIcon::Question);

    ChooseLanguage(window, Language::English);
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
