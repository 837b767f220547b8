#pragma once
// The armored text form of a ciphertext file, for the body of an e-mail: a begin line, the whole
// ciphertext file in Base64 (standard alphabet, padded, lines of 64 characters) and an end line.
// The bytes inside are exactly the binary file, so either form decrypts the same way.

#include <QByteArray>

namespace Armor {

inline constexpr char BeginLine[] = "-----BEGIN QUILLET MESSAGE-----";
inline constexpr char EndLine[] = "-----END QUILLET MESSAGE-----";
inline constexpr int LineLength = 64;

// The armored form of a ciphertext file, each line ended by LF.
QByteArray Encode(const QByteArray& ciphertextFile);

// The size of Encode's result for a file of fileSize bytes, without encoding it.
qsizetype EncodedSize(qsizetype fileSize);

enum class Found {
    NoBlock,   // no begin line: the text does not hold an armored message
    Ok,        // exactly one block, decoded
    Damaged,   // a character that is not Base64, or Base64 that is not written the one canonical way
    Unended,   // a begin line without its end line (the block was cut short)
    TwoBlocks, // more than one block: which one is meant cannot be told
};

struct Decoded {
    Found found = Found::NoBlock;
    QByteArray ciphertextFile; // the binary file when Ok
};

// Finds the one armored block in a text (an e-mail with quoted replies and a signature around it
// will do). Around and inside the block, white space (ASCII), line breaks and the quote marks of a
// reply ("> ", ">>") at the start of a line are ignored; anything else between the two lines is
// refused, and so is a block with nothing between them.
// The text is taken as mail programs deliver it: a UTF-8 byte-order mark is dropped, no-break spaces
// count as spaces, CR LF and a lone CR as line ends, and a text that holds no good block as it
// stands is read again decoded from quoted-printable (a saved e-mail's text part).
Decoded Decode(const QByteArray& text);

// True when the bytes are a binary ciphertext file rather than text that may hold a block: the
// binary file begins with the ZIP signature, which no armored text begins with.
bool LooksBinary(const QByteArray& bytes);

} // namespace Armor
