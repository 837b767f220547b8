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

// A hard-wrapped text with each paragraph on one line, so that a viewer narrower than the text's
// lines wraps it at its own width instead of leaving every other line short. A line continues the
// one before when both belong to one paragraph: it is not blank, not an underline ("----", "===="),
// not followed by one (a heading), does not start an item ("- ", "2. "), and is indented as the
// paragraph's continuation lines are. Lines end in "\n".
QString FlowParagraphs(const QString& text);
