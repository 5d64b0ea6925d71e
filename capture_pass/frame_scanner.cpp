#include "capture_pass/frame_scanner.h"

#include <algorithm>
#include <new>

namespace capture_pass {

namespace {

// The most bytes handed over at once: few enough that the framer reads them while they are still
// in the first-level cache, where copying them put them. The ring is empty whenever bytes are
// handed over: each batch is stepped through until the framer runs dry.
constexpr unsigned kBatch = 4096;
constexpr unsigned kRingSize = kBatch + 1;

}  // namespace

FrameScanner::FrameScanner(int max_length) {
  if (ring_create(&ring_, nullptr, kRingSize) != 0) throw std::bad_alloc();
  framer_ = framer_create(ring_, max_length);
  if (framer_ == nullptr) {
    ring_destroy(ring_);
    throw std::bad_alloc();
  }
}

FrameScanner::~FrameScanner() {
  framer_destroy(framer_);
  ring_destroy(ring_);
}

uint64_t FrameScanner::frontier() const {
  if (const std::optional<uint64_t> start = packet_in_progress()) return *start;
  // The last byte hunted through may be the 0x81 of a sync pair whose 0xA1 is still to come.
  return position_ > hunt_start_ ? position_ - 1 : position_;
}

std::optional<uint64_t> FrameScanner::packet_in_progress() const {
  const int32_t pending = framer_pending(framer_);
  if (pending == 0) return std::nullopt;
  return position_ - static_cast<uint64_t>(pending);
}

uint64_t FrameScanner::noise_bytes() const {
  return noise_ + (position_ - hunt_start_) - static_cast<uint64_t>(framer_pending(framer_));
}

void FrameScanner::take_decisions(std::vector<FrameEvent> &events) {
  for (;;) {
    const FramerReport report = framer_step(framer_);
    if (report.event == FRAMER_DRY) return;
    const uint64_t decided_end = position_ - static_cast<uint64_t>(ring_count(ring_));
    const uint64_t start = decided_end - static_cast<uint64_t>(report.size);
    noise_ += start - hunt_start_;
    events.push_back({start, report.event, report.size});
    hunt_start_ = decided_end;
  }
}

void FrameScanner::scan(const ByteWindow &window, std::vector<FrameEvent> &events) {
  while (position_ < window.end()) {
    const uint64_t batch = std::min<uint64_t>(window.end() - position_, kBatch);
    ring_write(ring_, window.at(position_), static_cast<int>(batch));
    position_ += batch;
    take_decisions(events);
  }
}

}  // namespace capture_pass
