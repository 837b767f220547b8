#include "texts/ViewerText.h"

namespace {
const QString lineBreak = QStringLiteral("\r\n");
}

QString ViewerHeadNote()
{
    return QStringLiteral("NOTE: This file is too large to display entirely in this textbox.") + lineBreak +
           QStringLiteral("To view the entire contents of the file, open it in a text editor.") + lineBreak + lineBreak;
}

QString ViewerTailNote()
{
    return QStringLiteral("NOTE: Entire contents of file have not been displayed.") + lineBreak;
}

QString FitTextForViewer(const QString& fileText)
{
    if (fileText.size() < ViewerDisplayLimit)
        return fileText;
    const QString head = ViewerHeadNote();
    const QString tail = ViewerTailNote();
    const qsizetype kept = ViewerDisplayLimit - head.size() - tail.size();
    return head + fileText.left(kept) + lineBreak + lineBreak + tail;
}
