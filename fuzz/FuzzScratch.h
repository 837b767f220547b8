#pragma once
// Fuzz targets whose code under test reads a file get the input through a scratch folder of their
// own, made once per process and removed when the run ends normally.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline const QString& ScratchFolder()
{
    static const QTemporaryDir folder;
    if (!folder.isValid()) {
        std::fprintf(stderr, "cannot create a scratch folder under the temporary folder\n");
        std::abort();
    }
    static const QString path = folder.path();
    return path;
}

// Writes bytes to name inside the scratch folder and returns the file's path.
inline QString WriteScratchFile(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = ScratchFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) != static_cast<qint64>(size)) {
        std::fprintf(stderr, "cannot write the scratch file %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

inline QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A broken promise of the code under test: reported like a crash, so the input is kept.
#define FUZZ_EXPECT(condition)                                                                                         \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "%s:%d: expected %s\n", __FILE__, __LINE__, #condition);                              \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)

} // namespace fuzz
