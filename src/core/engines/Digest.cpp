#include "engines/Digest.h"

#include <openssl/evp.h>

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

// OpenSSL's assembly MD5 is faster than Qt's portable one on a package of megabytes; Qt's stays as
// the answer should OpenSSL ever fail.
QByteArray MD5OfString(QByteArrayView text)
{
    QByteArray digest(16, Qt::Uninitialized);
    unsigned int length = 0;
    if (EVP_Digest(text.data(), static_cast<size_t>(text.size()), reinterpret_cast<unsigned char*>(digest.data()),
                   &length, EVP_md5(), nullptr) == 1 &&
        length == 16)
        return digest;
    return QCryptographicHash::hash(text, QCryptographicHash::Md5);
}

QByteArray MD5HexOfString(QByteArrayView text)
{
    return MD5OfString(text).toHex().toUpper();
}
