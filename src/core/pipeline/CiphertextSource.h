#pragma once
// The ciphertext a decryption reads, taken and looked at before anything else is asked: a file that
// is not there, cannot be read, or does not begin as a Quillet ciphertext file is refused before the
// user types a key for it. What the header tells needs no key.

#include "pipeline/DecryptPipeline.h"

#include <QByteArray>
#include <QString>

#include <optional>

struct CiphertextSource {
    QByteArray file;                               // the ciphertext file in binary form, when accepted
    DecryptStatus status = DecryptStatus::Success; // Failed: none named, or not readable; WrongKeyOrDamaged: not ours
    QString problem;                               // when refused: the whole message
    DialogIcon icon = DialogIcon::Exclamation;     // None for the reminder that no file is named
    bool ok() const { return status == DecryptStatus::Success; }
};

// Reads the ciphertext of the request (request.ciphertext when given, a text block or a file's
// content from elsewhere; else the file at request.ciphertextPath) in either form, and checks its
// ZIP-like header and the engine header behind it. A refusal of a named file names it and ends with
// what to do next.
CiphertextSource ReadCiphertextSource(const DecryptRequest& request);

// Shows a refusal as the decrypt pipeline does: under the decrypt command's title, mended by choosing
// the ciphertext file.
void ShowSourceRefusal(const CiphertextSource& source, Dialogs& dialogs, int language);
