#include "pipeline/ChooseFileToAppend.h"

#include "files/FileLimits.h"
#include "files/FileProc.h"
#include "texts/Language.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString Text(int number, int language)
{
    return Language::GetProgramText(number, language);
}

void Refuse(Dialogs& dialogs, const QString& text, int language)
{
    dialogs.inform(text, Text(AppendTexts::ChooserTitle, language), DialogIcon::Exclamation);
}

// The reader's own words for why the file cannot be read (missing, a folder, a pipe or device, no
// permission); asking never waits on a pipe.
QString ReadErrorOf(const QString& path)
{
    QByteArray firstByte;
    QString errorText;
    FileProc::ReadFileToString(path, firstByte, 1, errorText, FileProc::FileKind::RegularOnly);
    return errorText.isEmpty() ? QStringLiteral("Not a readable file.") : errorText;
}

} // namespace

void TooLargeErrMsg(Dialogs& dialogs, const QString& strMsg, int intI, int language)
{
    const bool german = language == Language::German;
    QString text = strMsg + CrLf + CrLf;
    QString title;
    if (intI == 0) {
        text += Text(AppendTexts::TextboxLargestAllowed, language) + ' ' +
                FileLimits::FormatSizeLimit(FileLimits::MaxTextFileSize, german);
        title = Text(AppendTexts::TextboxTooLargeTitle, language);
    } else if (intI == 1) {
        text += Text(AppendTexts::LargestAllowed, language) + CrLf + Text(AppendTexts::LargestAllowedIs, language) +
                ' ' + FileLimits::FormatSizeLimit(FileLimits::MaxAppendedFileSize, german) + '.';
        title = Text(AppendTexts::TooLargeTitle, language);
    } else {
        return;
    }
    dialogs.inform(text, title, DialogIcon::Exclamation);
}

void FileTooLargeToAttach(Dialogs& dialogs, const QString& path, qint64 size, int language)
{
    TooLargeErrMsg(dialogs,
                   Text(AppendTexts::TooLargeToAttach, language) + CrLf + QDir::toNativeSeparators(path) + CrLf +
                       Text(AppendTexts::ItsSize, language) + ' ' +
                       FileLimits::FormatSizeLimit(size, language == Language::German),
                   1, language);
}

bool AcceptFileToAppend(Dialogs& dialogs, const QString& path, int language)
{
    using FileLimits::AppendCheck;
    const QString shownPath = QDir::toNativeSeparators(path);
    switch (FileLimits::CheckFileToAppend(path)) {
    case AppendCheck::Ok:
        return true;
    case AppendCheck::NameTooLong:
        Refuse(dialogs, Text(AppendTexts::NameTooLong, language) + CrLf + Text(AppendTexts::NothingTaken, language),
               language);
        return false;
    case AppendCheck::Unreadable:
        Refuse(dialogs, Text(AppendTexts::Unreadable, language) + CrLf + shownPath + CrLf + ReadErrorOf(path),
               language);
        return false;
    case AppendCheck::TooLarge:
        FileTooLargeToAttach(dialogs, path, QFileInfo(path).size(), language);
        return false;
    case AppendCheck::Empty:
        Refuse(dialogs, Text(AppendTexts::Empty, language) + CrLf + Text(AppendTexts::NothingTaken, language),
               language);
        return false;
    }
    return false;
}

QString ChooseFileToAppend(Dialogs& dialogs, int language, const QString& startPath)
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.title = Text(AppendTexts::ChooserTitle, language);
    request.nameFilters = {Text(AppendTexts::FileFilter, language) + QStringLiteral(" (*)")};
    request.mustExist = true;
    request.startPath = startPath;
    const QString path = dialogs.choosePath(request);
    if (path.isEmpty())
        return {};
    return AcceptFileToAppend(dialogs, path, language) ? path : QString();
}
