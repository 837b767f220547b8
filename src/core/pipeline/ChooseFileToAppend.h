#pragma once
// Choosing the file that travels with a message: the open-file dialog and the checks that refuse a
// file whose name is too long, that cannot be read, that is too large or that is empty. Shared by
// the window's file field, the encrypt pipeline's offer to append a file and the command line.

#include "pipeline/Dialogs.h"

#include <QString>

// Program texts of the chooser.
namespace AppendTexts {
constexpr int ChooserTitle = 14;          // caption of the file-to-append button, also the title of its refusals
constexpr int FileFilter = 48;            // name of the "all files" filter
constexpr int TooLarge = 49;              // the file is too large to append
constexpr int Empty = 50;                 // the file is empty
constexpr int NothingTaken = 51;          // the file was not taken
constexpr int NameTooLong = 61;           // the file's name is too long
constexpr int Unreadable = 47;            // the file cannot be read
constexpr int TooLargeTitle = 59;         // title of the too-large box
constexpr int TextboxTooLargeTitle = 58;  // title of the box for a file too large for the text box
constexpr int TextboxLargestAllowed = 60; // "the largest file the text box takes:"
constexpr int LargestAllowed = 405;       // "the largest file that can be appended ..."
constexpr int LargestAllowedIs = 406;     // "... is"
constexpr int TooLargeToAttach = 1601;    // followed by the path, then 1602 and the size
constexpr int ItsSize = 1602;
} // namespace AppendTexts

// Shows the main window's box for a file above a size limit: strMsg, a blank line, then the limit
// (intI 0: the text-box limit, intI 1: the limit of the file to append). Any other intI shows nothing.
void TooLargeErrMsg(Dialogs& dialogs, const QString& strMsg, int intI, int language);
namespace TooLargeLimit {
constexpr int Textbox = 0;
constexpr int FileToAppend = 1;
} // namespace TooLargeLimit

// The too-large box for a file to append: which file, its size and the limit.
void FileTooLargeToAttach(Dialogs& dialogs, const QString& path, qint64 size, int language);

// The too-large box for a file to append: which file, its size and the limit.
void FileTooLargeToAttach(Dialogs& dialogs, const QString& path, qint64 size, int language);

// Checks a file the user chose to append; a refused file is explained in one box (exclamation
// icon) and false is returned.
bool AcceptFileToAppend(Dialogs& dialogs, const QString& path, int language);

// The open-file dialog for the file to append, then AcceptFileToAppend. The chosen path, or ""
// when the user cancelled or the file was refused.
// startPath: where the dialog opens (see FileDialogRequest).
QString ChooseFileToAppend(Dialogs& dialogs, int language, const QString& startPath = {});
