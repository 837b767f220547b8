#pragma once
// Wording both pipelines share: the busy line and the layout of a failure that names a place.

#include "pipeline/PipelineRun.h"

#include <QString>

// Five spaces, program text textNumber, " ...", five spaces: the key field while a pipeline works.
QString BusyText(int textNumber, int language);

// "<text> <folder of pathConcerned>:" CR LF "<cause>": names the place that failed and why.
QString FailureWithDetail(const QString& text, const QString& pathConcerned, const QString& errorText);

// The same, naming the file itself rather than its folder: for a file that could not be read,
// where the file, not its folder, is what the cause is about.
QString FailureNamingFile(const QString& text, const QString& file, const QString& errorText);

// Program text 470, the folder in which no working folder could be made, a colon, CR LF and the cause.
QString NoWorkingFolderText(const QString& base, const QString& cause, int language);

// What the user reads when an engine step failed: its program text, and for a read or write in the
// working folder that failed, the folder and the cause.
QString StepFailureText(const PipelineRun::StepOutcome& step, int language);
