#include "capture_pass/byte_window.h"

#include <cstring>

namespace capture_pass {

ByteWindow::ByteWindow(std::size_t block)
    : capacity_(2 * block), data_(std::make_unique_for_overwrite<uint8_t[]>(capacity_)) {}

std::ptrdiff_t ByteWindow::refill(io::ByteSource &in, uint64_t keep_from) {
  const auto kept = static_cast<std::size_t>(end() - keep_from);
  std::memmove(data_.get(), at(keep_from), kept);
  begin_ = keep_from;
  size_ = kept;
  const std::ptrdiff_t n = in.read(data_.get() + size_, capacity_ - size_);
  if (n > 0) size_ += static_cast<std::size_t>(n);
  return n;
}

}  // namespace capture_pass
