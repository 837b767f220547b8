#pragma once
// Writing a fixture file and reading back what is on disk: the two file chores every test group has.
#include <QByteArray>
#include <QFile>
#include <QString>

namespace test_files {

// True when the whole of bytes is in the file at path.
inline bool write_file(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The file's bytes; empty when it cannot be read.
inline QByteArray read_file(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace test_files
