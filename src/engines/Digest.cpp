#include "engines/Digest.h"

#include <cstring>

void MD5Init2(MD5Context& context)
{
    context.hash.reset();
}

void MD5Update2(MD5Context& context, const unsigned char* data, uint32_t length)
{
    if (data == nullptr || length == 0)
        return;
    context.hash.addData(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(length)));
}

void MD5Final2(unsigned char digest[16], MD5Context& context)
{
    const QByteArray result = context.hash.result();
    std::memcpy(digest, result.constData(), 16);
}

QByteArray MD5OfString(QByteArrayView text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Md5);
}

QByteArray MD5HexOfString(QByteArrayView text)
{
    return MD5OfString(text).toHex().toUpper();
}
