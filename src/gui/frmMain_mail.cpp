// Sending the latest ciphertext file by e-mail: the desktop's xdg-email opens the user's mail program
// with a new e-mail that carries the file, attached or as its text block. Where no mail program can
// be started, the user learns where the file is and may open its folder.
#include "gui/frmMain.h"

#include "files/FileProc.h"
#include "format/ArmoredText.h"
#include "pipeline/Dialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>

namespace {
const QString MailHelper = QStringLiteral("xdg-email");
const QString FolderHelper = QStringLiteral("xdg-open");
const QString CrLf = QStringLiteral("\r\n");
} // namespace

void frmMain::TrackCiphertextFile(const QString& path)
{
    if (CiphertextWatch == nullptr) {
        CiphertextWatch = new QFileSystemWatcher(this);
        connect(CiphertextWatch, &QFileSystemWatcher::fileChanged, this, [this] { CiphertextFileChanged(); });
    }
    if (!LastCiphertextFile.isEmpty())
        CiphertextWatch->removePath(LastCiphertextFile);
    LastCiphertextFile = QFileInfo(path).absoluteFilePath();
    CiphertextFileChanged();
}

void frmMain::CiphertextFileChanged()
{
    State.ciphertextFileExists = QFileInfo(LastCiphertextFile).isFile();
    // A file removed leaves the watch; one put back in its place is watched again.
    if (State.ciphertextFileExists && !CiphertextWatch->files().contains(LastCiphertextFile))
        CiphertextWatch->addPath(LastCiphertextFile);
    Render();
}

QString frmMain::MailText(int number, const QString& path) const
{
    return ProgramText(number) + CrLf + QDir::toNativeSeparators(path);
}

QString frmMain::CiphertextFileToSend()
{
    const QFileInfo file(LastCiphertextFile);
    if (file.isFile())
        return file.absoluteFilePath();
    dialogs.inform(MailText(MailTexts::FileGone, LastCiphertextFile), ProgramText(MailTexts::BoxTitle),
                   DialogIcon::Exclamation);
    CiphertextFileChanged();
    return {};
}

void frmMain::cmdSendByMail_Click()
{
    const QString file = CiphertextFileToSend();
    if (!file.isEmpty())
        StartMail(Mail::WithAttachment(file, State.language));
}

void frmMain::cmdSendAsText_Click()
{
    const QString file = CiphertextFileToSend();
    if (file.isEmpty())
        return;
    QByteArray contents;
    QString error;
    FileProc::ReadFileToString(file, contents, 0, error, FileProc::FileKind::RegularOnly);
    if (!error.isEmpty()) {
        dialogs.inform(MailText(MailTexts::FileUnreadable, file) + CrLf + error, ProgramText(MailTexts::BoxTitle),
                       DialogIcon::Exclamation);
        return;
    }
    const QByteArray block = Armor::Encode(contents);
    if (Mail::FitsInBody(block)) {
        StartMail(Mail::WithTextBlock(block, State.language));
        return;
    }
    if (dialogs.ask(QuestionId::AttachInsteadOfText, ProgramText(MailTexts::BlockTooLong),
                    ProgramText(MailTexts::BoxTitle), DialogButtons::YesNo) == DialogAnswer::Yes)
        StartMail(Mail::WithAttachment(file, State.language));
}

void frmMain::StartMail(const Mail::Draft& draft)
{
    State.mailStarting = true;
    Render();
    Launcher.Launch(MailHelper, {QString::fromLatin1(Mail::MailtoUri(draft))}, [this](const LaunchOutcome& outcome) {
        State.mailStarting = false;
        Render();
        if (outcome.result != LaunchResult::Started)
            OfferCiphertextFolder(outcome);
    });
}

void frmMain::OfferCiphertextFolder(const LaunchOutcome& outcome)
{
    const QString why = outcome.result == LaunchResult::NotInstalled
                            ? ProgramText(MailTexts::NotInstalled)
                            : ProgramText(MailTexts::HelperFailed) + u' ' + QString::number(outcome.exitStatus) + u'.';
    const QString file = LastCiphertextFile;
    const QString text = why + CrLf + CrLf + MailText(MailTexts::AttachItYourself, file) + CrLf + CrLf +
                         ProgramText(MailTexts::OpenItsFolder);
    const QString title = ProgramText(MailTexts::BoxTitle);
    if (dialogs.ask(QuestionId::OpenCiphertextFolder, text, title, DialogButtons::YesNo, DialogIcon::Exclamation) !=
        DialogAnswer::Yes)
        return;
    Launcher.Launch(FolderHelper, {QFileInfo(file).absolutePath()}, [this, file, title](const LaunchOutcome& opened) {
        if (opened.result != LaunchResult::Started)
            dialogs.inform(MailText(MailTexts::FolderNotOpened, file), title, DialogIcon::Exclamation);
    });
}
