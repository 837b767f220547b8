#pragma once
// What the viewer window shows for a file's text: the text itself when it fits the display limit,
// otherwise its beginning framed by a head note and a tail note that say it was cut.

#include <QString>

// Texts of this many characters or more are not shown whole.
constexpr qsizetype ViewerDisplayLimit = 65530;

QString ViewerHeadNote();
QString ViewerTailNote();

// The text as the viewer shows it. A cut text holds exactly ViewerDisplayLimit + 4 characters:
// the head note, the start of the file, two line breaks and the tail note.
QString FitTextForViewer(const QString& fileText);
