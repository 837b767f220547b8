#pragma once
// Wording both pipelines share: the busy line. Failures are told by Failure (Failure.h).

#include <QString>

// Five spaces, program text textNumber, " ...", five spaces: the key field while a pipeline works.
QString BusyText(int textNumber, int language);
