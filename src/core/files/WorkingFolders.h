#pragma once
// The private folder of a pipeline run: temp_zeb001 … temp_zeb999 under a base folder. The object
// that runs the pipelines (the window, the command-line front end) owns one of these; tests give
// it their own base. A run holds the lock of its working folder for its whole life (FolderLock.h),
// and the folder is shredded if a signal ends the process (InterruptCleanup.h).

#include "files/FolderLock.h"

#include <QString>
#include <QStringList>

class WorkingFolders {
  public:
    // base: the folder the numbered folders are made in; empty means DiskProc::FirstFixedDrive().
    explicit WorkingFolders(QString base = {});

    // The base folder, without a trailing "/".
    QString base() const;

    // Creates base/<name>001 … base/<name>999 (mode 0700) at the first number taken by neither a
    // folder nor a file, and returns its path ("/" appended when withBackslash); "" when none is free
    // or the folder cannot be made.
    QString NewNumberedFolder(const QString& name, bool withBackslash) const;

    // Makes a new numbered folder "temp_zebNNN/" and keeps it as the working folder; when none can
    // be made, the working folder is the base itself (with "/") if the base is private to the user
    // (DiskProc::IsPrivateFolder), else there is none ("").
    void MakeWorkingFolder();

    // The working folder of the latest MakeWorkingFolder, ending in "/"; "" before the first.
    QString WorkingFolder() const;

    // Removes the latest working folder with everything in it. Never removes the base itself (the
    // fall-back working folder): there only the pipeline's own temporary files are deleted, by the
    // pipeline. Does nothing when the folder is already gone, and nothing once it has removed it,
    // even when another run has since made a folder of the same name. A folder it could not remove
    // stays its own, for the next call.
    void RemoveWorkingFolder();

  private:
    QString base_;
    QString workingFolder_;
    bool ownsWorkingFolder_ = false;
    FolderLock::Held lock_;
};

// Shreds the working folders under base that runs of this user left when they were killed: folders
// whose lock can be taken (a folder without a lock file once it has been still for a minute). A
// folder whose lock a live process holds, someone else's folder, a link and anything in a base
// others may write to are never touched. Returns the number removed.
int RemoveLeftBehindFolders(const QString& base);

// RemoveLeftBehindFolders for every base a run of this user may have used, whatever the
// environment of the run that left it (DiskProc::WorkingFolderBases). Both programs call it at
// every start. Returns the number removed.
int RemoveLeftBehindFolders();
