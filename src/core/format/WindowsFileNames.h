#pragma once
// The names Windows will not take as a file name although Linux does: the reserved device names and
// the drive prefix. Linux writes such names as ordinary files; a Windows build checks them here.

#include <QString>

namespace WindowsFileNames {

// "C:" and the like at the start: Windows would take the name as a path on that drive.
bool HasDrivePrefix(const QString& name);

// CON, PRN, AUX, NUL, COM1-9, LPT1-9 in any case, with or without an extension: Windows opens the
// device, not a file, whatever follows the first dot.
bool IsReservedDeviceName(const QString& name);

// Either of the above: a name Windows refuses.
bool IsRefusedOnWindows(const QString& name);

} // namespace WindowsFileNames
