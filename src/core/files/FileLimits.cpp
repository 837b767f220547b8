#include "files/FileLimits.h"

#include "format/FileName.h"
#include "texts/Language.h"
#include "texts/NumberLocale.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace FileLimits {

QString FormatSizeLimit(qint64 n, bool german)
{
    if (n < 0)
        return {};
    const QLocale locale = NumberLocale(german ? Language::German : Language::English);
    QString text = locale.toString(n) + (german ? QStringLiteral(" Bytes") : QStringLiteral(" bytes"));
    if (n > 1024)
        text += QStringLiteral(" (") + locale.toString(std::llround(static_cast<double>(n) / 1024.0)) +
                QStringLiteral(" KB)");
    return text;
}

bool FileNameLengthOk(const QString& travellingName)
{
    return !travellingName.isEmpty() && travellingName.toUtf8().size() <= MaxFileNameBytes;
}

AppendCheck CheckFileToAppend(const QString& path)
{
    if (!FileNameLengthOk(FileNameFromPath(path, true)))
        return AppendCheck::NameTooLong;
    // Opened without waiting (a pipe would wait for a writer) and measured through the descriptor,
    // so what is judged is what was opened.
    const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return AppendCheck::Unreadable;
    struct stat status {};
    const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    close(fd);
    if (!regular)
        return AppendCheck::Unreadable;
    if (status.st_size > MaxAppendedFileSize)
        return AppendCheck::TooLarge;
    if (status.st_size == 0)
        return AppendCheck::Empty;
    return AppendCheck::Ok;
}

} // namespace FileLimits
