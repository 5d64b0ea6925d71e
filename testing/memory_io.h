// Memory ends for byte sources and sinks: input and output of tests and fuzzing.
#ifndef TESTING_MEMORY_IO_H
#define TESTING_MEMORY_IO_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "io/byte_io.h"

// Serves a block of bytes in reads of the given sizes, used in turn and round again (each at
// least 1; none: as much as each read asks for). Read number fail_at (counting from 0) and every
// read after it fail; at the end of the block reads return 0.
class MemorySource final : public io::ByteSource {
 public:
  static constexpr std::size_t kNeverFails = SIZE_MAX;

  MemorySource(const uint8_t *data, std::size_t size, std::vector<std::size_t> read_sizes = {},
               std::size_t fail_at = kNeverFails)
      : data_(data), size_(size), read_sizes_(std::move(read_sizes)), fail_at_(fail_at) {}

  std::ptrdiff_t read(uint8_t *buffer, std::size_t capacity) override {
    const std::size_t number = reads_++;
    if (number >= fail_at_) return -1;
    if (!read_sizes_.empty())
      capacity = std::min(capacity, read_sizes_[number % read_sizes_.size()]);
    const std::size_t n = std::min(capacity, size_ - at_);
    std::copy_n(data_ + at_, n, buffer);
    at_ += n;
    return static_cast<std::ptrdiff_t>(n);
  }

  // Bytes served so far.
  std::size_t served() const { return at_; }
  // Reads asked for so far, failed ones included.
  std::size_t reads() const { return reads_; }

 private:
  const uint8_t *data_;
  std::size_t size_;
  std::vector<std::size_t> read_sizes_;
  std::size_t fail_at_;
  std::size_t at_ = 0;
  std::size_t reads_ = 0;
};

// Keeps everything written in text; never fails.
class StringSink final : public io::ByteSink {
 public:
  bool write(const char *data, std::size_t size) override {
    text.append(data, size);
    return true;
  }
  std::string text;
};

#endif  // TESTING_MEMORY_IO_H
