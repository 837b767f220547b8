#include "texts/ViewerText.h"

#include <QStringList>

namespace {

const QString lineBreak = QStringLiteral("\r\n");

qsizetype Indentation(const QString& line)
{
    qsizetype spaces = 0;
    while (spaces < line.size() && line[spaces] == u' ')
        ++spaces;
    return spaces;
}

bool IsUnderline(const QString& line)
{
    const QString body = line.trimmed();
    return body.size() >= 3 && (body.count(u'-') == body.size() || body.count(u'=') == body.size());
}

// Where an item's text starts after its mark ("- " → 2, "12. " → 4); -1 when the line starts no item.
qsizetype ItemTextColumn(const QString& body)
{
    if (body.startsWith(QLatin1String("- ")))
        return 2;
    qsizetype digits = 0;
    while (digits < body.size() && body[digits].isDigit())
        ++digits;
    if (digits > 0 && body.mid(digits, 2) == QLatin1String(". "))
        return digits + 2;
    return -1;
}

} // namespace

QString ViewerHeadNote()
{
    return QStringLiteral("NOTE: This file is too large to display entirely in this textbox.") + lineBreak +
           QStringLiteral("To view the entire contents of the file, open it in a text editor.") + lineBreak + lineBreak;
}

QString ViewerTailNote()
{
    return QStringLiteral("NOTE: Entire contents of file have not been displayed.") + lineBreak;
}

QString FlowParagraphs(const QString& text)
{
    QStringList lines = text.split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    QStringList flowed;
    qsizetype continuation = -1; // the indentation of the open paragraph's next lines; -1: none open
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const qsizetype indent = Indentation(line);
        const QString body = line.mid(indent);
        const bool heading = i + 1 < lines.size() && IsUnderline(lines[i + 1]);
        if (body.isEmpty() || IsUnderline(line)) {
            flowed << line;
            continuation = -1;
            continue;
        }
        const qsizetype item = ItemTextColumn(body);
        if (continuation >= 0 && item < 0 && indent == continuation && !heading) {
            flowed.last() += u' ' + body;
            continue;
        }
        flowed << line;
        continuation = heading ? -1 : indent + qMax<qsizetype>(item, 0);
    }
    return flowed.join(u'\n');
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
