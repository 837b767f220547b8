#pragma once
// Small file routines of the pipelines: existence tests, unique temporary files, moving bytes into
// and out of files. Failures come back as an error text ("" on success) or a bool, never as throws.

#include <QByteArray>
#include <QString>

namespace FileProc {

// True when path names an existing file (not a folder); false for "".
bool FileExists(const QString& path);
// True when path, trimmed of leading and trailing spaces, names an existing folder.
bool FolderExists(const QString& path);

// 1 when path was free and has now been created, empty, exclusively for us (mode 0600); any other
// value: taken or not creatable. Nothing is followed: a link at path counts as taken.
int FileCreatable(const QString& path);

// Creates and returns folder/<stem><01…99><.extension> (extension with or without its dot), the
// first name that did not exist; the file exists, empty, with mode 0600 when this returns.
// "" with errorText "<folder/> does not exist." or "On 99th attempt, <name> was not creatable.".
QString UniqueTempFileName(const QString& folder, const QString& stem, const QString& extension, QString& errorText);

// What a read accepts: any file that can be read (a pipe the user named, a terminal), or only a
// regular file (a file to append: a pipe or a device is refused without waiting on it).
enum class FileKind { Any, RegularOnly };

// The cause given for anything that is not a regular file where one is needed.
QString NotRegularFileText();

// Reads the file into contents: at most maxLength bytes when 1 <= maxLength < its length, else all
// of it (maxLength 0: no limit). errorText "" on success, else a short English cause. Opening never
// waits for a pipe's writer.
void ReadFileToString(const QString& path, QByteArray& contents, qint64 maxLength, QString& errorText,
                      FileKind kind = FileKind::Any);
// As ReadFileToString, but the file's bytes go after what contents already holds (kept as it was
// on failure), so a header and a file can share one buffer without a copy.
void AppendFileToString(const QString& path, QByteArray& contents, qint64 maxLength, QString& errorText,
                        FileKind kind = FileKind::Any);

// Reads an open descriptor (standard input) to its end, or to maxLength bytes (0: no limit), however
// many reads that takes. errorText "" on success, else a short English cause.
void ReadDescriptorToString(int fd, QByteArray& contents, qint64 maxLength, QString& errorText);

// Writes data followed by extra to a file the user named, replacing it as a whole
// (FileWrite::WriteUserFile: the user's link is followed, an earlier file stays whole until the new
// content is synced). Empty data makes an empty file. Returns "" on success, else a short English
// cause ("Disk full.", "Permission denied.", …).
// Who may read a file that WriteStringToFile creates. A file of the user's own that it replaces keeps
// its mode.
enum class NewFileAccess {
    FollowUmask, // ciphertext and the user's own files: as the user's umask says
    OwnerOnly    // decrypted plain text: mode 0600 from the moment it exists, whatever the umask
};

// language: of the causes that are program texts (a link not followed, another user's file).
QString WriteStringToFile(const QByteArray& data, const QString& path, const QByteArray& extra = {},
                          NewFileAccess access = NewFileAccess::FollowUmask, int language = 0);

// Writes data followed by extra into the existing file at path, a temporary file made by UniqueTempFileName, from its
// start: the file keeps the mode and owner it was created with, nothing is created, and a link
// is refused. Not synced to the device: such a file is shredded, which syncs. Returns "" on
// success, else a short English cause.
QString WriteToTempFile(const QByteArray& data, const QString& path, const QByteArray& extra = {});

} // namespace FileProc
