#pragma once
// Builds ciphertext files from raw plain packages with the real engine routines, so that tests and
// the vector generator can make packages the encrypt pipeline never would (a wrong check value,
// broken length fields, hostile file names) and still have them encrypted like any other.

#include "core/engines_test_support.h"
#include "engines/CipherEngine.h"
#include "engines/Packer.h"
#include "format/FakeZipHeader.h"
#include "format/RandomSource.h"
#include "keys/KeyRoutines.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace CiphertextMaker {

using engines_test::read_file;
using engines_test::write_file;

// The packer's output for bytes; "" on failure.
inline QByteArray Compressed(const QByteArray& bytes, const QString& scratch)
{
    const QString in = scratch + "/pack-in", out = scratch + "/pack-out";
    Packer packer;
    if (!write_file(in, bytes) || packer.alb() == 0)
        return {};
    const int32_t result = packer.cf(in.toUtf8().constData(), out.toUtf8().constData(), 0);
    const QByteArray packed = result == 0 ? read_file(out) : QByteArray();
    QFile::remove(in);
    QFile::remove(out);
    return packed;
}

// The cipher engine's body for bytes under quickKey (cheap key derivation); "" on failure.
inline QByteArray EngineBody(const QByteArray& bytes, const QString& quickKey, const QString& scratch)
{
    const QString in = scratch + "/enc-in", out = scratch + "/enc-out";
    CipherEngine engine(KdfLevel::Interactive);
    if (!write_file(in, bytes) || engine.allocate_buffers() == 0)
        return {};
    const QByteArray key = Keys::MakeEngineKey(quickKey);
    engine.operation_initialization(key.constData(), 1, bytes.size(), 0);
    const int32_t result = engine.encrypt_file(in.toUtf8().constData(), out.toUtf8().constData());
    const QByteArray body = result == 0 ? read_file(out) : QByteArray();
    QFile::remove(in);
    QFile::remove(out);
    return body;
}

// A whole ciphertext file: the ZIP-like header in front of the body. The seed fixes the decoration.
inline QByteArray WithHeader(const QByteArray& body, uint32_t seed = 1)
{
    RandomSource rng;
    rng.seed(seed);
    return body.isEmpty() ? QByteArray() : MakeFakeZipHeader(rng, body.size()) + body;
}

// A ciphertext file carrying exactly this plain package.
inline QByteArray FromPackage(const QByteArray& package, const QString& quickKey, const QString& scratch)
{
    return WithHeader(EngineBody(Compressed(package, scratch), quickKey, scratch));
}

} // namespace CiphertextMaker
