// byte_window.h - the stretch of a capture held in memory while it is framed: a read block and
// the few bytes kept from before it, addressed by their offsets in the whole stream.
#ifndef CAPTURE_PASS_BYTE_WINDOW_H
#define CAPTURE_PASS_BYTE_WINDOW_H

#include <cstddef>
#include <cstdint>
#include <memory>

#include "io/byte_io.h"

namespace capture_pass {

class ByteWindow {
 public:
  // Reads blocks of up to block bytes; the window never holds more than twice that.
  explicit ByteWindow(std::size_t block);

  // Offsets of the first byte held and one past the last; equal when nothing is held.
  uint64_t begin() const { return begin_; }
  uint64_t end() const { return begin_ + size_; }

  // The byte at offset, which must lie in [begin(), end()].
  const uint8_t *at(uint64_t offset) const { return data_.get() + (offset - begin_); }

  // Drops the bytes before keep_from (in [begin(), end()]; fewer than block bytes may be kept),
  // then appends what one read of in gives. Returns that read's result: the count, 0 at the end
  // of input, -1 on a read error (the window then holds what it held, minus the dropped bytes).
  std::ptrdiff_t refill(io::ByteSource &in, uint64_t keep_from);

 private:
  std::size_t capacity_;
  std::unique_ptr<uint8_t[]> data_;
  std::size_t size_ = 0;
  uint64_t begin_ = 0;
};

}  // namespace capture_pass

#endif  // CAPTURE_PASS_BYTE_WINDOW_H
