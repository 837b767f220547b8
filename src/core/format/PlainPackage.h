#pragma once
// The plain package inside the encryption: a 5-digit message length, the message (UTF-8), a 3-digit
// name length, the attached file's name (UTF-8), the payload (the file, or random filler when none
// is attached), and the MD5 of all that as 32 upper-case hex digits.

#include <QByteArray>
#include <QByteArrayView>

constexpr qsizetype MessageLengthDigits = 5;
constexpr qsizetype NameLengthDigits = 3;
constexpr qsizetype CheckValueLength = 32;
constexpr qsizetype MaxMessageBytes = 99999;
constexpr qsizetype MaxNameBytes = 999;

// Program texts of the package format.
constexpr int DamagedPackageText = 408; // the length fields of a decrypted package are not valid

// The fields in front of the payload: message length, message, name length, name.
// Empty when the message or the name is too long for its length field.
QByteArray PlainPackageHead(const QByteArray& message, const QByteArray& attachedName);

// The whole package: head, payload, check value. Empty when a field is too long (a valid package
// is never empty).
QByteArray BuildPlainPackage(const QByteArray& message, const QByteArray& attachedName, const QByteArray& payload);

// The check value that closes a package: the MD5 of head and payload (everything before it).
QByteArray PlainPackageCheckValue(QByteArrayView headAndPayload);

enum class PackageStatus { Ok, Damaged };

// The fields are views into the package that was parsed: valid while it lives unchanged, and gone
// with it when the caller wipes it. Nothing of the plain text is copied.
struct PlainPackageContent {
    PackageStatus status = PackageStatus::Damaged;
    QByteArrayView message;         // UTF-8
    QByteArrayView name;            // UTF-8, empty when no file is attached
    QByteArrayView data;            // the attached file's bytes (the filler when no file is attached)
    bool checkValueMatches = false; // the last 32 bytes are the MD5 hex of the rest

    bool fileAttached() const { return !name.isEmpty(); }
};

// Splits a decrypted package. The check value and the fields are judged separately: a mismatching
// check value still yields the fields (the user may choose to accept them), while length fields
// that are not all digits or that point past the end give status Damaged and no fields.
PlainPackageContent ParsePlainPackage(const QByteArray& package);
// The fields would point into a buffer that is gone at the end of the statement.
PlainPackageContent ParsePlainPackage(QByteArray&& package) = delete;
