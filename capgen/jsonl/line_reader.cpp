#include "capgen/jsonl/line_reader.h"

#include <cerrno>
#include <cstring>

namespace capgen {

namespace {

constexpr std::size_t kBlockSize = std::size_t{64} * 1024;

}  // namespace

LineReader::LineReader(io::ByteSource &in, std::size_t max_line)
    : in_(in), max_line_(max_line), block_(std::make_unique_for_overwrite<uint8_t[]>(kBlockSize)) {}

bool LineReader::refill() {
  if (ended_ || error_ != 0) return false;
  errno = 0;
  const std::ptrdiff_t n = in_.read(block_.get(), kBlockSize);
  if (n < 0) {
    error_ = errno != 0 ? errno : EIO;
    return false;
  }
  at_ = 0;
  end_ = static_cast<std::size_t>(n);
  ended_ = n == 0;
  return !ended_;
}

LineReader::Result LineReader::next(std::string_view &line) {
  line_.clear();
  bool started = false;  // a byte of this line has been seen
  bool too_long = false;
  for (;;) {
    if (at_ == end_ && !refill()) break;
    const auto *begin = reinterpret_cast<const char *>(block_.get()) + at_;
    const std::size_t available = end_ - at_;
    const auto *newline = static_cast<const char *>(std::memchr(begin, '\n', available));
    const std::size_t piece =
        newline != nullptr ? static_cast<std::size_t>(newline - begin) : available;
    started = true;
    if (!too_long && line_.size() + piece > max_line_) {
      too_long = true;
      line_.clear();
    }
    if (!too_long) line_.append(begin, piece);
    at_ += newline != nullptr ? piece + 1 : piece;
    if (newline != nullptr) break;
  }
  if (error_ != 0) return Result::kFailed;
  if (!started) return Result::kEnd;
  if (too_long) return Result::kTooLong;
  line = line_;
  return Result::kLine;
}

}  // namespace capgen
