#pragma once

#include <cstddef>
#include <cstring>
#include <string>

#include "base/synchronization/lock.h"

namespace kel_comp {

// The longest side of an off-screen frame that is taken; larger frames are
// refused rather than copied (a 16,384-pixel square frame would need a
// gigabyte per copy).
constexpr int kMaxFrameSide = 8192;

// Whether a frame of `width` x `height` pixels may be copied at all.
inline bool IsFrameSizeAccepted(int width, int height) {
  return width > 0 && height > 0 && width <= kMaxFrameSide && height <= kMaxFrameSide;
}

// The last off-screen frame, written on the runtime's UI thread and read on
// the main thread; the lock keeps a copy in from overlapping a copy out.
// The storage grows and never shrinks.
class PaintBuffer {
 public:
  void Write(const void* pixels, size_t size) {
    kbase::AutoLock lock(lock_);
    if (bytes_.size() < size)
      bytes_.resize(size + 1);
    std::memcpy(bytes_.data(), pixels, size);
    written_ = size;
  }

  // Copies up to `capacity` bytes of the latest frame into `target`;
  // returns how many.
  size_t Read(void* target, size_t capacity) const {
    kbase::AutoLock lock(lock_);
    const size_t size = written_ < capacity ? written_ : capacity;
    if (size)
      std::memcpy(target, bytes_.data(), size);
    return size;
  }

  size_t capacity() const {
    kbase::AutoLock lock(lock_);
    return bytes_.size();
  }

 private:
  mutable kbase::Lock lock_;
  std::string bytes_;
  size_t written_ = 0;
};

}  // namespace kel_comp
