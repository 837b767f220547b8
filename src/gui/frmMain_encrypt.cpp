// The encrypt command of the main window: checks the key, borrows the key field as a busy line, runs
// the encrypt pipeline and shows its outcome in the window and the randomness report.
#include "gui/frmMain.h"

#include "files/FileProc.h"
#include "format/ArmoredText.h"
#include "gui/frmRandomnessGraphic.h"
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

// Frames are plain QFrames; labels and text boxes derive from QFrame too and have their own flags.
bool IsFrame(const QWidget* widget)
{
    return widget->metaObject() == &QFrame::staticMetaObject;
}

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
            report.PlotRandomness(i, side.plotData);
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

void frmMain::SetControlsEnabled(bool enabled, bool frames, bool textBoxes, bool labels)
{
    for (QWidget* widget : findChildren<QWidget*>()) {
        const bool command = qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget);
        const bool textBox = qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget);
        if (command || (frames && IsFrame(widget)) || (textBoxes && textBox) ||
            (labels && qobject_cast<QLabel*>(widget)))
            widget->setEnabled(enabled);
    }
    repaint();
}

void frmMain::cmdEncryptMessage_Click()
{
    if (QuickKey.isEmpty()) {
        NoKeyMessage();
        return;
    }
    if (KeyHidden() && AskToShowHiddenKey())
        return;
    cmdSpecifyFile[1]->setVisible(true);
    cmdSpecifyFile[1]->raise();
    lblAppendedFile->setVisible(false);
    // The consent covers the file there now; one that appears during the run is asked about again.
    const bool replacing = FileProc::FileExists(txbFile[1]->text());
    if (!AskReplaceExistingOutput(dialogs, txbFile[1]->text(), CurrentLanguage))
        return;

    const QString keptKeyText = txbQuickKey->text();
    SetControlsEnabled(false, false, false, true);
    cmdQuit->setEnabled(true);
    optEncrypt->setChecked(true);
    cmdViewCiphertext->setEnabled(false);
    ClearRM();

    EncryptRequest request;
    request.message = txbText->toPlainText();
    request.fileToAppend = txbFile[0]->text();
    request.outputPath = txbFile[1]->text();
    request.mayReplace = replacing;
    request.quickKey = QuickKey;
    request.language = CurrentLanguage;
    request.kdfLevel = engine_kdf_level();
    request.workingFolderBase = WorkingFolderBase;
    request.showBusy = [this](bool busy) { ShowBusyLine(busy ? EncryptBusyText(CurrentLanguage) : QString()); };
    request.control = BeginWork();
    const EncryptOutcome outcome = EncryptMessage(request, dialogs);
    const bool quit = EndWork();

    if (txbText->toPlainText() != outcome.trimmedMessage)
        txbText->setPlainText(outcome.trimmedMessage);
    if (txbFile[0]->text() != outcome.fileToAppend) {
        txbFile[0]->setText(outcome.fileToAppend);
        cmdClearFile[0]->setVisible(!outcome.fileToAppend.isEmpty());
    }
    LastCiphertext = outcome.ciphertext;
    RM[0] = outcome.randomness.sides[0].measure;
    RM[1] = outcome.randomness.sides[1].measure;
    if (outcome.success)
        ShowRandomness(RandomnessReportWindow(), outcome.randomness, CurrentLanguage);

    SetControlsEnabled(true, false, false, true);
    ShowBusyLine({});
    txbQuickKey->setText(keptKeyText);
    cmdDecryptMessage->setEnabled(false);
    cmdViewCiphertext->setEnabled(RM[0] > 0 && RM[1] > 0);
    // A grey button says why: the message alone was too short to measure.
    cmdViewCiphertext->setToolTip(outcome.success && !cmdViewCiphertext->isEnabled()
                                      ? ProgramText(MainWindowTexts::TooShortToMeasure)
                                      : QString());
    SetTheFocus();
    if (quit)
        close();
}

void frmMain::cmdViewCiphertext_Click()
{
    frmRandomnessGraphic& report = RandomnessReportWindow();
    // The texts follow the current language; the title keeps the path of the latest ciphertext.
    const QString title = report.windowTitle();
    report.applyTexts(CurrentLanguage);
    report.setWindowTitle(title);
    report.setWindowIcon(windowIcon());
    report.exec();
}

void frmMain::ShowCopyAsText()
{
    cmdCopyAsText->setEnabled(EncryptMode && !LastCiphertext.isEmpty());
}

void frmMain::cmdCopyAsText_Click()
{
    QGuiApplication::clipboard()->setText(QString::fromLatin1(Armor::Encode(LastCiphertext)));
    ShowClipboardSize();
    dialogs.inform(ProgramText(MainWindowTexts::CopiedAsText), ProgramText(MainWindowTexts::CopyAsText),
                   DialogIcon::Information);
    SetTheFocus();
}
