#include "texts/WebTarget.h"

#include <QDir>
#include <QUrl>

namespace {
const QString TwoLineBreaks = QStringLiteral("\r\n\r\n");
} // namespace

QString ResolveWebTarget(const QString& target, const QString& programFolder)
{
    // A single letter before the colon is a drive ("C:\..."), not a scheme.
    const QUrl url(target);
    if (url.isValid() && url.scheme().size() > 1)
        return target;
    return QUrl::fromLocalFile(QDir(programFolder).absoluteFilePath(target)).toString();
}

QString WebTargetErrorText(int errorCode, const QString& extension)
{
    QString text = QStringLiteral("Error launching web browser, error code = %1.").arg(errorCode);
    switch (errorCode) {
    case 31:
        text += TwoLineBreaks +
                QStringLiteral("File extension '%1' is not associated with any application program.").arg(extension);
        break;
    case 8:
        text += TwoLineBreaks + QStringLiteral("Out of memory.");
        break;
    case 2:
        text += TwoLineBreaks + QStringLiteral("Please try once more.");
        break;
    default:
        break;
    }
    return text;
}

QString WebTargetErrorTitle()
{
    return QStringLiteral("Cannot launch web browser");
}
