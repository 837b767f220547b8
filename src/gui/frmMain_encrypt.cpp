// The encrypt command of the main window: checks the key, borrows the key field as a busy line, runs
// the encrypt pipeline and shows its outcome in the window and the randomness report.
#include "gui/frmMain.h"

#include "files/FileProc.h"
#include "format/ArmoredText.h"
#include "gui/RunDialogs.h"
#include "gui/frmRandomnessGraphic.h"
#include "pipeline/Dialogs.h"
#include "pipeline/EncryptPipeline.h"
#include "texts/WindowTexts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

void ShowRandomness(frmRandomnessGraphic& report, const RandomnessReport& figures, int language)
{
    report.applyTexts(language);
    if (!figures.windowCaption.isEmpty())
        report.setWindowTitle(figures.windowCaption);
    for (int i = 0; i < 2; ++i) {
        const RandomnessSide& side = figures.sides[i];
        report.showStatistics(i, side.caption, side.sizeText, side.randomnessText);
        if (side.plotData.isEmpty())
            report.ClearPic(i);
        else
            report.PlotPairs(i, side.plotData);
    }
}

} // namespace

// The report window is made on first use and lives as long as the main window.
frmRandomnessGraphic& frmMain::RandomnessReportWindow()
{
    if (RandomnessWindow == nullptr) {
        RandomnessWindow = new frmRandomnessGraphic(this);
        RandomnessWindow->Form_load(this);
    }
    return *RandomnessWindow;
}

void frmMain::cmdEncryptMessage_Click()
{
    if (QuickKey.isEmpty()) {
        NoKeyMessage();
        FocusOn(Remedy::Key);
        return;
    }
    if (KeyHidden() && AskToShowHiddenKey())
        return;
    // The consent covers the file there now; one that appears during the run is asked about again.
    const bool replacing = FileProc::FileExists(txbFile[1]->text());
    // Not to be replaced: another name is what the user needs next.
    if (!AskReplaceExistingOutput(dialogs, txbFile[1]->text(), State.language)) {
        FocusOn(Remedy::OutputFile);
        return;
    }

    RunDialogs reports(dialogs);
    EncryptRequest request;
    request.message = txbText->toPlainText();
    request.fileToAppend = txbFile[0]->text();
    request.outputPath = txbFile[1]->text();
    request.mayReplace = replacing;
    request.quickKey = QuickKey;
    request.language = State.language;
    request.kdfLevel = EncryptKdfLevel;
    request.workingFolderBase = WorkingFolderBase;
    request.workingFolders = &RunFolders;
    request.control = BeginWork(WindowMode::Encrypt);
    const EncryptOutcome outcome = EncryptMessage(request, reports);
    const bool quit = EndWork();
    // A stopped run changed nothing: the window is as it was before it.
    if (!outcome.stopped)
        ShowEncryptOutcome(outcome);
    if (outcome.success)
        TrackCiphertextFile(request.outputPath);
    Render();
    reports.ShowHeld();
    FocusOn(reports.LastRemedy());
    if (quit)
        close();
}

void frmMain::ShowEncryptOutcome(const EncryptOutcome& outcome)
{
    if (txbText->toPlainText() != outcome.trimmedMessage)
        txbText->setPlainText(outcome.trimmedMessage);
    State.File(0) = outcome.fileToAppend;
    // After the text, whose change retires the latest ciphertext.
    LastCiphertext = outcome.ciphertext;
    State.ciphertextHeld = !LastCiphertext.isEmpty();
    RM[0] = outcome.randomness.sides[0].measure;
    RM[1] = outcome.randomness.sides[1].measure;
    State.view = outcome.ViewCiphertextEnabled() ? CiphertextView::Measured
                 : outcome.success               ? CiphertextView::TooShort
                                                 : CiphertextView::None;
    if (outcome.success)
        ShowRandomness(RandomnessReportWindow(), outcome.randomness, State.language);
}

void frmMain::cmdViewCiphertext_Click()
{
    frmRandomnessGraphic& report = RandomnessReportWindow();
    // The texts follow the current language; the title keeps the path of the latest ciphertext.
    const QString title = report.windowTitle();
    report.applyTexts(State.language);
    report.setWindowTitle(title);
    report.setWindowIcon(windowIcon());
    report.exec();
}

void frmMain::cmdCopyAsText_Click()
{
    QGuiApplication::clipboard()->setText(QString::fromLatin1(Armor::Encode(LastCiphertext)));
    ShowClipboardSize();
    dialogs.inform(ProgramText(MainWindowTexts::CopiedAsText), ProgramText(MainWindowTexts::CopyAsText),
                   DialogIcon::Information);
    SetTheFocus();
}
