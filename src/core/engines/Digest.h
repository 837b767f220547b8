#pragma once
// The digest component: MD5 (RFC 1321) in three calls on a caller-owned context, plus the two
// string helpers the package format uses. Built on QCryptographicHash and OpenSSL, never a
// hand-written digest.

#include <QByteArray>
#include <QCryptographicHash>
#include <cstdint>

// Owned by the caller and kept between the three calls.
struct MD5Context {
    QCryptographicHash hash{QCryptographicHash::Md5};
};

// Starts a new computation (forgets anything added before).
void MD5Init2(MD5Context& context);
// Adds length bytes from data; a null data with length 0 adds nothing.
void MD5Update2(MD5Context& context, const unsigned char* data, uint32_t length);
// Writes the 16 digest bytes of everything added since MD5Init2.
void MD5Final2(unsigned char digest[16], MD5Context& context);

// The 16 raw digest bytes of text.
QByteArray MD5OfString(QByteArrayView text);
// The digest of text as 32 upper-case hexadecimal digits, high nibble first.
QByteArray MD5HexOfString(QByteArrayView text);
