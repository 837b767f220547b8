#pragma once
// The file a new content is written into before it takes the target's name. Where the file system
// offers it, the file has no name at all until it is complete (O_TMPFILE): a signal or a kill in
// the meantime leaves nothing beside the target. Elsewhere it is a hidden ".quillet-<hex>.part"
// beside the target, shredded by the signal clean-up, and removed by the next write into that
// folder should a kill have left it.
//
// The file is locked while in use, so the removal of left-behind files never takes one that a
// run (of this or another process) is still writing.

#include "files/FileWrite.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace Staging {

class File {
  public:
    // folderFd: the open target folder, folderPath its path (for the signal clean-up).
    File(int folderFd, QString folderPath);
    ~File(); // a file never placed is removed (and overwritten first when it had a name)
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Creates the file with mode (as open's, the umask applies). namedOnly: never without a name,
    // as on a file system without O_TMPFILE. False with errno set on failure.
    bool Open(mode_t mode, bool namedOnly);
    int fd() const { return fd_; }
    bool Named() const { return !staging_.isEmpty(); }

    // Gives the complete file the name `name`. Existing::Keep: only while the name is free at that
    // very moment (else false with EEXIST, and nothing is changed). Existing::Replace: whatever has
    // that name is replaced in one step. False with errno set on failure.
    bool Place(const QByteArray& name, FileWrite::Existing existing);

  private:
    bool OpenNameless(mode_t mode);
    bool OpenNamed(mode_t mode);
    bool LinkAs(const QByteArray& name);
    bool TakeStagingName();
    void Discard();

    int folderFd_;
    QString folderPath_;
    int fd_ = -1;
    QByteArray staging_; // the name while it has one, "" while nameless or once placed
    bool placed_ = false;
};

// True when name is of the form the staging files have.
bool IsStagingName(const QByteArray& name);

// Removes the user's staging files that a killed run left in the open folder: only regular files
// of this user's, with one link, that nobody holds locked. Each is overwritten before it goes.
void RemoveLeftBehind(int folderFd);

} // namespace Staging
