#pragma once
// Web addresses and documents the program opens in the desktop's own programs: where a target
// held as a bare file name lives, and how a failure to open one is worded.

#include <QString>

// A target with a scheme (https:, file:, mailto:) as it stands; a bare file name ("help.html") as
// the file URL of that name in programFolder, which is where the program's own pages lie.
QString ResolveWebTarget(const QString& target, const QString& programFolder);

// The message for a target that could not be opened: the error code and, for the codes that have
// one, what it means (31: no program for the extension; 8: out of memory; 2: try once more).
QString WebTargetErrorText(int errorCode, const QString& extension);

// Title of the box that shows WebTargetErrorText.
QString WebTargetErrorTitle();
