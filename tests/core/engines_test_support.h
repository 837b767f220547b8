#pragma once
// Small file helpers shared by the engine tests: each test works in its own temporary folder and
// checks what is left on disk.

#include "support/TestFiles.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <sodium.h>

#include <string>

namespace engines_test {

using test_files::read_file;
using test_files::write_file;

inline QByteArray random_bytes(qsizetype size)
{
    QByteArray bytes(size, '\0');
    randombytes_buf(bytes.data(), static_cast<std::size_t>(bytes.size()));
    return bytes;
}

// Everything in the folder, hidden files included, as "a b c": a leftover temporary file shows up.
inline std::string folder_entries(const QTemporaryDir& dir)
{
    return QDir(dir.path())
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name)
        .join(QLatin1Char(' '))
        .toStdString();
}

inline std::string utf8(const QString& path)
{
    return path.toStdString();
}

} // namespace engines_test
