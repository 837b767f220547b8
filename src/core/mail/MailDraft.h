#pragma once
// A new e-mail for the user's mail program to open: a subject, a body and at most one attached file,
// written as the mailto: address that the desktop's mail handlers take (RFC 6068, with the attach
// field that xdg-email adds). Only what the sender may show travels in it: the ciphertext and a short
// note, never the key, its checksum or the message.

#include <QByteArray>
#include <QString>

namespace Mail {

struct Draft {
    QString subject;
    QString body;
    QString attachment; // the file's absolute path, "" for none
};

// The note and the ciphertext file attached. `ciphertextPath` is absolute.
Draft WithAttachment(const QString& ciphertextPath, int language);
// The note with the armored block below it, nothing attached.
Draft WithTextBlock(const QByteArray& armoredBlock, int language);

// The longest armored block put into the body. The whole message reaches the mail program on its
// command line, where some (Thunderbird on Windows among them) take no more than 32 KiB.
inline constexpr qsizetype MaxBodyBlockBytes = 32 * 1024;
bool FitsInBody(const QByteArray& armoredBlock);

// The draft as a mailto: address. Each field is percent-encoded byte by byte from UTF-8 (a path from
// its bytes on disk), as xdg-email encodes it: only letters, digits and "@.-/" stand as they are, and
// line breaks become CR LF. Nothing in it is left for a shell or a mail handler to interpret.
QByteArray MailtoUri(const Draft& draft);

} // namespace Mail

// Program texts of the e-mail and of the boxes around sending it.
namespace MailTexts {
constexpr int Subject = 520;
constexpr int AttachmentNote = 521; // the body beside the attached file
constexpr int TextBlockNote = 522;  // the body above the armored block
constexpr int BoxTitle = 523;
constexpr int NotInstalled = 524;     // xdg-email is missing
constexpr int HelperFailed = 525;     // followed by the helper's exit status
constexpr int AttachItYourself = 526; // followed by the file's path
constexpr int OpenItsFolder = 527;
constexpr int FolderNotOpened = 528; // followed by the file's path
constexpr int BlockTooLong = 529;
constexpr int FileGone = 530;       // followed by the file's path
constexpr int FileUnreadable = 531; // followed by the file's path and the error
} // namespace MailTexts
