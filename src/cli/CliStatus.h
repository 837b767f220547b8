#pragma once
// What quillet-cli tells its caller: the exit status, and the program texts only it shows.

#include "pipeline/DecryptPipeline.h"
#include "pipeline/EncryptPipeline.h"

// The exit status; scripts rely on these numbers.
enum class ExitStatus {
    Success = 0,
    Failure = 1,              // refused or failed; the message says why
    Usage = 2,                // the command line, or the key given, cannot be used
    WrongKeyOrDamaged = 3,    // the key does not fit, or the ciphertext is damaged or not ours
    CheckValueRefused = 4,    // the check value did not match and --accept-bad-check was not given
    AttachmentNotWritten = 5, // the message was recovered, the attached file was not saved
};

inline int ExitCode(ExitStatus status)
{
    return static_cast<int>(status);
}

// Program texts of the command line.
namespace CliTexts {
constexpr int NotReplaced = 435;        // an existing output file is kept without --force
constexpr int SavedUnderFreeName = 493; // the attached name is a file the run uses
constexpr int KeyLength = 436;          // the key has too few or too many significant characters
constexpr int MessageNotUtf8 = 437;     // the message is not UTF-8 text
constexpr int CheckValueHint = 438;     // how to accept a check-value mismatch
constexpr int NoKeySource = 439;        // no key file, no QUILLET_KEY and no terminal to ask on
constexpr int TypeTheMessage = 440;     // the message is read from a terminal: how to end it
constexpr int AttachedNotSaved = 423;   // an attached file with a hidden name needs --force
constexpr int BinaryToTerminal = 456;   // binary ciphertext is not written to a terminal
constexpr int KeyPromptAgain = 457;     // the key typed for encrypting is asked a second time
constexpr int KeysDiffer = 458;
constexpr int PasteTheBlock = 459;           // the ciphertext is read from a terminal: how to end it
constexpr int CiphertextWrittenTo = 460;     // followed by the file's name
constexpr int GoingOnUnverified = 461;       // a check-value mismatch accepted with --accept-bad-check
constexpr int KeyNotUtf8 = 462;              // the key (file, variable or terminal) is not UTF-8 text
constexpr int KeyFileReadableByOthers = 480; // a warning, followed by the file's name
constexpr int NameAWritableFolder = 506;     // the attached file could not be written into --out-dir
constexpr int KeyPrompt = 124;
constexpr int KeyChecksumIs = 136;
// The pipelines' own texts where the command line says the same thing.
constexpr int FileUnreadable = EncryptTexts::FileUnreadable;
constexpr int FileNotWritten = EncryptTexts::OutputNotWritten;
constexpr int CiphertextUnreadable = DecryptTexts::CiphertextUnreadable;
} // namespace CliTexts
