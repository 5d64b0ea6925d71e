// output_buffer.h - buffered output, text or bytes, that costs one write per buffer-full, not per
// line or packet.
#ifndef IO_OUTPUT_BUFFER_H
#define IO_OUTPUT_BUFFER_H

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "io/byte_io.h"

namespace io {

// Collects text or bytes and hands them to a sink in writes of at most 64 KiB, so memory stays
// bounded however much passes through. An interactive buffer (one whose sink is a terminal) is
// also flushed when it holds text older than about a tenth of a second, so a person sees
// progress. After a failed write the buffer discards everything and reports failed().
class OutputBuffer {
 public:
  static constexpr std::size_t kMaxReserve = 1024;
  static constexpr std::size_t kCapacity = std::size_t{64} * 1024;  // the most reserve() gives

  // data_ is scratch space, written before it is read.
  // cppcheck-suppress uninitMemberVar
  OutputBuffer(ByteSink &sink, bool interactive) : sink_(sink), interactive_(interactive) {}
  OutputBuffer(const OutputBuffer &) = delete;
  OutputBuffer &operator=(const OutputBuffer &) = delete;

  // Returns room for up to kMaxReserve characters; commit() then says how many were used.
  char *reserve() { return reserve(kMaxReserve); }
  // Returns room for up to room characters, room being at most kCapacity; commit()
  // then says how many were used. For writers whose longest piece exceeds kMaxReserve.
  char *reserve(std::size_t room) {
    if (kCapacity - used_ < room) flush();
    return data_ + used_;
  }
  // Keeps the characters written since reserve() up to end.
  void commit(char *end) {
    used_ = static_cast<std::size_t>(end - data_);
    if (interactive_ && --until_clock_check_ == 0) flush_if_stale();
  }
  void append(std::string_view text);

  // reserve(room) and commit for binary output: room for up to room bytes, and how many of them
  // to keep.
  uint8_t *reserve_bytes(std::size_t room) { return reinterpret_cast<uint8_t *>(reserve(room)); }
  void commit_bytes(std::size_t kept) { commit(data_ + used_ + kept); }

  // Writes out everything buffered. Returns false if this or any earlier write failed.
  bool flush();
  bool failed() const { return failed_; }
  // True when the sink is a terminal, as the constructor was told.
  bool interactive() const { return interactive_; }

 private:
  static constexpr int kCommitsPerClockCheck = 256;

  void flush_if_stale();

  ByteSink &sink_;
  bool interactive_;
  bool failed_ = false;
  int until_clock_check_ = kCommitsPerClockCheck;
  int64_t last_flush_ns_ = 0;
  std::size_t used_ = 0;
  char data_[kCapacity];
};

}  // namespace io

#endif  // IO_OUTPUT_BUFFER_H
