#pragma once
// A request that a running pipeline stop early: set by the front end (the window's Quit, a signal
// handler) while the engine and the packer work on another thread, and checked by them between
// chunks and after the key derivation. Setting it is lock-free, so a signal handler may do it.

#include <atomic>

class StopFlag {
  public:
    void Request() noexcept { requested_.store(true, std::memory_order_relaxed); }
    bool Requested() const noexcept { return requested_.load(std::memory_order_relaxed); }
    void Reset() noexcept { requested_.store(false, std::memory_order_relaxed); }

  private:
    static_assert(std::atomic<bool>::is_always_lock_free);
    std::atomic<bool> requested_{false};
};

// True when flag is set and asks to stop; a run without a flag never stops early.
inline bool StopRequested(const StopFlag* flag) noexcept
{
    return flag != nullptr && flag->Requested();
}
