#include "capture_pass/dump_pass.h"

#include <protolib/framer.h>

#include <algorithm>
#include <cerrno>
#include <limits>
#include <optional>
#include <vector>

#include "capture_pass/byte_window.h"
#include "capture_pass/recovery_scanner.h"

namespace capture_pass {

namespace {

constexpr std::size_t kReadBlock = std::size_t{256} * 1024;
constexpr uint64_t kEndOfInput = std::numeric_limits<uint64_t>::max();

// One framing and the events it found that are not handed over yet, oldest first.
template <typename Scanner>
class Framing {
 public:
  template <typename... Args>
  explicit Framing(Args... scanner_args) : scanner_(scanner_args...) {}

  void scan(const ByteWindow &window) {
    events_.erase(events_.begin(), events_.begin() + static_cast<std::ptrdiff_t>(next_));
    next_ = 0;
    scanner_.scan(window, events_);
  }

  // The oldest event with an offset below limit, or null.
  const FrameEvent *peek(uint64_t limit) const {
    return next_ < events_.size() && events_[next_].offset < limit ? &events_[next_] : nullptr;
  }
  void pop() { ++next_; }

  const Scanner &scanner() const { return scanner_; }

 private:
  Scanner scanner_;
  std::vector<FrameEvent> events_;
  std::size_t next_ = 0;
};

class Pass {
 public:
  Pass(bool recover, EventSink &sink) : window_(kReadBlock), sink_(sink) {
    if (recover) second_.emplace();
  }

  PassTotals run(io::ByteSource &in) {
    PassTotals totals;
    while (!sink_.failed()) {
      const std::ptrdiff_t n = window_.refill(in, frontier());
      if (n < 0) {
        totals.read_failed = true;
        totals.read_error = errno;
      }
      if (n <= 0) break;
      totals.bytes += static_cast<uint64_t>(n);
      standard_.scan(window_);
      if (second_) second_->scan(window_);
      hand_over(frontier());
    }
    hand_over(kEndOfInput);
    const std::optional<uint64_t> cut = standard_.scanner().packet_in_progress();
    if (cut && !totals.read_failed && !sink_.failed()) {
      sink_.unfinished(*cut, window_.at(*cut), static_cast<std::size_t>(window_.end() - *cut));
    }
    totals.noise_bytes = standard_.scanner().noise_bytes();
    if (second_) totals.recovery_steps = second_->scanner().steps();
    return totals;
  }

 private:
  // No framing can still find an event before this offset.
  uint64_t frontier() const {
    const uint64_t standard = standard_.scanner().frontier();
    return second_ ? std::min(standard, second_->scanner().frontier()) : standard;
  }

  // Hands the events below limit to the sink in offset order; a packet both framings found is
  // the standard framing's.
  void hand_over(uint64_t limit) {
    for (;;) {
      const FrameEvent *standard = standard_.peek(limit);
      const FrameEvent *second = second_ ? second_->peek(limit) : nullptr;
      if (standard == nullptr && second == nullptr) return;
      if (standard == nullptr || (second != nullptr && second->offset < standard->offset)) {
        sink_.packet(*second, window_.at(second->offset + 2), true);
        second_->pop();
        continue;
      }
      if (second != nullptr && second->offset == standard->offset) second_->pop();
      const uint8_t *packet = window_.at(standard->offset + 2);
      if (standard->reason == FRAMER_ACCEPTED) {
        sink_.packet(*standard, packet, false);
      } else {
        sink_.rejected(*standard, packet);
      }
      standard_.pop();
    }
  }

  ByteWindow window_;
  EventSink &sink_;
  // The library's decoder creates its framer so: no length byte is too large.
  Framing<FrameScanner> standard_{FRAMER_ACCEPT_EVERY_LENGTH};
  std::optional<Framing<RecoveryScanner>> second_;
};

}  // namespace

PassTotals dump_pass(io::ByteSource &in, bool recover, EventSink &sink) {
  return Pass(recover, sink).run(in);
}

}  // namespace capture_pass
