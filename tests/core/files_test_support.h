#pragma once
// What the file and clean-up tests share: a private temporary folder and looks at the disk that
// never follow a link.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

inline void PutFile(const QString& path, const QByteArray& content, mode_t mode = 0644)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(content), content.size());
    file.close();
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), mode), 0);
}

inline QByteArray FileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

inline bool Exists(const QString& path)
{
    struct stat status {};
    return lstat(QFile::encodeName(path).constData(), &status) == 0;
}

inline mode_t ModeOf(const QString& path)
{
    struct stat status {};
    return lstat(QFile::encodeName(path).constData(), &status) == 0 ? (status.st_mode & 07777) : 0;
}

class TempFolderTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    QString at(const QString& name) const { return dir.filePath(name); }
};
