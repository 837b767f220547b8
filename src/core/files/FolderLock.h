#pragma once
// Which working folders belong to a run that still goes on. A run holds an exclusive flock on the
// file "lock" in its working folder for as long as it lives; the kernel lets the lock go when the
// process ends, however it ends. A folder whose lock another start can take is therefore left over
// from a run that is gone. Process ids are never compared: they repeat across PID namespaces
// (containers, sandboxed desktop programs), a lock does not.

namespace FolderLock {

// The name of the lock file inside a working folder.
inline constexpr char LockName[] = "lock";

// An open lock file whose lock this process holds; the lock goes when the object does.
class Held {
  public:
    Held() = default;
    explicit Held(int fd) : fd_(fd) {}
    ~Held();
    Held(Held&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Held& operator=(Held&& other) noexcept;
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    bool holds() const { return fd_ >= 0; }
    void release();

  private:
    int fd_ = -1;
};

// Creates the lock file in the open folder folderFd (mode 0600) and takes its lock. The file gets
// its name only once it is locked, so no other start ever finds it unlocked meanwhile.
Held Create(int folderFd);

enum class State {
    Taken,   // the lock was free: the run that made the folder is gone (the lock is now ours)
    InUse,   // a live process holds the lock
    Missing, // no lock file (a run that is just starting, or a folder made by an older version)
};

// Tries the lock of the open folder folderFd without waiting; with State::Taken, taken holds it
// until the folder is dealt with.
State TryTake(int folderFd, Held& taken);

} // namespace FolderLock
