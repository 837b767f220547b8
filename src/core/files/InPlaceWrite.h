#pragma once
// Writing over an existing file in place: for a file the user may write in a folder the user may
// not (no new file can be made there, so nothing can be renamed over it). The room for the new
// content is claimed before the first byte of the old one changes, so a full disk leaves the earlier
// file whole; where no room can be claimed, nothing is written.

#include "files/FileWrite.h"

#include <QByteArray>

namespace InPlace {

// Overwrites the regular file `name` in the open folder with data followed by options.extra and
// syncs it. The file keeps its owner and mode; plain text (NewFile::Private) is never written into
// a file of another user's. Errors as FileWrite's.
FileWrite::Result Write(int folderFd, const QByteArray& name, const QByteArray& data,
                        const FileWrite::Options& options);

} // namespace InPlace
