#pragma once
// Wording both pipelines share: the busy line and the layout of a failure that names a place.

#include <QString>

// Five spaces, program text textNumber, " ...", five spaces: the key field while a pipeline works.
QString BusyText(int textNumber, int language);

// "<text> <folder of pathConcerned>:" CR LF "<cause>": names the place that failed and why.
QString FailureWithDetail(const QString& text, const QString& pathConcerned, const QString& errorText);

// Program text 470, the folder in which no working folder could be made, a colon, CR LF and the cause.
QString NoWorkingFolderText(const QString& base, const QString& cause, int language);
