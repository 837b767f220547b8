#pragma once
// Short English causes for failed file operations, shown after a program text.

#include <QString>

namespace FileProc {

// "Disk full.", "Permission denied.", "No such file or folder.", … for an errno value.
QString IoErrorText(int errnoValue);

} // namespace FileProc
