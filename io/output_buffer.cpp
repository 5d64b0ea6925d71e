#include "io/output_buffer.h"

#include <chrono>
#include <cstring>

namespace io {

namespace {

constexpr int64_t kStaleAfterNs = 100'000'000;

int64_t now_ns() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

void OutputBuffer::append(std::string_view text) {
  while (!text.empty()) {
    char *room = reserve();
    const std::size_t n = std::min(text.size(), kMaxReserve);
    std::memcpy(room, text.data(), n);
    commit(room + n);
    text.remove_prefix(n);
  }
}

bool OutputBuffer::flush() {
  if (used_ > 0 && !failed_) failed_ = !sink_.write(data_, used_);
  used_ = 0;
  if (interactive_) last_flush_ns_ = now_ns();
  return !failed_;
}

void OutputBuffer::flush_if_stale() {
  until_clock_check_ = kCommitsPerClockCheck;
  if (now_ns() - last_flush_ns_ >= kStaleAfterNs) flush();
}

}  // namespace io
