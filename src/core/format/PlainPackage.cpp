#include "format/PlainPackage.h"

#include "engines/Digest.h"

namespace {

QByteArray LengthField(qsizetype length, qsizetype digits)
{
    return QByteArray::number(length).rightJustified(digits, '0');
}

// A length field is exactly `digits` ASCII digits; -1 when it is anything else.
qsizetype ReadLengthField(QByteArrayView package, qsizetype offset, qsizetype digits)
{
    qsizetype value = 0;
    for (qsizetype i = offset; i < offset + digits; ++i) {
        const char c = package.at(i);
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

QByteArray PlainPackageHead(const QByteArray& message, const QByteArray& attachedName)
{
    if (message.size() > MaxMessageBytes || attachedName.size() > MaxNameBytes)
        return {};
    // Built in one buffer: the partial sums would hold the message and be freed unwiped.
    QByteArray head;
    head.reserve(MessageLengthDigits + message.size() + NameLengthDigits + attachedName.size());
    head += LengthField(message.size(), MessageLengthDigits);
    head += message;
    head += LengthField(attachedName.size(), NameLengthDigits);
    head += attachedName;
    return head;
}

QByteArray BuildPlainPackage(const QByteArray& message, const QByteArray& attachedName, const QByteArray& payload)
{
    QByteArray package = PlainPackageHead(message, attachedName);
    if (package.isEmpty())
        return {};
    // One allocation: the package of a large file would otherwise be copied as it grows.
    package.reserve(package.size() + payload.size() + CheckValueLength);
    package += payload;
    package += PlainPackageCheckValue(package);
    return package;
}

QByteArray PlainPackageCheckValue(QByteArrayView headAndPayload)
{
    return MD5HexOfString(headAndPayload);
}

PlainPackageContent ParsePlainPackage(const QByteArray& package)
{
    PlainPackageContent content;
    const qsizetype fieldsEnd = package.size() - CheckValueLength;
    if (fieldsEnd < MessageLengthDigits + NameLengthDigits)
        return content;
    const QByteArrayView fields = QByteArrayView(package).first(fieldsEnd);
    content.checkValueMatches = QByteArrayView(package).sliced(fieldsEnd) == MD5HexOfString(fields);

    const qsizetype messageLength = ReadLengthField(fields, 0, MessageLengthDigits);
    const qsizetype nameFieldAt = MessageLengthDigits + messageLength;
    if (messageLength < 0 || nameFieldAt + NameLengthDigits > fieldsEnd)
        return content;
    const qsizetype nameLength = ReadLengthField(fields, nameFieldAt, NameLengthDigits);
    const qsizetype dataAt = nameFieldAt + NameLengthDigits + nameLength;
    if (nameLength < 0 || dataAt > fieldsEnd)
        return content;

    content.status = PackageStatus::Ok;
    content.message = fields.sliced(MessageLengthDigits, messageLength);
    content.name = fields.sliced(nameFieldAt + NameLengthDigits, nameLength);
    content.data = fields.sliced(dataAt);
    return content;
}
