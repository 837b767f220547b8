#pragma once
// A fixed-size byte buffer in libsodium's guarded memory (guard pages, never swapped), wiped when
// it is released. Holds keys, cipher state and plain text of the engines.

#include <sodium.h>

#include <cstddef>
#include <utility>

// libsodium must be initialised once before its first use; safe to call from anywhere, any number
// of times.
inline bool sodium_ready()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

class GuardedBuffer {
  public:
    explicit GuardedBuffer(std::size_t size)
        : data_(sodium_ready() ? static_cast<unsigned char*>(sodium_malloc(size)) : nullptr), size_(data_ ? size : 0)
    {
    }
    ~GuardedBuffer() { release(); }
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;
    GuardedBuffer(GuardedBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0))
    {
    }
    GuardedBuffer& operator=(GuardedBuffer&& other) noexcept
    {
        if (this != &other) {
            release();
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }

    bool valid() const { return data_ != nullptr; }
    unsigned char* data() { return data_; }
    const unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }

  private:
    void release()
    {
        if (data_) {
            sodium_memzero(data_, size_);
            sodium_free(data_);
        }
        data_ = nullptr;
        size_ = 0;
    }

    unsigned char* data_;
    std::size_t size_;
};
